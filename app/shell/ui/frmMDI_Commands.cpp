#include "app/startup/ui/frmMDI.h"

#include "app/Globals.h"
#include "app/documents/ui/CompileDrivers.h"
#include "app/documents/ui/DocumentWindow.h"
#include "app/documents/ui/Documents.h"
#include "app/documents/ui/MdiChild.h"
#include "app/documents/ui/FileCommands.h"
#include "app/documents/ui/FileDialogs.h"
#include "app/documents/ui/OpenFiles.h"
#include "app/documents/ui/frmDictionary.h"
#include "app/documents/ui/frmFind.h"
#include "app/panels/ui/frmCpanels.h"
#include "app/shell/CompatRules.h"
#include "app/shell/MenuTable.h"
#include "app/shell/ui/EditCommands.h"
#include "app/shell/ui/ListingPrinter.h"
#include "app/shell/ui/ProgressBar.h"
#include "app/shell/ui/frmAbout.h"
#include "app/shell/ui/ToolbarState.h"
#include "app/shell/ui/frmProgress.h"
#include "app/soundlib/ui/SoundPreview.h"
#include "app/startup/Busy.h"
#include "app/startup/ChipLink.h"
#include "app/startup/ui/ChipDownloads.h"
#include "app/startup/ui/GreetingMessage.h"
#include "app/startup/ui/MainToolbar.h"
#include "app/startup/ui/Recording.h"
#include "app/startup/ui/Speaking.h"
#include "link/LinkError.h"
#include "link/cTolvane.h"
#include "platform/Help.h"
#include "platform/Prompter.h"
#include "platform/ResourceSound.h"
#include "platform/Settings.h"
#include "platform/ui/Modal.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QUrl>

#include <array>
#include <iterator>

// The menu bar built from the menu table, and the one table of commands that
// the menus, the toolbar and the context menus run by item name.

