#include "components/sonvert/SignalPath.h"

#include "components/sonvert/Rounding.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace sonvert {

namespace {

// Twelfth-order elliptic low-passes, one per common source rate; each passes
// up to about 4.5 kHz and stops from about 5 kHz.
constexpr FilterSet kFilterSets[] = {
    {16, 0.012f,
     {{{1.15222f, -1.06312f, 0.40121f},
       {0.922555f, -0.393019f, 0.630639f},
       {0.764146f, 0.147137f, 0.816125f},
       {1.53576f, 0.430071f, 0.914638f},
       {1.93124f, 0.561261f, 0.963349f},
       {0.809138f, 0.614181f, 0.989817f}}}},
    {22, 0.0019f,
     {{{0.263898f, -1.42507f, 0.569142f},
       {-0.0499159f, -1.09811f, 0.697789f},
       {-0.241636f, -0.761422f, 0.830867f},
       {0.910417f, -0.550045f, 0.916026f},
       {1.80999f, -0.443328f, 0.962753f},
       {-0.189026f, -0.401908f, 0.989516f}}}},
    {24, 0.0012f,
     {{{0.0354f, -1.48565f, 0.603748f},
       {-0.278153f, -1.21721f, 0.717273f},
       {-0.464245f, -0.931014f, 0.838913f},
       {0.718858f, -0.746167f, 0.919104f},
       {1.76374f, -0.651634f, 0.963909f},
       {-0.413582f, -0.615594f, 0.989819f}}}},
    {32, 0.0004f,
     {{{-0.649799f, -1.6371f, 0.699841f},
       {-0.916037f, -1.50324f, 0.778274f},
       {-1.06159f, -1.34987f, 0.868731f},
       {0.042819f, -1.24472f, 0.932373f},
       {1.54726f, -1.18985f, 0.969428f},
       {-1.02281f, -1.17099f, 0.991334f}}}},
    {44, 0.00015f,
     {{{-1.20349f, -1.746191f, 0.778528f},
       {-1.38585f, -1.68961f, 0.833704f},
       {-1.47958f, -1.62259f, 0.899653f},
       {-0.650221f, -1.57552f, 0.947614f},
       {1.17067f, -1.55141f, 0.976155f},
       {-1.455f, -1.54531f, 0.993226f}}}},
    {48, 0.00012f,
     {{{-1.31343f, -1.76832f, 0.795573f},
       {-1.47475f, -1.72446f, 0.846152f},
       {-1.55668f, -1.67228f, 0.906912f},
       {-0.808115f, -1.6356f, 0.951312f},
       {1.04446f, -1.61709f, 0.977816f},
       {-1.53526f, -1.6132f, 0.993697f}}}},
};

// Halves to even, as everywhere in the conversion.
long long roundHalfEvenToInt(double x)
{
    return std::llrint(x);
}

int clip(int x)
{
    return std::clamp(x, -kClipLevel, kClipLevel);
}

int percentOf(double done, double total)
{
    if (total <= 0)
        return 100;
    return static_cast<int>(roundHalfEvenToInt(done / total * 100.0));
}

// Rounds a float of magnitude below 2^22 to the nearest integer, halves to
// even: adding 1.5 x 2^23 leaves no fraction bits, so the addition itself
// rounds (in the default mode), and the subtraction is exact. Same result as
// std::nearbyint, without a library call per sample.
inline float roundFloat(float v)
{
    constexpr float kShift = 12582912.0f; // 1.5 x 2^23
    return (v + kShift) - kShift;
}

// The final value of the cascade as a 16-bit sample.
inline int toSample(float v)
{
    v = std::min(std::max(v, -32768.0f), 32767.0f);
    return static_cast<int>(roundFloat(v));
}

// toSample followed by the clip to -32384..32384, in one clamp: clamping
// first to the clip level gives the same result, since 32384 is even and so
// every value up to 32384.5 rounds to 32384 either way.
inline std::int16_t toClippedSample(float v)
{
    constexpr float kLevel = static_cast<float>(kClipLevel);
    v = std::min(std::max(v, -kLevel), kLevel);
    return static_cast<std::int16_t>(roundFloat(v));
}

// round(s / 256), halves to even, in integers: a half rounds up only when
// the whole part below it is odd.
inline int quantise(int s)
{
    return (s + 127 + ((s >> 8) & 1)) >> 8;
}

} // namespace

