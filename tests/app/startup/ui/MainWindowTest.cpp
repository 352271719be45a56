// The main window's start-up and shutdown against the in-process chip
// emulator on COM1.
#include "app/Globals.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/Preferences.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/documents/ui/TextBox.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmCommErr.h"
#include "app/startup/ui/frmMDI.h"
#include "app/startup/ui/frmSplash.h"
#include "app/startup/ui/Speaking.h"
#include "tests/support/Ui.h"
#include "chipsim/Chip.h"
#include "chipsim/SimBackend.h"
#include "common/Clock.h"
#include "link/SerialComm.h"
#include "platform/Folders.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/SingleInstance.h"

#include "components/sonvert/cSonvert.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

namespace {

const QString kApp = QStringLiteral("Voxmere");
const QString kSettings = QStringLiteral("Settings");

QString stored(const char *key)
{
    return GetSetting(kApp, kSettings, QLatin1String(key));
}

void store(const char *key, const QString &value)
{
    SaveSetting(kApp, kSettings, QLatin1String(key), value);
}

// Presses Demo in the communication-error dialog once it shows.
class DemoClicker : public QObject
{
public:
    DemoClicker()
    {
        mTimer.setInterval(5);
        connect(&mTimer, &QTimer::timeout, this, [this] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                if (auto *dlg = qobject_cast<frmCommErr *>(w); dlg && dlg->isVisible()) {
                    message = dlg->lblCommErr->text();
                    dlg->cmdDemo->click();
                    mTimer.stop();
                }
            }
        });
        mTimer.start();
    }
    QString message;

private:
    QTimer mTimer;
};

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        ::setenv("VOXMERE_COM1", "sim", 1);
        vx::Clock::setSpeed(20);
        chipsim::resetSimulatedChips();
        DeleteSetting(kApp, kSettings);
        store("Port", QStringLiteral("1"));
        store("DisplayCompatQuery", QStringLiteral("False"));
        Port = 0;
        Busy = false;
        UpdatingControls = false;
        StopRequested = false;
        ProgressCancel = false;
        DictionaryKnown = false;
        CommErrChoice = 0;
        ClosingAll = false;
        chip = chipsim::simulatedChip(1);
    }

    void TearDown() override
    {
        main.reset();
        ResetDocuments();
        Busy = false;
        UpdatingControls = false;
        vx::Clock::setSpeed(1);
    }

    // Starts a main window; true when its start-up ran to the end.
    bool start(const QString &commandLine = QString())
    {
        main = std::make_unique<frmMDI>();
        return main->MDIForm_Load(commandLine);
    }

    // Closes the main window as the user would; true when it closed.
    bool closeMain() { return main->close(); }

    QString panel(int n) const { return main->sbStatusBar->PanelText(n); }

    vx::ScriptedPrompter prompter;
    std::unique_ptr<frmMDI> main;
    chipsim::Chip *chip = nullptr;
    // Text windows the start-up opened.
    static int newTexts()
    {
        int n = 0;
        for (const auto &w : std::as_const(Documents))
            n += qobject_cast<frmTextBox *>(w.data()) != nullptr;
        return n;
    }
};

