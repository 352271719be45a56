#include "components/sonvert/Compression.h"
#include "tests/components/sonvert/PcmTestFiles.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace sonvert;
using pcmtest::Bytes;
using pcmtest::signedBytes;

namespace {

constexpr int M = kRunMarker;

std::vector<int> asSigned(const Bytes &bytes)
{
    std::vector<int> out;
    for (auto b : bytes)
        out.push_back(b > 127 ? b - 256 : b);
    return out;
}

// A few seconds of something like speech: voiced stretches of mixed partials
// under a syllable envelope, noisy stretches and pauses.
Bytes speechLike(std::size_t count, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    Bytes out(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / 11025.0;
        const double syllable = std::max(0.0, std::sin(2 * M_PI * 3.1 * t));
        const int segment = static_cast<int>(t * 6.0) % 4;
        double v = 0;
        if (segment == 0 || segment == 1)
            v = 70 * std::sin(2 * M_PI * 140 * t) + 35 * std::sin(2 * M_PI * 430 * t)
                + 20 * std::sin(2 * M_PI * 1300 * t);
        else if (segment == 2)
            v = 40 * noise(rng);
        v *= syllable;
        const int s = std::clamp(static_cast<int>(std::lround(v)), -126, 126);
        out[i] = static_cast<std::uint8_t>(s & 0xFF);
    }
    return out;
}

// Decoding the packed data gives the encoder's predictor track, and anything
// decoded behind it (the end mark's code, the filler of a last half byte)
// only holds the last value.
void expectTrackReproduced(const std::vector<int> &decoded, const std::vector<int> &track)
{
    ASSERT_GE(decoded.size(), track.size());
    for (std::size_t i = 0; i < track.size(); ++i)
        ASSERT_EQ(decoded[i], track[i]) << "first difference at sample " << i;
    for (std::size_t i = track.size(); i < decoded.size(); ++i)
        EXPECT_EQ(decoded[i], track.empty() ? 0 : track.back());
    for (int v : decoded) {
        ASSERT_GE(v, -127); // never the reserved byte -128
        ASSERT_LE(v, 127);
    }
}

} // namespace

TEST(Compression, OlderRulesWorkedThrough)
{
    Bytes samples = signedBytes({0, 8, 16, 24, 32, 40, 48, 56, 56, 56, 56, 56, 56, 56, -20, -100});
    std::vector<int> track;
    Bytes codes = samples;
    encodeSteps(codes, CodecRules::Older, &track);
    EXPECT_EQ(asSigned(codes), (std::vector<int>{0, 6, 6, 7, 3, 4, 4, 4, 0, 0, 0, 0, 0, 0, -7, -7}));
    EXPECT_EQ(track, (std::vector<int>{0, 6, 12, 26, 32, 40, 48, 56, 56, 56, 56, 56, 56, 56, 42, 14}));
    const Bytes runs = collapseRuns(codes, CodecRules::Older);
    EXPECT_EQ(asSigned(runs), (std::vector<int>{0, 6, 6, 7, 3, 4, 4, 4, 0, M, 5, -7, -7}));
    const Bytes packed = packCodes(runs);
    EXPECT_EQ(packed, (Bytes{0x06, 0x67, 0x34, 0x44, 0x08, 0x05, 0x99}));
    EXPECT_EQ(compressSamples(samples, CodecRules::Older), packed);
    EXPECT_EQ(decompressSamples(packed, CodecRules::Older), track);
}

TEST(Compression, NewerRulesWorkedThrough)
{
    // The same sound as a marked file's data: a pad 0 and the end mark.
    Bytes samples = signedBytes({0, 8, 16, 24, 32, 40, 48, 56, 56, 56, 56, 56, 56, 56, -20, -100, 0, -128});
    Bytes codes = samples;
    encodeSteps(codes, CodecRules::Newer);
    EXPECT_EQ(asSigned(codes),
              (std::vector<int>{0, 7, 4, 4, 4, 4, 4, 4, 0, 0, 0, 0, 0, 0, -7, -7, -3, -128}));
    const Bytes runs = collapseRuns(codes, CodecRules::Newer);
    EXPECT_EQ(asSigned(runs), (std::vector<int>{0, 7, 4, M, 5, 0, M, 5, -7, -7, -3, -128}));
    const Bytes packed = packCodes(runs);
    EXPECT_EQ(packed, (Bytes{0x07, 0x48, 0x05, 0x08, 0x05, 0x99, 0xD0}));
    EXPECT_EQ(decompressSamples(packed, CodecRules::Newer),
              (std::vector<int>{0, 8, 16, 24, 32, 40, 48, 56, 56, 56, 56, 56, 56, 56, 40, 8, -16, -16}));
}

