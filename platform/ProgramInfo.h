#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace vx {

// Answers the command line's requests for information before anything
// starts, no display needed: as the first argument "--help" (or "-h")
// prints usage, "--version" prints version, each with a line end. Returns
// true when it printed, and the program then ends. The usage is kept for
// fileOperands.
bool AnswerInfoRequest(int argc, char **argv, const QString &usage, const QString &version);

// The file names among the arguments Qt left (its own options are gone):
// a first "--" ends the options and is dropped, and "-" alone is a name.
// Any other argument that begins with "-" before that is no option of the
// program's: "<program>: unknown option '<argument>'" and the usage go to
// standard error and nothing is returned; the program then ends with
// status 2.
[[nodiscard]] std::optional<QStringList> fileOperands(const QStringList &arguments);

} // namespace vx
