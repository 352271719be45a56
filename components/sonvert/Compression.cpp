#include "components/sonvert/Compression.h"

#include "components/sonvert/Rounding.h"

#include <cstdlib>

namespace sonvert {

namespace {

int sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

int asSigned(std::uint8_t b)
{
    return b > 127 ? b - 256 : b;
}

std::uint8_t asByte(int v)
{
    return static_cast<std::uint8_t>(v & 0xFF);
}

// The newer chip's code for one sample; updates the state as the decoder will.
int encodeNewer(int cur, int next, StepState &s)
{
    int d = (cur - s.predictor) / s.step;
    const int d2 = (next - cur) / s.step;
    const int ad = std::abs(d);
    if (ad > 7 && s.step < 16) {
        d = sign(d) * 7;
        s.step *= 2;
        s.predictor += sign(d) * 4 * s.step;
    } else if (ad > 0 && ad < 3 && std::abs(d2) < 7 && s.step > 1) {
        s.predictor += d * s.step;
        s.step /= 2;
    } else if (ad > 0 && ad < 3 && s.step > 1) {
        d = sign(d) * 3;
        s.predictor += d * s.step;
    } else {
        if (ad > 6)
            d = sign(d) * 6;
        s.predictor += d * s.step;
    }
    return d;
}

int encodeOlder(int cur, int next, StepState &s)
{
    if (std::abs(cur) > 110)
        cur = static_cast<int>(roundHalfEvenToLong(cur * 0.875));
    int d = static_cast<int>(roundHalfEvenToLong(static_cast<double>(cur - s.predictor) / s.step));
    const int d2 = (next - cur) / s.step;
    const int ad = std::abs(d);
    if (ad > 10 && s.step < 16)
        s.step *= 2;
    if (ad < 2 && std::abs(d2) < 7 && s.step > 1)
        s.step /= 2;
    if (ad < 2 && std::abs(d2) >= 7 && s.step > 1)
        d = 2;
    if (ad > 6 && ad <= 10)
        d = sign(d) * 6;
    else if (ad > 10)
        d = sign(d) * 7;
    s.predictor += d * s.step;
    return d;
}

} // namespace

void StepState::apply(int code, CodecRules rules)
{
    const int ac = std::abs(code);
    if (rules == CodecRules::Newer) {
        if (ac == 7) {
            // The encoder never doubles past 16; data it did not write must
            // not grow the step without bound either.
            if (step < 16)
                step *= 2;
            predictor += sign(code) * 4 * step;
        } else if (ac > 0 && ac < 3 && step >= 2) {
            predictor += code * step;
            step /= 2;
        } else {
            predictor += code * step;
        }
    } else {
        if (ac == 7 && step < 16)
            step *= 2;
        else if (ac < 2 && step > 1)
            step /= 2;
        predictor += code * step;
    }
    clamp();
}

void encodeSteps(std::vector<std::uint8_t> &samples, CodecRules rules, std::vector<int> *track)
{
    const std::size_t length = samples.size();
    if (length == 0)
        return;
    // The newer rules leave the last byte, the end mark, as it is.
    const std::size_t last = rules == CodecRules::Newer ? length - 1 : length;
    StepState s;
    for (std::size_t p = 0; p < last; ++p) {
        const int cur = asSigned(samples[p]);
        const int next = p + 1 < length ? asSigned(samples[p + 1]) : 0;
        const int d = rules == CodecRules::Newer ? encodeNewer(cur, next, s) : encodeOlder(cur, next, s);
        // The decoder clamps its predictor; tracking the same value keeps the
        // two from drifting apart on loud material.
        s.clamp();
        samples[p] = asByte(d);
        if (track)
            track->push_back(s.predictor);
    }
}

std::vector<std::uint8_t> collapseRuns(std::span<const std::uint8_t> codes, CodecRules rules)
{
    const std::size_t length = codes.size();
    std::vector<std::uint8_t> out;
    if (length == 0)
        return out;
    out.reserve(length);
    out.push_back(codes[0]);
    int tracker = 1;
    for (std::size_t r = 1; r < length; ++r) {
        out.push_back(codes[r]);
        const int c = asSigned(codes[r]);
        bool tryRun = r + 3 < length && codes[r] == codes[r - 1];
        if (rules == CodecRules::Older) {
            const bool doubling = std::abs(c) == 7 && tracker != 16;
            const bool halving = std::abs(c) <= 1 && tracker != 1;
            tryRun = tryRun && !doubling && !halving;
        }
        if (tryRun) {
            const std::uint8_t v = codes[r];
            if (codes[r + 1] == v && codes[r + 2] == v && codes[r + 3] == v) {
                out.back() = asByte(kRunMarker);
                int count = 4;
                r += 4;
                while (r < length && codes[r] == v && count < 255) {
                    ++r;
                    ++count;
                }
                out.push_back(static_cast<std::uint8_t>(count));
                --r;
            }
        }
        if (rules == CodecRules::Older) {
            if (std::abs(c) == 7 && tracker < 16)
                tracker *= 2;
            else if (std::abs(c) < 2 && tracker > 1)
                tracker /= 2;
        }
    }
    return out;
}

std::vector<std::uint8_t> packCodes(std::span<const std::uint8_t> elements)
{
    std::vector<std::uint8_t> out;
    out.reserve(elements.size() / 2 + 2);
    const std::size_t length = elements.size();
    for (std::size_t r = 0; r < length; ++r) {
        const std::uint8_t high = elements[r] & 0x0F;
        std::uint8_t next = 0;
        if (r + 1 < length)
            next = elements[++r];
        if (high == 8) {
            out.push_back(0x8F);
            out.push_back(next);
            continue;
        }
        const std::uint8_t low = next & 0x0F;
        out.push_back(static_cast<std::uint8_t>(high << 4 | low));
        if (low == 8 && r + 1 < length)
            out.push_back(elements[++r]);
    }
    return out;
}

std::vector<std::uint8_t> compressSamples(std::span<const std::uint8_t> samples, CodecRules rules,
                                          std::vector<int> *track)
{
    std::vector<std::uint8_t> codes(samples.begin(), samples.end());
    encodeSteps(codes, rules, track);
    return packCodes(collapseRuns(codes, rules));
}

std::vector<int> decompressSamples(std::span<const std::uint8_t> packed, CodecRules rules)
{
    std::vector<int> out;
    decodeSteps(packed, rules, [&](int v) { out.push_back(v); }, [](std::size_t) { return false; });
    return out;
}

} // namespace sonvert
