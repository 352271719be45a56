#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

namespace vx {

// Every reader of a user's file opens it here. Only a regular file is read
// (a link is followed): a named pipe, a device or a socket under a file's
// name would keep the reader waiting for good or never end, and a folder is
// no file. The open itself never waits: one open that cannot block, then a
// look at what was opened, which is closed unread unless it is a regular file.

// Opens path for reading. Returns the descriptor (close-on-exec; it is
// non-blocking, which reads of a regular file ignore), or -1 with errno set:
// as the system set it, EISDIR for a folder and EINVAL for any other kind of
// file.
[[nodiscard]] int openRegularFile(const std::filesystem::path &path);

// The same as a stdio stream ("rb"); nullptr with errno set when it fails.
[[nodiscard]] std::FILE *openRegularStream(const std::filesystem::path &path);

// Reads the whole regular file at path into bytes when it holds at most
// maxBytes. Returns 0, or the errno of the failure: as openRegularFile, EFBIG
// for a larger file (refused before it is read), EIO when a read fails.
[[nodiscard]] int readRegularFile(const std::filesystem::path &path, std::string &bytes, std::uintmax_t maxBytes);

// The cause of a failed open or read as the user reads it: the system's
// text, "Not a regular file" for EINVAL.
[[nodiscard]] std::string readErrorText(int err);

} // namespace vx