const FilterSet *filterSet(int number)
{
    for (const FilterSet &set : kFilterSets) {
        if (set.number == number)
            return &set;
    }
    return nullptr;
}

int filterSetForRate(std::int32_t sourceRate)
{
    static constexpr int kRates[] = {16, 22, 24, 32, 44, 48};
    for (int kHz : kRates) {
        if (sourceRate >= kHz * 1000 - 200 && sourceRate <= kHz * 1000 + 200)
            return static_cast<int>(roundHalfEvenToInt(sourceRate / 1000.0));
    }
    return 0;
}

int decimationFactor(std::int32_t sourceRate)
{
    const long long n = roundHalfEvenToInt(static_cast<double>(sourceRate) / kBaseRate + kFactorBias);
    return static_cast<int>(std::max(1LL, n));
}

std::int32_t outputRate(std::int32_t sourceRate, int factor)
{
    return static_cast<std::int32_t>(roundHalfEvenToInt(static_cast<double>(sourceRate) / factor));
}

namespace {

// Eight 16-bit samples and four 32-bit values in one 16-byte register; the
// statistics and the mix work on them so that the compiler emits vector
// instructions at any optimisation level.
using v8s = std::int16_t __attribute__((vector_size(16)));
using v4i = std::int32_t __attribute__((vector_size(16)));
constexpr std::size_t kLanes = 8;
// Vectors per run of 32-bit partial sums: a run cannot overflow them.
constexpr std::size_t kVectorsPerRun = 512;

v8s loadVector(const std::int16_t *p)
{
    v8s v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

void storeVector(std::int16_t *p, v8s v)
{
    std::memcpy(p, &v, sizeof v);
}

// The even and the odd samples of a vector (on a little-endian machine: the
// first and the second of each pair), widened to 32 bits.
v4i evenLanes(v8s v)
{
    const v4i x = std::bit_cast<v4i>(v);
    return (x << 16) >> 16;
}

v4i oddLanes(v8s v)
{
    return std::bit_cast<v4i>(v) >> 16;
}

long long laneSum(v4i v)
{
    return static_cast<long long>(v[0]) + v[1] + v[2] + v[3];
}

// Half of each sum, rounded halves to even: a half rounds up only when the
// whole part below it is odd.
v4i halfToEven(v4i sum)
{
    return (sum >> 1) + (sum & (sum >> 1) & 1);
}

} // namespace

SampleStats clipAndMeasure(std::vector<std::int16_t> &samples)
{
    SampleStats stats;
    const std::size_t count = samples.size();
    if (count == 0)
        return stats;
    static_assert(std::endian::native == std::endian::little, "lane order assumes little-endian");

    std::int16_t *s = samples.data();
    const std::size_t vectors = count / kLanes;
    const std::size_t tail = vectors * kLanes;

    long long sum = 0;
    const v8s lo = {-kClipLevel, -kClipLevel, -kClipLevel, -kClipLevel,
                    -kClipLevel, -kClipLevel, -kClipLevel, -kClipLevel};
    const v8s hi = -lo;
    for (std::size_t run = 0; run < vectors; run += kVectorsPerRun) {
        v4i part = {};
        const std::size_t end = std::min(vectors, run + kVectorsPerRun);
        for (std::size_t k = run; k < end; ++k) {
            v8s v = loadVector(s + k * kLanes);
            v = v < lo ? lo : v;
            v = v > hi ? hi : v;
            storeVector(s + k * kLanes, v);
            part += evenLanes(v) + oddLanes(v);
        }
        sum += laneSum(part);
    }
    for (std::size_t i = tail; i < count; ++i) {
        s[i] = static_cast<std::int16_t>(clip(s[i]));
        sum += s[i];
    }
    // The divisor is the highest index; a single sample is its own mean.
    const double divisor = count > 1 ? static_cast<double>(count - 1) : 1.0;
    const long long mean = roundHalfEvenToInt(static_cast<double>(sum) / divisor);
    stats.mean = static_cast<float>(mean);

    // Whether a sample lies far from the mean is not predictable: no branch.
    const std::int32_t m = static_cast<std::int32_t>(mean);
    long long distanceSum = 0;
    long long far = 0;
    const v4i threshold = {kDeviationThreshold, kDeviationThreshold, kDeviationThreshold, kDeviationThreshold};
    const auto measure = [m, &threshold](v4i x, v4i &dist, v4i &n) {
        v4i d = x - m;
        const v4i sign = d >> 31;
        d = (d ^ sign) - sign;
        const v4i isFar = d > threshold; // -1 or 0 per lane
        dist += d & isFar;
        n -= isFar;
    };
    for (std::size_t run = 0; run < vectors; run += kVectorsPerRun) {
        v4i dist = {}, n = {};
        const std::size_t end = std::min(vectors, run + kVectorsPerRun);
        for (std::size_t k = run; k < end; ++k) {
            const v8s v = loadVector(s + k * kLanes);
            measure(evenLanes(v), dist, n);
            measure(oddLanes(v), dist, n);
        }
        distanceSum += laneSum(dist);
        far += laneSum(n);
    }
    for (std::size_t i = tail; i < count; ++i) {
        const long long d = std::llabs(s[i] - mean);
        if (d > kDeviationThreshold) {
            distanceSum += d;
            ++far;
        }
    }
    stats.deviation = static_cast<float>(
        roundHalfEvenToInt(static_cast<double>(distanceSum) / static_cast<double>(far + 1)));
    stats.deviationCount = static_cast<float>(far);
    return stats;
}

void mixStereoToMono(std::vector<std::int16_t> &samples)
{
    const std::size_t frames = samples.size() / 2;
    std::int16_t *s = samples.data();
    // Eight frames at a time; output j is written only after frames j..j+7
    // were read, and never beyond what was read.
    const std::size_t whole = frames - frames % kLanes;
    for (std::size_t j = 0; j < whole; j += kLanes) {
        const v8s a = loadVector(s + 2 * j);
        const v8s b = loadVector(s + 2 * j + kLanes);
        const v8s ha = std::bit_cast<v8s>(halfToEven(evenLanes(a) + oddLanes(a)));
        const v8s hb = std::bit_cast<v8s>(halfToEven(evenLanes(b) + oddLanes(b)));
        storeVector(s + j, __builtin_shufflevector(ha, hb, 0, 2, 4, 6, 8, 10, 12, 14));
    }
    for (std::size_t j = whole; j < frames; ++j) {
        const int sum = s[2 * j] + s[2 * j + 1];
        s[j] = static_cast<std::int16_t>((sum >> 1) + (sum & (sum >> 1) & 1));
    }
    samples.resize(frames);
}

LevelBooster::LevelBooster(const SampleStats &stats)
{
    if (stats.deviationCount <= 0)
        return;
    const double gain = kBoostTarget / (static_cast<double>(stats.deviation) + 1.0);
    mMean = static_cast<int>(stats.mean);

    // Every sample maps through |x - mean|, so one table over the possible
    // distances does the power once per distinct value.
    mBoosted.resize(2 * kClipLevel + std::abs(mMean) + 1);
    for (std::size_t d = 0; d < mBoosted.size(); ++d) {
        const double y = sonvert::roundHalfEven(std::pow(static_cast<double>(d), kBoostExponent) * gain);
        mBoosted[d] = static_cast<std::int16_t>(std::min<double>(y, kClipLevel));
    }
}

void LevelBooster::apply(std::int16_t *samples, std::size_t count) const
{
    if (mBoosted.empty())
        return;
    for (std::size_t i = 0; i < count; ++i) {
        const int d = samples[i] - mMean;
        samples[i] = static_cast<std::int16_t>(d < 0 ? -mBoosted[static_cast<std::size_t>(-d)]
                                                     : mBoosted[static_cast<std::size_t>(d)]);
    }
}

void boostLevel(std::vector<std::int16_t> &samples, const SampleStats &stats)
{
    LevelBooster(stats).apply(samples.data(), samples.size());
}

SampleHistogram::SampleHistogram() : mCounts(2 * kClipLevel + 1, 0) {}

void SampleHistogram::add(std::int16_t *samples, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        const int v = clip(samples[i]);
        samples[i] = static_cast<std::int16_t>(v);
        ++mCounts[static_cast<std::size_t>(v + kClipLevel)];
    }
    mTotal += count;
}