TEST_F(MainWindowTest, StartsAgainstTheChipAndFillsTheStatusBar)
{
    QString version;
    QTimer peek;
    peek.setInterval(1);
    QObject::connect(&peek, &QTimer::timeout, [&] {
        if (frmSplash *s = frmSplash::loaded(); s && s->isVisible())
            version = s->lblVersion->text();
    });
    peek.start();
    const double before = vx::Clock::seconds();
    ASSERT_TRUE(start());
    peek.stop();
    EXPECT_TRUE(version.startsWith(QStringLiteral("Version "))) << version.toStdString();
    // The splash stayed its 2 s and is gone.
    EXPECT_GE(vx::Clock::seconds() - before, 2.0);
    EXPECT_EQ(frmSplash::loaded(), nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(frmMDI::instance(), main.get());

    EXPECT_EQ(Port, 1);
    ASSERT_NE(Comm, nullptr);
    EXPECT_TRUE(Comm->PortOpen());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere"));
    EXPECT_EQ(CmdChar, QString(QChar(1)));
    EXPECT_EQ(ModuleName, QStringLiteral("Evaluation Board"));
    EXPECT_EQ(ChannelNames, QStringList({QStringLiteral("Mono"), QStringLiteral("Stereo")}));

    // Not developing for the older chip: the chip keeps its own mode.
    EXPECT_TRUE(chip->acceptedBytes().contains(QByteArray("\x01+16g\0", 6)));
    EXPECT_FALSE(chip->acceptedBytes().contains(QByteArray("\x01-16g\0", 6)));

    EXPECT_EQ(panel(1), QStringLiteral("For Help, press F1"));
    EXPECT_EQ(panel(4), QStringLiteral("Chipset: SV3420/1,536 KB (7 min)"));
    EXPECT_EQ(panel(5), QStringLiteral("Dictionary: (none)"));
    EXPECT_EQ(panel(6), QStringLiteral("INS"));
    EXPECT_EQ(panel(7), QStringLiteral("NUM"));
    EXPECT_EQ(panel(8), QStringLiteral("CAPS"));

    // The toolbar is up, its Play and Record buttons tagged for idle.
    EXPECT_EQ(MainToolbar.data(), main->tbStdLarge);
    EXPECT_TRUE(main->tbStdLarge->isVisible());
    EXPECT_EQ(ButtonTag(ToolbarButton(QStringLiteral("Play"))), QStringLiteral("Play"));
    EXPECT_EQ(ButtonTag(ToolbarButton(QStringLiteral("Record"))), QStringLiteral("Record"));
    EXPECT_EQ(ToolbarButton(QStringLiteral("Open"))->toolTip(), QStringLiteral("Open (Ctrl+O)"));

    // The temporary folder is there, private and empty.
    const QDir temp(TempFolder);
    EXPECT_TRUE(temp.exists());
    EXPECT_TRUE(temp.entryList(QDir::Files | QDir::Hidden | QDir::System).isEmpty());
    EXPECT_EQ(QFile::permissions(TempFolder) & 0x0077, QFileDevice::Permissions());

    // The components are there; the converter writes into
    // the temporary folder.
    ASSERT_NE(cSonv, nullptr);
    EXPECT_EQ(QString::fromStdString(cSonv->TargetPath()), TempFolder);
    EXPECT_NE(DicCompiler, nullptr);
    EXPECT_NE(MusicCompiler, nullptr);

    // No command line: a new text window.
    EXPECT_EQ(newTexts(), 1);
    EXPECT_TRUE(closeMain());
    EXPECT_EQ(cSonv, nullptr);
    EXPECT_EQ(DicCompiler, nullptr);
    EXPECT_EQ(MusicCompiler, nullptr);
    EXPECT_EQ(cTolv, nullptr);
}

TEST_F(MainWindowTest, OlderChipCompatibilityAndLargeMemory)
{
    store("For10", QStringLiteral("True"));
    chipsim::ChipConfig config = chip->config();
    config.recMemBytes = 64 * 1024 * 1024;
    chip->setConfig(config);
    ASSERT_TRUE(start());
    EXPECT_TRUE(For10);
    EXPECT_TRUE(chip->acceptedBytes().contains(QByteArray("\x01-16g\0", 6)));
    EXPECT_EQ(panel(4), QStringLiteral("Chipset: SV3420/65,536 KB (0 min)"));
    EXPECT_TRUE(closeMain());
}

TEST_F(MainWindowTest, DemoModeTexts)
{
    chip->faults().silent = true;
    DemoClicker clicker;
    ASSERT_TRUE(start());
    EXPECT_TRUE(clicker.message.startsWith(QStringLiteral("Voxmere is unable to establish communication")));
    EXPECT_EQ(Port, 0);
    EXPECT_FALSE(Comm->PortOpen());
    EXPECT_EQ(main->windowTitle(), QStringLiteral("Voxmere (demo mode)"));
    EXPECT_EQ(panel(2), QStringLiteral("SV3410 Emulation: Off"));
    EXPECT_EQ(panel(3), QStringLiteral("Addressing Mode: Index"));
    EXPECT_EQ(panel(4), QStringLiteral("Chipset: (none)"));
    EXPECT_EQ(panel(5), QStringLiteral("Dictionary: (none)"));
    // Nothing goes to the chip in demo mode, at start or at the end.
    const int writes = chip->writeLog().size();
    EXPECT_TRUE(closeMain());
    EXPECT_EQ(chip->writeLog().size(), writes);
}

// At the window's opening width the panels' longest texts show whole, and
// the message panel holds 32 characters where the screen allows; on a
// narrower screen it gives way first.
TEST(StatusBarPanels, LongestTextsFitAtTheOpeningWidth)
{
    DeleteSetting(kApp, kSettings, QStringLiteral("MDIWidth")); // a first start
    QMainWindow window;
    auto *bar = new StatusBar(&window);
    window.setStatusBar(bar);
    bar->SetPanelText(1, QStringLiteral("Reading 'Untitled dictionary 12.dic' ..."));
    const QStringList texts = {QStringLiteral("SV3410 Emulation: Off"), QStringLiteral("Addressing Mode: Index"),
                               QStringLiteral("Chipset: SV3420/7,680 KB (33 min)"),
                               QStringLiteral("Dictionary: (unknown)")};
    const int wanted = vx::pixelsToTwips(bar->WidthToShow(texts));
    EXPECT_EQ(bar->PanelText(2), QString()); // measured, not shown
    for (int i = 0; i < texts.size(); ++i)
        bar->SetPanelText(i + 2, texts[i]);
    window.show();
    for (const int screen : {1280, 800}) {
        SCOPED_TRACE(screen);
        const mainwin::MainGeometry g = mainwin::readMainGeometry(vx::pixelsToTwips(screen), 15360, wanted);
        window.resize(vx::twipsToPixels(g.width), 400);
        QApplication::processEvents();
        for (int i = 2; i <= StatusBar::kPanels; ++i) {
            QLabel *p = bar->Panel(i);
            EXPECT_GE(p->contentsRect().width(), p->fontMetrics().horizontalAdvance(p->text())) << i;
        }
        QLabel *message = bar->Panel(1);
        if (screen > 880) {
            EXPECT_LE(window.width(), screen);
            EXPECT_GE(message->contentsRect().width(), 32 * message->fontMetrics().averageCharWidth());
        }
    }
    // Lock keys: greyed while off, plain where no state can be read.
    bar->ShowLockKeys(vx::LockKeys{false, true});
    EXPECT_FALSE(bar->Panel(7)->isEnabled());
    EXPECT_TRUE(bar->Panel(8)->isEnabled());
    bar->ShowLockKeys(vx::readLockKeys()); // offscreen: none
    EXPECT_TRUE(bar->Panel(7)->isEnabled() && bar->Panel(8)->isEnabled());
}

TEST_F(MainWindowTest, SecondInstanceIsRefusedAndTouchesNothing)
{
    ASSERT_TRUE(start());
    for (const char *k : {"MDIWidth", "MDIHeight", "MDILeft", "MDITop", "MDIWindowState"})
        DeleteSetting(kApp, kSettings, QLatin1String(k));
    QFile marker(TempFolder + QStringLiteral("keep.tmp"));
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.close();
    const int writes = chip->writeLog().size();

    prompter.queue(vx::Answer::Ok);
    {
        frmMDI second;
        EXPECT_FALSE(second.MDIForm_Load(QStringLiteral("/tmp/x.txt")));
        EXPECT_TRUE(second.close());
    }
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_EQ(prompter.last().text, QStringLiteral("Voxmere is already running.  "));
    EXPECT_EQ(prompter.last().buttons, vx::Buttons::Ok);
    EXPECT_TRUE(prompter.last().title.isEmpty() || prompter.last().title == vx::programTitle());

    // The first instance runs on as it was.
    EXPECT_TRUE(main->isLoaded());
    ASSERT_NE(Comm, nullptr);
    EXPECT_TRUE(Comm->PortOpen());
    EXPECT_EQ(chip->writeLog().size(), writes);
    EXPECT_TRUE(marker.exists());
    EXPECT_TRUE(stored("MDIWidth").isEmpty());
    EXPECT_TRUE(closeMain());
    EXPECT_FALSE(stored("MDIWidth").isEmpty());
}

TEST_F(MainWindowTest, GeometryIsKeptOnScreenAndWrittenBack)
{
    store("MDILeft", QStringLiteral("-20000"));
    store("MDIHeight", QStringLiteral("tall")); // unreadable: its default
    ASSERT_TRUE(start());
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    const int centred = mainwin::centredPosition(vx::pixelsToTwips(screen.width()), 13200);
    EXPECT_EQ(main->x(), vx::twipsToPixels(centred));
    EXPECT_EQ(main->width(), vx::twipsToPixels(13200));
    EXPECT_EQ(main->height(), vx::twipsToPixels(9330));

    const QPoint at = main->pos();
    EXPECT_TRUE(closeMain());
    EXPECT_EQ(stored("MDILeft"), QString::number(vx::pixelsToTwips(at.x())));
    EXPECT_EQ(stored("MDITop"), QString::number(vx::pixelsToTwips(at.y())));
    EXPECT_EQ(stored("MDIWidth"), QStringLiteral("13200"));
    EXPECT_EQ(stored("MDIHeight"), QStringLiteral("9330"));
    EXPECT_EQ(stored("MDIWindowState"), QStringLiteral("0"));
}

TEST_F(MainWindowTest, ShutdownClosesTheLinkAndEmptiesTheTemporaryFolder)
{
    ASSERT_TRUE(start());
    QFile scrap(TempFolder + QStringLiteral("scrap.pcm"));
    ASSERT_TRUE(scrap.open(QIODevice::WriteOnly));
    scrap.write("x");
    scrap.close();

    // Watch the line while the shutdown waits.
    double dtrDropped = -1;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (dtrDropped < 0 && !chip->dtr())
            dtrDropped = vx::Clock::seconds();
    });
    watch.start();
    chip->clearLogs();

    EXPECT_TRUE(closeMain());
    QCoreApplication::processEvents();
    ASSERT_FALSE(chip->writeLog().isEmpty());
    const chipsim::LoggedWrite &last = chip->writeLog().last();
    EXPECT_EQ(last.bytes, QByteArray("\x01" "7h\0", 4));
    QByteArray received;
    for (const chipsim::LoggedByte &b : chip->byteLog())
        received.append(char(b.byte));
    EXPECT_TRUE(received.endsWith(QByteArray("\x01" "7h\0", 4)));
    ASSERT_GE(dtrDropped, 0);
    EXPECT_GE(dtrDropped - last.time, 0.25);

    EXPECT_EQ(cTolv, nullptr);
    EXPECT_EQ(Comm, nullptr);
    EXPECT_TRUE(QDir(TempFolder).exists());
    EXPECT_TRUE(QDir(TempFolder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(MainWindowTest, CloseIsRefusedWhileBusy)
{
    ASSERT_TRUE(start());
    chip->clearLogs();
    Busy = true;
    EXPECT_FALSE(closeMain());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->isLoaded());
    ASSERT_NE(Comm, nullptr);
    EXPECT_TRUE(Comm->PortOpen());
    EXPECT_TRUE(chip->writeLog().isEmpty());
    EXPECT_TRUE(stored("MDIWidth").isEmpty());
    Busy = false;

    UpdatingControls = true;
    EXPECT_FALSE(closeMain());
    EXPECT_TRUE(Comm->PortOpen());
    UpdatingControls = false;

    // A document window that will not close stops the whole close.
    auto *doc = new QWidget;
    QMdiSubWindow *sub = main->MDIClient->addSubWindow(doc);
    sub->show();
    struct Refuse : QObject
    {
        bool eventFilter(QObject *, QEvent *e) override
        {
            if (e->type() == QEvent::Close) {
                e->ignore();
                return true;
            }
            return false;
        }
    } refuse;
    sub->installEventFilter(&refuse);
    EXPECT_FALSE(closeMain());
    EXPECT_TRUE(Comm->PortOpen());
    EXPECT_FALSE(ClosingAll);
    sub->removeEventFilter(&refuse);
    EXPECT_TRUE(closeMain());
}

TEST_F(MainWindowTest, CloseDuringTheStartIsRefused)
{
    // The compatibility question runs after the window is up; a close then
    // would leave a hidden program running with its port open. While it
    // waits the program is busy, and its menus and toolbar say so.
    store("DisplayCompatQuery", QStringLiteral("True"));
    bool closedDuringStart = true;
    QStringList enabledWhileAsked;
    vxtest::whenShown(QStringLiteral("frmCompatQuery"), [&](QWidget *query) {
        closedDuringStart = main->close();
        for (QAction *a : {main->Item(QStringLiteral("mnuEditFind")), main->Item(QStringLiteral("mnuFileDnld")),
                           ToolbarButton(QStringLiteral("Download")), ToolbarButton(QStringLiteral("Open"))})
            if (a->isEnabled())
                enabledWhileAsked << a->objectName();
        vxtest::click(query, "CmdOK");
    });
    const bool started = start();
    ASSERT_TRUE(started);
    EXPECT_FALSE(closedDuringStart);
    EXPECT_TRUE(enabledWhileAsked.isEmpty()) << enabledWhileAsked.join(QLatin1Char(' ')).toStdString();
    EXPECT_TRUE(ToolbarButton(QStringLiteral("Download"))->isEnabled());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->isLoaded());
    ASSERT_NE(Comm, nullptr);
    EXPECT_TRUE(Comm->PortOpen());
    EXPECT_EQ(newTexts(), 1);
    EXPECT_TRUE(closeMain());
    EXPECT_FALSE(stored("MDIWidth").isEmpty());
}

