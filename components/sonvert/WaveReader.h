#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <vector>

// Reading the wave files that the converter takes: integer PCM (format 1) of
// 8, 16, 24 or 32 bits and IEEE float (format 3) of 32 or 64 bits, mono or
// stereo, brought to 16-bit signed samples.
namespace sonvert {

inline constexpr int kWaveFormatPcm = 1;
inline constexpr int kWaveFormatFloat = 3;

// Random access to the bytes of a wave file.
class ByteSource
{
public:
    virtual ~ByteSource() = default;
    [[nodiscard]] virtual std::uint64_t size() const = 0;
    // Reads up to n bytes at offset; returns how many were read.
    virtual std::size_t readAt(std::uint64_t offset, void *buffer, std::size_t n) const = 0;
};

class MemoryByteSource : public ByteSource
{
public:
    explicit MemoryByteSource(std::span<const std::uint8_t> bytes) : mBytes(bytes) {}
    [[nodiscard]] std::uint64_t size() const override { return mBytes.size(); }
    std::size_t readAt(std::uint64_t offset, void *buffer, std::size_t n) const override;

private:
    std::span<const std::uint8_t> mBytes;
};

class FileByteSource : public ByteSource
{
public:
    // Opens the file for reading (a regular file only); isOpen() tells
    // whether that worked.
    explicit FileByteSource(const std::string &path);
    ~FileByteSource() override;
    FileByteSource(const FileByteSource &) = delete;
    FileByteSource &operator=(const FileByteSource &) = delete;

    [[nodiscard]] bool isOpen() const { return mFile != nullptr; }
    [[nodiscard]] std::uint64_t size() const override { return mSize; }
    std::size_t readAt(std::uint64_t offset, void *buffer, std::size_t n) const override;

private:
    std::FILE *mFile = nullptr;
    std::uint64_t mSize = 0;
};

struct WaveFormat
{
    int formatTag = 0;
    int channels = 0;
    std::int32_t sampleRate = 0;
    int bitsPerSample = 0;
    std::uint64_t dataOffset = 0; // first sample byte
    std::uint64_t dataBytes = 0;  // the data chunk's size, cut to the bytes present

    // Bytes that hold one sample value.
    [[nodiscard]] int containerBytes() const { return (bitsPerSample + 7) / 8; }
    // Number of sample values (both channels counted) in the data.
    [[nodiscard]] std::uint64_t valueCount() const
    {
        return containerBytes() > 0 ? dataBytes / static_cast<std::uint64_t>(containerBytes()) : 0;
    }
};

// Reads the layout of a wave file: "RIFF" at the start, the format fields from
// the "fmt " chunk and the data chunk found by walking the chunks. A file whose
// chunks cannot be walked is read at the fixed places of the canonical 44-byte
// header, with the data chunk searched for in the 10000 bytes from offset 36.
// The walk looks at no more than a bounded number of chunks, so a huge file
// of junk is rejected at once. Returns nothing when the file is no RIFF file
// or has no data chunk.
[[nodiscard]] std::optional<WaveFormat> readWaveFormat(const ByteSource &source);

// True when the converter can read the samples of this layout: format 1 or 3,
// one or two channels, a positive rate and a sample width it knows.
[[nodiscard]] bool isSupportedWave(const WaveFormat &format);

// Decodes the sample values of raw data bytes in the given layout into 16-bit
// samples, appended to out. A trailing partial value is ignored.
void decodeSamples(std::span<const std::uint8_t> data, const WaveFormat &format,
                   std::vector<std::int16_t> &out);

// Reads the sample values of a supported wave file block by block, from the
// first on, so a sound of any length is worked in a fixed amount of memory.
class WaveSampleStream
{
public:
    WaveSampleStream(const ByteSource &source, const WaveFormat &format);
    // Number of sample values (both channels counted) in the data.
    [[nodiscard]] std::uint64_t valueCount() const { return mCount; }
    // Replaces out with the next up to n values; empty at the end. Returns
    // false when the data cannot be read.
    bool next(std::size_t n, std::vector<std::int16_t> &out);
    // Starts again at the first value.
    void rewind() { mDone = 0; }

private:
    const ByteSource &mSource;
    WaveFormat mFormat;
    std::uint64_t mCount = 0;
    std::uint64_t mDone = 0;
    std::vector<std::uint8_t> mRaw;
};

// Reads and decodes every sample value of a supported wave file. Returns false
// when the data cannot be read.
bool readWaveSamples(const ByteSource &source, const WaveFormat &format,
                     std::vector<std::int16_t> &out);

} // namespace sonvert
