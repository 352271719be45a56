#include "app/soundlib/ui/frmSoundLib.h"
#include "app/startup/ui/frmMDI.h"

#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmCompatQuery.h"
#include "app/shell/ui/frmProgress.h"
#include "app/documents/ui/OpenFiles.h"
#include "app/startup/Busy.h"
#include "app/startup/ChipLink.h"
#include "app/Globals.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/Preferences.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/MdiChild.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/documents/ui/frmPhonetic.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/documents/ui/frmMusic.h"
#include "app/documents/ui/frmTextBox.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmSplash.h"
#include "common/Clock.h"
#include "common/ui/Rollover.h"
#include "common/Delay.h"
#include "common/SafeFile.h"
#include "platform/Cp1252.h"
#include "platform/Folders.h"
#include "platform/Help.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/SingleInstance.h"
#include "platform/ui/Modal.h"

#include "link/cTolvane.h"
#include "components/sonvert/cSonvert.h"
#include "components/lexmold/cLexmold.h"
#include "components/cantorel/cCantorel.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace {

QPointer<frmMDI> &theMDI()
{
    static QPointer<frmMDI> w;
    return w;
}

QString key(const char *k)
{
    return QLatin1String(k);
}

QString settingsApp()
{
    return mainwin::appName();
}

QString settingsSection()
{
    return QLatin1String(mainwin::kSection);
}

int readTwips(const char *k, int def)
{
    return vx::readInt(settingsApp(), settingsSection(), key(k), def);
}

bool readFlag(const char *k, bool def)
{
    return vx::readBool(settingsApp(), settingsSection(), key(k), def);
}

// The screen in twips, as the stored window measures are.
QSize screenTwips()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    const QSize px = screen ? screen->geometry().size() : QSize(1024, 768);
    return {vx::pixelsToTwips(px.width()), vx::pixelsToTwips(px.height())};
}


// Image indexes of the menu items, by item name. The drawn image list has
// pictures for the indexes below; the others show no icon.
struct MenuIcon
{
    const char *item;
    int index;
};
const MenuIcon kMenuIcons[] = {
    {"mnuFileOpen", 1},          {"mnuFileSave", 4},         {"mnuFileDnld", 9},
    {"mnuFilePlay", 13},         {"mnuFileNew", 0},          {"mnuFileNewDictionary", 12},
    {"mnuFileNewSoundLib", 11},  {"mnuFileNewText", 14},     {"mnuFileNewMusic", 28},
    {"mnuFileCompile", 22},      {"mnuFilePrint", 10},       {"mnuFileExit", 17},
    {"mnuEditCopy", 6},          {"mnuEditCut", 7},          {"mnuEditDelete", 8},
    {"mnuEditFind", 3},          {"mnuEditPaste", 2},        {"mnuEditInsAdd", 23},
    {"mnuEditComment", 32},      {"mnuEditUnComment", 33},   {"mnuEditEdit", 27},
    {"mnuEditPreferences", 18},  {"mnuViewHide", 29},        {"mnuViewResetDialogs", 35},
    {"mnuUtilsWordList", 19},    {"mnuUtilsGreeting", 25},   {"mnuUtilsConvertSndFile", 15},
    {"mnuUtilsRepairRecMem", 34}, {"mnuHelpContents", 5},    {"mnuHelpCVNHome", 16},
    {"mnuHelpSwUpdate", 30},     {"mnuHelpSearch", 36},      {"mnuHelpAbout", 26},
};

} // namespace

