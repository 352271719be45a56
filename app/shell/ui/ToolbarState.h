#pragma once

// The one routine that sets the main window's menus and toolbar: it gathers
// what the program and the active child window report, computes the whole
// state with the toolbar rules and applies it. Nothing else sets an Enabled,
// Checked or tool tip of a menu item or toolbar button.

#include "app/shell/ToolbarRules.h"

// What a child window of the main window tells the menus and toolbar about
// itself: its kind, its active control, selection, modified mark and
// clipboards. Read anew at every refresh.
class ToolbarStateSource
{
public:
    virtual ~ToolbarStateSource() = default;
    // Fills the window's part of in (kind, control, text, grid, sounds, dirty).
    virtual void state(vx::ToolbarInputs &in) const = 0;
};

// Recomputes and applies every menu and toolbar state. Does nothing while all
// windows close, the link is set up or activation is replayed; a call made
// while one runs makes the running call compute once more at its end.
void UpdateToolbarState();

// The inputs as the program and its windows report them now (tests).
[[nodiscard]] vx::ToolbarInputs GatherToolbarInputs();
