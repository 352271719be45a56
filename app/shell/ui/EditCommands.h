#pragma once

// The Edit menu's five commands on whatever the user works in, and two small
// routines several windows share.

#include "app/documents/WindowState.h"

#include <functional>

class QMenu;
class QWidget;

// Runs an Edit command: the active document window takes it first (its
// grid or list, or its own text box); otherwise the focused text control of
// the active window. Refreshes the toolbar when something took it.
void RunEditCommand(EditAction action);

// Cut, Copy, Paste, Delete or Select All on a line edit, plain or rich text
// box. Text goes through the system clipboard; a paste into a box with a
// length limit takes only what fits. False when control is no text control.
bool EditTextControl(QWidget *control, EditAction action);

// Shows menu as a context menu of owner at the mouse and returns once it closed.
void ShowPopupMenu(QWidget *owner, QMenu *menu);
// Tests: receives each menu instead of its being shown (null: shown again).
void setPopupMenuDriver(std::function<void(QWidget *owner, QMenu *menu)> driver);

// Alternating row bands (colours 0xBBGGRR) on a list in report view with
// rows, while the alternate-colour setting is on; plain rows otherwise.
void SetListViewAltRowColors(QWidget *listView, int colour1, int colour2);