SampleStats SampleHistogram::stats() const
{
    // The arithmetic of clipAndMeasure, over the counts instead of the samples.
    SampleStats stats;
    if (mTotal == 0)
        return stats;
    long long sum = 0;
    for (std::size_t k = 0; k < mCounts.size(); ++k)
        sum += (static_cast<long long>(k) - kClipLevel) * static_cast<long long>(mCounts[k]);
    const double divisor = mTotal > 1 ? static_cast<double>(mTotal - 1) : 1.0;
    const long long mean = roundHalfEvenToInt(static_cast<double>(sum) / divisor);
    stats.mean = static_cast<float>(mean);
    long long distanceSum = 0;
    long long far = 0;
    for (std::size_t k = 0; k < mCounts.size(); ++k) {
        const long long d = std::llabs(static_cast<long long>(k) - kClipLevel - mean);
        if (d > kDeviationThreshold) {
            distanceSum += d * static_cast<long long>(mCounts[k]);
            far += static_cast<long long>(mCounts[k]);
        }
    }
    stats.deviation = static_cast<float>(
        roundHalfEvenToInt(static_cast<double>(distanceSum) / static_cast<double>(far + 1)));
    stats.deviationCount = static_cast<float>(far);
    return stats;
}

Decimator::Decimator(int factor, int noiseGate, std::uint64_t frames)
    : mFactor(static_cast<std::uint64_t>(std::max(1, factor))), mNoiseGate(noiseGate),
      mPicks(frames >= mFactor ? (frames - mFactor) / mFactor + 1 : 0)
{
}

