#pragma once

// The file-drop queue: the paths given on the command line or dropped, one
// row each, and the window measures of the drop window.

#include <QString>
#include <QStringList>
#include <QVector>

namespace tolv {

enum class RowIcon { None = 0, Sending = 1, Complete = 2, Failed = 3 };

struct QueueEntry
{
    QString path;  // absolute
    QString text;  // " " and the name in proper case, as the row shows it
};

// One row per path: empty arguments are skipped, relative paths are taken
// from the current folder now (start-up changes it later).
[[nodiscard]] QVector<QueueEntry> BuildQueue(const QStringList &paths);

// Positions of the drop window's controls, in twips, for a window of
// height H and width W. A window too small to take a margin keeps the full
// measure.
struct FileDropLayout
{
    int listHeight, listWidth;
    int comInfoTop, comInfoLeft;
    int cancelAckTop, cancelAckLeft;
    int cancelTop, cancelLeft;
};
[[nodiscard]] FileDropLayout fileDropLayout(int W, int H);

} // namespace tolv
