#pragma once

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace vx {

// A file written under a unique temporary name beside its target and renamed
// over the target once complete, so a failed or cancelled write never leaves
// a half file and never harms the old one. Until commit() the target is untouched;
// destroying or discarding an uncommitted file removes the temporary file.
class OutputFile
{
public:
    OutputFile() = default;
    ~OutputFile();
    OutputFile(const OutputFile &) = delete;
    OutputFile &operator=(const OutputFile &) = delete;

    // Creates the temporary file. Returns false when it cannot be created.
    [[nodiscard]] bool create(const std::filesystem::path &target);
    // The open stream, nullptr when none.
    [[nodiscard]] std::FILE *stream() const { return mFile; }
    [[nodiscard]] const std::filesystem::path &tempPath() const { return mTemp; }

    // Closes the stream and renames it over the target. Returns false (and
    // removes the temporary file) when closing or renaming fails.
    [[nodiscard]] bool commit();
    void discard();

    [[nodiscard]] const std::string &errorString() const { return mError; }

private:
    std::FILE *mFile = nullptr;
    std::filesystem::path mTarget;
    std::filesystem::path mTemp;
    std::string mError;
};

// Writes bytes to path through an OutputFile. Returns false (with a message
// in *error when given) when any step fails; the old file is then untouched.
bool writeFileAtomically(const std::filesystem::path &path, std::string_view bytes, std::string *error = nullptr);

} // namespace vx