void Decimator::add(const std::int16_t *samples, std::size_t count, std::vector<std::uint8_t> &out)
{
    const std::uint64_t end = mPosition + count;
    for (std::uint64_t e = mPicked * mFactor; mPicked < mPicks && e < end; e += mFactor, ++mPicked) {
        const int q = quantise(samples[e - mPosition]);
        const bool gated = (mNoiseGate >= std::abs(q)) & (mNoiseGate >= std::abs(mPrevious));
        out.push_back(gated ? 0 : static_cast<std::uint8_t>(q));
        mPrevious = q;
    }
    mPosition = end;
}

int AntiAliasFilter::FilterSample(int sample, int setNumber)
{
    if (setNumber != 0) {
        mSet = filterSet(setNumber);
        // Every caller starts the filter from silence.
        (void)sample;
        for (auto &w : mState)
            w.fill(0.0f);
        return 0;
    }
    if (!mSet)
        return sample;
    float v = static_cast<float>(sample) * mSet->gain;
    for (std::size_t k = 0; k < mSet->sections.size(); ++k) {
        const FilterSection &c = mSet->sections[k];
        auto &w = mState[k];
        w[2] = v - c.a1 * w[1] - c.a2 * w[0];
        v = w[2] + c.b1 * w[1] + w[0];
        w[0] = w[1];
        w[1] = w[2];
    }
    return toSample(v);
}

