#pragma once

// Cut, copy and paste of whole sound records between sound libraries. The
// copied records keep every setting (tag, gate, boost, compression), live
// for the program's life and never mix with the grids' rows. Qt Core only.

#include "app/soundlib/SoundEntry.h"

#include <functional>
#include <vector>

// The records of the last sound copy, in list order; empty until then.
[[nodiscard]] QList<SoundEntry> &ClipSoundEntries();

// The records of the selected rows (selected[i] for row i), in list order.
[[nodiscard]] QList<SoundEntry> CopySoundEntries(const SoundRows &rows, const std::vector<bool> &selected);

// Removes the selected rows. Returns the row (from 0) to select afterwards:
// the one now at the last removal, or the last row; -1 when none remains or
// nothing was removed.
int DeleteSoundRows(SoundRows &rows, const std::vector<bool> &selected);

// What a paste does with a record whose tag another row holds: Skip it and
// go on, or Stop the paste.
enum class DuplicateChoice { Skip, Stop };
using DuplicateTagQuestion = std::function<DuplicateChoice(const SoundEntry &record, const SoundEntry &holder)>;

struct SoundPasteResult
{
    int inserted = 0;
    int lastInserted = -1; // row (from 0) of the last record put in, -1 for none
    bool full = false;     // records were left out because the library was full
};

// Inserts the records below row after (from 0; -1: at the top), each below
// the one before, unchanged. A record whose tag a row already holds (pasted
// ones included) goes through duplicate; tag 0 never does. No row is added
// beyond SoundLibTable::kMaxRows.
SoundPasteResult PasteSoundEntries(SoundRows &rows, int after, const QList<SoundEntry> &records,
                                   const DuplicateTagQuestion &duplicate);