TEST(Compression, SilenceBecomesRunsOfAtMost256)
{
    // Each further run of a code writes only the marker and its count, so 512
    // zeros give 0 M 255 | M 255 | 0: packed 08 FF 8F FF 00 (not 08 FF twice).
    const Bytes silence(512, 0);
    EXPECT_EQ(compressSamples(silence, CodecRules::Older), (Bytes{0x08, 0xFF, 0x8F, 0xFF, 0x00}));
    Bytes marked = silence;
    marked.push_back(0);
    marked.push_back(0x80);
    EXPECT_EQ(compressSamples(marked, CodecRules::Newer), (Bytes{0x08, 0xFF, 0x8F, 0xFF, 0x00, 0x00}));
    const auto decoded = decompressSamples(Bytes{0x08, 0xFF, 0x8F, 0xFF, 0x00}, CodecRules::Older);
    EXPECT_EQ(decoded.size(), 513u); // 512 and the filler of the last half byte
    EXPECT_TRUE(std::all_of(decoded.begin(), decoded.end(), [](int v) { return v == 0; }));
}

TEST(Compression, RunLengths)
{
    const auto runs = [](std::vector<int> codes, CodecRules rules = CodecRules::Newer) {
        Bytes b;
        for (int c : codes)
            b.push_back(static_cast<std::uint8_t>(c & 0xFF));
        return asSigned(collapseRuns(b, rules));
    };
    EXPECT_EQ(runs({3, 3, 3, 3, 2, 2, 2}), (std::vector<int>{3, 3, 3, 3, 2, 2, 2}));
    EXPECT_EQ(runs({3, 3, 3, 3, 3, 2, 2}), (std::vector<int>{3, M, 4, 2, 2}));
    EXPECT_EQ(runs({5, 3, 3, 3, 3, 3}), (std::vector<int>{5, 3, M, 4}));

    // Counts are whole bytes: 255 reads as -1 here.
    std::vector<int> long261(261, 2);
    EXPECT_EQ(runs(long261), (std::vector<int>{2, M, -1, M, 5}));
    std::vector<int> long256(256, 2);
    long256.push_back(1);
    EXPECT_EQ(runs(long256), (std::vector<int>{2, M, -1, 1}));
    EXPECT_TRUE(runs({}).empty());
    EXPECT_EQ(runs({4}), (std::vector<int>{4}));
}

TEST(Compression, OlderRulesKeepStepChangingCodesOutOfRuns)
{
    const auto runs = [](std::vector<int> codes) {
        Bytes b;
        for (int c : codes)
            b.push_back(static_cast<std::uint8_t>(c & 0xFF));
        return asSigned(collapseRuns(b, CodecRules::Older));
    };
    // Zeros while the step is 1 repeat freely; sevens double the step until 16.
    EXPECT_EQ(runs({0, 0, 0, 0, 0, 0}), (std::vector<int>{0, M, 5}));
    EXPECT_EQ(runs({3, 7, 7, 7, 7, 7, 7, 7, 7, 7}), (std::vector<int>{3, 7, 7, 7, 7, M, 5}));
    // After a doubling, zeros halve the step back first.
    EXPECT_EQ(runs({3, 7, 0, 0, 0, 0, 0, 0}), (std::vector<int>{3, 7, 0, M, 5}));
    EXPECT_EQ(runs({3, 7, 7, 0, 0, 0, 0, 0, 0, 0}), (std::vector<int>{3, 7, 7, 0, 0, M, 5}));
}

TEST(Compression, PackingPutsMarkersInEitherHalf)
{
    EXPECT_EQ(packCodes(signedBytes({3, M, 5})), (Bytes{0x38, 0x05}));
    EXPECT_EQ(packCodes(signedBytes({1, 3, M, 5})), (Bytes{0x13, 0x8F, 0x05}));
    EXPECT_EQ(packCodes(signedBytes({-1, 5, -7})), (Bytes{0xF5, 0x90}));
    EXPECT_EQ(packCodes(signedBytes({2, M, 200, 6})), (Bytes{0x28, 0xC8, 0x60}));
    EXPECT_TRUE(packCodes(Bytes{}).empty());
    // Both halves decode back, the marker repeating the code before it.
    EXPECT_EQ(decompressSamples(Bytes{0x13, 0x8F, 0x05}, CodecRules::Newer),
              (std::vector<int>{1, 4, 7, 10, 13, 16, 19}));
}

