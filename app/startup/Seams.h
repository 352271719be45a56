#pragma once

// Scaffolding: hooks to routines that are not written yet. Each stays empty
// until its owner installs it (callers treat an empty hook as "nothing to
// do"); the code that builds the routine deletes its hook and calls the
// routine directly. Add no new hooks here.

#include <QString>

#include <functional>

class QMainWindow;
class QWidget;

namespace seams {

// Calls a hook when it is installed.
template <typename F, typename... A>
inline void call(const F &hook, A &&...args)
{
    if (hook)
        hook(std::forward<A>(args)...);
}

// Replaced by the sound library window's SetListViewAltRowColors (colours as 0xBBGGRR).
inline std::function<void(QWidget *listView, int colour1, int colour2)> SetListViewAltRowColors;
// Replaced by the main window's context menu of its empty area (frmMDI_Popups).
inline std::function<void(QWidget *owner)> ShowMDIFormMenu;

} // namespace seams
