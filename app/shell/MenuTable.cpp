#include "app/shell/MenuTable.h"

#include <cstring>
#include <iterator>

namespace vx {

namespace {

using K = MenuRowKind;

// clang-format off
constexpr MenuRow kRows[] = {
    {K::Menu, "mnuFile", -1, nullptr, "&File", nullptr, 219, nullptr, false},
    {K::Menu, "mnuFileNew", -1, "mnuFile", "&New", nullptr, 219, "New", false},
    {K::Item, "mnuFileNewText", -1, "mnuFileNew", "&Text Box", "Ctrl+N", 219, nullptr, false},
    {K::Item, "mnuFileNewSoundLib", -1, "mnuFileNew", "&Sound Library", nullptr, 219, nullptr, false},
    {K::Item, "mnuFileNewDictionary", -1, "mnuFileNew", "&Dictionary", nullptr, 219, nullptr, false},
    {K::Item, "mnuFileNewMusic", -1, "mnuFileNew", "&Music Score", nullptr, 0, nullptr, false},
    {K::Item, "mnuFileOpen", -1, "mnuFile", "&Open...", "Ctrl+O", 219, "Open", false},
    {K::Item, "mnuFilePlay", -1, "mnuFile", "P&lay...", nullptr, 219, "Play", false},
    {K::Item, "mnuFileDnld", -1, "mnuFile", "&Download...", "Ctrl+D", 219, "Download", false},
    {K::Item, "mnuFileCompile", -1, "mnuFile", "Co&mpile", nullptr, 219, "Compile", false},
    {K::Item, "mnuFileClose", -1, "mnuFile", "&Close", "Ctrl+W", 219, nullptr, false},
    {K::Bar, "mnuFileBar0", -1, "mnuFile", "-", nullptr, 219, nullptr, false},
    {K::Item, "mnuFileSave", -1, "mnuFile", "&Save", "Ctrl+S", 219, "Save", false},
    {K::Item, "mnuFileSaveAs", -1, "mnuFile", "Save &As...", nullptr, 219, nullptr, false},
    {K::Bar, "mnuFileBar1", -1, "mnuFile", "-", nullptr, 219, nullptr, false},
    {K::Item, "mnuFilePrint", -1, "mnuFile", "&Print...", nullptr, 219, "Print", false},
    {K::Item, "mnuFilePrintSetup", -1, "mnuFile", "Print Set&up...", nullptr, 219, nullptr, false},
    {K::Bar, "mnuFileBar2", -1, "mnuFile", "-", nullptr, 219, nullptr, false},
    {K::Menu, "mnuRecentFiles", -1, "mnuFile", "Recent Files", nullptr, 0, nullptr, false},
    {K::Item, "mnuRecentFile", 1, "mnuRecentFiles", "", nullptr, 0, nullptr, false},
    {K::Item, "mnuRecentFile", 2, "mnuRecentFiles", "", nullptr, 0, nullptr, false},
    {K::Item, "mnuRecentFile", 3, "mnuRecentFiles", "", nullptr, 0, nullptr, false},
    {K::Item, "mnuRecentFile", 4, "mnuRecentFiles", "", nullptr, 0, nullptr, false},
    {K::Item, "mnuRecentFile", 5, "mnuRecentFiles", "", nullptr, 0, nullptr, false},
    {K::Item, "mnuRecentFile", 6, "mnuRecentFiles", "", nullptr, 0, nullptr, false},
    {K::Item, "mnuRecentFile", 7, "mnuRecentFiles", "", nullptr, 0, nullptr, false},
    {K::Item, "mnuRecentFile", 8, "mnuRecentFiles", "", nullptr, 0, nullptr, false},
    {K::Item, "mnuFileExit", -1, "mnuFile", "E&xit", nullptr, 219, nullptr, false},

    {K::Menu, "mnuEdit", -1, nullptr, "&Edit", nullptr, 220, nullptr, false},
    {K::Item, "mnuEditCut", -1, "mnuEdit", "Cu&t", "Ctrl+X", 220, "Cut", false},
    {K::Item, "mnuEditCopy", -1, "mnuEdit", "&Copy", "Ctrl+C", 220, "Copy", false},
    {K::Item, "mnuEditPaste", -1, "mnuEdit", "&Paste", "Ctrl+V", 220, "Paste", false},
    {K::Item, "mnuEditDelete", -1, "mnuEdit", "&Delete", "Del", 220, "Delete", false},
    {K::Item, "mnuEditSelectAll", -1, "mnuEdit", "Select &All", "Ctrl+A", 220, nullptr, false},
    {K::Bar, "mnuEditBar0", -1, "mnuEdit", "-", nullptr, 220, nullptr, false},
    {K::Item, "mnuEditFind", -1, "mnuEdit", "&Find...", "Ctrl+F", 220, "Find", false},
    {K::Item, "mnuEditFindNext", -1, "mnuEdit", "Find &Next", "F3", 220, nullptr, false},
    {K::Bar, "mnuEditBar1", -1, "mnuEdit", "-", nullptr, 220, nullptr, false},
    {K::Item, "mnuEditEdit", -1, "mnuEdit", "&Edit...", nullptr, 220, "Edit", false},
    {K::Item, "mnuEditInsAdd", -1, "mnuEdit", "&Insert/Add...", nullptr, 220, "Add", false},
    {K::Bar, "mnuEditBar2", -1, "mnuEdit", "-", nullptr, 220, nullptr, false},
    {K::Item, "mnuEditComment", -1, "mnuEdit", "Comment", nullptr, 220, nullptr, false},
    {K::Item, "mnuEditUnComment", -1, "mnuEdit", "Uncomment", nullptr, 220, nullptr, false},
    {K::Bar, "mnuEditBar3", -1, "mnuEdit", "-", nullptr, 220, nullptr, false},
    {K::Item, "mnuEditPreferences", -1, "mnuEdit", "P&references...", nullptr, 258, nullptr, false},

    {K::Menu, "mnuView", -1, nullptr, "&View", nullptr, 296, nullptr, false},
    {K::Item, "mnuViewCtlPanels", -1, "mnuView", "&Control Panels", nullptr, 296, "Cpanels", true},
    {K::Item, "mnuViewPhonetics", -1, "mnuView", "&Phonetics Window", nullptr, 296, "Phonetics", true},
    {K::Bar, "mnuViewBar0", -1, "mnuView", "-", nullptr, 296, nullptr, false},
    {K::Item, "mnuViewHide", -1, "mnuView", "&Hide/Show Selection", "Ctrl+H", 296, nullptr, false},
    {K::Bar, "mnuProjectBar0", -1, "mnuView", "-", nullptr, 296, nullptr, false},
    {K::Item, "mnuViewResetDialogs", -1, "mnuView", "Reset Notifications", nullptr, 0, nullptr, false},

    {K::Menu, "mnuUtils", -1, nullptr, "&Utilities", nullptr, 469, nullptr, false},
    {K::Item, "mnuUtilsGreeting", -1, "mnuUtils", "Create &Greeting...", nullptr, 268, nullptr, false},
    {K::Item, "mnuUtilsWordList", -1, "mnuUtils", "Generate &Word List...", nullptr, 420, nullptr, false},
    {K::Item, "mnuUtilsConvertSndFile", -1, "mnuUtils", "Convert &Sound File...", nullptr, 309, nullptr, false},
    {K::Item, "mnuUtilsRepairRecMem", -1, "mnuUtils", "Repair &Rec Memory...", nullptr, 400, nullptr, false},

    {K::Menu, "mnuWindow", -1, nullptr, "&Window", nullptr, 181, nullptr, false},
    {K::Item, "mnuWindowCascade", -1, "mnuWindow", "&Cascade", nullptr, 181, nullptr, false},
    {K::Item, "mnuWindowTile", -1, "mnuWindow", "&Tile", nullptr, 181, nullptr, false},
    {K::Item, "mnuWindowArrange", -1, "mnuWindow", "&Arrange Icons", nullptr, 181, nullptr, false},

    {K::Menu, "mnuHelp", -1, nullptr, "&Help", nullptr, 181, nullptr, false},
    {K::Item, "mnuHelpContents", -1, "mnuHelp", "&Contents...", nullptr, 181, "Help", false},
    {K::Item, "mnuHelpIndex", -1, "mnuHelp", "&Index...", nullptr, 181, nullptr, false},
    {K::Item, "mnuHelpSearch", -1, "mnuHelp", "&Search...", nullptr, 181, nullptr, false},
    {K::Bar, "mnuHelpBar0", -1, "mnuHelp", "-", nullptr, 181, nullptr, false},
    {K::Item, "mnuHelpCVNHome", -1, "mnuHelp", "&Corvane Website", nullptr, 181, nullptr, false},
    {K::Item, "mnuHelpSwUpdate", -1, "mnuHelp", "Check for &Updates...", nullptr, 181, nullptr, false},
    {K::Bar, "mnuHelpBar1", -1, "mnuHelp", "-", nullptr, 181, nullptr, false},
    {K::Item, "mnuHelpAbout", -1, "mnuHelp", "&About Voxmere", nullptr, 181, nullptr, false},
};

constexpr ButtonMenuItem kNewMenu[] = {
    {"New Text Box", "NewText"},
    {"New Sound Library", "NewSoundLib"},
    {"New Dictionary", "NewDict"},
    {"New Music Score", "NewMusic"},
};
constexpr ButtonMenuItem kOpenMenu[] = {
    {"", "RecentFile1"}, {"", "RecentFile2"}, {"", "RecentFile3"}, {"", "RecentFile4"},
    {"", "RecentFile5"}, {"", "RecentFile6"}, {"", "RecentFile7"}, {"", "RecentFile8"},
};
constexpr ButtonMenuItem kHelpMenu[] = {
    {"Contents", "Contents"},
    {"Index", "Index"},
    {"Search", "Search"},
};

using S = ButtonStyle;
const ToolbarButton kButtons[] = {
    {"New", "New text box", S::DropDown, kNewMenu},
    {"Open", "Open (Ctrl+O)", S::DropDown, kOpenMenu},
    {"Save", "Save (Ctrl+S)", S::Button, {}},
    {"Print", "Print", S::Button, {}},
    {"Download", "Download (Ctrl+D)", S::Button, {}},
    {"Compile", "Compile", S::Button, {}},
    {nullptr, nullptr, S::Placeholder, {}},
    {"Cut", "Cut (Ctrl+X)", S::Button, {}},
    {"Copy", "Copy (Ctrl+C)", S::Button, {}},
    {"Paste", "Paste (Ctrl+V)", S::Button, {}},
    {"Delete", "Delete (Del)", S::Button, {}},
    {"Find", "Find (Ctrl+F)", S::Button, {}},
    {"Edit", "Edit", S::Button, {}},
    {"Add", "Add files", S::Button, {}},
    {nullptr, nullptr, S::Placeholder, {}},
    {"Play", "Play", S::Button, {}},
    {"Record", "Record", S::Button, {}},
    {nullptr, nullptr, S::Placeholder, {}},
    {"Cpanels", "Control panels", S::Button, {}},
    {"Phonetics", "Phonetic output window", S::Button, {}},
    {nullptr, nullptr, S::Placeholder, {}},
    {"Help", "Help (F1)", S::DropDown, kHelpMenu},
};
// clang-format on

constexpr const char *kNewToolTips[] = {"New text box", "New sound library", "New dictionary", "New music score"};

} // namespace

std::span<const MenuRow> MenuRows()
{
    return kRows;
}

std::span<const ToolbarButton> ToolbarButtons()
{
    return kButtons;
}

const MenuRow *FindMenuRow(const char *name, int index)
{
    for (const MenuRow &r : kRows) {
        if (r.index == index && std::strcmp(r.name, name) == 0)
            return &r;
    }
    return nullptr;
}

const char *NewButtonToolTip(int kind)
{
    return kind >= 0 && kind < int(std::size(kNewToolTips)) ? kNewToolTips[kind] : kNewToolTips[0];
}

int NewKindOfKey(const char *key)
{
    for (int i = 0; i < int(std::size(kNewMenu)); ++i) {
        if (std::strcmp(kNewMenu[i].key, key) == 0)
            return i;
    }
    return -1;
}

} // namespace vx
