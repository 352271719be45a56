#pragma once

#include "platform/ProgramName.h"

#include <QString>

namespace vx {

// The folder of the running program; Bin/ and Docs/ live beneath it.
[[nodiscard]] QString programFolder();
// Overrides programFolder() (tests; empty restores the default).
void setProgramFolder(const QString &path);

// The per-user temporary folder: the system temporary folder plus
// "<program name>-<user>/" (with a trailing slash). createTempFolder() makes it with
// mode 0700 and refuses one owned by someone else or reached through a link;
// returns false with a message then.
[[nodiscard]] QString tempFolderPath(const QString &program = programName());
bool createTempFolder(const QString &path, QString *error = nullptr);

// Deletes the regular files directly in folder; follows no link, leaves
// sub-folders and whatever links point at. Returns how many it removed.
int emptyFolder(const QString &folder);

// A name in folder that no file has yet, from a base and an extension
// (".tmp"); the file is created empty so nobody else takes it.
[[nodiscard]] QString uniqueFileIn(const QString &folder, const QString &base, const QString &extension);

} // namespace vx
