#pragma once

#include <QString>

namespace vx {

// Shows a file in the desktop's file manager, selected when the file manager
// offers that on the session bus; otherwise opens the file's folder. False,
// and a message that says so, when neither could be done.
bool revealFile(const QString &path);

} // namespace vx
