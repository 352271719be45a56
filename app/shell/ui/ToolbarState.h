#pragma once

// The one routine that sets the main window's menus and toolbar: it gathers
// what the program and the active child window report (its state()), computes the whole
// state with the toolbar rules and applies it. Nothing else sets an Enabled,
// Checked or tool tip of a menu item or toolbar button.

#include "app/shell/ToolbarRules.h"

// Recomputes and applies every menu and toolbar state. Does nothing while all
// windows close, the link is set up or activation is replayed; a call made
// while one runs makes the running call compute once more at its end.
void UpdateToolbarState();

// The inputs as the program and its windows report them now (tests).
[[nodiscard]] vx::ToolbarInputs GatherToolbarInputs();
