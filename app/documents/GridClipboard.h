#pragma once

// Cut, copy, paste and delete of grid rows. The copied rows are plain texts,
// kept per document kind for the program's life, so dictionary rows never
// land in a music score.

#include "app/documents/GridRows.h"

#include <QStringList>

#include <vector>

// The internal clipboards of the two grid kinds; empty until a copy.
[[nodiscard]] QStringList &ClipDicRows();
[[nodiscard]] QStringList &ClipMusicRows();

// The texts of the selected rows (ascending), a collapsed header followed by
// its hidden members; a member already taken with its header is not taken twice.
[[nodiscard]] QStringList CopyGridRows(const GridRows &g, const std::vector<int> &selected);

// Removes the selected rows; a collapsed header takes its group along, the
// members of an open header it leaves become ordinary rows. Returns the row to
// select afterwards (the row now at the last removal, or the last row), 0 when
// nothing remains.
int DeleteGridRows(GridRows &g, const std::vector<int> &selected);

// Inserts texts below the selected row (below a collapsed header's group; row
// 1 when none is selected), each taking the group of the row above it, and
// colours each as an edited line. Returns the first pasted row, 0 for none.
int PasteGridRows(GridRows &g, int selectedRow, const QStringList &texts, const RuleCheck &check);
