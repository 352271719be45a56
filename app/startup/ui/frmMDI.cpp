#include "app/startup/ui/frmMDI.h"

#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmProgress.h"
#include "app/startup/ChipLink.h"
#include "app/startup/Components.h"
#include "app/startup/Globals.h"
#include "app/startup/MainWindowRules.h"
#include "app/startup/Preferences.h"
#include "app/startup/Seams.h"
#include "app/startup/ui/Images.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/StatusBar.h"
#include "app/startup/ui/frmSplash.h"
#include "common/Clock.h"
#include "common/Delay.h"
#include "common/SafeFile.h"
#include "platform/Cp1252.h"
#include "platform/Folders.h"
#include "platform/Help.h"
#include "platform/Numbers.h"
#include "platform/Prompter.h"
#include "platform/Settings.h"
#include "platform/SingleInstance.h"

#ifdef VX_HAVE_LINK
#include "link/cTolvane.h"
#endif
#ifdef VX_HAVE_SONVERT
#include "components/sonvert/cSonvert.h"
#endif
#ifdef VX_HAVE_LEXMOLD
#include "components/lexmold/cLexmold.h"
#endif
#ifdef VX_HAVE_CANTOREL
#include "components/cantorel/cCantorel.h"
#endif

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
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
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

// The widget that carries a window's position: its sub-window frame when it
// lives in the document area.
QWidget *frameOf(QWidget *w)
{
    if (!w)
        return nullptr;
    if (auto *sub = qobject_cast<QMdiSubWindow *>(w->parentWidget()))
        return sub;
    return w;
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

// imlMenuIcons: the picture of an index, drawn like the toolbar's.
QIcon imlMenuIcons(int index)
{
    const char *k = nullptr;
    switch (index) {
    case 0:
    case 14: k = "New"; break;
    case 1: k = "Open"; break;
    case 2: k = "Paste"; break;
    case 3: k = "Find"; break;
    case 4: k = "Save"; break;
    case 5: k = "Help"; break;
    case 6: k = "Copy"; break;
    case 7: k = "Cut"; break;
    case 8: k = "Delete"; break;
    case 9: k = "Download"; break;
    case 10: k = "Print"; break;
    case 13:
    case 20: k = "Play"; break;
    case 21: k = "Record"; break;
    case 22: k = "Compile"; break;
    case 23: k = "Add"; break;
    case 27: k = "Edit"; break;
    default: return QIcon();
    }
    return images::toolbarImage(QLatin1String(k));
}

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

    theMDI() = this;
    InstallSeams();
    seams::call(seams::InitMenus, static_cast<QMainWindow *>(this));
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
        seams::SetMainCaption = nullptr;
        seams::CloseSplash = nullptr;
        seams::MainWindow = nullptr;
        seams::EndProgram = nullptr;
    }
}

frmMDI *frmMDI::instance()
{
    return theMDI();
}

void frmMDI::InstallSeams()
{
    seams::SetMainCaption = [this](const QString &caption) { setWindowTitle(caption); };
    seams::CloseSplash = [] { UnloadSplash(); };
    seams::MainWindow = [this]() -> QWidget * { return this; };
    seams::EndProgram = [this] { EndProgram(); };
}

// --- Start-up -----------------------------------------------------------------