TEST_F(MainWindowTest, UnusableTemporaryFolderEndsTheStart)
{
    // Something that is not a folder sits where the temporary folder goes:
    // the start says so and ends, and leaves that thing alone.
    const QString path = QDir::cleanPath(vx::tempFolderPath());
    QDir(path).removeRecursively();
    QFile blocker(path);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.write("keep");
    blocker.close();

    prompter.queue(vx::Answer::Ok);
    const bool started = start();
    const bool blockerKept = QFileInfo(path).isFile() && QFileInfo(path).size() == 4;
    QFile::remove(path);
    EXPECT_FALSE(started);
    EXPECT_TRUE(blockerKept);
    ASSERT_EQ(prompter.prompts().size(), 1);
    EXPECT_TRUE(prompter.last().text.contains(path)) << prompter.last().text.toStdString();
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(frmSplash::loaded(), nullptr);
    EXPECT_EQ(cTolv, nullptr);
    EXPECT_EQ(newTexts(), 0);
    // The chip was told the program ends, as at every end.
    EXPECT_TRUE(chip->writeLog().last().bytes == QByteArray("\x01" "7h\0", 4));
}

TEST_F(MainWindowTest, CommandLineFileAndToolWindows)
{
    // The tool windows live in the document area; the start-up places them.
    QPointer<QWidget> panels;
    QPointer<QWidget> phonetics;
    store("PanelLeft", QStringLiteral("300"));
    store("PhoneticsVisible", QStringLiteral("True"));
    store("PhoneticsHeight", QStringLiteral("1500"));

    prompter.queue(vx::Answer::Ok);
    ASSERT_TRUE(start(QStringLiteral("  \"/home/user/My Texts/greeting.txt\" ")));
    // The file is gone: one message, and the start-up goes on.
    EXPECT_EQ(prompter.last().text, QStringLiteral("Can't open file: /home/user/My Texts/greeting.txt"));
    EXPECT_EQ(newTexts(), 0);

    panels = DocumentAt(0);
    phonetics = DocumentAt(1);
    ASSERT_TRUE(panels && phonetics);
    EXPECT_EQ(panels->objectName(), QStringLiteral("frmCpanels"));
    EXPECT_EQ(panels->property("Tag").toString(), QStringLiteral("0"));
    EXPECT_EQ(phonetics->property("Tag").toString(), QStringLiteral("1"));
    EXPECT_FALSE(DocState[0].Deleted);
    EXPECT_FALSE(DocState[1].Deleted);
    QWidget *panelFrame = panels->parentWidget();
    EXPECT_EQ(panelFrame->pos(), QPoint(20, 1));
    EXPECT_TRUE(panelFrame->isVisible());
    EXPECT_TRUE(phonetics->parentWidget()->isVisible());
    EXPECT_EQ(phonetics->parentWidget()->height(), 100);

    // Status 4 and 10 blink the panels' message label, once per report.
    auto *label = panels->findChild<QLabel *>(QStringLiteral("lblProgressMsg"));
    const bool shown = !label->isHidden();
    main->cTolv_ChipStatus(4);
    EXPECT_EQ(!label->isHidden(), !shown);
    main->cTolv_ChipStatus(10);
    EXPECT_EQ(!label->isHidden(), shown);
    main->cTolv_ChipStatus(99);
    EXPECT_EQ(!label->isHidden(), shown);
    EXPECT_TRUE(closeMain());
}

