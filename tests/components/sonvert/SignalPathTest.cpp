#include "components/sonvert/SignalPath.h"
#include "components/sonvert/WaveReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>
#include <random>
#include <vector>

using namespace sonvert;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes decimate(std::vector<std::int16_t> s, int factor, int gate)
{
    Bytes out;
    EXPECT_TRUE(decimateToBytes(s, factor, gate, out, {}));
    return out;
}

std::vector<std::int16_t> sine(double freq, double rate, double amplitude, std::size_t count)
{
    std::vector<std::int16_t> s(count);
    for (std::size_t i = 0; i < count; ++i)
        s[i] = static_cast<std::int16_t>(std::lrint(amplitude * std::sin(2 * std::numbers::pi * freq * i / rate)));
    return s;
}

// Amplitude of the component at freq (a single-bin DFT over [from, end)).
double levelAt(const std::vector<std::int16_t> &s, double freq, double rate, std::size_t from)
{
    double re = 0, im = 0;
    for (std::size_t i = from; i < s.size(); ++i) {
        const double ph = 2 * std::numbers::pi * freq * i / rate;
        re += s[i] * std::cos(ph);
        im += s[i] * std::sin(ph);
    }
    return 2 * std::hypot(re, im) / static_cast<double>(s.size() - from);
}

} // namespace

TEST(SignalPath, DecimationFactorsAndOutputRates)
{
    struct Case { std::int32_t rate; int n; std::int32_t out; int set; };
    const Case cases[] = {
        {8000, 1, 8000, 0},    {11025, 1, 11025, 0}, {16000, 2, 8000, 16},  {20000, 2, 10000, 0},
        {22050, 2, 11025, 22}, {24000, 3, 8000, 24}, {32000, 3, 10667, 32}, {44100, 4, 11025, 44},
        {48000, 5, 9600, 48},
    };
    for (const Case &c : cases) {
        const int n = decimationFactor(c.rate);
        EXPECT_EQ(n, c.n) << c.rate;
        EXPECT_EQ(outputRate(c.rate, n), c.out) << c.rate;
        EXPECT_EQ(filterSetForRate(c.rate), c.set) << c.rate;
    }
    // Band edges are included.
    EXPECT_EQ(filterSetForRate(15799), 0);
    EXPECT_EQ(filterSetForRate(15800), 16);
    EXPECT_EQ(filterSetForRate(16200), 16);
    EXPECT_EQ(filterSetForRate(16201), 0);
    EXPECT_EQ(filterSetForRate(47800), 48);
    EXPECT_EQ(filterSetForRate(48201), 0);
    // A tiny rate still decimates by 1, never by 0.
    EXPECT_EQ(decimationFactor(1), 1);
}

TEST(SignalPath, QuantisationRoundsHalvesToEven)
{
    // 384/256 = 1.5 -> 2, 640/256 = 2.5 -> 2, and the same below zero.
    EXPECT_EQ(decimate({384, 640, -384, -640, 32384, -32384}, 1, 0),
              (Bytes{0x02, 0x02, 0xFE, 0xFE, 0x7E, 0x82}));
}

TEST(SignalPath, NoiseGateSilencesTheSecondQuietSampleInARow)
{
    const std::vector<std::int16_t> s{25600, 768, 768, 512, 12800};
    EXPECT_EQ(decimate(s, 1, 3), (Bytes{0x64, 0x03, 0x00, 0x00, 0x32}));
    EXPECT_EQ(decimate(s, 1, 0), (Bytes{0x64, 0x03, 0x03, 0x02, 0x32}));
    // The previous value kept for the test is the one before gating.
    EXPECT_EQ(decimate({768, 768, 768, 2560}, 1, 3), (Bytes{0x00, 0x00, 0x00, 0x0A}));
}

TEST(SignalPath, DecimationPicksEveryNthAndDropsTheTail)
{
    std::vector<std::int16_t> s;
    for (int i = 0; i < 10; ++i)
        s.push_back(static_cast<std::int16_t>(i * 256));
    // e = 0, 4 while e <= 10 - 4: index 8 is not taken.
    EXPECT_EQ(decimate(s, 4, 0), (Bytes{0, 4}));
    EXPECT_EQ(decimate({256, 512, 768}, 4, 0), Bytes{});
}

