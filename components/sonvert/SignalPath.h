#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// The sample pipeline of the wave-to-chip-PCM conversion: pure functions over
// one buffer of 16-bit samples, worked in place, ending in the signed 8-bit
// bytes of the chip PCM data.
namespace sonvert {

inline constexpr std::int32_t kBaseRate = 11025;
inline constexpr double kFactorBias = 0.49;
inline constexpr int kClipLevel = 32384;          // 126.5 x 256
inline constexpr float kFloatClamp = 0.9999f;
inline constexpr int kDeviationThreshold = 1000;
inline constexpr double kBoostTarget = 25000.0;
inline constexpr double kBoostExponent = 0.9;

// Progress is handed on every this many samples; the receiver throttles by time.
inline constexpr std::size_t kProgressStride = 4096;

// Receives a percentage (0..100); returns true when the user asked to cancel.
using ProgressFn = std::function<bool(int percent)>;

struct FilterSection
{
    float b1; // numerator middle coefficient (b0 = b2 = 1)
    float a1;
    float a2;
};

struct FilterSet
{
    int number; // the set's number: the source rate in kHz, rounded
    float gain; // input gain G
    std::array<FilterSection, 6> sections;
};

// The coefficient set of the given number (16, 22, 24, 32, 44 or 48); nullptr
// for any other number.
[[nodiscard]] const FilterSet *filterSet(int number);

// The filter set a source rate uses: 16, 22, 24, 32, 44 or 48 when the rate lies
// within 200 Hz of one of those rates in kHz (bounds included), else 0 (no filter).
[[nodiscard]] int filterSetForRate(std::int32_t sourceRate);

// Decimation factor n: round(rate / 11025 + 0.49); at least 1.
[[nodiscard]] int decimationFactor(std::int32_t sourceRate);

// Output sample rate: round(rate / n).
[[nodiscard]] std::int32_t outputRate(std::int32_t sourceRate, int factor);

struct SampleStats
{
    float mean = 0;           // of the clipped samples
    float deviation = 0;      // mean deviation of the samples far from the mean
    float deviationCount = 0; // how many samples entered the deviation
};

// Clips every sample to -32384..32384 in place and measures the mean and the
// mean deviation (over the samples more than 1000 from the mean).
SampleStats clipAndMeasure(std::vector<std::int16_t> &samples);

// The same measure as clipAndMeasure, taken block by block: a count of every
// clipped value, so that a sound of any length needs a fixed amount of memory.
class SampleHistogram
{
public:
    SampleHistogram();
    // Clips the samples in place and counts them.
    void add(std::int16_t *samples, std::size_t count);
    // The statistics clipAndMeasure gives for all samples added, in order.
    [[nodiscard]] SampleStats stats() const;

private:
    std::vector<std::uint64_t> mCounts; // index: clipped value + kClipLevel
    std::uint64_t mTotal = 0;
};

// Interleaved stereo to mono: each pair becomes its rounded average. A
// dangling last value (odd count) is dropped.
void mixStereoToMono(std::vector<std::int16_t> &samples);

// Picks every factor-th sample of a sound worked block by block, quantised and
// noise-gated as decimateToBytes does; the state carries across blocks.
class Decimator
{
public:
    // frames: the whole sound's sample count, which decides the last pick.
    Decimator(int factor, int noiseGate, std::uint64_t frames);
    // How many bytes the whole sound gives.
    [[nodiscard]] std::uint64_t outputCount() const { return mPicks; }
    // Appends the bytes the next count samples give to out.
    void add(const std::int16_t *samples, std::size_t count, std::vector<std::uint8_t> &out);

private:
    std::uint64_t mFactor;
    int mNoiseGate;
    std::uint64_t mPicks;
    std::uint64_t mPosition = 0; // index of the next sample
    std::uint64_t mPicked = 0;
    int mPrevious = 0;
};

// Raises a quiet recording towards the boost target, centred on zero. When no
// sample lay far enough from the mean to measure a deviation, the samples are
// left as they are: a gain derived from nothing would turn them into noise.
void boostLevel(std::vector<std::int16_t> &samples, const SampleStats &stats);

// boostLevel for a sound worked block by block: the table of boosted values
// is made once.
class LevelBooster
{
public:
    explicit LevelBooster(const SampleStats &stats);
    void apply(std::int16_t *samples, std::size_t count) const;

private:
    std::vector<std::int16_t> mBoosted; // by distance from the mean; empty: unchanged
    int mMean = 0;
};

// One anti-alias low-pass: a cascade of six second-order sections in single
// precision, with its state.
class AntiAliasFilter
{
public:
    // With a set number other than 0: selects that set, clears the state and
    // returns 0 (an unknown number deselects: samples then pass unchanged).
    // With set number 0: filters the sample and returns the result, clamped
    // to -32768..32767 and rounded.
    int FilterSample(int sample, int setNumber);

    // Filters count samples in place exactly as FilterSample would, each result
    // also clipped to -32384..32384. Does nothing before a set was selected.
    void filterBlock(std::int16_t *samples, std::size_t count);

private:
    const FilterSet *mSet = nullptr;
    // Per section: w[n-2], w[n-1], w[n].
    std::array<std::array<float, 3>, 6> mState{};
};

// Runs the anti-alias filter of the source rate over every sample (nothing when
// the rate has no filter set). Returns false when progress asked to cancel.
bool applyAntiAliasFilter(std::vector<std::int16_t> &samples, std::int32_t sourceRate,
                          const ProgressFn &progress);

// Picks every factor-th sample and quantises it to a signed 8-bit byte, with
// the noise gate (in output units) silencing a quiet sample that follows a
// quiet one. Returns false when progress asked to cancel; out holds the bytes.
bool decimateToBytes(const std::vector<std::int16_t> &samples, int factor, int noiseGate,
                     std::vector<std::uint8_t> &out, const ProgressFn &progress);

} // namespace sonvert
