#include "app/shell/MenuTable.h"
#include "app/shell/ToolbarRules.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

using namespace vx;

namespace {

ToolbarInputs window(WindowKind kind, ActiveControl control)
{
    ToolbarInputs in;
    in.port = 1;
    in.kind = kind;
    in.control = control;
    in.recMemSize = 1536;
    in.recMemFree = 1000;
    return in;
}

ToolbarInputs textWindow()
{
    ToolbarInputs in = window(WindowKind::Text, ActiveControl::TextBox);
    in.windowTextEmpty = false;
    in.textBox = {3, false};
    return in;
}

ToolbarInputs gridWindow(WindowKind kind)
{
    ToolbarInputs in = window(kind, ActiveControl::Grid);
    in.grid = {5, 1, 2, -1, {QStringLiteral("hello")}};
    return in;
}

ToolbarInputs soundLib(int items, int kind)
{
    ToolbarInputs in = window(WindowKind::SoundLib, ActiveControl::Other);
    in.soundItems = items;
    in.selectedSoundKind = kind;
    return in;
}

struct Case
{
    const char *name;
    ToolbarInputs base;
    std::function<void(ToolbarInputs &)> tweak;
    std::vector<std::pair<const char *, bool>> enabled;
};

} // namespace

TEST(ToolbarRules, EnabledStatesByCase)
{
    const auto none = [](ToolbarInputs &) {};
    const auto recorder = [](ToolbarInputs &in) {
        in.panelTab = 4;
        in.recordedFiles = 2;
    };
    const std::vector<Case> cases = {
        {"busy while speaking: only Stop and Pause", textWindow(), [](ToolbarInputs &in) { in.busy = in.recordIsPause = true; },
         {{"Play", true}, {"Record", true}, {"Save", false}, {"New", false}, {"mnuFile", false}, {"mnuHelp", false},
          {"mnuFileOpen", false}, {"mnuEditCopy", false}, {"cmdInitialize", false}}},
        {"busy while playing keeps Pause off", textWindow(),
         [](ToolbarInputs &in) { in.busy = in.recordIsPause = in.playing = true; }, {{"Play", true}, {"Record", false}}},
        {"busy without the Pause face", textWindow(), [](ToolbarInputs &in) { in.busy = true; },
         {{"Play", false}, {"Record", false}}},
        {"demo mode", textWindow(), [](ToolbarInputs &in) { in.port = 0; },
         {{"mnuFilePlay", false}, {"mnuFileDnld", false}, {"Download", false}, {"Play", false}, {"Record", false},
          {"cmdInitialize", true}, {"cmdDelete", true}, {"cmdUpload", true}, {"mnuFileOpen", true}}},
        {"text window", textWindow(), none,
         {{"mnuFilePlay", true}, {"Download", true}, {"Play", true}, {"Record", true}, {"Cut", true},
          {"mnuEditPaste", false}, {"mnuEditFind", true}, {"mnuFileSave", false}, {"mnuFileSaveAs", true},
          {"mnuUtilsGreeting", true}, {"mnuFilePrint", false}, {"mnuUtilsRepairRecMem", false}, {"cmdDelete", false}}},
        {"corrupt recording memory", textWindow(), [](ToolbarInputs &in) { in.recMemFree = -2; },
         {{"mnuUtilsRepairRecMem", true}}},
        {"unavailable recording memory", textWindow(), [](ToolbarInputs &in) { in.recMemFree = -1; },
         {{"mnuUtilsRepairRecMem", false}}},
        {"empty sound library", soundLib(0, -1), none,
         {{"mnuEditCopy", false}, {"mnuEditCut", false}, {"mnuEditDelete", false}, {"mnuFileCompile", false},
          {"mnuEditFind", false}, {"mnuEditFindNext", false}, {"mnuEditSelectAll", false}, {"mnuFilePrint", true},
          {"mnuFileSaveAs", true}, {"Add", true}, {"mnuEditPaste", false}}},
        {"sound clipboard", soundLib(0, -1), [](ToolbarInputs &in) { in.clipSoundEntries = true; },
         {{"Paste", true}}},
        {"invalid sound", soundLib(3, -1), none, {{"Play", false}, {"mnuEditCopy", true}, {"Compile", true}}},
        {"chip PCM sound", soundLib(3, 1), none, {{"Play", true}, {"Edit", false}}},
        {"MP3 sound", soundLib(3, 3), none, {{"Edit", true}}},
        {"PC playback without a chip", soundLib(3, 0),
         [](ToolbarInputs &in) {
             in.port = 0;
             in.audioPlayer = 1;
         },
         {{"Play", true}, {"Download", false}}},
        {"one plain row", gridWindow(WindowKind::Dictionary), none,
         {{"mnuViewHide", false}, {"mnuEditComment", true}, {"mnuEditUnComment", false}, {"mnuEditPaste", false},
          {"mnuFileCompile", true}, {"Play", false}, {"Add", true}}},
        {"two rows, one a comment", gridWindow(WindowKind::Music),
         [](ToolbarInputs &in) {
             in.grid.selectionCount = 2;
             in.grid.selectedTexts = {QStringLiteral("a"), QStringLiteral("   ;note")};
         },
         {{"mnuViewHide", true}, {"mnuEditUnComment", true}, {"Play", true}}},
        {"group head", gridWindow(WindowKind::Music), [](ToolbarInputs &in) { in.grid.selectedRowIcon = 0; },
         {{"mnuViewHide", true}}},
        {"dictionary rows in a music score", gridWindow(WindowKind::Music),
         [](ToolbarInputs &in) { in.clipDicRows = true; }, {{"mnuEditPaste", false}}},
        {"empty music score", gridWindow(WindowKind::Music), [](ToolbarInputs &in) { in.grid = {}; },
         {{"Copy", false}, {"Compile", false}, {"Play", false}, {"Print", true}}},
        {"cell editor", gridWindow(WindowKind::Dictionary),
         [](ToolbarInputs &in) {
             in.control = ActiveControl::TextBox;
             in.clipboardHasText = true;
             in.textBox = {0, false};
         },
         {{"mnuEditPaste", true}, {"mnuEditCut", false}, {"mnuEditSelectAll", true}, {"mnuViewHide", false}}},
        {"tone commands", window(WindowKind::ControlPanels, ActiveControl::Other),
         [](ToolbarInputs &in) { in.windowTextEmpty = false; }, {{"Play", true}, {"Record", false}}},
        {"recorder with files", window(WindowKind::ControlPanels, ActiveControl::Other), recorder,
         {{"Play", true}, {"Record", true}, {"cmdInitialize", true}, {"cmdDelete", true}}},
        {"recorder in emulation", window(WindowKind::ControlPanels, ActiveControl::Other),
         [&](ToolbarInputs &in) {
             recorder(in);
             in.sv10Emulation = true;
         },
         {{"Play", false}, {"Record", false}}},
        {"unreadable recording memory", window(WindowKind::None, ActiveControl::None),
         [](ToolbarInputs &in) {
             in.recMemSize = 0;
             in.recMemFree = -1;
             in.recordedFiles = 4;
         },
         {{"cmdInitialize", false}, {"cmdDelete", false}, {"cmdUpload", false}}},
        {"no window", ToolbarInputs{}, none,
         {{"mnuFileClose", false}, {"mnuFileSave", false}, {"New", true}, {"Open", true}, {"Help", true},
          {"mnuUtilsConvertSndFile", true}, {"mnuEditPreferences", true}, {"Play", false}}},
    };
    for (const Case &c : cases) {
        ToolbarInputs in = c.base;
        c.tweak(in);
        const ToolbarState s = ComputeToolbarState(in);
        for (const auto &[key, on] : c.enabled)
            EXPECT_EQ(s.enabled(key), on) << c.name << ": " << key;
    }
}