TEST(SignalPath, ProgressOfTinyInputsEndsAtHundredAndCancelStops)
{
    std::vector<int> seen;
    Bytes out;
    // count == n: one byte, and no division by zero for the percentage.
    EXPECT_TRUE(decimateToBytes({256, 0, 0, 0}, 4, 0, out, [&](int p) { seen.push_back(p); return false; }));
    EXPECT_EQ(out, Bytes{1});
    EXPECT_EQ(seen, std::vector<int>{100});

    std::vector<std::int16_t> many(3 * kProgressStride, 256);
    EXPECT_FALSE(decimateToBytes(many, 1, 0, out, [](int) { return true; }));
    EXPECT_LT(out.size(), many.size());

    seen.clear();
    EXPECT_FALSE(applyAntiAliasFilter(many, 44100, [&](int p) { seen.push_back(p); return true; }));
    EXPECT_EQ(seen.size(), 1u);
    // Rates without a filter set leave the samples alone and report nothing.
    std::vector<std::int16_t> copy = many;
    EXPECT_TRUE(applyAntiAliasFilter(copy, 20000, [](int) { return true; }));
    EXPECT_EQ(copy, many);
}

TEST(SignalPath, FullScaleInputClipsToTheOutputRange)
{
    WaveFormat eight{kWaveFormatPcm, 1, 8000, 8, 0, 3};
    std::vector<std::int16_t> s;
    decodeSamples(Bytes{0, 255, 128}, eight, s);
    EXPECT_EQ(s, (std::vector<std::int16_t>{-32768, 32512, 0}));
    clipAndMeasure(s);
    EXPECT_EQ(s, (std::vector<std::int16_t>{-32384, 32384, 0}));
    EXPECT_EQ(decimate(s, 1, 0), (Bytes{0x82, 0x7E, 0x00}));

    const float values[] = {1.0f, -1.0f, 0.5f, 2.0f};
    Bytes raw(sizeof values);
    std::memcpy(raw.data(), values, sizeof values);
    WaveFormat flt{kWaveFormatFloat, 1, 8000, 32, 0, raw.size()};
    s.clear();
    decodeSamples(raw, flt, s);
    EXPECT_EQ(s, (std::vector<std::int16_t>{32765, -32765, 16384, 32765}));
    clipAndMeasure(s);
    EXPECT_EQ(decimate(s, 1, 0), (Bytes{0x7E, 0x82, 0x40, 0x7E}));
}

TEST(SignalPath, MeanUsesTheHighestIndexAndDeviationTheFarSamples)
{
    std::vector<std::int16_t> s{100, 100, 100, 100};
    EXPECT_EQ(clipAndMeasure(s).mean, 133.0f); // 400 / 3

    s = {0, 0, 5000, -5000, 0};
    const SampleStats st = clipAndMeasure(s);
    EXPECT_EQ(st.mean, 0.0f);
    EXPECT_EQ(st.deviationCount, 2.0f);
    EXPECT_EQ(st.deviation, 3333.0f); // 10000 / (2 + 1)

    // One sample is its own mean; no samples measure as zero.
    s = {-700};
    EXPECT_EQ(clipAndMeasure(s).mean, -700.0f);
    s.clear();
    EXPECT_EQ(clipAndMeasure(s).mean, 0.0f);
}

TEST(SignalPath, StereoMixRoundsHalvesToEvenAndDropsADanglingValue)
{
    std::vector<std::int16_t> s{1, 2, 3, 4, -1, -2, 1, 0, 32384, 32384, -32384, -32383, 7};
    mixStereoToMono(s);
    EXPECT_EQ(s, (std::vector<std::int16_t>{2, 4, -2, 0, 32384, -32384}));
}

TEST(SignalPath, BoostCentresAndRaisesTheLevel)
{
    std::vector<std::int16_t> s{500, 3500, -2500, 500, 500, 500};
    const SampleStats st = clipAndMeasure(s); // mean 3000 / 5 = 600
    ASSERT_EQ(st.mean, 600.0f);
    ASSERT_EQ(st.deviationCount, 2.0f); // 2900 and 3100 from the mean
    ASSERT_EQ(st.deviation, 2000.0f);
    boostLevel(s, st);
    const double gain = 25000.0 / 2001.0;
    const auto boosted = [&](int d) { return static_cast<int>(std::nearbyint(std::pow(d, 0.9) * gain)); };
    EXPECT_EQ(s[0], -boosted(100));
    EXPECT_EQ(s[1], boosted(2900));
    EXPECT_EQ(s[2], -boosted(3100));
    EXPECT_GT(s[1], 10000);
}

TEST(SignalPath, BoostLeavesAQuietRecordingAsItIs)
{
    // No sample lies more than 1000 from the mean: there is no deviation to
    // derive a gain from, and a gain of 25000 would clip every sample.
    std::vector<std::int16_t> s{0, 300, -300, 999, -999, 5};
    const std::vector<std::int16_t> before = s;
    const SampleStats st = clipAndMeasure(s);
    ASSERT_EQ(st.deviationCount, 0.0f);
    boostLevel(s, st);
    EXPECT_EQ(s, before);
}