const frmMDI::Command *frmMDI::FindCommand(const QString &name)
{
    static const Command kCommands[] = {
        {"mnuFileNewText", &frmMDI::mnuFileNewText_Click},
        {"mnuFileNewSoundLib", &frmMDI::mnuFileNewSoundLib_Click},
        {"mnuFileNewDictionary", &frmMDI::mnuFileNewDictionary_Click},
        {"mnuFileNewMusic", &frmMDI::mnuFileNewMusic_Click},
        {"mnuFileOpen", &frmMDI::mnuFileOpen_Click},
        {"mnuFileDnld", &frmMDI::mnuFileDnld_Click},
        {"mnuFilePlay", &frmMDI::mnuFilePlay_Click},
        {"mnuRecentFile", &frmMDI::RecentFileCommand},
        {"mnuFileCompile", &frmMDI::mnuFileCompile_Click},
        {"mnuFileClose", &frmMDI::mnuFileClose_Click},
        {"mnuFileSave", &frmMDI::mnuFileSave_Click},
        {"mnuFileSaveAs", &frmMDI::mnuFileSaveAs_Click},
        {"mnuFilePrint", &frmMDI::mnuFilePrint_Click},
        {"mnuFileExit", &frmMDI::mnuFileExit_Click},
        {"mnuEditEdit", &frmMDI::mnuEditEdit_Click},
        {"mnuEditInsAdd", &frmMDI::mnuEditInsAdd_Click},
        {"mnuEditComment", &frmMDI::mnuEditComment_Click},
        {"mnuEditUnComment", &frmMDI::mnuEditUnComment_Click},
        {"mnuViewHide", &frmMDI::mnuViewHide_Click},
        {"mnuEditPreferences", &frmMDI::mnuEditPreferences_Click},
        {"mnuViewCtlPanels", &frmMDI::mnuViewCtlPanels_Click},
        {"mnuViewPhonetics", &frmMDI::mnuViewPhonetics_Click},
        {"mnuViewResetDialogs", &frmMDI::mnuViewResetDialogs_Click},
        {"mnuUtilsRepairRecMem", &frmMDI::mnuUtilsRepairRecMem_Click},
        {"mnuUtilsGreeting", &frmMDI::mnuUtilsGreeting_Click},
        {"mnuWindowCascade", &frmMDI::mnuWindowCascade_Click},
        {"mnuWindowTile", &frmMDI::mnuWindowTile_Click},
        {"mnuWindowArrange", &frmMDI::mnuWindowArrange_Click},
        {"mnuHelpContents", &frmMDI::mnuHelpContents_Click},
        {"mnuHelpIndex", &frmMDI::mnuHelpIndex_Click},
        {"mnuHelpSearch", &frmMDI::mnuHelpSearch_Click},
        {"mnuEditCut", &frmMDI::mnuEditCut_Click},
        {"mnuEditCopy", &frmMDI::mnuEditCopy_Click},
        {"mnuEditPaste", &frmMDI::mnuEditPaste_Click},
        {"mnuEditDelete", &frmMDI::mnuEditDelete_Click},
        {"mnuEditSelectAll", &frmMDI::mnuEditSelectAll_Click},
        {"mnuFilePrintSetup", &frmMDI::mnuFilePrintSetup_Click},
        {"mnuHelpAbout", &frmMDI::mnuHelpAbout_Click},
        {"mnuHelpSwUpdate", &frmMDI::mnuHelpSwUpdate_Click},
        {"mnuHelpCVNHome", &frmMDI::mnuHelpCVNHome_Click},
        {"mnuEditFind", &frmMDI::mnuEditFind_Click},
        {"mnuEditFindNext", &frmMDI::mnuEditFindNext_Click},
        {"mnuUtilsWordList", &frmMDI::mnuUtilsWordList_Click},
        {"mnuUtilsConvertSndFile", &frmMDI::mnuUtilsConvertSndFile_Click},
        // Toolbar buttons with no menu item of their own.
        {"Help", &frmMDI::HelpButton_Click},
        {"Phonetics", &frmMDI::PhoneticsButton_Click},
        {"Cpanels", &frmMDI::CpanelsButton_Click},
        {"Play", &frmMDI::PlayButton_Click},
        {"Record", &frmMDI::RecordButton_Click},
    };
    for (const Command &c : kCommands) {
        if (name == QLatin1String(c.name))
            return &c;
    }
    return nullptr;
}

namespace {

// Commands whose routines belong to windows and routines not written yet.
// Their items are built and take part in the menu state; choosing one does
// nothing until its routine is registered above and its name leaves here.
const std::array<const char *, 0> kPendingCommands{};

// Toolbar and button-menu keys that run a menu command.
struct KeyCommand
{
    const char *key;
    const char *command;
};
const KeyCommand kKeyCommands[] = {
    {"Open", "mnuFileOpen"},       {"Save", "mnuFileSave"},           {"Print", "mnuFilePrint"},
    {"Download", "mnuFileDnld"},   {"Compile", "mnuFileCompile"},     {"Copy", "mnuEditCopy"},
    {"Cut", "mnuEditCut"},         {"Paste", "mnuEditPaste"},         {"Delete", "mnuEditDelete"},
    {"Find", "mnuEditFind"},       {"Edit", "mnuEditEdit"},           {"Add", "mnuEditInsAdd"},
    {"NewText", "mnuFileNewText"}, {"NewSoundLib", "mnuFileNewSoundLib"}, {"NewDict", "mnuFileNewDictionary"},
    {"NewMusic", "mnuFileNewMusic"}, {"Contents", "mnuHelpContents"}, {"Index", "mnuHelpIndex"},
    {"Search", "mnuHelpSearch"},   {"Help", "Help"},                  {"Phonetics", "Phonetics"},
    {"Cpanels", "Cpanels"},        {"Play", "Play"},                  {"Record", "Record"},
};

const char *const kNewCommands[] = {"mnuFileNewText", "mnuFileNewSoundLib", "mnuFileNewDictionary",
                                    "mnuFileNewMusic"};

QString text(const char *s)
{
    return QString::fromLatin1(s);
}


// The active document carries out a command of the Edit or View menu.
void activeDocumentCommand(EditAction action)
{
    if (DocumentWindow *doc = ActiveDocument())
        doc->EditCommand(action);
    UpdateToolbarState();
}

// Shows a tool window when hidden and hides it when shown; true when now shown.
bool toggle(QWidget *w)
{
    QWidget *f = FrameOf(w);
    if (!f)
        return false;
    const bool show = f->isHidden();
    f->setVisible(show);
    if (show)
        w->show();
    return show;
}

} // namespace