frmMDI::frmMDI(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMDI"));
    setWindowTitle(vx::programTitle());
    setAcceptDrops(true);

    MDIClient = new QMdiArea(this);
    MDIClient->setObjectName(QStringLiteral("MDIClient"));
    MDIClient->setBackground(QColor(171, 171, 171));
    MDIClient->viewport()->installEventFilter(this);
    setCentralWidget(MDIClient);

    tbStdLarge = new QToolBar(QStringLiteral("Standard"), this);
    tbStdLarge->setObjectName(QStringLiteral("tbStdLarge"));
    tbStdLarge->setIconSize(QSize(24, 24));
    tbStdLarge->setMovable(false);
    tbStdLarge->setVisible(false);
    BuildMainToolbar(tbStdLarge);
    addToolBar(Qt::TopToolBarArea, tbStdLarge);
    connect(tbStdLarge, &QToolBar::actionTriggered, this, [this](QAction *a) {
        // The drop-down menus' items arrive here too; they go their own way.
        if (tbStdLarge->actions().contains(a))
            tbStdLarge_ButtonClick(a);
    });
    for (QAction *button : tbStdLarge->actions()) {
        if (QMenu *menu = button->menu())
            connect(menu, &QMenu::triggered, this, &frmMDI::tbStdLarge_ButtonMenuClick);
    }

    sbStatusBar = new StatusBar(this);
    setStatusBar(sbStatusBar);
    sbStatusBar->SetPanelText(1, QStringLiteral("For Help, press F1"));
    sbStatusBar->SetPanelPicture(images::statusImage(4));

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(250);
    connect(Timer1, &QTimer::timeout, this, &frmMDI::Timer1_Timer);
    // The dictionary window's group pictures (Tag 2) swap images; it hands
    // its icons over when it is built.
    vx::setRolloverHost(Timer1, vx::RolloverPictures::Swap);

    theMDI() = this;
    vx::setDialogOwner(this);
    RegisterTextDocuments();
    RegisterSoundLibDocuments();
    RegisterDictionaryDocuments();
    RegisterMusicDocuments();
    InitMenus();
}

frmMDI::~frmMDI()
{
    // A window that is destroyed without closing (tests, a failed start)
    // still lets go of the objects it made.
    if (mLoaded)
        ReleaseObjects();
    UnloadSplash();
    if (theMDI() == this) {
        theMDI() = nullptr;
        vx::setDialogOwner(nullptr);
    }
}

frmMDI *frmMDI::instance()
{
    return theMDI();
}

// --- Start-up -----------------------------------------------------------------