TEST(SignalPath, BlockFilteringMatchesFilterSampleBitForBit)
{
    std::mt19937 rng(3);
    std::uniform_int_distribution<std::size_t> pieceLength(1, 40);
    for (int set : {16, 22, 24, 32, 44, 48}) {
        // Longer than one progress stride, with some broadband content.
        std::vector<std::int16_t> s = sine(997, set * 1000.0, 30000, 2 * kProgressStride + 333);
        for (std::size_t i = 0; i < s.size(); i += 7)
            s[i] = static_cast<std::int16_t>(-s[i] / 2);
        AntiAliasFilter one;
        EXPECT_EQ(one.FilterSample(0, set), 0);
        std::vector<std::int16_t> expected;
        for (std::int16_t x : s)
            expected.push_back(static_cast<std::int16_t>(std::clamp(one.FilterSample(x, 0), -32384, 32384)));

        std::vector<std::int16_t> whole = s;
        EXPECT_TRUE(applyAntiAliasFilter(whole, set * 1000, {}));
        EXPECT_EQ(whole, expected) << "set " << set;

        // Pieces of every length, shorter and longer than the pipeline's depth.
        std::vector<std::int16_t> pieces = s;
        AntiAliasFilter chunked;
        chunked.FilterSample(0, set);
        for (std::size_t at = 0; at < pieces.size();) {
            const std::size_t n = std::min(pieceLength(rng), pieces.size() - at);
            chunked.filterBlock(pieces.data() + at, n);
            at += n;
        }
        EXPECT_EQ(pieces, expected) << "set " << set;
    }
}

TEST(SignalPath, EverySetPassesSpeechAndStopsAboveFiveKilohertz)
{
    for (int set : {16, 22, 24, 32, 44, 48}) {
        const double rate = set * 1000.0;
        const std::size_t n = static_cast<std::size_t>(rate); // one second
        const std::size_t settle = n / 4;
        for (double f : {300.0, 1000.0, 3000.0, 4500.0}) {
            std::vector<std::int16_t> s = sine(f, rate, 20000, n);
            ASSERT_TRUE(applyAntiAliasFilter(s, set * 1000, {}));
            const double gain = levelAt(s, f, rate, settle) / 20000.0;
            EXPECT_GT(gain, 0.90) << "set " << set << " at " << f;
            EXPECT_LT(gain, 1.12) << "set " << set << " at " << f;
        }
        for (double f : {5100.0, 6000.0, 7000.0}) {
            std::vector<std::int16_t> s = sine(f, rate, 20000, n);
            ASSERT_TRUE(applyAntiAliasFilter(s, set * 1000, {}));
            const double db = 20 * std::log10(levelAt(s, f, rate, settle) / 20000.0 + 1e-12);
            EXPECT_LT(db, -50.0) << "set " << set << " at " << f;
        }
    }
}

TEST(SignalPath, StatisticsAndMixAgreeWithTheDirectRulesOnLongInput)
{
    // Long enough for the fast paths and an uneven tail; loud enough to clip.
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> value(-32768, 32767);
    std::vector<std::int16_t> s(100003);
    for (std::int16_t &x : s)
        x = static_cast<std::int16_t>(value(rng));

    std::vector<std::int16_t> clipped(s);
    long long sum = 0;
    for (std::int16_t &x : clipped) {
        x = static_cast<std::int16_t>(std::clamp<int>(x, -32384, 32384));
        sum += x;
    }
    const long long mean = std::llrint(static_cast<double>(sum) / static_cast<double>(clipped.size() - 1));
    long long dist = 0, far = 0;
    for (std::int16_t x : clipped) {
        if (std::llabs(x - mean) > 1000) {
            dist += std::llabs(x - mean);
            ++far;
        }
    }
    std::vector<std::int16_t> mixed;
    for (std::size_t j = 0; j + 1 < clipped.size(); j += 2)
        mixed.push_back(static_cast<std::int16_t>(std::nearbyint((clipped[j] + clipped[j + 1]) / 2.0)));

    const SampleStats st = clipAndMeasure(s);
    EXPECT_EQ(s, clipped);
    EXPECT_EQ(st.mean, static_cast<float>(mean));
    EXPECT_EQ(st.deviationCount, static_cast<float>(far));
    EXPECT_EQ(st.deviation, static_cast<float>(std::llrint(static_cast<double>(dist) / static_cast<double>(far + 1))));
    mixStereoToMono(s);
    EXPECT_EQ(s, mixed);
}
