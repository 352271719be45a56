#pragma once

// The rows of a dictionary or music score grid, and the routines that edit
// them. Three cells per row: column 1 shows the line number and keeps the
// group state in its item data, column 2 the group icon, column 3 the line.
// Rows are numbered from 1, as in the routines' descriptions; 0 means none.

#include <QString>

#include <functional>
#include <vector>

// Colours are 0xBBGGRR; kDefaultColour is the grid's own colour for the cell.
inline constexpr int kDefaultColour = -1;
inline constexpr int kLineNumberBack = 0xE8E8E8;
inline constexpr int kLineNumberFore = 0x606060;
inline constexpr int kGroupShade = 0xF2F2F2;
inline constexpr int kCommentFore = 0x808000;
inline constexpr int kBadRuleFore = 0x4040FF;

// Group icons of column 2.
inline constexpr int kIconCollapsed = 0;
inline constexpr int kIconExpanded = 1;
inline constexpr int kNoIcon = -1;

// Item data of column 1 below a header.
inline constexpr int kGroupMember = -1;
inline constexpr int kLastGroupMember = -2;

struct GridRow
{
    QString text;               // column 3, the only column a file or compiler sees
    int itemData = 0;           // n > 0 header of n rows; -1 member; -2 last member; 0 ordinary
    int icon = kNoIcon;         // column 2
    bool visible = true;
    int foreColor = kDefaultColour;  // column 3 text
    int backColor2 = kDefaultColour; // column 2 background
    int backColor3 = kDefaultColour; // column 3 background

    bool operator==(const GridRow &) const = default;
};

class GridRows
{
public:
    [[nodiscard]] int Rows() const { return static_cast<int>(mRows.size()); }
    [[nodiscard]] GridRow &row(int r) { return mRows[static_cast<size_t>(r - 1)]; }
    [[nodiscard]] const GridRow &row(int r) const { return mRows[static_cast<size_t>(r - 1)]; }
    [[nodiscard]] bool exists(int r) const { return r >= 1 && r <= Rows(); }

    // Adds an empty row before row `before`, or at the end when before is 0
    // or past the last row. Returns the new row's number.
    int AddRow(int before = 0);
    void clear() { mRows.clear(); }
    void reserve(int n) { mRows.reserve(static_cast<size_t>(n)); }

    [[nodiscard]] const std::vector<GridRow> &all() const { return mRows; }
    bool operator==(const GridRows &) const = default;

private:
    std::vector<GridRow> mRows;
};

// The dictionary's check of one rule: true when it compiles. Silent asks the
// check not to show the compiler's own message. Unset for music scores.
using RuleCheck = std::function<bool(const QString &rule, bool silent)>;

// True for a comment line: its first character after leading blanks is ";".
[[nodiscard]] bool IsCommentLine(const QString &text);

// The text as one line: each line break (CR LF, LF, CR, or a Unicode line or
// paragraph separator) becomes one blank, so a cell never saves as two lines.
[[nodiscard]] QString SingleLineCellText(const QString &text);

// Shades and colours every row and recounts each header from the marked
// members that follow it.
void FormatGridRow(GridRows &g);

// Marks the rows below every header as members (-1) and its last row (-2).
// A count that reaches past the last row stops there; a count of 1 has no
// members and marks nothing.
void RenumberGridItemData(GridRows &g);

// Hides the members of every collapsed header, as a file that was just read
// asks. Counts of 0 or less, and counts past the last row, are kept in bounds.
void HideCollapsedGroups(GridRows &g);

// Where InsertGridRow puts its row: row 1 when none is selected, after the
// hidden members of a collapsed header, else below the selected row.
[[nodiscard]] int GridInsertPosition(const GridRows &g, int selectedRow);

// Inserts an empty row below the selected row (0: none selected) and gives it
// the group membership of the row above. Returns the new row's number.
int InsertGridRow(GridRows &g, int selectedRow);

// True when an edit of column col started by KeyAscii (0 for none) must be
// refused: Ctrl+F, Tab, Enter and Esc never start one, and only column 3 is
// edited.
[[nodiscard]] bool RefusesGridEdit(int Col, int KeyAscii);

// Puts ";" before the text of each selected row and gives it the comment colour.
void CommentGridRows(GridRows &g, const std::vector<int> &selected);

// Removes the first ";" (and the blanks before it) from each selected comment
// row. A row that is no comment afterwards takes the default colour, or, when
// check is set and fails, the bad-rule colour (the check is not silent).
// Returns whether any row changed.
bool UncommentGridRows(GridRows &g, const std::vector<int> &selected, const RuleCheck &check);

// The colour of an edited line: the comment colour, else the default, else
// the bad-rule colour when check is set and fails.
void RecolourGridRow(GridRow &row, const RuleCheck &check, bool silent);

// Makes the selected rows (ascending) one collapsed group under the first.
// Headers in the selection bring their whole group along. Only the selected
// rows that run on from the first without a visible unselected row between
// them are taken, so no row is ever hidden outside a header's reach.
// Returns whether anything changed.
bool CollapseGridRows(GridRows &g, std::vector<int> selected);

// Shows the members of the group headed by row p. Returns the number of rows
// in the group, 0 when p is no header of members and nothing changed.
int ExpandGridGroup(GridRows &g, int p);
