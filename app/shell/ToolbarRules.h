#pragma once

// The state of every menu item and toolbar button of the main window,
// computed from scratch from what the active window and the program report.
// Plain rules: the window layer gathers the inputs, calls ComputeToolbarState
// and applies the result; tests call it directly.

#include <QString>
#include <QStringList>

#include <map>
#include <optional>

namespace vx {

enum class WindowKind { None, Text, Phonetic, SoundLib, Music, Dictionary, ControlPanels };

// What has the focus inside the active window.
enum class ActiveControl {
    None,    // the window has no active control
    TextBox, // a text box or rich text box (editor, cell editor, word boxes, command box)
    Grid,    // the row grid of a dictionary or music score
    Other,   // anything else (the sound list, a button)
};

// The focused text box, for the Edit rules of text boxes.
struct TextBoxInputs
{
    int selLength = 0;
    bool textEmpty = true;
};

// The grid of a dictionary or music score window.
struct GridInputs
{
    int rows = 0;
    int selectionCount = 0;
    int selectedRow = 0;       // 0: none
    int selectedRowIcon = -1;  // extra icon of the selected row, column 2; -1: not a group head
    QStringList selectedTexts; // column 3 of the selected rows, in selection order
};

struct ToolbarInputs
{
    bool busy = false;
    bool playing = false;
    bool recordIsPause = false; // speaking turned Play and Record into Stop and Pause
    int port = 0;               // 0: demo mode, no chip
    int audioPlayer = 0;        // 0: sound files play on the chip
    int recMemSize = 0;         // KB; not positive: none or unknown
    int recMemFree = 0;         // KB; -1 not available, -2 corrupt
    int recordedFiles = 0;      // files in recording memory
    bool sv10Emulation = false;
    int panelTab = 0; // 0 tone generator, 1 voice, 2 registers, 3 A/D, 4 recorder

    WindowKind kind = WindowKind::None;
    ActiveControl control = ActiveControl::None;
    bool dirty = false;
    bool windowTextEmpty = true; // txtInputBox of a text, phonetic or control panel window
    TextBoxInputs textBox;       // the active control, when it is a text box
    bool clipboardHasText = false;

    int soundItems = 0;         // items of the sound list
    int selectedSoundKind = -1; // -1 invalid or none selected, 0 wave, 1 chip PCM, 2 compressed, 3 MP3
    GridInputs grid;

    bool clipSoundEntries = false; // the internal clipboards hold something
    bool clipDicRows = false;
    bool clipMusicRows = false;

    bool phoneticVisible = false;
    bool panelsVisible = false;
};

struct ItemState
{
    bool enabled = false;
    bool checked = false;             // menu items with a check mark
    bool pressed = false;             // toolbar button "Value"
    std::optional<QString> toolTip;   // unset: the tool tip stays as it is
};

// Keyed by menu item name ("mnuFileSave"), toolbar key ("Save") and the
// recorder buttons of the control panels ("cmdInitialize", "cmdDelete",
// "cmdUpload"). Every item of the menu table is present, so that a busy
// program blocks the shortcuts of the items it never names as well.
struct ToolbarState
{
    std::map<QString, ItemState> items;
    // Locked of the active text or phonetic window's txtInputBox; unset: leave it.
    std::optional<bool> inputLocked;

    [[nodiscard]] const ItemState &at(const QString &key) const;
    [[nodiscard]] bool enabled(const char *key) const;
    ItemState &operator[](const char *key);
};

// The whole state for the inputs. Never fails.
[[nodiscard]] ToolbarState ComputeToolbarState(const ToolbarInputs &in);

// The Edit rules of a focused text box: changes the state only when the
// active control is a text box.
void UpdateEditMenuState(const ToolbarInputs &in, ToolbarState &state);

// True when the grid is the active control of a dictionary or music score
// and one of the selected rows' column 3, after leading blanks, begins with ";".
[[nodiscard]] bool IsGridSelectionComment(const ToolbarInputs &in);

} // namespace vx
