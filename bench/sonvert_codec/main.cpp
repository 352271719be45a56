// Compresses and decodes the longest chip PCM sound (16 MB, about 25 minutes
// at 11025 Hz) with both rule sets and prints the time of each.
#include "components/sonvert/Compression.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

int main()
{
    using namespace sonvert;
    const std::size_t count = 0xFFFFFF - 1;
    std::vector<std::uint8_t> samples(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double t = static_cast<double>(i) / 11025.0;
        const double v = 80.0 * std::sin(2 * M_PI * 220 * t) * std::max(0.0, std::sin(2 * M_PI * 2.5 * t));
        samples[i] = static_cast<std::uint8_t>(static_cast<int>(std::lround(v)) & 0xFF);
    }
    for (const auto rules : {CodecRules::Older, CodecRules::Newer}) {
        const auto t0 = std::chrono::steady_clock::now();
        const auto packed = compressSamples(samples, rules);
        const auto t1 = std::chrono::steady_clock::now();
        std::size_t decoded = 0;
        decodeSteps(packed, rules, [&](int) { ++decoded; }, [](std::size_t) { return false; });
        const auto t2 = std::chrono::steady_clock::now();
        const auto ms = [](auto d) { return std::chrono::duration<double, std::milli>(d).count(); };
        std::printf("%s rules: %zu samples -> %zu bytes, compress %.0f ms, decode %.0f ms (%zu samples)\n",
                    rules == CodecRules::Older ? "older" : "newer", count, packed.size(), ms(t1 - t0),
                    ms(t2 - t1), decoded);
    }
    return 0;
}
