#pragma once

// Hooks through which the start-up and chip-link routines reach windows and
// routines that other parts of the program own. Each stays empty until its
// owner installs it; callers treat an empty hook as "nothing to do".

#include <functional>

class QWidget;

namespace seams {

// Refreshes every menu and toolbar state from the active window and Busy.
inline std::function<void()> UpdateToolbarState;
// The window in a registry slot, or null when the slot has none.
inline std::function<QWidget *(int slot)> DocumentWindow;

// Calls a hook when it is installed.
template <typename F, typename... A>
inline void call(const F &hook, A &&...args)
{
    if (hook)
        hook(std::forward<A>(args)...);
}

} // namespace seams

// --- Chip link set-up -------------------------------------------------------
#include <QString>

namespace seams {

// Sets the main window's caption.
inline std::function<void(const QString &caption)> SetMainCaption;
// Closes the splash window when it is up.
inline std::function<void()> CloseSplash;
// The main window, to centre dialogs over; null before it exists.
inline std::function<QWidget *()> MainWindow;
// Puts the control panels into their demo state (voice parameter sliders and
// lists at 0, the register buttons of bit 0 pressed as the demo set-up does).
inline std::function<void()> DemoPanels;
// Unloads every window and ends the program (Quit in the communication-error dialog).
inline std::function<void()> EndProgram;

} // namespace seams

// --- Preferences ------------------------------------------------------------
namespace seams {

// Paints a sound library list view's rows in two alternating colours
// (0xBBGGRR values), following TblAltColor.
inline std::function<void(QWidget *listView, int colour1, int colour2)> SetListViewAltRowColors;

} // namespace seams

// --- Chipset update -----------------------------------------------------------
namespace seams {

// Writes one file into the chip with the progress dialog up (the download
// routine of the main program). Throws LinkError on failure; returns false
// when the transfer was cancelled. Leaves the busy state entered. When empty,
// the chipset update calls the link library itself.
inline std::function<bool(const QString &path)> LinkTransferFile;

} // namespace seams

// --- Main window: start-up, events and shutdown -------------------------------
class QMainWindow;

namespace seams {

// The control panel window and the phonetic-output window, created on first
// use; null when there is none. Their geometry keys are applied by the start-up.
inline std::function<QWidget *()> ControlPanelWindow;
inline std::function<QWidget *()> PhoneticWindow;
// Builds the main window's menu bar and connects its handlers.
inline std::function<void(QMainWindow *main)> InitMenus;
// The compatibility query of the start-up; sets For10.
inline std::function<void()> DisplayCompatQuery;
// Rebuilds the recent-file menu from the settings store.
inline std::function<void()> UpdateRecentFileMenu;
// Opens a file by its extension, as File > Open does.
inline std::function<void(const QString &path)> OpenFileByType;
// Opens a new, untitled text window (it lands in slot 2 on an empty registry).
inline std::function<void()> NewTextDocument;
// Shows the context menu of the main window's empty area.
inline std::function<void(QWidget *owner)> ShowMDIFormMenu;
// Makes a control the hover-highlighted one; null clears the highlight.
inline std::function<void(QWidget *control)> SetRollover;
// The receive handler: the link library's serial object has data.
inline std::function<void()> CommEvent;
// A click on a main toolbar button, or on an item of its drop-down menu, by key.
inline std::function<void(const QString &key)> ToolbarButtonClick;
inline std::function<void(const QString &key)> ToolbarButtonMenuClick;

} // namespace seams
