#pragma once

#include <QString>

// Turns the active text window into the greeting message file path: checks
// its length and the commands a greeting may not hold, writes the file
// through the safe writer (a failed write leaves no file and the old one
// whole) and, with a chip connected, offers to download it at once.
void CreateGreetingMessage(const QString &path);
