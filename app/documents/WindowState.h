#pragma once

// What a child window reports about itself for the menus and the toolbar,
// and the edit commands it may be asked to carry out. Plain data, so the
// toolbar rules and their tests need no windows.

#include "app/shell/ToolbarRules.h"

// The registry and the windows name kinds as the toolbar rules do.
using WindowKind = vx::WindowKind;

// The part of the toolbar inputs that comes from the active window.
struct WindowState
{
    vx::WindowKind kind = vx::WindowKind::None;
    vx::ActiveControl control = vx::ActiveControl::None;
    bool dirty = false;
    bool windowTextEmpty = true; // txtInputBox of a text, phonetic or control panel window
    vx::TextBoxInputs textBox;   // the active control, when it is a text box
    int soundItems = 0;          // sound library: items of the list
    int selectedSoundKind = -1;  // sound library: -1 none or invalid, 0 wave, 1 chip PCM, 2 compressed, 3 MP3
    vx::GridInputs grid;         // dictionary and music score
};

// The Edit menu's commands, asked of the active window.
enum class EditAction { Cut, Copy, Paste, Delete, SelectAll, Edit, InsertAdd, Comment, Uncomment, HideShow };
