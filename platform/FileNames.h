#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace vx {

// File names as the system keeps them: bytes, mostly UTF-8. A name that is
// not valid UTF-8 must still open, so its bytes travel inside the QString:
// each byte that is not part of a valid sequence becomes the lone surrogate
// U+DC80..U+DCFF (no valid UTF-8 name decodes to one) and turns back into
// that byte on the way out. Such a character shows as a replacement mark.

// The name for bytes read from the system (a command line, a folder).
[[nodiscard]] QString fileNameFromBytes(QByteArrayView bytes);
// The bytes to hand to the system for a name; QFile::encodeName for any name
// without such characters.
[[nodiscard]] QByteArray fileNameBytes(QStringView name);

// Whether a name, its bytes kept, is on disk at all / is a regular file (a
// link followed in both).
[[nodiscard]] bool pathExists(const QString &path);
[[nodiscard]] bool isRegularFile(const QString &path);

// The program's arguments after the program name, each with its bytes kept.
[[nodiscard]] QStringList fileArguments(int argc, const char *const *argv);

// A path a file dialog gave back. The dialog shows a name that is not UTF-8
// with replacement characters, and that text names no file; when exactly one
// file of the folder is shown that way, its real name is returned. Any
// other path comes back as it is.
[[nodiscard]] QString chosenFileName(const QString &path);

} // namespace vx
