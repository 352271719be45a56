#pragma once

// The main window's menu tree and toolbar as plain data, in menu order. The
// window layer builds its actions from these rows and binds each item to the
// handler of the same name; the toolbar rules and the tests read them too.

#include <span>

namespace vx {

enum class MenuRowKind { Menu, Item, Bar };

struct MenuRow
{
    MenuRowKind kind;
    const char *name;     // objectName of the action, e.g. "mnuFileSave"
    int index;            // position in a control array (mnuRecentFile 1 to 8); -1: none
    const char *parent;   // nullptr: on the menu bar
    const char *caption;  // "&" marks the access key; "" for items filled at run time
    const char *shortcut; // nullptr: none
    int helpTopic;        // F1 on the highlighted item; 0: none
    const char *image;    // key of the toolbar picture shown beside it; nullptr: none
    bool checkable;
};

enum class ButtonStyle { Button, DropDown, Placeholder };

struct ButtonMenuItem
{
    const char *text; // "" for the recent files, filled at run time
    const char *key;
};

struct ToolbarButton
{
    const char *key; // also the key of its picture; nullptr for a gap
    const char *toolTip;
    ButtonStyle style;
    std::span<const ButtonMenuItem> menu;
};

[[nodiscard]] std::span<const MenuRow> MenuRows();
[[nodiscard]] std::span<const ToolbarButton> ToolbarButtons();

// The row of that name (and array index), or nullptr.
[[nodiscard]] const MenuRow *FindMenuRow(const char *name, int index = -1);

// The New button's tool tip for a File > New kind (0 text, 1 sound library,
// 2 dictionary, 3 music score); the text box's for any other value.
[[nodiscard]] const char *NewButtonToolTip(int kind);
// The kind a New button-menu key ("NewText" ...) creates; -1 for other keys.
[[nodiscard]] int NewKindOfKey(const char *key);

} // namespace vx
