#include "components/sonvert/SignalPath.h"

#include "components/sonvert/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

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

// The final value of the cascade as a 16-bit sample.
int toSample(float v)
{
    if (v > 32767.0f)
        v = 32767.0f;
    else if (v < -32768.0f)
        v = -32768.0f;
    return static_cast<int>(std::lrint(v));
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

SampleStats clipAndMeasure(std::vector<std::int16_t> &samples)
{
    SampleStats stats;
    const std::size_t count = samples.size();
    if (count == 0)
        return stats;

    long long sum = 0;
    for (std::int16_t &s : samples) {
        s = static_cast<std::int16_t>(clip(s));
        sum += s;
    }
    // The divisor is the highest index; a single sample is its own mean.
    const double divisor = count > 1 ? static_cast<double>(count - 1) : 1.0;
    const long long mean = roundHalfEvenToInt(static_cast<double>(sum) / divisor);
    stats.mean = static_cast<float>(mean);

    long long distanceSum = 0;
    long long far = 0;
    for (std::int16_t s : samples) {
        const long long d = std::llabs(s - mean);
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
    for (std::size_t j = 0; j < frames; ++j) {
        const int sum = s[2 * j] + s[2 * j + 1];
        // Half of an odd sum lies on .5: round it to the even neighbour.
        int half = sum >> 1;          // floor(sum / 2)
        if ((sum & 1) && (half & 1))  // sum/2 = half + 0.5 and half is odd
            ++half;
        s[j] = static_cast<std::int16_t>(half);
    }
    samples.resize(frames);
}

void boostLevel(std::vector<std::int16_t> &samples, const SampleStats &stats)
{
    if (stats.deviationCount <= 0)
        return;
    const double gain = kBoostTarget / (static_cast<double>(stats.deviation) + 1.0);
    const int mean = static_cast<int>(stats.mean);

    // Every sample maps through |x - mean|, so one table over the possible
    // distances does the power once per distinct value.
    std::vector<std::int16_t> boosted(2 * kClipLevel + std::abs(mean) + 1);
    for (std::size_t d = 0; d < boosted.size(); ++d) {
        const double y = sonvert::roundHalfEven(std::pow(static_cast<double>(d), kBoostExponent) * gain);
        boosted[d] = static_cast<std::int16_t>(std::min<double>(y, kClipLevel));
    }
    for (std::int16_t &s : samples) {
        const int d = s - mean;
        s = static_cast<std::int16_t>(d < 0 ? -boosted[static_cast<std::size_t>(-d)]
                                            : boosted[static_cast<std::size_t>(d)]);
    }
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
    // The same arithmetic as FilterSample, with the state in registers.
    const FilterSet &set = *mSet;
    const float g = set.gain;
    float b1[6], a1[6], a2[6], w1[6], w2[6];
    for (int k = 0; k < 6; ++k) {
        b1[k] = set.sections[k].b1;
        a1[k] = set.sections[k].a1;
        a2[k] = set.sections[k].a2;
        w2[k] = mState[k][0];
        w1[k] = mState[k][1];
    }
    for (std::size_t i = 0; i < count; ++i) {
        float v = static_cast<float>(samples[i]) * g;
        for (int k = 0; k < 6; ++k) {
            const float w0 = v - a1[k] * w1[k] - a2[k] * w2[k];
            v = w0 + b1[k] * w1[k] + w2[k];
            w2[k] = w1[k];
            w1[k] = w0;
        }
        samples[i] = static_cast<std::int16_t>(clip(toSample(v)));
    }
    for (int k = 0; k < 6; ++k) {
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
        const int q = static_cast<int>(std::lrint(samples[e] / 256.0));
        const int magnitude = std::abs(q);
        const bool gated = noiseGate >= magnitude && noiseGate >= std::abs(previous);
        out.push_back(gated ? 0 : static_cast<std::uint8_t>(q < 0 ? q + 256 : q));
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
