#pragma once

// Builds wave files in memory for the converter's tests.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace sonverttest {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes &b, std::uint32_t v)
{
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline void put32(Bytes &b, std::uint32_t v)
{
    put16(b, v);
    put16(b, v >> 16);
}

inline void putTag(Bytes &b, const char *tag)
{
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<std::uint8_t>(tag[i]));
}

// A wave file: "RIFF", optional extra chunks before "fmt ", the 16-byte format
// chunk and the data chunk (its declared size may differ from the bytes given).
inline Bytes wave(int formatTag, int channels, std::uint32_t rate, int bits, const Bytes &data,
                  const Bytes &chunksBeforeFmt = {}, std::int64_t declaredData = -1)
{
    Bytes b;
    putTag(b, "RIFF");
    put32(b, 0);
    putTag(b, "WAVE");
    b.insert(b.end(), chunksBeforeFmt.begin(), chunksBeforeFmt.end());
    putTag(b, "fmt ");
    put32(b, 16);
    put16(b, static_cast<std::uint32_t>(formatTag));
    put16(b, static_cast<std::uint32_t>(channels));
    put32(b, rate);
    const int block = channels * ((bits + 7) / 8);
    put32(b, rate * static_cast<std::uint32_t>(block));
    put16(b, static_cast<std::uint32_t>(block));
    put16(b, static_cast<std::uint32_t>(bits));
    putTag(b, "data");
    put32(b, declaredData >= 0 ? static_cast<std::uint32_t>(declaredData) : static_cast<std::uint32_t>(data.size()));
    b.insert(b.end(), data.begin(), data.end());
    const std::uint32_t riff = static_cast<std::uint32_t>(b.size() - 8);
    std::memcpy(&b[4], &riff, 4);
    return b;
}

inline Bytes pcm16(const std::vector<std::int16_t> &samples)
{
    Bytes b;
    for (std::int16_t s : samples)
        put16(b, static_cast<std::uint16_t>(s));
    return b;
}

// Interleaved 16-bit samples of a sine on every channel.
inline std::vector<std::int16_t> sine16(double freq, double rate, double amplitude, std::size_t frames,
                                        int channels)
{
    std::vector<std::int16_t> s;
    s.reserve(frames * static_cast<std::size_t>(channels));
    for (std::size_t i = 0; i < frames; ++i) {
        const auto v = static_cast<std::int16_t>(
            std::lrint(amplitude * std::sin(2 * std::numbers::pi * freq * static_cast<double>(i) / rate)));
        for (int c = 0; c < channels; ++c)
            s.push_back(v);
    }
    return s;
}

inline void writeFile(const std::string &path, const Bytes &bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline Bytes readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

} // namespace sonverttest