TEST_F(MainWindowTest, ThePanelsShowTheChipAfterSpeakingAndWhenShownAgain)
{
    ASSERT_TRUE(start(QStringLiteral("   ")));
    auto *panels = qobject_cast<frmCpanels *>(DocumentAt(0));
    auto *text = qobject_cast<frmTextBox *>(DocumentAt(2));
    ASSERT_TRUE(panels && text);
    ASSERT_EQ(panels->sldControls[0]->value(), 5);

    // A command in the text changes the chip: the panels show it afterwards.
    text->txtInputBox->setPlainText(QStringLiteral("~3v hello there"));
    ActiveDocIndex = 2;
    PlayTextOrRecording();
    EXPECT_EQ(chip->setting('v'), 3);
    EXPECT_EQ(panels->sldControls[0]->value(), 3);

    // The recorder's tab, hidden while active: no Play or Record acts on it.
    panels->NewTab(4);
    ActiveDocIndex = 0;
    UpdateToolbarState();
    ASSERT_TRUE(ToolbarButton(QStringLiteral("Record"))->isEnabled());
    main->mnuViewCtlPanels_Click();
    ASSERT_FALSE(panels->Visible());
    ActiveDocIndex = 0;
    UpdateToolbarState();
    EXPECT_FALSE(ToolbarButton(QStringLiteral("Record"))->isEnabled());
    EXPECT_FALSE(ToolbarButton(QStringLiteral("Play"))->isEnabled());

    // Shown again, they read what changed meanwhile.
    chip->addRecFile(7, chipsim::makeMarkedPcm(99, 7, QByteArray(4000, '\x10')));
    main->mnuViewCtlPanels_Click();
    EXPECT_TRUE(panels->Visible());
    EXPECT_TRUE(panels->lblRecMemUsed->text().endsWith(QStringLiteral("(1 files)")))
        << panels->lblRecMemUsed->text().toStdString();
    prompter.queue(vx::Answer::No); // the text is not kept
    EXPECT_TRUE(closeMain());
}

TEST_F(MainWindowTest, EmptyCommandLineOpensTextWindowAtTheCorner)
{
    ASSERT_TRUE(start(QStringLiteral("   ")));
    EXPECT_EQ(newTexts(), 1);
    QPointer<QWidget> doc = DocumentAt(2);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->parentWidget()->pos(), QPoint(0, 0));
    EXPECT_TRUE(closeMain());
}

TEST_F(MainWindowTest, QuitInTheErrorDialogEndsTheStart)
{
    chip->faults().silent = true;
    QTimer quit;
    quit.setInterval(5);
    QObject::connect(&quit, &QTimer::timeout, [&] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (auto *dlg = qobject_cast<frmCommErr *>(w); dlg && dlg->isVisible()) {
                dlg->CmdCancel->click();
                quit.stop();
            }
        }
    });
    quit.start();
    EXPECT_FALSE(start());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(cTolv, nullptr);
    EXPECT_TRUE(stored("MDIWidth").isEmpty());
    EXPECT_EQ(newTexts(), 0);
}

} // namespace