bool frmMDI::MDIForm_Load(const QString &commandLine)
{
    // One instance at a time; a second one ends here and touches nothing.
    mInstance = std::make_unique<vx::SingleInstance>(mainwin::appName());
    if (!mInstance->isFirst()) {
        mInstance.reset();
        vx::MsgBox(QStringLiteral("Voxmere is already running.  "), vx::Buttons::Ok);
        return false;
    }
    mLoading = true;

    // Splash.
    frmSplash::Show();

    CmdChar = QString(QChar(1));
    PrevEmulation = true;
    const double splashStart = vx::Clock::seconds();
    ModuleName = QStringLiteral("Evaluation Board");

    // Geometry: width, height, left, top, window state.
    const QSize screen = screenTwips();
    // Wide enough, where the screen allows, for the status bar's message to
    // read whole beside the longest texts the other panels show at start.
    const int wanted = sbStatusBar->WidthToShow(
        {QLatin1String(mainwin::kDemoEmulationText), QLatin1String(mainwin::kDemoAddressingText),
         mainwin::chipsetPanelText(QStringLiteral("SV3420"), 7680 * 1024, 7680 * 1024),
         mainwin::dictionaryPanelText(true)});
    const mainwin::MainGeometry g =
        mainwin::readMainGeometry(screen.width(), screen.height(), vx::pixelsToTwips(wanted));
    resize(vx::twipsToPixels(g.width), vx::twipsToPixels(g.height));
    move(vx::twipsToPixels(g.left), vx::twipsToPixels(g.top));
    mWindowState = g.windowState;

    // Program folder, help file, temporary folder.
    QDir::setCurrent(vx::programFolder());
    HelpFile = vx::helpFilePath();
    TempFolder = vx::tempFolderPath();

    // Components and the link library.
    CreateObjects();

    InitToolbar();
    QCoreApplication::processEvents();

    // The registry's two fixed slots.
    DocState.resize(2);

    // The serial object.
    Comm = cTolv ? cTolv->GetCommObject() : nullptr;

    // Chip link: port, handshake, identification, or demo mode.
    InitChipLink();
    if (mEndRequested) {
        mLoading = false;
        mLoaded = true;
        bool cancel = false;
        MDIForm_Unload(cancel);
        return false;
    }

    // The temporary folder exists and is empty. Without a folder of our
    // own there is nowhere safe for the converted files: the program ends.
    QString error;
    if (!vx::createTempFolder(TempFolder, &error)) {
        UnloadSplash();
        vx::MsgBox(error, vx::Buttons::Ok, vx::Icon::Exclamation);
        mLoading = false;
        mLoaded = true;
        bool cancel = false;
        MDIForm_Unload(cancel);
        return false;
    }
    mTempFolderReady = true;
    vx::sweepStaleParts(QFile::encodeName(TempFolder).toStdString());
    vx::emptyFolder(TempFolder);

    // The splash stays at least 2 s in all.
    while (vx::Clock::seconds() <= splashStart + 2.0) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    UnloadSplash();
    ShowMainWindow();
    QCoreApplication::processEvents();

    // Older-chip compatibility.
    For10 = readFlag("For10", false);
    if (DisplayCompatQuery) {
        // The program is busy while the question waits, and its menus and
        // toolbar say so.
        BeginBusy();
        frmCompatQuery(this).DisplayCompatQuery();
        EndBusy();
    }

    // Tell the chip which compatibility to keep.
    if (Port > 0 && Comm) {
        try {
            Comm->setOutput(CmdChar + (For10 ? QStringLiteral("-16g") : QStringLiteral("+16g")) + QChar(0));
            cTolv->RefreshStatus();
        } catch (const LinkError &) {
            // The link shows its state in the status bar below.
        }
    }

    // Control panels and phonetic output.
    PlaceToolWindows();

    ApplyMenuIcons();

    LastNewKind = 0;
    SetButtonTag(ToolbarButton(QStringLiteral("Play")), QStringLiteral("Play"));
    SetButtonTag(ToolbarButton(QStringLiteral("Record")), QStringLiteral("Record"));
    ChannelNames = {QStringLiteral("Mono"), QStringLiteral("Stereo")};

    UpdateRecentFileMenu();
    QCoreApplication::processEvents();

    // Filled before the command line's file is opened: a dictionary it
    // downloads names itself in the status bar, and that must stay.
    FillStatusBar();

    {
        // A file that plays or downloads here is a task a stop ends.
        const QScopedValueRollback opening(mOpeningCommandLine, true);
        OpenCommandLine(commandLine);
    }

    mLoading = false;
    mLoaded = true;
    return true;
}

void frmMDI::CreateObjects()
{
    cSonv = new cSonvert;
    cSonv->setTargetPath(QFile::encodeName(TempFolder).toStdString());
    cSonv->setPercentDone(&frmMDI::cSonv_PercentDone);
    cSonv->setYield([] { QCoreApplication::processEvents(); });
    DicCompiler = new cLexmold;
    DicCompiler->SetMessageSink([](const std::string &text, const std::string &title) {
        vx::MsgBox(vx::fromCp1252(QByteArrayView(text.data(), static_cast<qsizetype>(text.size()))),
                   vx::Buttons::Ok, vx::Icon::Exclamation, QString::fromStdString(title));
    });
    cTolv = new cTolvane;
    connect(cTolv, &cTolvane::PercentDone, this, &frmMDI::cTolv_PercentDone, Qt::DirectConnection);
    connect(cTolv, &cTolvane::ChipStatus, this, &frmMDI::cTolv_ChipStatus);
    connect(cTolv, &cTolvane::CommEvent, this, &frmMDI::cTolv_CommEvent);
    MusicCompiler = new cCantorel;
}

