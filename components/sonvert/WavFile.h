#pragma once

#include "common/SafeFile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace sonvert {

inline constexpr std::size_t kWaveHeaderSize = 44;

// The 44-byte header of an 8-bit mono PCM wave file: RIFF size, "WAVEfmt ",
// 16, format 1, 1 channel, rate, rate bytes per second, block align 1,
// 8 bits, "data" and its size, all little-endian.
[[nodiscard]] std::array<std::uint8_t, kWaveHeaderSize> makeWaveHeader(std::uint32_t sampleRate,
                                                                      std::uint32_t dataBytes);

// A whole 8-bit mono wave file in memory.
[[nodiscard]] std::vector<std::uint8_t> buildWaveFile(std::uint32_t sampleRate,
                                                      std::span<const std::uint8_t> samples);

// Streams unsigned 8-bit mono samples into a wave file. The header goes out
// with both size fields 0 and is completed by commit(). Everything is written
// to a temporary file beside the target, which commit() renames over it; a
// writer destroyed or discarded before commit() leaves neither the target
// nor the temporary file, and an existing target stays as it was.
class WaveWriter8
{
public:
    WaveWriter8() = default;
    ~WaveWriter8();
    WaveWriter8(const WaveWriter8 &) = delete;
    WaveWriter8 &operator=(const WaveWriter8 &) = delete;

    // Starts a new file for `target`. Returns false when the temporary file
    // cannot be created or written.
    [[nodiscard]] bool open(const std::filesystem::path &target, std::uint32_t sampleRate);

    // Appends one sample through a 2048-byte buffer. Returns false once a
    // write has failed.
    bool putByte(std::uint8_t sample);
    // Appends many samples. Returns false once a write has failed.
    bool write(std::span<const std::uint8_t> samples);

    // Flushes the buffer, fills in both size fields and renames the file
    // into place. Returns false (and removes the temporary file) on failure,
    // including a file too long for the 32-bit size fields.
    [[nodiscard]] bool commit();
    // Drops the file being written.
    void discard();

    [[nodiscard]] bool isOpen() const { return mOut.stream() != nullptr; }
    [[nodiscard]] std::uint64_t samplesWritten() const { return mSamples; }
    // The cause of the first failure, as the system gave it; the caller
    // names the file.
    [[nodiscard]] const std::string &errorString() const { return mError; }

private:
    bool flush();
    bool fail(const std::string &what);

    vx::OutputFile mOut;
    std::array<std::uint8_t, 2048> mBuffer{};
    std::size_t mFill = 0;
    std::uint64_t mSamples = 0;
    bool mFailed = false;
    std::string mError;
};

} // namespace sonvert
