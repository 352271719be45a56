#pragma once

#include <QString>

namespace vx {

// The help file: Docs/ beneath the program folder. Setting a path overrides it.
[[nodiscard]] QString helpFilePath();
void setHelpFilePath(const QString &path);

// Opens the help file at a topic (0 = contents) with the desktop's handler,
// or tells the user that it is missing or that no browser could be started.
// Returns whether it was opened.
bool showHelpTopic(int topic = 0);

} // namespace vx