// --- The menu bar ---------------------------------------------------------------

void frmMDI::InitMenus()
{
    QHash<QString, QMenu *> menus;
    for (const vx::MenuRow &r : vx::MenuRows()) {
        const QString name = text(r.name);
        QMenu *parent = r.parent ? menus.value(text(r.parent)) : nullptr;
        QAction *a = nullptr;
        if (r.kind == vx::MenuRowKind::Menu) {
            QMenu *m = parent ? parent->addMenu(text(r.caption)) : menuBar()->addMenu(text(r.caption));
            m->setObjectName(name);
            m->installEventFilter(this);
            menus.insert(name, m);
            a = m->menuAction();
        } else if (r.kind == vx::MenuRowKind::Bar) {
            a = parent->addSeparator();
        } else {
            a = parent->addAction(text(r.caption));
            if (r.shortcut)
                a->setShortcut(QKeySequence(text(r.shortcut)));
            a->setCheckable(r.checkable);
            if (r.index >= 0) {
                a->setProperty("Index", r.index);
                // Filled by the recent-file list; hidden while empty.
                a->setVisible(false);
                const int index = r.index;
                connect(a, &QAction::triggered, this, [this, index] {
                    mRecentIndex = index;
                    RunCommand(QStringLiteral("mnuRecentFile"));
                });
            } else {
                connect(a, &QAction::triggered, this, [this, name] { RunCommand(name); });
            }
        }
        a->setObjectName(name);
        a->setProperty("HelpTopic", r.helpTopic);
        mItems[name].append(a);
    }
    connect(menus.value(QStringLiteral("mnuWindow")), &QMenu::aboutToShow, this, &frmMDI::UpdateWindowMenu);

    // F1 outside the menus asks for help on what has the focus.
    auto *help = new QAction(this);
    help->setObjectName(QStringLiteral("HelpKey"));
    help->setShortcut(QKeySequence(Qt::Key_F1));
    connect(help, &QAction::triggered, this, &frmMDI::HelpButton_Click);
    addAction(help);
}

QAction *frmMDI::Item(const QString &name) const
{
    const QList<QAction *> items = mItems.value(name);
    Q_ASSERT_X(!items.isEmpty(), "frmMDI::Item", qPrintable(name));
    return items.value(0);
}

QList<QAction *> frmMDI::Items(const QString &name) const
{
    return mItems.value(name);
}

// The Window menu lists the open child windows after its own items.
void frmMDI::UpdateWindowMenu()
{
    QMenu *menu = Item(QStringLiteral("mnuWindow"))->menu();
    qDeleteAll(mWindowList);
    mWindowList.clear();
    const QList<QMdiSubWindow *> subs = MDIClient->subWindowList();
    int n = 0;
    for (QMdiSubWindow *sub : subs) {
        if (!sub->isVisible())
            continue;
        if (n == 0)
            mWindowList.append(menu->addSeparator());
        ++n;
        // The number is the mnemonic; an "&" of the caption's file name shows as it is.
        QString caption = sub->windowTitle();
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction *a = menu->addAction(QStringLiteral("&%1 %2").arg(n).arg(caption));
        // Only the active window carries a mark; the others show none at all.
        const bool active = sub == MDIClient->currentSubWindow();
        a->setCheckable(active);
        a->setChecked(active);
        connect(a, &QAction::triggered, this, [this, sub] { MDIClient->setActiveSubWindow(sub); });
        mWindowList.append(a);
    }
}

