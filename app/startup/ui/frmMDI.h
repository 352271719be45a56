#pragma once

#include "platform/ui/StopHandler.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <QPointer>

#include <memory>

class QAction;
class QMdiArea;
class QMimeData;
class QTimer;
class QToolBar;
class StatusBar;

namespace vx {
class SingleInstance;
}

// The program's multiple-document frame: its start-up and shutdown, the
// toolbar and status bar, and the events it receives from the link library,
// the sound converter, the hover timer and the desktop (file drops, the
// right click on its empty area). A stop signal ends it as File > Exit
// does, once the start-up and a running chip task are over.
class frmMDI : public QMainWindow, public vx::StopTarget
{
    Q_OBJECT
public:
    explicit frmMDI(QWidget *parent = nullptr);
    ~frmMDI() override;

    // The main window while one exists, else null.
    [[nodiscard]] static frmMDI *instance();

    QMdiArea *MDIClient = nullptr;
    QToolBar *tbStdLarge = nullptr;
    StatusBar *sbStatusBar = nullptr;
    QTimer *Timer1 = nullptr;

    // The start-up: refuses a second instance, shows the splash, restores
    // the window, creates the components and the link, brings the chip link
    // up, empties the temporary folder, places the tool windows, opens the
    // command line's file (or a new text window) and fills the status bar.
    // Returns false when the program is to end at once (another instance
    // runs, the user chose to quit when no chip answered, or the temporary
    // folder cannot be made).
    bool MDIForm_Load(const QString &commandLine);
    // Close request: refused while busy or while the control panels refresh.
    void MDIForm_QueryUnload(bool &Cancel);
    // Shutdown: closes the chip link ("7h", 0.25 s, port closed), saves the
    // geometry, releases the objects and empties the temporary folder.
    // Refused while busy.
    void MDIForm_Unload(bool &Cancel);

    // Whether the start-up ran to its end and no shutdown has run yet.
    [[nodiscard]] bool isLoaded() const { return mLoaded; }

    // --- A stop signal (frmMDI_Shutdown.cpp).
    [[nodiscard]] bool readyToExit() const override;
    // A chip operation, a sound played or recorded, the A/D monitor, a
    // library compile; in the start-up, the command line file's.
    [[nodiscard]] bool taskRunning() const override;
    // Presses the Stop the running operation shows (a progress window's
    // Cancel goes with the dialogs). A chipset update runs to its end.
    bool cancelTask() override;
    bool exitProgram() override;

    // --- Events.
    void MDIForm_MouseUp(Qt::MouseButton Button);
    // Whether a drag may drop here (false: the no-drop cursor).
    [[nodiscard]] bool MDIForm_OLEDragOver(const QMimeData *Data) const;
    void MDIForm_OLEDragDrop(const QMimeData *Data);
    static void cSonv_PercentDone(int Percent, bool &Cancel);
    void cTolv_PercentDone(int Percent, bool &Cancel);
    void cTolv_ChipStatus(int Message);
    void cTolv_CommEvent();
    void Timer1_Timer();
    void tbStdLarge_ButtonClick(QAction *Button);
    void tbStdLarge_ButtonMenuClick(QAction *ButtonMenu);

    // --- Menus and commands (frmMDI_Commands.cpp). Every menu item, toolbar
    // button and context-menu item runs its command through RunCommand, by
    // the menu item's name ("mnuFileSave").
    // The menu item of that name (the first of a control array); asserts it exists.
    [[nodiscard]] QAction *Item(const QString &name) const;
    // Every action of that name (the recent files share one); empty for none.
    [[nodiscard]] QList<QAction *> Items(const QString &name) const;
    // Runs the command; false when the name has no command yet (or none at all).
    bool RunCommand(const QString &name);
    // Whether a command of that name is registered, or waits for its routine.
    [[nodiscard]] static bool HasCommand(const QString &name);
    [[nodiscard]] static bool IsPendingCommand(const QString &name);
    // The menu command a toolbar key or button-menu key runs ("Save" ->
    // "mnuFileSave", "NewText" -> "mnuFileNewText"); empty for none.
    [[nodiscard]] static QString CommandOfKey(const QString &key);

