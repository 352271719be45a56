// Times ConvertToPcm on ten minutes of 44.1 kHz 16-bit stereo sound beside
// sox doing the nearest equivalent work (resampling to 11025 Hz mono 8-bit),
// in the same run, and prints the ratio. Target: no slower than sox.
//
//   build/bench/bench_sonvert [seconds of sound, default 600]

#include "components/sonvert/cSonvert.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

void put16(std::vector<char> &b, std::uint32_t v)
{
    b.push_back(static_cast<char>(v & 0xFF));
    b.push_back(static_cast<char>((v >> 8) & 0xFF));
}

void put32(std::vector<char> &b, std::uint32_t v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A speech-like test sound: a few drifting partials and a little noise.
void writeSource(const std::string &path, int seconds)
{
    constexpr std::uint32_t rate = 44100;
    const std::uint32_t frames = rate * static_cast<std::uint32_t>(seconds);
    const std::uint32_t dataBytes = frames * 4;
    std::vector<char> head;
    head.insert(head.end(), {'R', 'I', 'F', 'F'});
    put32(head, 36 + dataBytes);
    head.insert(head.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(head, 16);
    put16(head, 1);
    put16(head, 2);
    put32(head, rate);
    put32(head, rate * 4);
    put16(head, 4);
    put16(head, 16);
    head.insert(head.end(), {'d', 'a', 't', 'a'});
    put32(head, dataBytes);

    std::ofstream out(path, std::ios::binary);
    out.write(head.data(), static_cast<std::streamsize>(head.size()));
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> noise(-600, 600);
    std::vector<std::int16_t> block;
    block.reserve(2 * rate);
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double f0 = 140 + 40 * std::sin(2 * std::numbers::pi * 0.3 * t);
        const double v = 7000 * std::sin(2 * std::numbers::pi * f0 * t) + 4000 * std::sin(2 * std::numbers::pi * 3.1 * f0 * t)
            + 2500 * std::sin(2 * std::numbers::pi * 1700 * t) + 1500 * std::sin(2 * std::numbers::pi * 7300 * t);
        const auto l = static_cast<std::int16_t>(std::lrint(v) + noise(rng));
        const auto r = static_cast<std::int16_t>(std::lrint(0.8 * v) + noise(rng));
        block.push_back(l);
        block.push_back(r);
        if (block.size() >= 2 * rate || i + 1 == frames) {
            out.write(reinterpret_cast<const char *>(block.data()), static_cast<std::streamsize>(block.size() * 2));
            block.clear();
        }
    }
}

template <typename F>
double bestOf(int runs, F &&f)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (!f())
            return -1;
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

} // namespace

int main(int argc, char **argv)
{
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 600;
    const fs::path dir = fs::temp_directory_path() / ("bench-sonvert-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string source = (dir / "speech.wav").string();
    std::printf("Making %d s of 44.1 kHz 16-bit stereo sound...\n", seconds);
    writeSource(source, seconds);
    std::printf("Source: %.1f MB\n", static_cast<double>(fs::file_size(source)) / 1e6);

    cSonvert sonv;
    sonv.setTargetPath(dir.string() + "/");
    const double ours = bestOf(3, [&] {
        try {
            sonv.ConvertToPcm(source);
            return true;
        } catch (const std::exception &e) {
            std::fprintf(stderr, "ConvertToPcm failed: %s\n", e.what());
            return false;
        }
    });

    const std::string soxCommand = "sox -q '" + source + "' -c 1 -r 11025 -e signed-integer -b 8 '"
        + (dir / "sox.raw").string() + "'";
    const double sox = bestOf(3, [&] { return std::system(soxCommand.c_str()) == 0; });

    const auto pcmBytes = fs::file_size(dir / "speech.pcm");
    // A fingerprint of the output, to see that a faster build writes the same bytes.
    std::uint64_t fingerprint = 1469598103934665603ull;
    {
        std::ifstream in(dir / "speech.pcm", std::ios::binary);
        for (char ch; in.get(ch);)
            fingerprint = (fingerprint ^ static_cast<unsigned char>(ch)) * 1099511628211ull;
    }
    if (!std::getenv("KEEP")) fs::remove_all(dir); else std::printf("kept %s\n", dir.c_str());

    if (ours < 0)
        return 1;
    std::printf("ConvertToPcm: %.3f s (%llu bytes of chip PCM, %.0fx real time, fingerprint %016llx)\n", ours,
                static_cast<unsigned long long>(pcmBytes), seconds / ours,
                static_cast<unsigned long long>(fingerprint));
    if (sox < 0) {
        std::printf("sox: not available, no ratio\n");
        return 0;
    }
    std::printf("sox (11025 Hz mono 8-bit): %.3f s\n", sox);
    std::printf("ratio ConvertToPcm / sox: %.2f (target <= 1.00): %s\n", ours / sox,
                ours <= sox ? "met" : "NOT met");
    return 0;
}
