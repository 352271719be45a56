#pragma once

#include <string>
#include <vector>

// Starting the MP3 decoder program without a shell, and the converter's
// private temporary files.
namespace sonvert {

// The per-user temporary folder's name: $TMPDIR (or /tmp) plus
// "Voxmere-<user>" (no trailing "/").
[[nodiscard]] std::string userTempFolderName();
// That folder with a trailing "/", created with mode 0700 when missing.
// Returns "" when it cannot be created or is not a private folder of this
// user (another owner, a link), with the reason in *cause.
[[nodiscard]] std::string userTempFolder(std::string *cause = nullptr);

// Creates a uniquely named empty file in the per-user temporary folder, after
// sweeping the leftovers there, and returns its path; "" when none could be
// created, with the reason in *cause.
[[nodiscard]] std::string createTempFile(const std::string &suffix, std::string *cause = nullptr);

// Removes from the per-user temporary folder what converters of processes
// that are gone left there: the decoder's unfinished output once the decoder
// has ended, and the temporary file once no such output is left. Returns how
// many temporary files it removed.
int sweepLeftovers();

// Starts arguments[0] with the given arguments: no shell, no terminal (the
// standard streams on /dev/null, standard error on `errors` when that is an
// open descriptor), default signal handling. The process is killed when the
// calling thread ends (with its program). Returns the process id, or -1 when
// the program cannot be started.
[[nodiscard]] int spawnHidden(const std::vector<std::string> &arguments, int errors = -1);

// CannotWrite: the decoder ended with its status for an output it could not
// create or write.
enum class ProcessState { Running, Succeeded, Failed, CannotWrite };

// Looks, without waiting, whether the process has ended: Succeeded when it
// exited with 0, CannotWrite with 3, Failed when it exited otherwise, was
// killed or cannot be waited for. Once it has ended the process is reaped.
[[nodiscard]] ProcessState pollProcess(int pid);

// The system's reason at the end of the last line written to the file
// behind fd (after its last ": "); "" when there is none.
[[nodiscard]] std::string lastReason(int fd);

// Kills the process and reaps it.
void killProcess(int pid);

} // namespace sonvert