    // The control panels (slot 0) and the phonetic output (slot 1), or null.
    [[nodiscard]] QWidget *panelsWindow() const { return mPanels; }
    [[nodiscard]] QWidget *phoneticWindow() const { return mPhonetics; }

    void mnuFileOpen_Click();
    void mnuFileDnld_Click();
    // Opens recent file Index (1 to 8).
    void mnuRecentFile_Click(int Index);
    void mnuFileClose_Click();
    void mnuFileSave_Click();
    void mnuFileSaveAs_Click();
    void mnuEditPreferences_Click();
    void mnuViewCtlPanels_Click();
    void mnuFileNewSoundLib_Click();
    void mnuFileNewDictionary_Click();
    void mnuFileNewText_Click();
    void mnuFileNewMusic_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();
    void mnuEditDelete_Click();
    void mnuEditSelectAll_Click();
    void mnuViewHide_Click();
    void mnuEditComment_Click();
    void mnuEditUnComment_Click();
    // Opens help at the topic of the focused control or its window; 0: contents.
    void HelpButton_Click();

    // Ends the program: during the start-up it stops there; later it closes
    // the main window.
    void EndProgram();
    // Whether EndProgram was asked for.
    [[nodiscard]] bool endRequested() const { return mEndRequested; }

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Command
    {
        const char *name;
        void (frmMDI::*handler)();
    };
    // Every registered command, by name.
    static const Command *FindCommand(const QString &name);
    void InitMenus();
    void UpdateWindowMenu();
    bool MenuHelpKey(QObject *watched, QEvent *event);
    void mnuFileCompile_Click();
    void mnuFilePrint_Click();
    void mnuFileExit_Click();
    void mnuEditEdit_Click();
    void mnuEditInsAdd_Click();
    void mnuViewPhonetics_Click();
    void mnuViewResetDialogs_Click();
    void mnuUtilsRepairRecMem_Click();
    void mnuUtilsGreeting_Click();
    // The recent-file command of the table: the item chosen last.
    void RecentFileCommand();
    void mnuWindowCascade_Click();
    void mnuWindowTile_Click();
    void mnuWindowArrange_Click();
    void mnuHelpContents_Click();
    void mnuHelpIndex_Click();
    void mnuHelpSearch_Click();
    void mnuHelpAbout_Click();
    void mnuHelpSwUpdate_Click();
    void mnuHelpCVNHome_Click();
    void mnuFilePrintSetup_Click();
    void mnuEditFind_Click();
    void mnuEditFindNext_Click();
    void mnuUtilsWordList_Click();
    void mnuFilePlay_Click();
    void mnuUtilsConvertSndFile_Click();
    void PhoneticsButton_Click();
    void CpanelsButton_Click();
    void PlayButton_Click();
    void RecordButton_Click();
    void SetNewKind(int kind);

    QHash<QString, QList<QAction *>> mItems;
    int mRecentIndex = 0; // the recent-file item being run
    QList<QAction *> mWindowList; // the Window menu's entries for the open windows
    void InitToolbar();
    void CreateObjects();
    void ReleaseObjects();
    void PlaceToolWindows();
    void ApplyMenuIcons();
    void OpenCommandLine(const QString &commandLine);
    void FillStatusBar();
    void ShowMainWindow();
    bool CloseDocumentWindows();

    std::unique_ptr<vx::SingleInstance> mInstance;
    QPointer<QWidget> mPanels;    // slot 0
    QPointer<QWidget> mPhonetics; // slot 1
    int mWindowState = 0;
    bool mLoading = false;
    bool mOpeningCommandLine = false; // the start-up's last step
    bool mLoaded = false;
    bool mEndRequested = false;
    bool mTempFolderReady = false; // created or checked as ours by the start-up
};