void frmMDI::ReleaseObjects()
{
    delete cSonv;
    cSonv = nullptr;
    delete DicCompiler;
    DicCompiler = nullptr;
    if (cTolv) {
        // The serial object goes with the library; nobody may reach it after.
        disconnect(cTolv, nullptr, this, nullptr);
        delete cTolv;
    }
    cTolv = nullptr;
    Comm = nullptr;
    delete MusicCompiler;
    MusicCompiler = nullptr;
}

void frmMDI::InitToolbar()
{
    tbStdLarge->setVisible(true);
    MainToolbar = tbStdLarge;
}

void frmMDI::ShowMainWindow()
{
    switch (mWindowState) {
    case 1:
        showMinimized();
        break;
    case 2:
        showMaximized();
        break;
    default:
        show();
        break;
    }
}

void frmMDI::PlaceToolWindows()
{
    const int mainHeight = vx::pixelsToTwips(frameGeometry().height());
    const int mainWidth = vx::pixelsToTwips(frameGeometry().width());

    // The control panels in slot 0.
    mPanels = ControlPanels();
    {
        QWidget *f = FrameOf(mPanels);
        f->move(f->x(), vx::twipsToPixels(readTwips("PanelTop", 15)));
        f->move(vx::twipsToPixels(readTwips("PanelLeft", 5820)), f->y());
        f->setVisible(readFlag("PanelVisible", true));
    }
    QCoreApplication::processEvents();

    // The phonetic output in slot 1: top, left, height, width, visible.
    mPhonetics = PhoneticWindow();
    {
        QWidget *f = FrameOf(mPhonetics);
        f->move(f->x(), vx::twipsToPixels(readTwips("PhoneticsTop", mainHeight - 2780)));
        f->move(vx::twipsToPixels(readTwips("PhoneticsLeft", 0)), f->y());
        f->resize(f->width(), vx::twipsToPixels(readTwips("PhoneticsHeight", 1100)));
        f->resize(vx::twipsToPixels(readTwips("PhoneticsWidth", mainWidth - 200)), f->height());
        f->setVisible(readFlag("PhoneticsVisible", false));
    }
    QCoreApplication::processEvents();
}

void frmMDI::ApplyMenuIcons()
{
    for (const MenuIcon &m : kMenuIcons) {
        const QIcon icon = images::menuImage(m.index);
        if (icon.isNull())
            continue;
        for (QAction *a : findChildren<QAction *>(QLatin1String(m.item)))
            a->setIcon(icon);
    }
}

void frmMDI::OpenCommandLine(const QString &commandLine)
{
    const QString path = mainwin::commandLineFile(commandLine);
    if (!commandLine.trimmed().isEmpty()) {
        OpenFileByType(path);
        return;
    }
    NewTextDocument();
    if (QWidget *f = FrameOf(DocumentAt(2)))
        f->move(0, 0);
}

void frmMDI::FillStatusBar()
{
    if (Port != 0) {
        std::int32_t size = -1;
        std::int32_t sizeForMinutes = -1;
        if (cTolv) {
            size = cTolv->GetStatus().recMemBytes();
            sizeForMinutes = cTolv->GetStatus().recMemBytes();
        }
        sbStatusBar->SetPanelText(4, mainwin::chipsetPanelText(ChipModel, size, sizeForMinutes));
    } else {
        sbStatusBar->SetPanelText(2, QLatin1String(mainwin::kDemoEmulationText));
        sbStatusBar->SetPanelText(3, QLatin1String(mainwin::kDemoAddressingText));
        sbStatusBar->SetPanelText(4, QLatin1String(mainwin::kDemoChipsetText));
    }
    sbStatusBar->SetPanelText(5, mainwin::dictionaryPanelText(DictionaryKnown));
}

void frmMDI::EndProgram()
{
    mEndRequested = true;
    // Later, the caller finishes its own steps first; the window closes once
    // the event loop has it again.
    if (!mLoading)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}
