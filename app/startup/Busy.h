#pragma once

// Long operations bracket their work with BeginBusy and EndBusy. There is no
// nesting count: one EndBusy ends the busy state. Both stand still while a
// sound library compiles.

// Marks the program busy, reduces the menus and toolbar, and disables every
// open document window; the active window's frame keeps the focus, so the
// active window stays the active one. Processes no events.
void BeginBusy();
// Clears the busy state, enables the document windows (processing events once
// per slot), gives the active window the focus when visible, and refreshes
// the menus and toolbar.
void EndBusy();
