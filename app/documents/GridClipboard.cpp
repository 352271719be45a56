#include "app/documents/GridClipboard.h"

#include <algorithm>

QStringList &ClipDicRows()
{
    static QStringList rows;
    return rows;
}

QStringList &ClipMusicRows()
{
    static QStringList rows;
    return rows;
}

namespace {

// Rows r to the end of a collapsed header's group; 1 for any other row.
int groupSpan(const GridRows &g, int r)
{
    const GridRow &row = g.row(r);
    if (row.itemData > 0 && row.icon == kIconCollapsed)
        return std::min(row.itemData, g.Rows() - r + 1);
    return 1;
}

} // namespace

QStringList CopyGridRows(const GridRows &g, const std::vector<int> &selected)
{
    QStringList out;
    int takenTo = 0;
    for (const int r : selected) {
        if (!g.exists(r) || r <= takenTo)
            continue;
        const int n = groupSpan(g, r);
        for (int q = r; q < r + n; ++q)
            out.append(g.row(q).text);
        takenTo = r + n - 1;
    }
    return out;
}

int DeleteGridRows(GridRows &g, const std::vector<int> &selected)
{
    std::vector<bool> gone(static_cast<size_t>(g.Rows()) + 1, false);
    for (const int r : selected) {
        if (!g.exists(r) || gone[static_cast<size_t>(r)])
            continue;
        const int n = groupSpan(g, r);
        for (int q = r; q < r + n; ++q)
            gone[static_cast<size_t>(q)] = true;
    }
    std::vector<GridRow> kept;
    int lastRemoval = 0;
    for (int r = 1; r <= g.Rows(); ++r) {
        const GridRow &row = g.row(r);
        if (!gone[static_cast<size_t>(r)]) {
            kept.push_back(row);
            continue;
        }
        lastRemoval = static_cast<int>(kept.size()) + 1;
        if (row.itemData > 0) {
            // An open header leaves its members behind as ordinary rows.
            for (int q = r + 1; q < r + row.itemData && q <= g.Rows() && g.row(q).itemData < 0; ++q)
                g.row(q).itemData = 0;
        } else if (row.itemData == kLastGroupMember && !kept.empty() && kept.back().itemData == kGroupMember) {
            kept.back().itemData = kLastGroupMember;
        }
    }
    if (lastRemoval == 0)
        return 0;
    g.clear();
    for (const GridRow &row : kept)
        g.row(g.AddRow()) = row;
    // A header whose members all went is a plain row again.
    for (int r = 1; r <= g.Rows(); ++r) {
        GridRow &row = g.row(r);
        if (row.itemData > 0 && !(g.exists(r + 1) && g.row(r + 1).itemData < 0)) {
            row.itemData = 0;
            row.icon = kNoIcon;
        }
    }
    FormatGridRow(g);
    if (g.Rows() == 0)
        return 0;
    return std::min(lastRemoval, g.Rows());
}

int PasteGridRows(GridRows &g, int selectedRow, const QStringList &texts, const RuleCheck &check)
{
    int first = 0;
    int after = selectedRow;
    for (const QString &text : texts) {
        const int n = InsertGridRow(g, after);
        GridRow &row = g.row(n);
        row.text = SingleLineCellText(text);
        RecolourGridRow(row, check, true);
        if (first == 0)
            first = n;
        after = n;
    }
    FormatGridRow(g);
    return first;
}