// F1 on a highlighted menu item opens its help topic.
bool frmMDI::MenuHelpKey(QObject *watched, QEvent *event)
{
    auto *menu = qobject_cast<QMenu *>(watched);
    if (!menu || event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_F1)
        return false;
    QAction *item = menu->activeAction() ? menu->activeAction() : menu->menuAction();
    const int topic = item->property("HelpTopic").toInt();
    for (QWidget *w = menu; w; w = qobject_cast<QMenu *>(w->parentWidget()))
        w->close();
    vx::showHelpTopic(topic);
    return true;
}

// --- The command table ----------------------------------------------------------

bool frmMDI::HasCommand(const QString &name)
{
    return FindCommand(name) != nullptr;
}

bool frmMDI::IsPendingCommand(const QString &name)
{
    for (const char *p : kPendingCommands) {
        if (name == QLatin1String(p))
            return true;
    }
    return false;
}

QString frmMDI::CommandOfKey(const QString &key)
{
    for (const KeyCommand &k : kKeyCommands) {
        if (key == QLatin1String(k.key))
            return text(k.command);
    }
    return {};
}

bool frmMDI::RunCommand(const QString &name)
{
    const Command *c = FindCommand(name);
    if (!c)
        return false;
    (this->*(c->handler))();
    return true;
}

void frmMDI::tbStdLarge_ButtonClick(QAction *Button)
{
    if (!Button)
        return;
    vx::PlayResourceSound(QStringLiteral("CLICK"));
    const QString key = Button->objectName();
    if (key == QLatin1String("New")) {
        if (LastNewKind >= 0 && LastNewKind < int(std::size(kNewCommands)))
            RunCommand(text(kNewCommands[LastNewKind]));
        return;
    }
    RunCommand(CommandOfKey(key));
}

void frmMDI::tbStdLarge_ButtonMenuClick(QAction *ButtonMenu)
{
    if (!ButtonMenu)
        return;
    vx::PlayResourceSound(QStringLiteral("CLICK"));
    const QString key = ButtonMenu->objectName();
    if (key.startsWith(QLatin1String("RecentFile"))) {
        mRecentIndex = key.mid(10).toInt();
        RunCommand(QStringLiteral("mnuRecentFile"));
        return;
    }
    RunCommand(CommandOfKey(key));
}

// --- File -----------------------------------------------------------------------

void frmMDI::SetNewKind(int kind)
{
    LastNewKind = kind;
    if (QAction *button = ToolbarButton(QStringLiteral("New")))
        button->setToolTip(text(vx::NewButtonToolTip(kind)));
}

void frmMDI::mnuFileNewText_Click()
{
    SetNewKind(0);
    NewTextDocument();
    UpdateToolbarState();
}

void frmMDI::mnuFileNewSoundLib_Click()
{
    SetNewKind(1);
    NewSoundLibDocument();
    UpdateToolbarState();
}

void frmMDI::mnuFileNewDictionary_Click()
{
    SetNewKind(2);
    NewDictionaryDocument();
    UpdateToolbarState();
}

void frmMDI::mnuFileNewMusic_Click()
{
    SetNewKind(3);
    NewMusicDocument();
    UpdateToolbarState();
}

void frmMDI::mnuFileOpen_Click()
{
    const QString path = GetOpenDocFileName();
    if (path.isEmpty())
        return;
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("txt"))
        OpenTextFile(path);
    else if (ext == QLatin1String("dic"))
        OpenDictionaryFile(path);
    else if (ext == QLatin1String("sfl"))
        OpenSoundLibFile(path);
    else if (ext == QLatin1String("tgn"))
        OpenMusicFile(path);
    else
        CouldNotLoad(path);
    UpdateToolbarState();
}

void frmMDI::mnuRecentFile_Click(int Index)
{
    OpenRecentFile(Index);
    UpdateToolbarState();
}

