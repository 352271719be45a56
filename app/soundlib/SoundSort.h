#pragma once

// Sorting a library's rows by a column, and the per-sound settings that a
// selection of rows takes (tag, noise gate, compression, boost). Plain logic
// over the rows; the window shows the messages and refreshes itself.

#include "app/soundlib/SoundEntry.h"

#include <QLocale>
#include <QString>

#include <vector>

// Sorts the rows by one column: "File" by the row's text and "Location" by
// the folder, both in binary order (upper case before lower case); "Tag" and
// "Mem Used" as numbers; "Comp" and "Boost" with the set rows greater. A
// selection sort that exchanges whole rows, so equal keys keep no guaranteed
// order. Descending puts the greatest key first.
void SortFileList(SoundRows &rows, int column, bool descending);

// A click on a column header: columns other than "File" are first put in
// ascending name order, then sorted by the column.
void SortByColumnClick(SoundRows &rows, int column, bool descending);

// The selection state of every row, in list order.
using RowSelection = std::vector<bool>;

// What an edit of the tag, noise gate or check boxes came to. `message` is
// the warning to show ("" for none).
struct SettingsEdit
{
    bool changed = false; // some record changed: the document is modified
    QString message;
};

// Enter in the tag box with one row selected: `row` (from 1) takes the box's
// number (an empty box counts 0). A number above 65534 or a tag that another
// row holds is refused with a message, and nothing changes. The Tag cell
// shows the text as typed.
[[nodiscard]] SettingsEdit ApplyTagToRow(SoundRows &rows, int row, const QString &boxText);

// Enter in the tag box with several rows selected: the selected rows are
// numbered in list order from the box's number, one apart (all 0 from 0).
// Numbering stops with a message at the first row whose tag would be out of
// range or held by a row that keeps its tag; the rows before it keep their
// new tags. No two rows ever end up with one tag.
[[nodiscard]] SettingsEdit NumberSelectedTags(SoundRows &rows, const RowSelection &selected, const QString &boxText);

// Enter in the noise gate box: every selected row of a kind that takes a gate
// gets the box's number (empty counts 0). A number above 32767 is refused
// and nothing changes (changed false, no message).
[[nodiscard]] SettingsEdit ApplyGateToSelected(SoundRows &rows, const RowSelection &selected, const QString &boxText);

// Check box states: unchecked, checked, and grey (the selected rows differ).
enum CheckState { chkUnchecked = 0, chkChecked = 1, chkGrey = 2 };

// Applies the Comp and Boost boxes to the selected rows: compression to wave,
// chip PCM and MP3 rows (their memory estimate and cells follow), boost to
// wave and MP3 rows; a grey box leaves its setting as it is. Compressed chip
// PCM rows and missing files are left alone.
[[nodiscard]] SettingsEdit ApplyCompressBoost(SoundRows &rows, const RowSelection &selected, CheckState compress,
                                              CheckState boost, const QLocale &locale = QLocale());

// The check box state that sums up the selected rows' Compress (or Boost):
// the first selected row's value, grey when a later one differs, unchecked
// when nothing is selected.
[[nodiscard]] CheckState SyncCompressCheck(const SoundRows &rows, const RowSelection &selected);
[[nodiscard]] CheckState SyncBoostCheck(const SoundRows &rows, const RowSelection &selected);
