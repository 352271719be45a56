#include "components/sonvert/WaveReader.h"

#include "common/ReadFiles.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <sys/types.h>

namespace sonvert {

namespace {

constexpr std::uint64_t kDataSearchStart = 36;
constexpr std::uint64_t kDataSearchLength = 10000;
// Real wave files carry a handful of chunks; a walk past this many reads
// junk (a file of zeros is a chain of empty chunks).
constexpr int kMaxChunksWalked = 1024;

std::uint16_t le16(const std::uint8_t *p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t le32(const std::uint8_t *p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8)
        | (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool readExact(const ByteSource &source, std::uint64_t offset, void *buffer, std::size_t n)
{
    return source.readAt(offset, buffer, n) == n;
}

void readFormatFields(const std::uint8_t *fmt, WaveFormat &format)
{
    format.formatTag = le16(fmt);
    format.channels = le16(fmt + 2);
    format.sampleRate = static_cast<std::int32_t>(le32(fmt + 4));
    format.bitsPerSample = le16(fmt + 14);
}

std::int16_t saturate16(long long v)
{
    return static_cast<std::int16_t>(std::clamp<long long>(v, -32768, 32767));
}

// Full scale is held just inside +-1 so that it lands on 32765, not 32768.
std::int16_t fromFloat(double x, double clamp)
{
    if (std::isnan(x))
        return 0;
    if (x >= 1.0)
        x = clamp;
    else if (x <= -1.0)
        x = -clamp;
    return saturate16(std::llrint(x * 32768.0));
}

} // namespace

std::size_t MemoryByteSource::readAt(std::uint64_t offset, void *buffer, std::size_t n) const
{
    if (offset >= mBytes.size())
        return 0;
    const std::size_t available = static_cast<std::size_t>(mBytes.size() - offset);
    const std::size_t count = std::min(n, available);
    if (count > 0)
        std::memcpy(buffer, mBytes.data() + offset, count);
    return count;
}

FileByteSource::FileByteSource(const std::string &path)
{
    mFile = vx::openRegularStream(path);
    if (!mFile)
        return;
    if (fseeko(mFile, 0, SEEK_END) == 0) {
        const off_t end = ftello(mFile);
        mSize = end > 0 ? static_cast<std::uint64_t>(end) : 0;
    }
}

FileByteSource::~FileByteSource()
{
    if (mFile)
        std::fclose(mFile);
}

std::size_t FileByteSource::readAt(std::uint64_t offset, void *buffer, std::size_t n) const
{
    if (!mFile || offset >= mSize)
        return 0;
    if (fseeko(mFile, static_cast<off_t>(offset), SEEK_SET) != 0)
        return 0;
    return std::fread(buffer, 1, n, mFile);
}

std::optional<WaveFormat> readWaveFormat(const ByteSource &source)
{
    const std::uint64_t size = source.size();
    std::uint8_t head[12];
    if (!readExact(source, 0, head, 4) || std::memcmp(head, "RIFF", 4) != 0)
        return std::nullopt;

    WaveFormat format;
    bool haveFormat = false;
    bool haveData = false;

    // Walk the chunks: a chunk before "fmt " or a "data" text inside another
    // chunk must not be taken for the sound.
    std::uint64_t pos = 12;
    for (int walked = 0; walked < kMaxChunksWalked && pos + 8 <= size && !(haveFormat && haveData); ++walked) {
        std::uint8_t header[8];
        if (!readExact(source, pos, header, 8))
            break;
        const std::uint64_t length = le32(header + 4);
        const std::uint64_t body = pos + 8;
        if (std::memcmp(header, "fmt ", 4) == 0 && length >= 16 && !haveFormat) {
            std::uint8_t fmt[16];
            if (readExact(source, body, fmt, 16)) {
                readFormatFields(fmt, format);
                haveFormat = true;
            }
        } else if (std::memcmp(header, "data", 4) == 0 && !haveData) {
            format.dataOffset = body;
            format.dataBytes = std::min(length, size - body);
            haveData = true;
        }
        pos = body + length + (length & 1);
    }

    if (!haveFormat) {
        std::uint8_t fixed[16];
        if (!readExact(source, 20, fixed, 16))
            return std::nullopt;
        readFormatFields(fixed, format);
    }
    if (!haveData) {
        std::vector<std::uint8_t> window(kDataSearchLength + 8);
        const std::size_t got = source.readAt(kDataSearchStart, window.data(), window.size());
        for (std::size_t i = 0; i + 8 <= got && i < kDataSearchLength; ++i) {
            if (std::memcmp(window.data() + i, "data", 4) == 0) {
                const std::uint64_t body = kDataSearchStart + i + 8;
                format.dataOffset = body;
                format.dataBytes = std::min<std::uint64_t>(le32(window.data() + i + 4), size - body);
                haveData = true;
                break;
            }
        }
    }
    if (!haveData)
        return std::nullopt;
    return format;
}

bool isSupportedWave(const WaveFormat &format)
{
    if (format.channels != 1 && format.channels != 2)
        return false;
    if (format.sampleRate <= 0)
        return false;
    if (format.formatTag == kWaveFormatPcm)
        return format.bitsPerSample >= 1 && format.bitsPerSample <= 32;
    if (format.formatTag == kWaveFormatFloat)
        return format.bitsPerSample == 32 || format.bitsPerSample == 64;
    return false;
}

void decodeSamples(std::span<const std::uint8_t> data, const WaveFormat &format,
                   std::vector<std::int16_t> &out)
{
    const int width = format.containerBytes();
    if (width <= 0)
        return;
    const std::size_t count = data.size() / static_cast<std::size_t>(width);
    const std::size_t base = out.size();
    out.resize(base + count);
    std::int16_t *dst = out.data() + base;
    const std::uint8_t *p = data.data();

    if (format.formatTag == kWaveFormatFloat && width == 4) {
        for (std::size_t i = 0; i < count; ++i, p += 4) {
            const float x = std::bit_cast<float>(le32(p));
            dst[i] = fromFloat(x, 0.9999);
        }
    } else if (format.formatTag == kWaveFormatFloat && width == 8) {
        for (std::size_t i = 0; i < count; ++i, p += 8) {
            const std::uint64_t bits = le32(p) | (static_cast<std::uint64_t>(le32(p + 4)) << 32);
            dst[i] = fromFloat(std::bit_cast<double>(bits), 0.9999);
        }
    } else if (width == 1) {
        for (std::size_t i = 0; i < count; ++i)
            dst[i] = static_cast<std::int16_t>(p[i] * 256 - 32768);
    } else if (width == 2) {
        for (std::size_t i = 0; i < count; ++i, p += 2)
            dst[i] = static_cast<std::int16_t>(le16(p));
    } else if (width == 3) {
        for (std::size_t i = 0; i < count; ++i, p += 3) {
            const std::int32_t v = static_cast<std::int32_t>(
                (static_cast<std::uint32_t>(p[0]) << 8) | (static_cast<std::uint32_t>(p[1]) << 16)
                | (static_cast<std::uint32_t>(p[2]) << 24)) >> 8;
            dst[i] = saturate16(std::llrint(v / 256.0));
        }
    } else if (width == 4) {
        for (std::size_t i = 0; i < count; ++i, p += 4) {
            const std::int32_t v = static_cast<std::int32_t>(le32(p));
            dst[i] = saturate16(std::llrint(v / 65536.0));
        }
    } else {
        out.resize(base);
    }
}

WaveSampleStream::WaveSampleStream(const ByteSource &source, const WaveFormat &format)
    : mSource(source), mFormat(format)
{
    const int width = format.containerBytes();
    mCount = width > 0 ? format.dataBytes / static_cast<std::uint64_t>(width) : 0;
}

bool WaveSampleStream::next(std::size_t n, std::vector<std::int16_t> &out)
{
    out.clear();
    const auto width = static_cast<std::size_t>(mFormat.containerBytes());
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(n, mCount - mDone));
    if (count == 0)
        return true;
    const std::uint64_t offset = mFormat.dataOffset + mDone * width;
    if (width == 2 && std::endian::native == std::endian::little) {
        out.resize(count);
        if (!readExact(mSource, offset, out.data(), count * 2))
            return false;
    } else {
        mRaw.resize(count * width);
        if (!readExact(mSource, offset, mRaw.data(), mRaw.size()))
            return false;
        decodeSamples(mRaw, mFormat, out);
    }
    mDone += count;
    return true;
}

bool readWaveSamples(const ByteSource &source, const WaveFormat &format,
                     std::vector<std::int16_t> &out)
{
    out.clear();
    const int width = format.containerBytes();
    if (width <= 0)
        return false;
    const std::uint64_t count = format.dataBytes / static_cast<std::uint64_t>(width);

    if (width == 2 && std::endian::native == std::endian::little) {
        // Already in memory order: read straight into the samples.
        out.resize(static_cast<std::size_t>(count));
        return readExact(source, format.dataOffset, out.data(), static_cast<std::size_t>(count) * 2);
    }

    out.reserve(static_cast<std::size_t>(count));
    // A whole number of values of every width (1, 2, 3, 4, 8 bytes).
    constexpr std::size_t kBlock = 3 * 8 * 32768;
    std::vector<std::uint8_t> block(kBlock);
    std::uint64_t remaining = count * static_cast<std::uint64_t>(width);
    std::uint64_t offset = format.dataOffset;
    while (remaining > 0) {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, remaining));
        if (!readExact(source, offset, block.data(), n))
            return false;
        decodeSamples(std::span<const std::uint8_t>(block.data(), n), format, out);
        offset += n;
        remaining -= n;
    }
    return true;
}

} // namespace sonvert