bool frmMDI::MDIForm_Load(const QString &commandLine)
{
    // 2. One instance at a time; a second one ends here and touches nothing.
    mInstance = std::make_unique<vx::SingleInstance>(mainwin::appName());
    if (!mInstance->isFirst()) {
        mInstance.reset();
        vx::MsgBox(QStringLiteral("Voxmere is already running.  "), vx::Buttons::Ok);
        return false;
    }
    mLoading = true;

    // 3. Splash.
    frmSplash::Show();

    // 4.
    CmdChar = QString(QChar(1));
    PrevEmulation = true;
    const double splashStart = vx::Clock::seconds();
    ModuleName = QStringLiteral("Evaluation Board");

    // 5. Geometry: width, height, left, top, window state.
    const QSize screen = screenTwips();
    const mainwin::MainGeometry g = mainwin::readMainGeometry(screen.width(), screen.height());
    resize(vx::twipsToPixels(g.width), vx::twipsToPixels(g.height));
    move(vx::twipsToPixels(g.left), vx::twipsToPixels(g.top));
    mWindowState = g.windowState;

    // 6. Program folder, help file, temporary folder.
    QDir::setCurrent(vx::programFolder());
    HelpFile = vx::helpFilePath();
    TempFolder = vx::tempFolderPath();

    // 7. Components and the link library.
    CreateObjects();

    // 8.
    InitToolbar();
    QCoreApplication::processEvents();

    // 9. The registry's two fixed slots.
    DocState.resize(2);

    // 10. The serial object.
#ifdef VX_HAVE_LINK
    Comm = cTolv ? cTolv->GetCommObject() : nullptr;
#endif

    // 11. Chip link: port, handshake, identification, or demo mode.
#ifdef VX_HAVE_LINK
    InitChipLink();
#endif
    if (mEndRequested) {
        mLoading = false;
        mLoaded = true;
        bool cancel = false;
        MDIForm_Unload(cancel);
        return false;
    }

    // 12. The temporary folder exists and is empty. Without a folder of our
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

    // 13. The splash stays at least 2 s in all.
    while (vx::Clock::seconds() <= splashStart + 2.0) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    UnloadSplash();
    ShowMainWindow();
    QCoreApplication::processEvents();

    // 14. Older-chip compatibility.
    For10 = readFlag("For10", false);
    if (DisplayCompatQuery)
        seams::call(seams::DisplayCompatQuery);

    // 15. Tell the chip which compatibility to keep.
#ifdef VX_HAVE_LINK
    if (Port > 0 && Comm) {
        try {
            Comm->setOutput(CmdChar + (For10 ? QStringLiteral("-16g") : QStringLiteral("+16g")) + QChar(0));
            cTolv->RefreshStatus();
        } catch (const LinkError &) {
            // The link shows its state in the status bar below.
        }
    }
#endif

    // 16, 17. Control panels and phonetic output.
    PlaceToolWindows();

    // 18.
    ApplyMenuIcons();

    // 19.
    LastNewKind = 0;
    SetButtonTag(ToolbarButton(QStringLiteral("Play")), QStringLiteral("Play"));
    SetButtonTag(ToolbarButton(QStringLiteral("Record")), QStringLiteral("Record"));
    ChannelNames = {QStringLiteral("Mono"), QStringLiteral("Stereo")};

    // 20.
    seams::call(seams::UpdateRecentFileMenu);
    QCoreApplication::processEvents();

    // 21.
    OpenCommandLine(commandLine);

    // 22.
    FillStatusBar();

    mLoading = false;
    mLoaded = true;
    return true;
}

void frmMDI::CreateObjects()
{
#ifdef VX_HAVE_SONVERT
    cSonv = new cSonvert;
    cSonv->setTargetPath(QFile::encodeName(TempFolder).toStdString());
    cSonv->setPercentDone([this](int Percent, bool &Cancel) { cSonv_PercentDone(Percent, Cancel); });
    cSonv->setYield([] { QCoreApplication::processEvents(); });
#endif
#ifdef VX_HAVE_LEXMOLD
    DicCompiler = new cLexmold;
    DicCompiler->SetMessageSink([](const std::string &text, const std::string &title) {
        vx::MsgBox(vx::fromCp1252(QByteArrayView(text.data(), static_cast<qsizetype>(text.size()))),
                   vx::Buttons::Ok, vx::Icon::Exclamation, QString::fromStdString(title));
    });
#endif
#ifdef VX_HAVE_LINK
    cTolv = new cTolvane;
    connect(cTolv, &cTolvane::PercentDone, this, &frmMDI::cTolv_PercentDone, Qt::DirectConnection);
    connect(cTolv, &cTolvane::ChipStatus, this, &frmMDI::cTolv_ChipStatus);
    connect(cTolv, &cTolvane::CommEvent, this, &frmMDI::cTolv_CommEvent);
#endif
#ifdef VX_HAVE_CANTOREL
    MusicCompiler = new cCantorel;
#endif
}

