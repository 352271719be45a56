#include "app/shell/ToolbarRules.h"

#include "app/shell/MenuTable.h"

namespace vx {

namespace {

const char *const kTopMenus[] = {"mnuEdit", "mnuFile", "mnuHelp", "mnuUtils", "mnuView", "mnuWindow"};

// Disabled by default whenever the program is not busy; the window kind
// enables what it can do.
const char *const kOffByDefault[] = {
    "mnuEditCopy", "mnuEditCut", "mnuEditDelete", "mnuEditFind", "mnuEditFindNext", "mnuEditPaste",
    "mnuEditSelectAll", "mnuEditInsAdd", "mnuEditEdit", "mnuEditComment", "mnuEditUnComment", "mnuViewHide",
    "mnuFileClose", "mnuFilePrint", "mnuFileSave", "mnuFileSaveAs", "mnuFileCompile", "mnuUtilsGreeting",
};

// Toolbar buttons that show the state of their menu item.
struct Mirror
{
    const char *button;
    const char *item;
};
const Mirror kMirrors[] = {
    {"Copy", "mnuEditCopy"}, {"Cut", "mnuEditCut"},       {"Delete", "mnuEditDelete"},   {"Find", "mnuEditFind"},
    {"Paste", "mnuEditPaste"}, {"Print", "mnuFilePrint"}, {"Save", "mnuFileSave"},         {"Edit", "mnuEditEdit"},
    {"Add", "mnuEditInsAdd"},  {"Compile", "mnuFileCompile"},
};

const char *const kRecorderButtons[] = {"cmdInitialize", "cmdDelete", "cmdUpload"};

QString text(const char *s)
{
    return QString::fromLatin1(s);
}

// Every menu item and toolbar button, each enabled unless told otherwise:
// the items the rules never name stay usable.
ToolbarState allEnabled()
{
    ToolbarState s;
    for (const MenuRow &r : MenuRows()) {
        if (r.kind != MenuRowKind::Bar)
            s.items[text(r.name)].enabled = true;
    }
    for (const ToolbarButton &b : ToolbarButtons()) {
        if (b.key)
            s.items[text(b.key)].enabled = true;
    }
    for (const char *b : kRecorderButtons)
        s.items[text(b)].enabled = true;
    return s;
}

void applyBusy(const ToolbarInputs &in, ToolbarState &s)
{
    // A disabled menu in Qt still fires its items' shortcuts, so every item
    // goes off with its menu.
    for (auto &[key, item] : s.items)
        item.enabled = false;
    if (in.recordIsPause) {
        s["Play"].enabled = true;            // Stop
        s["Record"].enabled = !in.playing;   // Pause
    }
    if (in.kind == WindowKind::Text)
        s.inputLocked = true;
}

void applyGridRules(const ToolbarInputs &in, ToolbarState &s)
{
    if (in.control == ActiveControl::Grid) {
        const GridInputs &g = in.grid;
        const bool hasRows = g.rows > 0;
        for (const char *k : {"mnuEditCopy", "mnuEditCut", "mnuEditDelete", "mnuEditEdit", "mnuEditFind",
                              "mnuEditFindNext", "mnuEditSelectAll"})
            s[k].enabled = hasRows;
        s["mnuEditPaste"].enabled = in.kind == WindowKind::Dictionary ? in.clipDicRows : in.clipMusicRows;
        s["mnuEditInsAdd"].enabled = true;
        s["mnuViewHide"].enabled = g.selectionCount > 1 || (g.selectedRow > 0 && g.selectedRowIcon != -1);
        s["mnuEditComment"].enabled = g.selectionCount > 0;
        s["mnuEditUnComment"].enabled = IsGridSelectionComment(in);
    } else if (in.control == ActiveControl::TextBox) {
        UpdateEditMenuState(in, s);
    }
}

void applyMenusByKind(const ToolbarInputs &in, ToolbarState &s)
{
    switch (in.kind) {
    case WindowKind::Text:
        UpdateEditMenuState(in, s);
        s["mnuFileClose"].enabled = true;
        s["mnuEditFind"].enabled = !in.windowTextEmpty;
        s["mnuEditFindNext"].enabled = !in.windowTextEmpty;
        s["mnuFileSave"].enabled = in.dirty;
        s["mnuFileSaveAs"].enabled = true;
        s["mnuUtilsGreeting"].enabled = true;
        s.inputLocked = false;
        break;
    case WindowKind::Phonetic:
        UpdateEditMenuState(in, s);
        s.inputLocked = false;
        break;
    case WindowKind::SoundLib:
        s["mnuFileClose"].enabled = true;
        s["mnuEditPaste"].enabled = in.clipSoundEntries;
        if (in.soundItems > 0) {
            s["mnuEditEdit"].enabled = in.selectedSoundKind == 0 || in.selectedSoundKind == 3;
            for (const char *k : {"mnuEditCopy", "mnuEditCut", "mnuEditDelete", "mnuFileCompile", "mnuEditFind",
                                  "mnuEditFindNext", "mnuEditSelectAll"})
                s[k].enabled = true;
        }
        s["mnuFilePrint"].enabled = true;
        s["mnuFileSave"].enabled = in.dirty;
        s["mnuFileSaveAs"].enabled = true;
        s["mnuEditInsAdd"].enabled = true;
        break;
    case WindowKind::Music:
    case WindowKind::Dictionary:
        if (in.control != ActiveControl::None)
            applyGridRules(in, s);
        s["mnuFileClose"].enabled = true;
        s["mnuFilePrint"].enabled = true;
        s["mnuFileSaveAs"].enabled = true;
        s["mnuFileSave"].enabled = in.dirty;
        s["mnuFileCompile"].enabled = in.grid.rows > 0;
        break;
    case WindowKind::ControlPanels:
        UpdateEditMenuState(in, s);
        break;
    case WindowKind::None:
        break;
    }
}

void applyPlayRecord(const ToolbarInputs &in, ToolbarState &s)
{
    ItemState &play = s["Play"];
    ItemState &record = s["Record"];
    const bool chip = in.port > 0;
    switch (in.kind) {
    case WindowKind::SoundLib:
        if (in.soundItems > 0 && in.selectedSoundKind != -1)
            play.enabled = in.audioPlayer != 0 || chip;
        s["Add"].toolTip = QStringLiteral("Add files");
        play.toolTip = QStringLiteral("Play sound from library");
        break;
    case WindowKind::Music:
        play.enabled = chip && in.grid.rows > 0;
        play.toolTip = QStringLiteral("Play music score");
        if (in.control != ActiveControl::None)
            s["Add"].toolTip = QStringLiteral("Insert blank line (Enter)");
        break;
    case WindowKind::Dictionary:
        if (in.control != ActiveControl::None)
            s["Add"].toolTip = QStringLiteral("Insert blank line (Enter)");
        break;
    case WindowKind::Text:
        play.enabled = chip && !in.windowTextEmpty;
        record.enabled = play.enabled;
        play.toolTip = QStringLiteral("Read text aloud");
        record.toolTip = QStringLiteral("Record text to wave file");
        break;
    case WindowKind::Phonetic:
        play.enabled = chip && !in.windowTextEmpty;
        play.toolTip = QStringLiteral("Read phonetics aloud");
        break;
    case WindowKind::ControlPanels:
        if (in.panelTab == 0) {
            play.enabled = chip && !in.windowTextEmpty;
            play.toolTip = QStringLiteral("Play tone commands in command box");
        } else if (in.panelTab == 4) {
            play.enabled = chip && in.recordedFiles > 0 && !in.sv10Emulation;
            record.enabled = in.recMemFree > 0 && chip && !in.sv10Emulation;
            play.toolTip = QStringLiteral("Play file from recording memory");
            record.toolTip = QStringLiteral("Record to recording memory");
        }
        break;
    case WindowKind::None:
        break;
    }
}

void applyToolbar(const ToolbarInputs &in, ToolbarState &s)
{
    for (const char *k : {"Edit", "Play", "Record", "Compile", "Add"})
        s[k].enabled = false;
    s["Play"].toolTip = QString();
    s["Record"].toolTip = QString();
    applyPlayRecord(in, s);

    s["Download"].enabled = in.port != 0;
    for (const char *k : {"Help", "Phonetics", "Cpanels", "New", "Open"})
        s[k].enabled = true;
    for (const Mirror &m : kMirrors)
        s[m.button].enabled = s[m.item].enabled;

    const bool demo = in.port == 0;
    s["cmdInitialize"].enabled = in.recMemSize > 0 || demo;
    const bool haveFiles = in.recMemFree >= 0 && in.recordedFiles > 0;
    s["cmdDelete"].enabled = haveFiles || demo;
    s["cmdUpload"].enabled = haveFiles || demo;
}

} // namespace

const ItemState &ToolbarState::at(const QString &key) const
{
    return items.at(key);
}

bool ToolbarState::enabled(const char *key) const
{
    return items.at(text(key)).enabled;
}

ItemState &ToolbarState::operator[](const char *key)
{
    return items[text(key)];
}

ToolbarState ComputeToolbarState(const ToolbarInputs &in)
{
    ToolbarState s = allEnabled();
    if (in.busy) {
        applyBusy(in, s);
    } else {
        for (const char *k : kOffByDefault)
            s[k].enabled = false;
        s["mnuFilePlay"].enabled = in.port != 0;
        s["mnuFileDnld"].enabled = in.port != 0;
        s["mnuUtilsRepairRecMem"].enabled = in.recMemFree == -2;
        applyMenusByKind(in, s);
        applyToolbar(in, s);
    }
    s["mnuViewPhonetics"].checked = in.phoneticVisible;
    s["Phonetics"].pressed = in.phoneticVisible;
    s["mnuViewCtlPanels"].checked = in.panelsVisible;
    s["Cpanels"].pressed = in.panelsVisible;
    return s;
}

void UpdateEditMenuState(const ToolbarInputs &in, ToolbarState &state)
{
    if (in.control != ActiveControl::TextBox)
        return;
    const bool selected = in.textBox.selLength > 0;
    state["mnuEditCut"].enabled = selected;
    state["mnuEditCopy"].enabled = selected;
    state["mnuEditDelete"].enabled = selected;
    state["mnuEditPaste"].enabled = in.clipboardHasText;
    state["mnuEditSelectAll"].enabled = !in.textBox.textEmpty;
}

bool IsGridSelectionComment(const ToolbarInputs &in)
{
    if (in.grid.selectionCount == 0 || in.control != ActiveControl::Grid)
        return false;
    if (in.kind != WindowKind::Music && in.kind != WindowKind::Dictionary)
        return false;
    for (const QString &row : in.grid.selectedTexts) {
        qsizetype i = 0;
        while (i < row.size() && row.at(i) == QLatin1Char(' '))
            ++i;
        if (i < row.size() && row.at(i) == QLatin1Char(';'))
            return true;
    }
    return false;
}

} // namespace vx