TEST(ToolbarRules, ButtonsMirrorTheirMenuItemsAndEveryItemHasAState)
{
    const std::pair<const char *, const char *> mirrors[] = {
        {"Copy", "mnuEditCopy"}, {"Cut", "mnuEditCut"},   {"Delete", "mnuEditDelete"}, {"Find", "mnuEditFind"},
        {"Paste", "mnuEditPaste"}, {"Print", "mnuFilePrint"}, {"Save", "mnuFileSave"}, {"Edit", "mnuEditEdit"},
        {"Add", "mnuEditInsAdd"}, {"Compile", "mnuFileCompile"},
    };
    std::vector<ToolbarInputs> inputs = {textWindow(), soundLib(2, 0), soundLib(0, -1),
                                         gridWindow(WindowKind::Dictionary), ToolbarInputs{}};
    inputs[0].dirty = true;
    for (const ToolbarInputs &in : inputs) {
        const ToolbarState s = ComputeToolbarState(in);
        for (const auto &[button, item] : mirrors)
            EXPECT_EQ(s.enabled(button), s.enabled(item)) << button;
        for (const MenuRow &r : MenuRows()) {
            if (r.kind != MenuRowKind::Bar) {
                EXPECT_TRUE(s.items.count(QString::fromLatin1(r.name))) << r.name;
            }
        }
    }
}

TEST(ToolbarRules, ToolTipsLockAndChecks)
{
    ToolbarInputs in = textWindow();
    in.phoneticVisible = true;
    ToolbarState s = ComputeToolbarState(in);
    EXPECT_EQ(s.at(QStringLiteral("Play")).toolTip, QStringLiteral("Read text aloud"));
    EXPECT_EQ(s.at(QStringLiteral("Record")).toolTip, QStringLiteral("Record text to wave file"));
    EXPECT_FALSE(s.at(QStringLiteral("Add")).toolTip.has_value()); // left as it was
    EXPECT_EQ(s.inputLocked, false);
    EXPECT_TRUE(s.at(QStringLiteral("mnuViewPhonetics")).checked);
    EXPECT_TRUE(s.at(QStringLiteral("Phonetics")).pressed);
    EXPECT_FALSE(s.at(QStringLiteral("Cpanels")).pressed);

    in.busy = true;
    s = ComputeToolbarState(in);
    EXPECT_EQ(s.inputLocked, true);
    EXPECT_FALSE(s.at(QStringLiteral("Play")).toolTip.has_value());
    EXPECT_TRUE(s.at(QStringLiteral("Phonetics")).pressed); // shown also while busy

    s = ComputeToolbarState(gridWindow(WindowKind::Dictionary));
    EXPECT_EQ(s.at(QStringLiteral("Add")).toolTip, QStringLiteral("Insert blank line (Enter)"));
    EXPECT_EQ(s.at(QStringLiteral("Play")).toolTip, QString());
    EXPECT_FALSE(s.inputLocked.has_value());
    s = ComputeToolbarState(soundLib(1, 0));
    EXPECT_EQ(s.at(QStringLiteral("Add")).toolTip, QStringLiteral("Add files"));
    EXPECT_EQ(s.at(QStringLiteral("Play")).toolTip, QStringLiteral("Play sound from library"));
}