void frmMDI::ReleaseObjects()
{
#ifdef VX_HAVE_SONVERT
    delete cSonv;
#endif
    cSonv = nullptr;
#ifdef VX_HAVE_LEXMOLD
    delete DicCompiler;
#endif
    DicCompiler = nullptr;
#ifdef VX_HAVE_LINK
    if (cTolv) {
        // The serial object goes with the library; nobody may reach it after.
        disconnect(cTolv, nullptr, this, nullptr);
        delete cTolv;
    }
#endif
    cTolv = nullptr;
    Comm = nullptr;
#ifdef VX_HAVE_CANTOREL
    delete MusicCompiler;
#endif
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

    // 16. The control panels in slot 0.
    mPanels = seams::ControlPanelWindow ? seams::ControlPanelWindow() : nullptr;
    if (mPanels) {
        DocState[0].Deleted = false;
        mPanels->setProperty("Tag", QStringLiteral("0"));
        QWidget *f = frameOf(mPanels);
        f->move(f->x(), vx::twipsToPixels(readTwips("PanelTop", 15)));
        f->move(vx::twipsToPixels(readTwips("PanelLeft", 5820)), f->y());
        f->setVisible(readFlag("PanelVisible", true));
    }
    QCoreApplication::processEvents();

    // 17. The phonetic output in slot 1: top, left, height, width, visible.
    mPhonetics = seams::PhoneticWindow ? seams::PhoneticWindow() : nullptr;
    if (mPhonetics) {
        DocState[1].Deleted = false;
        mPhonetics->setProperty("Tag", QStringLiteral("1"));
        QWidget *f = frameOf(mPhonetics);
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
        const QIcon icon = imlMenuIcons(m.index);
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
        seams::call(seams::OpenFileByType, path);
        return;
    }
    seams::call(seams::NewTextDocument);
    if (seams::DocumentWindow) {
        if (QWidget *f = frameOf(seams::DocumentWindow(2)))
            f->move(0, 0);
    }
}