void frmMDI::RecentFileCommand()
{
    mnuRecentFile_Click(mRecentIndex);
}

void frmMDI::mnuFileDnld_Click()
{
    const QString path = GetDownloadFileName();
    if (path.isEmpty())
        return;
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("grt"))
        DownloadGreeting(path);
    else if (ext == QLatin1String("dix"))
        DownloadDictionary(path);
    else if (ext == QLatin1String("sfx"))
        DownloadSoundLibrary(path);
    else if (ext == QLatin1String("pcm"))
        DownloadFile(path);
    else
        vx::MsgBox(path + QStringLiteral(" is not a recognized ") + ChipModel + QStringLiteral(" file format.  "),
                   vx::Buttons::Ok, vx::Icon::Critical, DownloadTitle);
}

void frmMDI::mnuFileCompile_Click()
{
    if (DocumentWindow *doc = ActiveDocument())
        doc->Compile();
    UpdateToolbarState();
}

void frmMDI::mnuFileClose_Click()
{
    // Its own close handling asks about unsaved changes.
    FileClose();
    UpdateToolbarState();
}

void frmMDI::mnuFileSave_Click()
{
    FileSave();
}

void frmMDI::mnuFileSaveAs_Click()
{
    FileSaveAs();
}

void frmMDI::mnuFilePrint_Click()
{
    if (DocumentWindow *doc = ActiveDocument())
        doc->PrintListing();
}

void frmMDI::mnuEditEdit_Click()
{
    activeDocumentCommand(EditAction::Edit);
}

void frmMDI::mnuEditInsAdd_Click()
{
    activeDocumentCommand(EditAction::InsertAdd);
}

void frmMDI::mnuEditComment_Click()
{
    activeDocumentCommand(EditAction::Comment);
}

void frmMDI::mnuEditUnComment_Click()
{
    activeDocumentCommand(EditAction::Uncomment);
}

void frmMDI::mnuViewHide_Click()
{
    activeDocumentCommand(EditAction::HideShow);
}

void frmMDI::mnuFileExit_Click()
{
    close();
}

// --- Edit and View --------------------------------------------------------------

void frmMDI::mnuEditPreferences_Click()
{
    if (EditPortPreferences() && Port != 0) {
        InitChipLink();
        // Another port may mean another chip.
        if (mPanels && FrameOf(mPanels)->isVisible() && Port >= 1)
            RefreshControlPanels();
    }
    UpdateToolbarState();
}

void frmMDI::mnuViewCtlPanels_Click()
{
    // Shown again, the panels read the chip: it may have changed meanwhile.
    if (toggle(mPanels))
        ShowControlPanel();
    UpdateToolbarState();
}

void frmMDI::mnuViewPhonetics_Click()
{
    toggle(mPhonetics);
    UpdateToolbarState();
}

void frmMDI::CpanelsButton_Click()
{
    mnuViewCtlPanels_Click();
}

void frmMDI::PhoneticsButton_Click()
{
    mnuViewPhonetics_Click();
}

void frmMDI::PlayButton_Click()
{
    // While a sound or recording plays the button is Stop, whichever window is active.
    if (Playing) {
        StopPlayback();
        return;
    }
    // A music score plays from its grid, a sound library its current sound;
    // the other windows are spoken.
    const DocumentWindow *doc = ActiveDocument();
    if (!Busy && !UpdatingControls && doc && doc->kind() == vx::WindowKind::Music) {
        PlayMusicScore();
        return;
    }
    if (!Busy && !UpdatingControls && doc && doc->kind() == vx::WindowKind::SoundLib) {
        PlaySelectedSoundFile();
        return;
    }
    PlayTextOrRecording();
}

void frmMDI::RecordButton_Click()
{
    // The control panels record into the chip's recording memory.
    if (!Busy && ActiveDocIndex == 0) {
        RecordToRecordingMemory();
        return;
    }
    RecordTextToWaveCommand();
}
