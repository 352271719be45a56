#pragma once

// Writing the workbench's compiled files, chip PCM files and firmware images
// into the chip, with the progress dialog up, and the four download commands
// that report the outcome.

#include "app/startup/Downloads.h"

#include <QString>

// Writes path, a file of that kind whatever its name (None: the link takes it
// for what its name or its first bytes show), into the chip through the link library while the progress
// dialog and the first status bar panel show the transfer; afterwards both
// are restored. The dialog's Cancel (not offered for a chipset update)
// stops the transfer. Returns "" when the file arrived whole, else what went wrong:
// the refusal of a chip PCM file by the older chip (then nothing was sent and
// the busy state was never entered), a cancelled transfer or the link's
// failure. Clears StopRequested first. Leaves the busy state entered (the
// caller leaves it with EndBusy).
[[nodiscard]] QString LinkTransferFile(const QString &path, DownloadKind kind);

// The download commands, one per kind: each transfers the file as its kind
// (the program's own output goes in under any name the user gave it), reports
// success or "ERROR: " and the reason under DownloadTitle, and leaves the
// busy state.
void DownloadSoundLibrary(const QString &path); // ".sfx"; a CR follows after 0.25 s
void DownloadFile(const QString &path);         // ".pcm" or any other file, by its name
void DownloadGreeting(const QString &path);     // ".grt"; a CR follows the busy state
void DownloadDictionary(const QString &path);   // ".dix"; names it in the status bar