TEST(Compression, OlderRulesRoundHalvesToEven)
{
    // Third sample: (9 - 14) / 2 = -2.5 gives -2, and then (9 - 10) / 2 = -0.5
    // gives 0; rounding halves away from zero would give -3 and -1.
    Bytes codes = signedBytes({0, 20, 9, 9});
    std::vector<int> track;
    encodeSteps(codes, CodecRules::Older, &track);
    EXPECT_EQ(asSigned(codes), (std::vector<int>{0, 7, -2, 0}));
    EXPECT_EQ(track, (std::vector<int>{0, 14, 10, 10}));

    // Loud samples are limited to 7/8 first: 124 x 0.875 = 108.5 -> 108.
    Bytes loud = signedBytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 124});
    Bytes ref = signedBytes({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 108});
    encodeSteps(loud, CodecRules::Older);
    encodeSteps(ref, CodecRules::Older);
    EXPECT_EQ(loud, ref);
}

TEST(Compression, RoundTripReproducesTheEncoderTrack)
{
    for (const auto rules : {CodecRules::Older, CodecRules::Newer}) {
        SCOPED_TRACE(rules == CodecRules::Older ? "older" : "newer");
        Bytes samples = speechLike(11025 * 10, 7);
        if (rules == CodecRules::Newer)
            samples.push_back(0x80); // the end mark the newer rules leave as it is
        std::vector<int> track;
        const Bytes packed = compressSamples(samples, rules, &track);
        EXPECT_EQ(track.size(), rules == CodecRules::Newer ? samples.size() - 1 : samples.size());
        EXPECT_LT(packed.size(), samples.size() / 2 + 2);
        expectTrackReproduced(decompressSamples(packed, rules), track);
    }
}

TEST(Compression, LoudNoiseDoesNotDriveEncoderAndDecoderApart)
{
    // Full-scale noise pushes the predictor past the decoder's -127..127; the
    // encoder has to follow the decoder's limit or the two drift apart.
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> sample(-126, 126);
    for (const auto rules : {CodecRules::Older, CodecRules::Newer}) {
        SCOPED_TRACE(rules == CodecRules::Older ? "older" : "newer");
        Bytes samples(4000);
        for (auto &s : samples)
            s = static_cast<std::uint8_t>(sample(rng) & 0xFF);
        if (rules == CodecRules::Newer)
            samples.push_back(0x80);
        std::vector<int> track;
        const Bytes packed = compressSamples(samples, rules, &track);
        expectTrackReproduced(decompressSamples(packed, rules), track);
    }
}

TEST(Compression, MalformedDataIsDecodedWithinItsBuffer)
{
    // A marker without its count ends the data.
    EXPECT_EQ(decompressSamples(Bytes{0x38}, CodecRules::Newer), (std::vector<int>{3}));
    EXPECT_TRUE(decompressSamples(Bytes{0x8F}, CodecRules::Newer).empty());
    EXPECT_EQ(decompressSamples(Bytes{0x21, 0x8F}, CodecRules::Older), (std::vector<int>{2, 3}));
    // Counts below 4 just repeat that often; 0x88 carries nothing.
    EXPECT_EQ(decompressSamples(Bytes{0x38, 0x02, 0x88, 0x10}, CodecRules::Newer),
              (std::vector<int>{3, 6, 9, 10, 10}));
    EXPECT_EQ(decompressSamples(Bytes{0x38, 0x00}, CodecRules::Newer), (std::vector<int>{3}));
    EXPECT_TRUE(decompressSamples(Bytes{}, CodecRules::Older).empty());

    // Sevens in a row on data no encoder wrote keep the step bounded.
    const auto sevens = decompressSamples(Bytes(64, 0x77), CodecRules::Newer);
    EXPECT_EQ(sevens.back(), 127);

    std::mt19937 rng(5);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 200; ++round) {
        Bytes junk(1 + round * 7);
        for (auto &b : junk)
            b = static_cast<std::uint8_t>(byte(rng));
        for (const auto rules : {CodecRules::Older, CodecRules::Newer})
            for (int v : decompressSamples(junk, rules))
                ASSERT_TRUE(v >= -127 && v <= 127);
    }
}

TEST(Compression, DecoderStopsWhenProgressAsks)
{
    const Bytes packed(100, 0x11);
    std::vector<std::size_t> seen;
    int samples = 0;
    decodeSteps(packed, CodecRules::Older, [&](int) { ++samples; },
                [&](std::size_t i) {
                    seen.push_back(i);
                    return i == 9;
                });
    EXPECT_EQ(seen.size(), 10u);
    EXPECT_EQ(samples, 20);
}
