#pragma once

#include <QString>

namespace vx {

// Answers the command line's requests for information before anything
// starts, no display needed: as the first argument "--help" (or "-h")
// prints usage, "--version" prints version, each with a line end. Returns
// true when it printed, and the program then ends.
bool AnswerInfoRequest(int argc, char **argv, const QString &usage, const QString &version);

} // namespace vx
