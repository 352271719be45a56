#include "app/shell/MenuTable.h"
#include "app/shell/ToolbarRules.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

using namespace vx;

namespace {

ToolbarInputs textWindow()
{
    ToolbarInputs in;
    in.port = 1;
    in.kind = WindowKind::Text;
    in.control = ActiveControl::TextBox;
    in.windowTextEmpty = false;
    in.textBox = {3, false};
    in.recMemSize = 1536;
    in.recMemFree = 1000;
    return in;
}

ToolbarInputs gridWindow(WindowKind kind)
{
    ToolbarInputs in;
    in.port = 1;
    in.kind = kind;
    in.control = ActiveControl::Grid;
    in.grid.rows = 5;
    in.grid.selectionCount = 1;
    in.grid.selectedRow = 2;
    in.grid.selectedTexts = {QStringLiteral("hello")};
    return in;
}

ToolbarInputs soundLib(int items, int kind)
{
    ToolbarInputs in;
    in.port = 1;
    in.kind = WindowKind::SoundLib;
    in.control = ActiveControl::Other;
    in.soundItems = items;
    in.selectedSoundKind = kind;
    return in;
}

struct Case
{
    const char *name;
    std::function<ToolbarInputs()> inputs;
    std::vector<std::pair<const char *, bool>> enabled;
};

} // namespace

