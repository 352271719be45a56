#pragma once

// Keeping a library's rows in step with the disk: inspecting every sound
// again, and finding files that were moved to another folder. Qt Core only.

#include "app/soundlib/SoundEntry.h"

#include <QLocale>
#include <QString>

// The folder of the file at `path`, ending with one separator: "/" for a
// file in the root.
[[nodiscard]] QString FolderOf(const QString &path);

// The name under which the file `name` is in `folder`: `name` itself when a
// file of that name is there, else the one file whose name differs only in
// the case of letters (a library made where case does not matter); "" when
// there is none, or several that differ only in case.
[[nodiscard]] QString FindSoundFile(const QString &folder, const QString &name);

// What re-inspecting the rows found.
struct SoundRefreshResult
{
    int missing = 0;  // rows whose file is not there (kind -1, painted missing)
    bool renamed = false; // a record took the real case of its file's name
};

// Inspects every row's file again. A missing file's row is painted missing
// and its kind becomes -1; its other fields stay. A file that is there gives
// a fresh record that keeps the user's compression, boost, tag and noise
// gate, with the memory estimate made again, and fresh cells; a file that is
// there but is no sound any more is painted missing too, but not counted.
[[nodiscard]] SoundRefreshResult RefreshSoundRows(SoundRows &rows, const QLocale &locale = QLocale());

// A chip PCM row takes what its file's header says now, as Refresh would
// give it: a file converted again since it was listed may be compressed now,
// or at another rate. Rows of other kinds, and files that are gone or no
// chip PCM file any more, are left as they are. True when the row changed.
bool JudgePcmRowByHeader(SoundRow &row, const QLocale &locale = QLocale());

// Every row whose file is missing and whose name is found in `folder` takes
// that folder (and the name's real case). Returns how many rows changed.
[[nodiscard]] int RelocateSoundRows(SoundRows &rows, const QString &folder);