void AntiAliasFilter::filterBlock(std::int16_t *samples, std::size_t count)
{
    if (!mSet)
        return;
    // The same arithmetic as FilterSample, in the same order for each sample
    // and section, but skewed: in step i, section k works on sample i - 2k.
    // The six sections of one step are then independent and run side by side
    // in the lanes of two four-float vectors (lanes 6 and 7 idle, with zero
    // coefficients), each lane rounding exactly as the scalar code does. The
    // skew of two lets a section's input come from two steps back, so that
    // only each section's own recurrence limits the pace. Steps at the edges
    // of the block, where some sections have no sample, run one section at a
    // time.
    using v4f = float __attribute__((vector_size(16)));
    constexpr std::size_t kSkew = 2;
    constexpr std::size_t kDepth = kSkew * 5; // steps until the last section starts
    alignas(16) float b1[8] = {}, a1[8] = {}, a2[8] = {}, w1[8] = {}, w2[8] = {};
    // Outputs of each section one step back (last) and two steps back (older).
    alignas(16) float last[8] = {}, older[8] = {};
    for (std::size_t k = 0; k < 6; ++k) {
        b1[k] = mSet->sections[k].b1;
        a1[k] = mSet->sections[k].a1;
        a2[k] = mSet->sections[k].a2;
        w2[k] = mState[k][0];
        w1[k] = mState[k][1];
    }
    const float g = mSet->gain;

    const auto edgeStep = [&](std::size_t i) {
        float out[8] = {};
        for (std::size_t k = 0; k < 6; ++k) {
            if (i < kSkew * k || i - kSkew * k >= count)
                continue;
            const float in = k == 0 ? static_cast<float>(samples[i]) * g : older[k - 1];
            const float w0 = in - a1[k] * w1[k] - a2[k] * w2[k];
            out[k] = w0 + b1[k] * w1[k] + w2[k];
            w2[k] = w1[k];
            w1[k] = w0;
            if (k == 5)
                samples[i - kDepth] = toClippedSample(out[5]);
        }
        std::memcpy(older, last, sizeof older);
        std::memcpy(last, out, sizeof last);
    };

    const std::size_t head = std::min(kDepth, count);
    for (std::size_t i = 0; i < head; ++i)
        edgeStep(i);

    if (count > kDepth) {
        const auto load = [](const float *p) {
            v4f v;
            std::memcpy(&v, p, sizeof v);
            return v;
        };
        const auto store = [](float *p, v4f v) { std::memcpy(p, &v, sizeof v); };
        const v4f b1Lo = load(b1), b1Hi = load(b1 + 4), a1Lo = load(a1), a1Hi = load(a1 + 4);
        const v4f a2Lo = load(a2), a2Hi = load(a2 + 4);
        v4f w1Lo = load(w1), w1Hi = load(w1 + 4), w2Lo = load(w2), w2Hi = load(w2 + 4);
        v4f lastLo = load(last), lastHi = load(last + 4), olderLo = load(older), olderHi = load(older + 4);
        for (std::size_t i = kDepth; i < count; ++i) {
            const v4f x = {static_cast<float>(samples[i]) * g, 0.0f, 0.0f, 0.0f};
            const v4f inLo = __builtin_shufflevector(x, olderLo, 0, 4, 5, 6);
            const v4f inHi = __builtin_shufflevector(olderLo, olderHi, 3, 4, 5, 6);
            const v4f w0Lo = inLo - a1Lo * w1Lo - a2Lo * w2Lo;
            const v4f w0Hi = inHi - a1Hi * w1Hi - a2Hi * w2Hi;
            olderLo = lastLo;
            olderHi = lastHi;
            lastLo = w0Lo + b1Lo * w1Lo + w2Lo;
            lastHi = w0Hi + b1Hi * w1Hi + w2Hi;
            w2Lo = w1Lo;
            w2Hi = w1Hi;
            w1Lo = w0Lo;
            w1Hi = w0Hi;
            samples[i - kDepth] = toClippedSample(lastHi[1]);
        }
        store(w1, w1Lo);
        store(w1 + 4, w1Hi);
        store(w2, w2Lo);
        store(w2 + 4, w2Hi);
        store(last, lastLo);
        store(last + 4, lastHi);
        store(older, olderLo);
        store(older + 4, olderHi);
    }

    for (std::size_t i = std::max(count, head); i < count + kDepth; ++i)
        edgeStep(i);

    for (std::size_t k = 0; k < 6; ++k) {
        mState[k][0] = w2[k];
        mState[k][1] = w1[k];
        mState[k][2] = w1[k];
    }
}

bool applyAntiAliasFilter(std::vector<std::int16_t> &samples, std::int32_t sourceRate,
                          const ProgressFn &progress)
{
    const int set = filterSetForRate(sourceRate);
    if (set == 0)
        return true;
    AntiAliasFilter filter;
    filter.FilterSample(0, set);
    const std::size_t count = samples.size();
    for (std::size_t start = 0; start < count; start += kProgressStride) {
        const std::size_t n = std::min(kProgressStride, count - start);
        filter.filterBlock(samples.data() + start, n);
        const std::size_t last = start + n - 1;
        if (progress && progress(percentOf(static_cast<double>(last), static_cast<double>(count))))
            return false;
    }
    return true;
}

bool decimateToBytes(const std::vector<std::int16_t> &samples, int factor, int noiseGate,
                     std::vector<std::uint8_t> &out, const ProgressFn &progress)
{
    out.clear();
    const std::size_t n = static_cast<std::size_t>(std::max(1, factor));
    const std::size_t count = samples.size();
    if (count < n)
        return true;
    const std::size_t span = count - n;
    out.reserve(span / n + 1);

    int previous = 0;
    std::size_t sinceReport = 0;
    for (std::size_t e = 0; e <= span; e += n) {
        // Samples are clipped to +-32384, so q stays within -126..126.
        const int q = quantise(samples[e]);
        const bool gated = (noiseGate >= std::abs(q)) & (noiseGate >= std::abs(previous));
        out.push_back(gated ? 0 : static_cast<std::uint8_t>(q)); // two's complement: q + 256 below 0
        previous = q;
        if (++sinceReport == kProgressStride || e + n > span) {
            sinceReport = 0;
            if (progress && progress(percentOf(static_cast<double>(e), static_cast<double>(span))))
                return false;
        }
    }
    return true;
}

} // namespace sonvert
