#pragma once

#include <functional>
#include <string>

// Starting the MP3 decoder program that sits beside the converter library,
// and the converter's temporary files.
namespace vx::sonvert {

// File name of the decoder program.
inline constexpr const char *kDecoderName = "auridec";

// Folder (ending in "/") of the converter library, found from the address of
// one of its own functions; the running program's folder when that fails.
[[nodiscard]] std::string ComponentFolder();

// Makes the decoder be looked for in the given folder instead of the
// component's folder (an empty folder restores the default).
void SetDecoderFolder(const std::string &folder);

// Full path of the decoder program.
[[nodiscard]] std::string DecoderPath();

// The per-user temporary folder: $TMPDIR (or /tmp) plus "Voxmere-<user>/",
// created with mode 0700 when missing. Returns "" when it cannot be created
// or is not a private folder of the user (another owner, a link).
[[nodiscard]] std::string UserTempFolder();

// A uniquely named, newly created empty file in the per-user temporary folder,
// removed again when the object goes. path() is "" when none could be made.
class TempFile
{
public:
    explicit TempFile(const std::string &suffix);
    ~TempFile();
    TempFile(const TempFile &) = delete;
    TempFile &operator=(const TempFile &) = delete;

    [[nodiscard]] const std::string &path() const { return mPath; }
    // Removes the file now (also done by the destructor).
    void remove();

private:
    std::string mPath;
};

enum class DecodeStatus {
    Decoded,        // the target holds a wave file of at least 45 bytes
    DecoderMissing, // the decoder could not be started
    Invalid,        // it failed or wrote no usable wave file
    Canceled,       // poll asked to cancel; the decoder was stopped
};

// Runs the decoder program with "--decode --silent <source> <target>", with no
// shell and no terminal, and waits for it to end. While waiting, poll is
// called about every 10 ms; when it returns true the decoder is killed.
[[nodiscard]] DecodeStatus DecodeMp3(const std::string &decoder, const std::string &source,
                                     const std::string &target, const std::function<bool()> &poll);

} // namespace vx::sonvert
