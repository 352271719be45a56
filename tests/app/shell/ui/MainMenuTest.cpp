#include "app/Globals.h"
#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/MdiChild.h"
#include "app/documents/ui/TextBox.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/documents/ui/frmMusic.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/documents/ui/GridEditor.h"
#include "app/shell/MenuTable.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/shell/ui/frmCompatQuery.h"
#include "app/shell/ui/frmWarning.h"
#include "app/startup/Preferences.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/frmMDI.h"
#include "platform/Help.h"
#include "platform/Prompter.h"
#include "platform/ResourceSound.h"
#include "app/shell/ui/frmAbout.h"
#include "platform/Settings.h"
#include "tests/app/shell/ui/HelpCatcher.h"
#include "tests/support/Files.h"
#include "tests/support/TestEnv.h"
#include "tests/support/Ui.h"

#include <QAbstractEventDispatcher>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>


namespace {

const QString kApp = QStringLiteral("Voxmere");
const QString kSec = QStringLiteral("Settings");

QString s(const char *t)
{
    return QString::fromLatin1(t);
}

class MainMenu : public ::testing::Test
{
protected:
    void SetUp() override
    {
        vxtest::isolateEnvironment();
        ResetGlobals();
        DeleteSetting(kApp, kSec);
        main = std::make_unique<frmMDI>();
        MainToolbar = main->tbStdLarge;
        DocState.resize(2);
    }
    void TearDown() override
    {
        ResetDocuments();
        main.reset();
        ResetGlobals();
    }

    frmTextBox *addTextWindow(const QString &text)
    {
        main->RunCommand(s("mnuFileNewText"));
        auto *w = qobject_cast<frmTextBox *>(ActiveDocument());
        w->txtInputBox->setPlainText(text);
        return w;
    }
    [[nodiscard]] static int textWindows()
    {
        int n = 0;
        for (int slot = 2; slot < Documents.size(); ++slot)
            n += qobject_cast<frmTextBox *>(DocumentAt(slot)) != nullptr;
        return n;
    }
    [[nodiscard]] bool on(const char *item) const { return main->Item(s(item))->isEnabled(); }
    [[nodiscard]] bool button(const char *key) const { return ToolbarButton(s(key))->isEnabled(); }

