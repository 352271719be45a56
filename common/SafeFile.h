#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace vx {

// A file written under a temporary name beside its target and renamed over
// the target once complete, so a failed or cancelled write never leaves a
// half file and never harms the old one. Until commit() the target is
// untouched; destroying or discarding an uncommitted file removes the
// temporary file. Errors read as the system gave them ("No space left on
// device", "File too large", "Permission denied" for a file the user may not
// write). A target that is a link is written where the link points.
//
// The temporary name is ".<target name>.<pid>.<serial>.part", so the next
// write to the same target can tell the leftovers of dead processes and
// remove them, and sweepStaleParts() can find ours in a folder.
class OutputFile
{
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Creates the temporary file, first removing the temporary files a dead
    // process left for the same target. Returns false when it cannot be
    // created.
    [[nodiscard]] bool create(const std::filesystem::path &target);
    // The open stream, nullptr when none.
    [[nodiscard]] std::FILE *stream() const { return mFile; }
    [[nodiscard]] const std::filesystem::path &tempPath() const { return mTemp; }

    // Appends bytes. Returns false (keeping the first cause) when the write
    // fails or an earlier one did; commit() then fails too.
    bool write(const void *data, std::size_t size);
    bool write(std::string_view bytes) { return write(bytes.data(), bytes.size()); }
    // Overwrites bytes at an offset already written, then returns to the end.
    bool writeAt(std::uint64_t offset, const void *data, std::size_t size);

    // Flushes, syncs to disk, closes and renames over the target. Returns
    // false (and removes the temporary file) when any step or an earlier
    // write failed; the target is then untouched.
    [[nodiscard]] bool commit();
    void discard();

    [[nodiscard]] bool failed() const { return mFailed; }
    [[nodiscard]] const std::string &errorString() const { return mError; }

private:
    bool fail(int err);
    void removeTemp();

    std::FILE *mFile = nullptr;
    std::filesystem::path mTarget;
    std::filesystem::path mTemp;
    std::string mError;
    bool mFailed = false;
};

// Writes bytes to path through an OutputFile. Returns false (with the cause
// in *error when given) when any step fails; the old file is then untouched.
bool writeFileAtomically(const std::filesystem::path &path, std::string_view bytes, std::string *error = nullptr);

// Removes the temporary files that writers of target which are no longer
// running left behind (OutputFile::create does this itself).
void removeDeadLeftovers(const std::filesystem::path &target);

// Removes our temporary files (the OutputFile names) in folder that were last
// changed longer than maxAge ago: leftovers of processes killed while
// writing. Returns how many were removed; unreadable folders count as none.
int sweepStaleParts(const std::filesystem::path &folder,
                    std::chrono::seconds maxAge = std::chrono::hours(24));

} // namespace vx