void frmMDI::FillStatusBar()
{
    if (Port != 0) {
        std::int32_t size = -1;
        std::int32_t sizeForMinutes = -1;
#ifdef VX_HAVE_LINK
        if (cTolv) {
            size = cTolv->GetStatus().recMemBytes();
            sizeForMinutes = cTolv->GetStatus().recMemBytes();
        }
#endif
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

// --- Shutdown -----------------------------------------------------------------

void frmMDI::MDIForm_QueryUnload(bool &Cancel)
{
    if (Busy || UpdatingControls) {
        Cancel = true;
        return;
    }
    ClosingAll = true;
}

void frmMDI::MDIForm_Unload(bool &Cancel)
{
    if (!mLoaded)
        return;
    if (Busy) {
        Cancel = true;
        return;
    }

    // 1. Close the chip link.
#ifdef VX_HAVE_LINK
    if (Comm && Comm->PortOpen()) {
        try {
            Comm->setOutput(CmdChar + QStringLiteral("7h") + QChar(0));
        } catch (const LinkError &) {
            // The port is closed below either way.
        }
        Delay(0.25);
        try {
            Comm->setPortOpen(false);
        } catch (const LinkError &) {
        }
    }
#endif

    // 2. Geometry, only of a window the user saw.
    if (isVisible()) {
        mainwin::MainGeometry g;
        const bool normal = !(windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
        const QRect r = normal ? QRect(pos(), size()) : normalGeometry();
        g.width = vx::pixelsToTwips(r.width());
        g.height = vx::pixelsToTwips(r.height());
        g.left = vx::pixelsToTwips(r.x());
        g.top = vx::pixelsToTwips(r.y());
        g.windowState = (windowState() & Qt::WindowMinimized) ? 1 : (windowState() & Qt::WindowMaximized) ? 2 : 0;
        mainwin::saveMainGeometry(g);
    }

    // 3. The objects, in order.
    ReleaseObjects();

    // 4. No hover highlight outlives the window.
    seams::call(seams::SetRollover, static_cast<QWidget *>(nullptr));

    // 5. The temporary folder stays, empty; one that was never ours is left
    // alone.
    if (mTempFolderReady && QFileInfo(TempFolder).isDir())
        vx::emptyFolder(TempFolder);
    mTempFolderReady = false;

    MainToolbar = nullptr;
    mLoaded = false;
}

bool frmMDI::CloseDocumentWindows()
{
    for (QMdiSubWindow *sub : MDIClient->subWindowList()) {
        // A window that stays visible after its close request stopped the close;
        // one that only hid itself (the tool windows) let it go on.
        if (!sub->close() && sub->isVisible())
            return false;
    }
    return true;
}

void frmMDI::closeEvent(QCloseEvent *event)
{
    // The window shows before the start-up ends (the compatibility question
    // waits on it); closing it then would leave the program running hidden.
    if (mLoading) {
        event->ignore();
        return;
    }
    if (!mLoaded) {
        event->accept();
        return;
    }
    bool cancel = false;
    MDIForm_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    if (!CloseDocumentWindows()) {
        ClosingAll = false;
        event->ignore();
        return;
    }
    MDIForm_Unload(cancel);
    if (cancel) {
        ClosingAll = false;
        event->ignore();
        return;
    }
    event->accept();
}

// --- Events -----------------------------------------------------------------------

void frmMDI::MDIForm_MouseUp(Qt::MouseButton Button)
{
    if (Button != Qt::RightButton || Busy)
        return;
    seams::call(seams::ShowMDIFormMenu, static_cast<QWidget *>(this));
}

bool frmMDI::MDIForm_OLEDragOver(const QMimeData *Data) const
{
    if (Busy || !Data)
        return false;
    return Data->hasText() || Data->hasUrls();
}

void frmMDI::MDIForm_OLEDragDrop(const QMimeData *Data)
{
    activateWindow();
    setFocus();
    QCoreApplication::processEvents();
    if (!Data || !Data->hasUrls())
        return;
    for (const QUrl &url : Data->urls()) {
        if (!url.isLocalFile())
            continue;
        seams::call(seams::OpenFileByType, url.toLocalFile().trimmed());
    }
}

void frmMDI::dragEnterEvent(QDragEnterEvent *event)
{
    if (MDIForm_OLEDragOver(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmMDI::dragMoveEvent(QDragMoveEvent *event)
{
    if (MDIForm_OLEDragOver(event->mimeData()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void frmMDI::dropEvent(QDropEvent *event)
{
    event->acceptProposedAction();
    MDIForm_OLEDragDrop(event->mimeData());
}

bool frmMDI::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == MDIClient->viewport() && event->type() == QEvent::MouseButtonRelease) {
        // A click that a document window let pass on reaches the area too;
        // only one on the empty area is the frame's.
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (!MDIClient->viewport()->childAt(mouse->position().toPoint()))
            MDIForm_MouseUp(mouse->button());
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMDI::cSonv_PercentDone(int Percent, bool &Cancel)
{
    if (ProgressBar) {
        ProgressBar->setValue(Percent);
        ProgressBar->setText(QString::number(Percent) + QLatin1Char('%'));
    }
    Cancel = ProgressCancel;
}

void frmMDI::cTolv_PercentDone(int Percent, bool &Cancel)
{
    if (ProgressBar) {
        ProgressBar->setValue(Percent);
        ProgressBar->setText(QString::number(Percent) + QLatin1Char('%'));
    }
    Cancel = StopRequested;
}

void frmMDI::cTolv_ChipStatus(int Message)
{
    if (Message == 6) {
        frmProgress *p = frmProgress::loaded();
        if (p && p->isVisible() && !p->lblProgressMsg1->text().isEmpty())
            p->lblProgressMsg1->setText(QStringLiteral("Downloading..."));
    } else if (Message == 4 || Message == 10) {
        if (mPanels) {
            if (auto *label = mPanels->findChild<QWidget *>(QStringLiteral("lblProgressMsg")))
                label->setVisible(label->isHidden());
        }
    }
}

void frmMDI::cTolv_CommEvent()
{
    seams::call(seams::CommEvent);
}

void frmMDI::Timer1_Timer()
{
    seams::call(seams::SetRollover, static_cast<QWidget *>(nullptr));
}

void frmMDI::tbStdLarge_ButtonClick(QAction *Button)
{
    if (Button)
        seams::call(seams::ToolbarButtonClick, Button->objectName());
}

void frmMDI::tbStdLarge_ButtonMenuClick(QAction *ButtonMenu)
{
    if (ButtonMenu)
        seams::call(seams::ToolbarButtonMenuClick, ButtonMenu->objectName());
}