    std::unique_ptr<frmMDI> main;
    vx::ScriptedPrompter prompts;
};

TEST_F(MainMenu, TheMenuBarFollowsTheTableInOrderWithItsCaptionsAndShortcuts)
{
    QStringList top;
    for (QAction *a : main->menuBar()->actions())
        top << a->text();
    EXPECT_EQ(top, (QStringList{s("&File"), s("&Edit"), s("&View"), s("&Utilities"), s("&Window"), s("&Help")}));

    // Each menu holds exactly its rows, in table order.
    QHash<QString, QStringList> expected;
    for (const vx::MenuRow &r : vx::MenuRows()) {
        if (r.parent)
            expected[s(r.parent)] << s(r.name);
        QAction *a = main->Items(s(r.name)).value(std::max(r.index, 1) - 1);
        ASSERT_NE(a, nullptr) << r.name;
        if (r.kind != vx::MenuRowKind::Bar && r.index < 0) {
            EXPECT_EQ(a->text(), s(r.caption)) << r.name;
        }
        EXPECT_EQ(a->shortcut().toString(), r.shortcut ? s(r.shortcut) : QString()) << r.name;
        EXPECT_EQ(a->property("HelpTopic").toInt(), r.helpTopic) << r.name;
    }
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QStringList got;
        for (QAction *a : main->Item(it.key())->menu()->actions())
            got << a->objectName();
        EXPECT_EQ(got, it.value()) << qPrintable(it.key());
    }
    // A few as the user reads them.
    EXPECT_EQ(main->Item(s("mnuFileDnld"))->text(), s("&Download..."));
    EXPECT_EQ(main->Item(s("mnuFileDnld"))->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_EQ(main->Item(s("mnuEditDelete"))->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(main->Item(s("mnuEditFindNext"))->shortcut(), QKeySequence(Qt::Key_F3));
    EXPECT_EQ(main->Item(s("mnuHelpAbout"))->text(), s("&About Voxmere"));
}

TEST_F(MainMenu, EveryItemAndButtonHasACommandOrIsListedAsPending)
{
    QStringList names;
    for (const vx::MenuRow &r : vx::MenuRows()) {
        if (r.kind == vx::MenuRowKind::Item)
            names << s(r.name);
    }
    for (const vx::ToolbarButton &b : vx::ToolbarButtons()) {
        if (!b.key)
            continue;
        if (s(b.key) != QLatin1String("New")) // New repeats the last File > New
            names << frmMDI::CommandOfKey(s(b.key));
        for (const vx::ButtonMenuItem &m : b.menu) {
            if (!QString::fromLatin1(m.key).startsWith(QLatin1String("RecentFile")))
                names << frmMDI::CommandOfKey(s(m.key));
        }
    }
    for (const QString &n : names) {
        EXPECT_FALSE(n.isEmpty());
        EXPECT_NE(frmMDI::HasCommand(n), frmMDI::IsPendingCommand(n)) << qPrintable(n);
    }
}

TEST_F(MainMenu, ToolbarKeysAndTipsInOrderWithGaps)
{
    QStringList keys;
    for (QAction *a : main->tbStdLarge->actions())
        keys << (a->isSeparator() ? QStringLiteral("|") : a->objectName() + QLatin1Char(':') + a->toolTip());
    EXPECT_EQ(keys.join(QLatin1Char(',')),
              s("New:New text box,Open:Open (Ctrl+O),Save:Save (Ctrl+S),Print:Print,Download:Download (Ctrl+D),"
                "Compile:Compile,|,Cut:Cut (Ctrl+X),Copy:Copy (Ctrl+C),Paste:Paste (Ctrl+V),Delete:Delete (Del),"
                "Find:Find (Ctrl+F),Edit:Edit,Add:Add files,|,Play:Play,Record:Record,|,Cpanels:Control panels,"
                "Phonetics:Phonetic output window,|,Help:Help (F1)"));
}

TEST_F(MainMenu, BusyGreysEverythingButStopAndPauseAndLocksTheText)
{
    frmTextBox *w = addTextWindow(QStringLiteral("Hello"));
    Port = 1;
    UpdateToolbarState();
    EXPECT_TRUE(on("mnuFileOpen"));
    EXPECT_TRUE(button("Play"));
    EXPECT_FALSE(w->txtInputBox->isReadOnly());

    Busy = true;
    SetButtonTag(ToolbarButton(s("Record")), s("Pause"));
    UpdateToolbarState();
    for (const char *m : {"mnuFile", "mnuEdit", "mnuView", "mnuUtils", "mnuWindow", "mnuHelp"})
        EXPECT_FALSE(on(m)) << m;
    // Their shortcuts are off too.
    for (const char *m : {"mnuFileOpen", "mnuFileNewText", "mnuFileClose", "mnuEditPreferences"})
        EXPECT_FALSE(on(m)) << m;
    for (QAction *a : main->tbStdLarge->actions()) {
        if (a->isSeparator())
            continue;
        const bool stopOrPause = a->objectName() == QLatin1String("Play") || a->objectName() == QLatin1String("Record");
        EXPECT_EQ(a->isEnabled(), stopOrPause) << qPrintable(a->objectName());
    }
    EXPECT_TRUE(w->txtInputBox->isReadOnly());

    Playing = true;
    UpdateToolbarState();
    EXPECT_TRUE(button("Play"));
    EXPECT_FALSE(button("Record"));

    Busy = Playing = false;
    UpdateToolbarState();
    EXPECT_TRUE(on("mnuFileOpen"));
    EXPECT_FALSE(w->txtInputBox->isReadOnly());
}

TEST_F(MainMenu, DemoModeAndTheRecordingMemoryDecideTheChipCommands)
{
    addTextWindow(QStringLiteral("Hello"));
    Port = 0;
    RecMemFree = -1;
    UpdateToolbarState();
    EXPECT_FALSE(on("mnuFilePlay"));
    EXPECT_FALSE(on("mnuFileDnld"));
    for (const char *b : {"Download", "Play", "Record"})
        EXPECT_FALSE(button(b)) << b;
    EXPECT_FALSE(on("mnuUtilsRepairRecMem"));
    EXPECT_TRUE(on("mnuFileSaveAs"));
    EXPECT_TRUE(on("mnuEditFind"));

    RecMemFree = -2;
    UpdateToolbarState();
    EXPECT_TRUE(on("mnuUtilsRepairRecMem"));

    // With no window the document items go grey.
    ActiveDocument()->record().Dirty = false;
    main->RunCommand(s("mnuFileClose"));
    UpdateToolbarState();
    EXPECT_FALSE(on("mnuFileSaveAs"));
    EXPECT_FALSE(button("Save"));
}

// Save follows the change mark at once: a click on Add or Enter in a score
// moves no focus that would refresh the menus later.
TEST_F(MainMenu, SaveFollowsTheChangeMarkAtOnce)
{
    main->show();
    main->RunCommand(s("mnuFileNewDictionary"));
    auto *dic = qobject_cast<frmDictionary *>(ActiveDocument());
    ASSERT_NE(dic, nullptr);
    EXPECT_FALSE(on("mnuFileSave"));
    dic->txtWord->setText(s("hello"));
    dic->txtSoundsLike->setText(s("<hh eh l ow>"));
    QTest::mouseClick(dic->cmdAdd, Qt::LeftButton);
    EXPECT_TRUE(dic->windowTitle().endsWith(QLatin1Char('*')));
    EXPECT_TRUE(on("mnuFileSave"));
    EXPECT_TRUE(button("Save"));

    main->RunCommand(s("mnuFileNewMusic"));
    auto *score = qobject_cast<frmMusic *>(ActiveDocument());
    ASSERT_NE(score, nullptr);
    EXPECT_FALSE(on("mnuFileSave"));
    ASSERT_TRUE(score->vbalGrid1->isEditing());
    QTest::keyClicks(score->vbalGrid1->txtEdit, s("v1qc4"));
    QTest::keyClick(score->vbalGrid1->txtEdit, Qt::Key_Return);
    EXPECT_TRUE(score->windowTitle().endsWith(QLatin1Char('*')));
    EXPECT_TRUE(on("mnuFileSave"));
    EXPECT_TRUE(button("Save"));
}

// The question before a modified window closes, as at the program's exit,
// names the program, not the window that happens to be in front.
TEST_F(MainMenu, TheSaveQuestionIsTitledWithTheProgramsName)
{
    main->show();
    main->RunCommand(s("mnuFileNewDictionary"));
    DocumentWindow *dic = ActiveDocument();
    dic->MarkModified();
    main->RunCommand(s("mnuFileNewSoundLib"));
    ActiveDocument()->frame()->showMaximized();
    ASSERT_NE(main->windowTitle(), vx::programTitle());
    prompts.queue(vx::Answer::Cancel);
    EXPECT_FALSE(dic->frame()->close());
    EXPECT_EQ(prompts.last().text.toStdString(), "Do you want to save the changes you made to Untitled1?");
    EXPECT_EQ(prompts.last().title.toStdString(), vx::programTitle().toStdString());
}

TEST_F(MainMenu, NewAndOpenGoByKindAndExtension)
{
    main->RunCommand(s("mnuFileNewMusic"));
    EXPECT_EQ(LastNewKind, 3);
    EXPECT_EQ(ToolbarButton(s("New"))->toolTip(), s("New music score"));
    main->RunCommand(s("mnuFileNewText"));
    ToolbarButton(s("New"))->trigger();
    ToolbarButtonMenu(s("New"))->actions().at(0)->trigger();
    EXPECT_EQ(textWindows(), 3);
    EXPECT_EQ(ToolbarButton(s("New"))->toolTip(), s("New text box"));

    // Generate Word List over a text window runs New dictionary first.
    const QString words = QString::fromStdString(vxtest::freshDir("menu-words")) + s("/words.txt");
    QFile text(words);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("one two two\r\n");
    text.close();
    prompts.queueFiles({words});
    main->RunCommand(s("mnuUtilsWordList"));
    EXPECT_EQ(ActiveDocument()->kind(), vx::WindowKind::Dictionary);
    EXPECT_EQ(LastNewKind, 2);
    EXPECT_EQ(ToolbarButton(s("New"))->toolTip(), s("New dictionary"));

    // The extension decides, in any case of letters.
    const QString dir = QString::fromStdString(vxtest::freshDir("menu-open"));
    QFile f(dir + s("/NOTE.TXT"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("Hello");
    f.close();
    prompts.queueFiles({f.fileName()});
    ToolbarButton(s("Open"))->trigger();
    ASSERT_NE(ActiveDocument(), nullptr);
    EXPECT_EQ(ActiveDocument()->record().FileName, f.fileName());
    prompts.queueCancel();
    main->Item(s("mnuFileOpen"))->trigger();
    EXPECT_EQ(textWindows(), 4);

    prompts.queueFiles({s("/data/a.xyz")});
    prompts.queue(vx::Answer::Ok);
    main->RunCommand(s("mnuFileOpen"));
    EXPECT_EQ(textWindows(), 4);
    EXPECT_EQ(prompts.last().text, s("Could not load /data/a.xyz.  "));
    EXPECT_EQ(prompts.last().title, s("Open File"));
    EXPECT_EQ(prompts.last().icon, vx::Icon::Critical);
}

TEST_F(MainMenu, ResetNotificationsAsksAndWritesBothNotices)
{
    DisplaySV10Warning = DisplayCompatQuery = false;
    prompts.queue(vx::Answer::No);
    main->RunCommand(s("mnuViewResetDialogs"));
    EXPECT_FALSE(DisplayCompatQuery);
    EXPECT_EQ(prompts.last().text, s("Reset all \"Don't show again\" notifications?\r\n"));
    EXPECT_EQ(prompts.last().title, s("Reset Dialog Notifications"));
    EXPECT_EQ(prompts.last().defaultButton, 2);

    prompts.queue(vx::Answer::Yes);
    main->RunCommand(s("mnuViewResetDialogs"));
    EXPECT_TRUE(DisplaySV10Warning && DisplayCompatQuery);
    EXPECT_EQ(GetSetting(kApp, kSec, s("DisplaySV10Warning")), s("True"));
    EXPECT_EQ(GetSetting(kApp, kSec, s("DisplayCompatQuery")), s("True"));
}

TEST_F(MainMenu, F1OpensTheTopicOfTheHighlightedItem)
{
    const QString help = useEmptyHelpFile("menu-help");
    ASSERT_FALSE(help.isEmpty());
    HelpCatcher catcher;
    main->show();
    for (const char *item : {"mnuEditPreferences", "mnuUtilsWordList", "mnuFileNewMusic"}) {
        QMenu *menu = qobject_cast<QMenu *>(main->Item(s(item))->parent());
        menu->popup(QPoint(0, 0));
        menu->setActiveAction(main->Item(s(item)));
        QTest::keyClick(menu, Qt::Key_F1);
        EXPECT_FALSE(menu->isVisible());
    }
    main->Item(s("mnuHelpContents"))->trigger();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    vx::setHelpFilePath(help + QStringLiteral(".gone"));
    prompts.queue(vx::Answer::Ok);
    main->RunCommand(s("Help"));
    vx::setHelpFilePath(QString());
    EXPECT_EQ(catcher.opened, (QStringList{s("topic258"), s("topic420"), QString(), QString()}));
    EXPECT_TRUE(prompts.last().text.endsWith(QLatin1String("help.html.gone is missing.")));
}

TEST_F(MainMenu, F1InAScoreOrDictionaryOpensItsSection)
{
    ASSERT_FALSE(useEmptyHelpFile("window-help").isEmpty());
    HelpCatcher catcher;
    main->show();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    for (const char *kind : {"mnuFileNewDictionary", "mnuFileNewMusic"}) {
        main->RunCommand(s(kind));
        ActiveDocument()->findChild<QAbstractItemView *>()->setFocus();
        main->RunCommand(s("Help"));
    }
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    vx::setHelpFilePath(QString());
    EXPECT_EQ(catcher.opened, (QStringList{s("topic347"), s("topic362")}));
}

TEST_F(MainMenu, CompatQueryWritesAtOnceAndItsCloseBoxEndsTheWait)
{
    For10 = false;
    vxtest::whenShown(QStringLiteral("frmCompatQuery"), [](QWidget *w) {
        auto *dlg = static_cast<frmCompatQuery *>(w);
        EXPECT_TRUE(Busy);
        // Of fixed size: no resize strip along its bottom edge.
        EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());
        dlg->chkDispWarning->click();
        EXPECT_EQ(GetSetting(kApp, kSec, s("DisplayCompatQuery")), s("False"));
        dlg->chkDispWarning->click();
        EXPECT_EQ(GetSetting(kApp, kSec, s("DisplayCompatQuery")), s("True"));
        dlg->chk3410->click();
        EXPECT_TRUE(For10 && SV10DataFiles);
        dlg->close(); // the close box, not OK
    });
    frmCompatQuery(main.get()).DisplayCompatQuery();
    EXPECT_FALSE(Busy);
    EXPECT_TRUE(DisplayCompatQuery);
    EXPECT_EQ(GetSetting(kApp, kSec, s("For10")), s("True"));
}

// Where the settings cannot be written, the first choice that is lost says
// so, naming the file and the cause; the later ones of the run do not.
TEST_F(MainMenu, AChoiceTheSettingsCannotKeepIsToldOnceARun)
{
    vx::resetSettingsNotice();
    const vxtest::BlockedSettings blocked(kApp);
    prompts.queue(vx::Answer::Ok);
    vxtest::whenShown(QStringLiteral("frmCompatQuery"), [](QWidget *w) {
        auto *dlg = static_cast<frmCompatQuery *>(w);
        dlg->chkDispWarning->click();
        dlg->chk3410->click();
        vxtest::click(dlg, "CmdOK");
    });
    frmCompatQuery(main.get()).DisplayCompatQuery();
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_TRUE(prompts.last().text.contains(blocked.file + s(": Not a directory"))) << prompts.last().text.toStdString();
    EXPECT_EQ(prompts.last().icon, vx::Icon::Exclamation);
    EXPECT_FALSE(DisplayCompatQuery); // the choice holds for this run
    EXPECT_TRUE(For10);

    StorePreferences(); // the preferences' Apply
    EXPECT_EQ(prompts.prompts().size(), 1);

    // The emulation warning's box and Reset Notifications tell it too.
    for (const bool reset : {false, true}) {
        vx::resetSettingsNotice();
        const qsizetype before = prompts.prompts().size();
        if (reset) {
            prompts.queue(vx::Answer::Yes);
            prompts.queue(vx::Answer::Ok);
            main->RunCommand(s("mnuViewResetDialogs"));
        } else {
            prompts.queue(vx::Answer::Ok);
            vxtest::whenShown(QStringLiteral("frmWarning"), [](QWidget *w) {
                static_cast<frmWarning *>(w)->chkDispWarning->click();
                vxtest::click(w, "cmdOk");
            });
            frmWarning(main.get()).DisplayWarning();
        }
        ASSERT_EQ(prompts.prompts().size(), before + (reset ? 2 : 1));
        EXPECT_TRUE(prompts.last().text.contains(blocked.file)) << prompts.last().text.toStdString();
    }
}

TEST_F(MainMenu, EmulationWarningKeepsTheProgramBusyWhileUp)
{
    bool busyWhileUp = false;
    vxtest::whenShown(QStringLiteral("frmWarning"), [&](QWidget *w) {
        busyWhileUp = Busy;
        auto *dlg = static_cast<frmWarning *>(w);
        dlg->chkDispWarning->click();
        vxtest::click(dlg, "cmdOk");
    });
    frmWarning(main.get()).DisplayWarning();
    EXPECT_TRUE(busyWhileUp);
    EXPECT_FALSE(Busy);
    EXPECT_FALSE(DisplaySV10Warning);
    EXPECT_EQ(GetSetting(kApp, kSec, s("DisplaySV10Warning")), s("False"));
}

// A notice is waited for with the event loop running, but without spinning
// it: each turn of the wait sleeps 10 ms, so between two ticks of a 100 ms
// timer the event loop wakes about ten times, and a busy machine only makes
// it fewer. (The processor time it costs is bench_notice's figure.)
TEST_F(MainMenu, ANoticeWaitsWithoutSpendingTheProcessor)
{
    constexpr int kTicks = 10;
    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(100);
    vxtest::whenShown(QStringLiteral("frmWarning"), [&](QWidget *w) {
        QObject::connect(&ticker, &QTimer::timeout, w, [&, w] {
            if (++ticks == kTicks)
                vxtest::click(w, "cmdOk");
        });
        ticker.start();
    });
    int wakeUps = 0;
    const QMetaObject::Connection counting = QObject::connect(QAbstractEventDispatcher::instance(),
                                                              &QAbstractEventDispatcher::awake, [&] { ++wakeUps; });
    frmWarning(main.get()).DisplayWarning();
    QObject::disconnect(counting);
    ticker.stop();
    EXPECT_EQ(ticks, kTicks);
    EXPECT_LE(wakeUps, kTicks * 12 + 10) << "a spinning wait wakes thousands of times";
}

TEST_F(MainMenu, ToolbarClicksPlayTheClickSound)
{
    struct Recorder : vx::ResourceSoundPlayer
    {
        QStringList played;
        void play(const QString &name) override { played << name; }
    } recorder;
    vx::ResourceSoundPlayer *previous = vx::setResourceSoundPlayer(&recorder);
    ToolbarButton(s("Phonetics"))->trigger();
    const QList<QAction *> newKinds = ToolbarButton(s("New"))->menu()->actions();
    ASSERT_FALSE(newKinds.isEmpty());
    newKinds.first()->trigger();
    vx::setResourceSoundPlayer(previous);
    EXPECT_EQ(recorder.played, (QStringList{s("CLICK"), s("CLICK")}));
    EXPECT_EQ(textWindows(), 1); // and each did its work
}

TEST_F(MainMenu, AHomePageThatCannotBeOpenedIsReported)
{
    // No desktop here to hand the address to.
    prompts.queue(vx::Answer::Ok);
    main->RunCommand(s("mnuHelpCVNHome"));
    ASSERT_EQ(prompts.prompts().size(), 1);
    EXPECT_EQ(prompts.last().text, s("Error # 429:\r\n\nNo web browser could be started."));
    EXPECT_EQ(prompts.last().buttons, vx::Buttons::Ok);
}

TEST_F(MainMenu, ASecondUpdateCheckRaisesTheOpenOne)
{
    qputenv("VOXMERE_UPDATE_SITE", "http://127.0.0.1:1"); // refused at once
    main->RunCommand(s("mnuHelpSwUpdate"));
    main->RunCommand(s("mnuHelpSwUpdate"));
    qunsetenv("VOXMERE_UPDATE_SITE");
    int open = 0;
    for (auto *d : main->findChildren<frmSwUpdate *>())
        open += d->isVisible();
    EXPECT_EQ(open, 1);
}

TEST_F(MainMenu, TheWindowMenuMarksOnlyTheActiveWindowAndWindowsShowTheirPictures)
{
    main->show();
    addTextWindow(s("one"));
    addTextWindow(s("two"));
    QMenu *menu = main->Item(s("mnuWindow"))->menu();
    emit menu->aboutToShow();
    QStringList marks; // the windows listed below the menu's last line
    for (QAction *a : menu->actions()) {
        if (a->isSeparator())
            marks.clear();
        else
            marks << QString::fromLatin1(a->isCheckable() ? (a->isChecked() ? "x" : "o") : "-");
    }
    EXPECT_EQ(marks.join(QLatin1Char(' ')), s("- x"));
    // A file name's "&" shows as it is; only the number is a mnemonic.
    ActiveDocument()->record().FileName = s("/x/R&D notes.txt");
    ActiveDocument()->RefreshCaption();
    emit menu->aboutToShow();
    EXPECT_EQ(menu->actions().last()->text(), s("&2 Text [R&&d Notes.txt]*"));
    // A text window's picture is its New command's, from the menu image list.
    EXPECT_EQ(FrameOf(ActiveDocument())->windowIcon().pixmap(16, 16).toImage(),
              images::menuImage(14).pixmap(16, 16).toImage());
}

// Pictures of every menu opened, with a text window and with none, to look
// at: run under a real display with VX_SHOT_DIR naming a folder.
TEST_F(MainMenu, MenusToLookAt)
{
    const QString dir = qEnvironmentVariable("VX_SHOT_DIR");
    if (dir.isEmpty())
        GTEST_SKIP() << "VX_SHOT_DIR not set";
    main->resize(900, 600);
    main->show();
    for (const char *when : {"text", "none"}) {
        if (QLatin1String(when) == QLatin1String("text")) {
            addTextWindow(QStringLiteral("Behind"));
            addTextWindow(QStringLiteral("Hello there"))->txtInputBox->selectAll();
        } else {
            while (ActiveDocument()) {
                ActiveDocument()->record().Dirty = false;
                main->RunCommand(s("mnuFileClose"));
            }
        }
        UpdateToolbarState();
        for (QAction *top : main->menuBar()->actions()) {
            QMenu *menu = top->menu();
            menu->popup(main->menuBar()->mapToGlobal(main->menuBar()->actionGeometry(top).bottomLeft()));
            QTest::qWait(150);
            main->screen()->grabWindow(0).save(dir + QStringLiteral("/%1-%2.png").arg(s(when), menu->objectName()));
            menu->close();
        }
    }
}

} // namespace

#include "moc_HelpCatcher.cpp"
