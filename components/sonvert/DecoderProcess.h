#pragma once

#include <string>
#include <vector>

// Starting the MP3 decoder program without a shell, and the converter's
// private temporary files.
namespace sonvert {

// The per-user temporary folder: $TMPDIR (or /tmp) plus "Voxmere-<user>/",
// created with mode 0700 when missing. Returns "" when it cannot be created or
// is not a private folder of this user (another owner, a link).
[[nodiscard]] std::string userTempFolder();

// Creates a uniquely named empty file in the per-user temporary folder and
// returns its path; "" when none could be created.
[[nodiscard]] std::string createTempFile(const std::string &suffix);

// Starts arguments[0] with the given arguments: no shell, no terminal (the
// standard streams on /dev/null), default signal handling. Returns the
// process id, or -1 when the program cannot be started.
[[nodiscard]] int spawnHidden(const std::vector<std::string> &arguments);

enum class ProcessState { Running, Succeeded, Failed };

// Looks, without waiting, whether the process has ended: Succeeded when it
// exited with 0, Failed when it exited otherwise, was killed or cannot be
// waited for. Once it has ended the process is reaped.
[[nodiscard]] ProcessState pollProcess(int pid);

// Kills the process and reaps it.
void killProcess(int pid);

} // namespace sonvert
