#pragma once

#include <QString>

class QFile;

namespace vx {

// Opens path for reading when it is a regular file. The open itself never
// waits: a named pipe or a device under a file's name is refused rather than
// blocking until someone writes to it. False when the path cannot be opened
// or is no regular file.
bool openRegularFile(QFile &f, const QString &path);

} // namespace vx
