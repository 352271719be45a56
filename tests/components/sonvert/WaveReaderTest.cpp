#include "components/sonvert/WaveReader.h"
#include "tests/components/sonvert/SonvertTestWaves.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using namespace sonvert;
using namespace sonverttest;

namespace {

std::optional<WaveFormat> formatOf(const Bytes &file)
{
    return readWaveFormat(MemoryByteSource(file));
}

std::vector<std::int16_t> samplesOf(const Bytes &file)
{
    MemoryByteSource source(file);
    const auto format = readWaveFormat(source);
    EXPECT_TRUE(format && isSupportedWave(*format));
    std::vector<std::int16_t> out;
    if (format) {
        EXPECT_TRUE(readWaveSamples(source, *format, out));
    }
    return out;
}

} // namespace

TEST(WaveReader, ReadsTheCanonicalHeader)
{
    const auto f = formatOf(wave(1, 2, 44100, 16, pcm16({1, -2, 3, -4})));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->formatTag, 1);
    EXPECT_EQ(f->channels, 2);
    EXPECT_EQ(f->sampleRate, 44100);
    EXPECT_EQ(f->bitsPerSample, 16);
    EXPECT_EQ(f->dataOffset, 44u);
    EXPECT_EQ(f->dataBytes, 8u);
    EXPECT_EQ(samplesOf(wave(1, 2, 44100, 16, pcm16({1, -2, 3, -4}))),
              (std::vector<std::int16_t>{1, -2, 3, -4}));
}

TEST(WaveReader, WalksChunksBeforeTheFormatAndTheData)
{
    // A chunk before "fmt " whose text holds "data": neither the fixed places nor
    // a text search would find the real fields.
    Bytes junk;
    putTag(junk, "LIST");
    put32(junk, 9); // odd: one pad byte follows
    junk.insert(junk.end(), {'x', 'd', 'a', 't', 'a', 'y', 'z', 'w', 'v', 0});
    const Bytes file = wave(1, 1, 8000, 16, pcm16({100, 200}), junk);
    const auto f = formatOf(file);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->sampleRate, 8000);
    EXPECT_EQ(f->channels, 1);
    EXPECT_EQ(samplesOf(file), (std::vector<std::int16_t>{100, 200}));
}

TEST(WaveReader, ShortDataGivesTheSamplesPresent)
{
    // The header claims 1000 bytes; 5 are there: two whole samples.
    Bytes data = pcm16({7, -7});
    data.push_back(0x55);
    const Bytes file = wave(1, 1, 8000, 16, data, {}, 1000);
    const auto f = formatOf(file);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->dataBytes, 5u);
    EXPECT_EQ(samplesOf(file), (std::vector<std::int16_t>{7, -7}));
}

TEST(WaveReader, WiderIntegersAndDoublesBecomeSixteenBits)
{
    // 24-bit: 0x7FFFFF, -0x800000, 0x000180 (1.5 LSB of 16 bits -> 2), 0x000080 (0.5 -> 0).
    const Bytes d24{0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80, 0x80, 0x01, 0x00, 0x80, 0x00, 0x00};
    EXPECT_EQ(samplesOf(wave(1, 1, 8000, 24, d24)), (std::vector<std::int16_t>{32767, -32768, 2, 0}));

    Bytes d32;
    for (std::int32_t v : {0x7FFFFFFF, static_cast<std::int32_t>(0x80000000), 0x00018000, -0x00010000})
        put32(d32, static_cast<std::uint32_t>(v));
    EXPECT_EQ(samplesOf(wave(1, 1, 8000, 32, d32)), (std::vector<std::int16_t>{32767, -32768, 2, -1}));

    Bytes d64;
    for (double v : {1.0, -0.5, 0.25}) {
        std::uint64_t bits;
        std::memcpy(&bits, &v, 8);
        put32(d64, static_cast<std::uint32_t>(bits));
        put32(d64, static_cast<std::uint32_t>(bits >> 32));
    }
    EXPECT_EQ(samplesOf(wave(3, 1, 8000, 64, d64)), (std::vector<std::int16_t>{32765, -16384, 8192}));
}

TEST(WaveReader, RefusesWhatItCannotRead)
{
    const Bytes data = pcm16({1, 2, 3, 4, 5, 6});
    EXPECT_FALSE(isSupportedWave(*formatOf(wave(1, 3, 8000, 16, data))));     // three channels
    EXPECT_FALSE(isSupportedWave(*formatOf(wave(1, 0, 8000, 16, data))));     // no channels
    EXPECT_FALSE(isSupportedWave(*formatOf(wave(1, 1, 0, 16, data))));        // no rate
    EXPECT_FALSE(isSupportedWave(*formatOf(wave(2, 1, 8000, 4, data))));      // compressed
    EXPECT_FALSE(isSupportedWave(*formatOf(wave(0xFFFE, 1, 8000, 16, data)))); // extensible
    EXPECT_FALSE(isSupportedWave(*formatOf(wave(3, 1, 8000, 16, data))));     // float of 16 bits
    EXPECT_FALSE(isSupportedWave(*formatOf(wave(1, 1, 8000, 40, data))));     // 40-bit integers

    Bytes notRiff = wave(1, 1, 8000, 16, data);
    notRiff[0] = 'r';
    EXPECT_FALSE(formatOf(notRiff));
    EXPECT_FALSE(formatOf(Bytes{'R', 'I', 'F'}));
    EXPECT_FALSE(formatOf(Bytes{'R', 'I', 'F', 'F'}));
}

TEST(WaveReader, FallsBackToTheFixedHeaderWhenChunksAreBroken)
{
    // A RIFF file whose first chunk length runs past the end: the canonical
    // places still give the format, and the search finds the data.
    Bytes file = wave(1, 1, 11025, 16, pcm16({9, 8, 7}));
    file[16] = 0xFF; file[17] = 0xFF; file[18] = 0xFF; file[19] = 0x7F; // "fmt " length
    const auto f = formatOf(file);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->sampleRate, 11025);
    EXPECT_EQ(f->dataOffset, 44u);
    EXPECT_EQ(samplesOf(file), (std::vector<std::int16_t>{9, 8, 7}));
}

// Junk after "RIFF" (here 1 GB of zeros, a chain of empty chunks) is given
// up after a bounded number of reads, not walked to its end.
TEST(WaveReader, ChunkWalkIsBounded)
{
    struct Zeros : sonvert::ByteSource
    {
        mutable int reads = 0;
        std::uint64_t size() const override { return std::uint64_t{1} << 30; }
        std::size_t readAt(std::uint64_t offset, void *buffer, std::size_t n) const override
        {
            ++reads;
            const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(n, size() - offset));
            std::memset(buffer, 0, count);
            if (offset == 0 && count >= 4)
                std::memcpy(buffer, "RIFF", 4);
            return count;
        }
    } zeros;
    EXPECT_FALSE(sonvert::readWaveFormat(zeros));
    EXPECT_LT(zeros.reads, 2000);
}
