#include "app/documents/GridRows.h"

#include <algorithm>

namespace {

qsizetype firstNonBlank(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    return i;
}

bool isLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || c == QChar::LineSeparator
        || c == QChar::ParagraphSeparator;
}

} // namespace

int GridRows::AddRow(int before)
{
    if (before < 1 || before > Rows()) {
        mRows.emplace_back();
        return Rows();
    }
    mRows.insert(mRows.begin() + (before - 1), GridRow{});
    return before;
}

bool IsCommentLine(const QString &text)
{
    const qsizetype i = firstNonBlank(text);
    return i < text.size() && text[i] == QLatin1Char(';');
}

QString SingleLineCellText(const QString &text)
{
    if (std::none_of(text.begin(), text.end(), isLineBreak))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!isLineBreak(text[i])) {
            out += text[i];
            continue;
        }
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        out += QLatin1Char(' ');
    }
    return out;
}

void FormatGridRow(GridRows &g)
{
    int shade = 0;
    const int rows = g.Rows();
    for (int r = 1; r <= rows; ++r) {
        GridRow &row = g.row(r);
        row.backColor3 = kDefaultColour;
        if (shade > 0) {
            row.backColor2 = kGroupShade;
            --shade;
        } else {
            row.backColor2 = kDefaultColour;
        }
        if (row.icon == kIconCollapsed) {
            row.backColor2 = kGroupShade;
            row.backColor3 = kGroupShade;
        }
        if (IsCommentLine(row.text))
            row.foreColor = kCommentFore;
        if (row.itemData > 0) {
            int count = 1;
            for (int q = r + 1; q <= rows && g.row(q).itemData < 0; ++q)
                ++count;
            row.itemData = count;
            shade = count - 1;
        }
    }
}

void RenumberGridItemData(GridRows &g)
{
    const int rows = g.Rows();
    for (int r = 1; r <= rows; ++r) {
        const int n = std::min(g.row(r).itemData, rows - r + 1);
        if (n <= 1)
            continue;
        for (int q = r + 1; q < r + n; ++q)
            g.row(q).itemData = kGroupMember;
        g.row(r + n - 1).itemData = kLastGroupMember;
    }
}

void HideCollapsedGroups(GridRows &g)
{
    const int rows = g.Rows();
    int r = 1;
    while (r <= rows) {
        if (g.row(r).icon != kIconCollapsed) {
            ++r;
            continue;
        }
        // A count of 0 or less still moves on, and none reaches past the end.
        const int n = std::clamp(g.row(r).itemData, 1, rows - r + 1);
        for (int q = r + 1; q < r + n; ++q)
            g.row(q).visible = false;
        r += n;
    }
}

int GridInsertPosition(const GridRows &g, int selectedRow)
{
    int at = 1;
    if (g.exists(selectedRow)) {
        const GridRow &p = g.row(selectedRow);
        at = (p.itemData > 0 && p.icon == kIconCollapsed) ? selectedRow + p.itemData : selectedRow + 1;
    }
    return std::min(at, g.Rows() + 1);
}

int InsertGridRow(GridRows &g, int selectedRow)
{
    const int n = g.AddRow(GridInsertPosition(g, selectedRow));
    if (n > 1) {
        // A collapsed header keeps its group closed: a row inserted after it
        // stays outside, as it does after a collapsed header's hidden members.
        const int above = g.row(n - 1).itemData;
        const bool openHeader = above > 0 && g.row(n - 1).icon != kIconCollapsed;
        if (above == kGroupMember || openHeader)
            g.row(n).itemData = kGroupMember;
        else if (above == kLastGroupMember || above > 0)
            g.row(n).itemData = 0;
    }
    FormatGridRow(g);
    return n;
}

bool RefusesGridEdit(int Col, int KeyAscii)
{
    return KeyAscii == 6 || KeyAscii == 9 || KeyAscii == 13 || KeyAscii == 27 || Col != 3;
}

void CommentGridRows(GridRows &g, const std::vector<int> &selected)
{
    for (const int r : selected) {
        if (!g.exists(r))
            continue;
        GridRow &row = g.row(r);
        row.text.prepend(QLatin1Char(';'));
        row.foreColor = kCommentFore;
    }
}

bool UncommentGridRows(GridRows &g, const std::vector<int> &selected, const RuleCheck &check)
{
    bool changed = false;
    for (const int r : selected) {
        if (!g.exists(r))
            continue;
        GridRow &row = g.row(r);
        if (!IsCommentLine(row.text))
            continue;
        row.text.remove(0, firstNonBlank(row.text) + 1);
        if (!IsCommentLine(row.text)) {
            row.foreColor = kDefaultColour;
            if (check && !check(row.text, false))
                row.foreColor = kBadRuleFore;
        }
        changed = true;
    }
    return changed;
}

void RecolourGridRow(GridRow &row, const RuleCheck &check, bool silent)
{
    if (IsCommentLine(row.text)) {
        row.foreColor = kCommentFore;
        return;
    }
    row.foreColor = kDefaultColour;
    if (check && !check(row.text, silent))
        row.foreColor = kBadRuleFore;
}

bool CollapseGridRows(GridRows &g, std::vector<int> selected)
{
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    selected.erase(std::remove_if(selected.begin(), selected.end(), [&g](int r) { return !g.exists(r); }),
                   selected.end());
    if (selected.empty())
        return false;

    // The group runs from the first selected row to the last row of the run:
    // selected rows, the groups they head, and hidden rows between them. A
    // visible row that is not selected ends the run, so a scattered selection
    // never hides a row that no header can show again.
    const int rows = g.Rows();
    const int first = selected.front();
    auto groupEnd = [&g, rows](int r) {
        const int n = g.row(r).itemData;
        return n > 0 ? std::min(r + n - 1, rows) : r;
    };
    int last = selected.size() == 1 ? groupEnd(first) : first;
    for (size_t i = 1; i < selected.size(); ++i) {
        const int r = selected[i];
        if (r <= last) {
            last = std::max(last, groupEnd(r));
            continue;
        }
        bool gapHidden = true;
        for (int q = last + 1; q < r && gapHidden; ++q)
            gapHidden = !g.row(q).visible;
        if (!gapHidden)
            break;
        last = std::max(r, groupEnd(r));
    }
    // Hidden rows right after the run belong to a group inside it.
    while (last < rows && !g.row(last + 1).visible)
        ++last;

    for (int q = first + 1; q <= last; ++q) {
        GridRow &row = g.row(q);
        row.visible = false;
        row.icon = kNoIcon;
        row.itemData = q == last ? kLastGroupMember : kGroupMember;
    }
    // The row after the group no longer continues any group.
    if (last < rows && g.row(last + 1).itemData < 0)
        g.row(last + 1).itemData = 0;
    g.row(first).icon = kIconCollapsed;
    g.row(first).itemData = 1;
    FormatGridRow(g);
    return true;
}

int ExpandGridGroup(GridRows &g, int p)
{
    if (!g.exists(p))
        return 0;
    const int n = std::min(g.row(p).itemData, g.Rows() - p + 1);
    if (n < 2)
        return 0;
    for (int k = 1; k < n; ++k)
        g.row(p + k).visible = true;
    g.row(p).icon = kIconExpanded;
    FormatGridRow(g);
    return n;
}