TEST(ToolbarRules, EnabledStatesByCase)
{
    const std::vector<Case> cases = {
        {"busy while speaking: only Stop and Pause",
         [] {
             ToolbarInputs in = textWindow();
             in.busy = true;
             in.recordIsPause = true;
             return in;
         },
         {{"Play", true}, {"Record", true}, {"Save", false}, {"New", false}, {"mnuFile", false},
          {"mnuHelp", false}, {"mnuFileOpen", false}, {"mnuEditCopy", false}, {"cmdInitialize", false}}},
        {"busy while playing keeps Pause off",
         [] {
             ToolbarInputs in = textWindow();
             in.busy = in.recordIsPause = in.playing = true;
             return in;
         },
         {{"Play", true}, {"Record", false}}},
        {"busy without the Pause face",
         [] {
             ToolbarInputs in = textWindow();
             in.busy = true;
             return in;
         },
         {{"Play", false}, {"Record", false}}},
        {"demo mode text window",
         [] {
             ToolbarInputs in = textWindow();
             in.port = 0;
             return in;
         },
         {{"mnuFilePlay", false}, {"mnuFileDnld", false}, {"Download", false}, {"Play", false},
          {"Record", false}, {"cmdInitialize", true}, {"cmdDelete", true}, {"cmdUpload", true},
          {"mnuFileOpen", true}}},
        {"chip text window",
         [] { return textWindow(); },
         {{"mnuFilePlay", true}, {"Download", true}, {"Play", true}, {"Record", true}, {"mnuEditCut", true},
          {"Cut", true}, {"mnuEditPaste", false}, {"mnuEditFind", true}, {"mnuFileSave", false},
          {"mnuFileSaveAs", true}, {"mnuUtilsGreeting", true}, {"mnuFilePrint", false},
          {"mnuUtilsRepairRecMem", false}, {"cmdDelete", false}}},
        {"corrupt recording memory enables repair",
         [] {
             ToolbarInputs in = textWindow();
             in.recMemFree = -2;
             return in;
         },
         {{"mnuUtilsRepairRecMem", true}}},
        {"unavailable recording memory does not",
         [] {
             ToolbarInputs in = textWindow();
             in.recMemFree = -1;
             return in;
         },
         {{"mnuUtilsRepairRecMem", false}}},
        {"empty sound library",
         [] { return soundLib(0, -1); },
         {{"mnuEditCopy", false}, {"mnuEditCut", false}, {"mnuEditDelete", false}, {"mnuFileCompile", false},
          {"mnuEditFind", false}, {"mnuEditFindNext", false}, {"mnuEditSelectAll", false}, {"mnuFilePrint", true},
          {"mnuFileSaveAs", true}, {"mnuEditInsAdd", true}, {"Add", true}, {"mnuEditPaste", false}}},
        {"sound clipboard enables paste in an empty library",
         [] {
             ToolbarInputs in = soundLib(0, -1);
             in.clipSoundEntries = true;
             return in;
         },
         {{"mnuEditPaste", true}, {"Paste", true}}},
        {"invalid sound disables Play",
         [] { return soundLib(3, -1); },
         {{"Play", false}, {"mnuEditCopy", true}, {"Compile", true}}},
        {"chip PCM sound plays but is not edited",
         [] { return soundLib(3, 1); },
         {{"Play", true}, {"mnuEditEdit", false}, {"Edit", false}}},
        {"MP3 sound is edited",
         [] { return soundLib(3, 3); },
         {{"mnuEditEdit", true}, {"Edit", true}}},
        {"PC playback plays a sound without a chip",
         [] {
             ToolbarInputs in = soundLib(3, 0);
             in.port = 0;
             in.audioPlayer = 1;
             return in;
         },
         {{"Play", true}, {"Download", false}}},
        {"grid with one plain row selected",
         [] { return gridWindow(WindowKind::Dictionary); },
         {{"mnuViewHide", false}, {"mnuEditComment", true}, {"mnuEditUnComment", false}, {"mnuEditPaste", false},
          {"mnuFileCompile", true}, {"Play", false}, {"mnuEditInsAdd", true}}},
        {"grid with two rows selected",
         [] {
             ToolbarInputs in = gridWindow(WindowKind::Music);
             in.grid.selectionCount = 2;
             in.grid.selectedTexts = {QStringLiteral("a"), QStringLiteral("   ;note")};
             return in;
         },
         {{"mnuViewHide", true}, {"mnuEditUnComment", true}, {"Play", true}}},
        {"grid with a group head selected",
         [] {
             ToolbarInputs in = gridWindow(WindowKind::Music);
             in.grid.selectedRowIcon = 0;
             return in;
         },
         {{"mnuViewHide", true}}},
        {"dictionary rows do not paste into a music score",
         [] {
             ToolbarInputs in = gridWindow(WindowKind::Music);
             in.clipDicRows = true;
             return in;
         },
         {{"mnuEditPaste", false}}},
        {"empty music score",
         [] {
             ToolbarInputs in = gridWindow(WindowKind::Music);
             in.grid = {};
             return in;
         },
         {{"mnuEditCopy", false}, {"mnuFileCompile", false}, {"Play", false}, {"mnuFilePrint", true}}},
        {"grid cell editor uses the text box rules",
         [] {
             ToolbarInputs in = gridWindow(WindowKind::Dictionary);
             in.control = ActiveControl::TextBox;
             in.clipboardHasText = true;
             in.textBox = {0, false};
             return in;
         },
         {{"mnuEditPaste", true}, {"mnuEditCut", false}, {"mnuEditSelectAll", true}, {"mnuViewHide", false}}},
        {"tone generator with commands",
         [] {
             ToolbarInputs in;
             in.port = 1;
             in.kind = WindowKind::ControlPanels;
             in.windowTextEmpty = false;
             return in;
         },
         {{"Play", true}, {"Record", false}}},
        {"recorder panel with files",
         [] {
             ToolbarInputs in;
             in.port = 1;
             in.kind = WindowKind::ControlPanels;
             in.panelTab = 4;
             in.recordedFiles = 2;
             in.recMemSize = 1536;
             in.recMemFree = 100;
             return in;
         },
         {{"Play", true}, {"Record", true}, {"cmdInitialize", true}, {"cmdDelete", true}}},
        {"recorder panel in emulation",
         [] {
             ToolbarInputs in;
             in.port = 1;
             in.kind = WindowKind::ControlPanels;
             in.panelTab = 4;
             in.recordedFiles = 2;
             in.recMemFree = 100;
             in.sv10Emulation = true;
             return in;
         },
         {{"Play", false}, {"Record", false}}},
        {"recorder buttons with an unreadable memory",
         [] {
             ToolbarInputs in;
             in.port = 1;
             in.recMemSize = 0;
             in.recMemFree = -1;
             in.recordedFiles = 4;
             return in;
         },
         {{"cmdInitialize", false}, {"cmdDelete", false}, {"cmdUpload", false}}},
        {"no window",
         [] { return ToolbarInputs{}; },
         {{"mnuFileClose", false}, {"mnuFileSave", false}, {"New", true}, {"Open", true}, {"Help", true},
          {"mnuUtilsConvertSndFile", true}, {"mnuEditPreferences", true}, {"Play", false}}},
    };
    for (const Case &c : cases) {
        const ToolbarState s = ComputeToolbarState(c.inputs());
        for (const auto &[key, on] : c.enabled)
            EXPECT_EQ(s.enabled(key), on) << c.name << ": " << key;
    }
}

TEST(ToolbarRules, ButtonsMirrorTheirMenuItems)
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

TEST(ToolbarRules, EveryMenuItemAndButtonHasAState)
{
    const ToolbarState s = ComputeToolbarState(ToolbarInputs{});
    for (const MenuRow &r : MenuRows()) {
        if (r.kind != MenuRowKind::Bar) {
            EXPECT_TRUE(s.items.count(QString::fromLatin1(r.name))) << r.name;
        }
    }
    for (const ToolbarButton &b : ToolbarButtons()) {
        if (b.key) {
            EXPECT_TRUE(s.items.count(QString::fromLatin1(b.key))) << b.key;
        }
    }
}
