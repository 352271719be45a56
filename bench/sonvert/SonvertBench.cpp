// Times ConvertToPcm on ten minutes of 44.1 kHz 16-bit stereo sound beside
// sox doing the nearest equivalent work (resampling to 11025 Hz mono 8-bit),
// in the same run, and measures the peak memory of each (every conversion
// runs as a process of its own). Goals: time at most 0.8 x sox's, peak memory
// at most 4 x sox's, and the same peak for one minute of sound as for sixty
// (sixty minutes pass the chip PCM length, so that source is refused; 25
// minutes, the longest a chip PCM file holds, shows the peak of a real
// conversion of that size).
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

#include <sys/resource.h>
#include <sys/wait.h>
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

struct Run
{
    double seconds = -1; // best wall time; -1 when a run failed
    long peakKb = 0;     // largest resident set of any run
};

// Runs the command as a process of its own `runs` times.
Run measure(const std::vector<std::string> &command, int runs)
{
    Run r;
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::vector<char *> argv;
            for (const std::string &a : command)
                argv.push_back(const_cast<char *>(a.c_str()));
            argv.push_back(nullptr);
            ::execvp(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid)
            return r;
        r.peakKb = std::max(r.peakKb, usage.ru_maxrss);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
            return r; // seconds stays -1
        const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    r.seconds = best;
    return r;
}

std::string self;

// Our conversion as a process of its own: bench_sonvert --convert SOURCE DIR/.
Run ours(const std::string &source, const fs::path &dir, int runs)
{
    return measure({self, "--convert", source, dir.string() + "/"}, runs);
}

int convertOnly(const std::string &source, const std::string &target)
{
    cSonvert sonv;
    sonv.setTargetPath(target);
    try {
        sonv.ConvertToPcm(source);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "ConvertToPcm: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    self = fs::canonical("/proc/self/exe").string();
    if (argc == 4 && std::string(argv[1]) == "--convert")
        return convertOnly(argv[2], argv[3]);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 600;
    const fs::path dir = fs::temp_directory_path() / ("bench-sonvert-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const std::string source = (dir / "speech.wav").string();
    std::printf("Making %d s of 44.1 kHz 16-bit stereo sound...\n", seconds);
    writeSource(source, seconds);
    std::printf("Source: %.1f MB\n", static_cast<double>(fs::file_size(source)) / 1e6);

    const Run mine = ours(source, dir, 3);
    const Run sox = measure({"sox", "-q", source, "-c", "1", "-r", "11025", "-e", "signed-integer", "-b", "8",
                             (dir / "sox.raw").string()},
                            3);

    const auto pcmBytes = fs::exists(dir / "speech.pcm") ? fs::file_size(dir / "speech.pcm") : 0;
    // A fingerprint of the output, to see that a faster build writes the same bytes.
    std::uint64_t fingerprint = 1469598103934665603ull;
    {
        std::ifstream in(dir / "speech.pcm", std::ios::binary);
        for (char ch; in.get(ch);)
            fingerprint = (fingerprint ^ static_cast<unsigned char>(ch)) * 1099511628211ull;
    }
    fs::remove(source);

    // The peak for other lengths, each source made and dropped in turn.
    std::vector<std::pair<int, long>> peaks;
    for (const int length : {60, 1500, 3600}) {
        const std::string other = (dir / ("len" + std::to_string(length) + ".wav")).string();
        writeSource(other, length);
        // Sixty minutes are refused (too long for a chip PCM file): a failed run.
        const Run run = ours(other, dir, 1);
        peaks.emplace_back(length, run.peakKb);
        fs::remove(other);
    }
    if (!std::getenv("KEEP")) fs::remove_all(dir); else std::printf("kept %s\n", dir.c_str());

    if (mine.seconds < 0)
        return 1;
    std::printf("ConvertToPcm: %.3f s, peak %ld KB (%llu bytes of chip PCM, %.0fx real time, fingerprint %016llx)\n",
                mine.seconds, mine.peakKb, static_cast<unsigned long long>(pcmBytes), seconds / mine.seconds,
                static_cast<unsigned long long>(fingerprint));
    for (const auto &[length, kb] : peaks)
        std::printf("ConvertToPcm peak for %d min: %ld KB%s\n", length / 60, kb,
                    length == 3600 ? " (refused: longer than a chip PCM file holds)" : "");
    if (sox.seconds < 0) {
        std::printf("sox: not available, no ratio\n");
        return 0;
    }
    std::printf("sox (11025 Hz mono 8-bit): %.3f s, peak %ld KB\n", sox.seconds, sox.peakKb);
    const double timeRatio = mine.seconds / sox.seconds;
    const double memoryRatio = static_cast<double>(mine.peakKb) / static_cast<double>(sox.peakKb);
    std::printf("time ConvertToPcm / sox: %.2f (goal <= 0.80): %s\n", timeRatio, timeRatio <= 0.8 ? "met" : "NOT met");
    std::printf("peak ConvertToPcm / sox: %.2f (goal <= 4.00): %s\n", memoryRatio,
                memoryRatio <= 4.0 ? "met" : "NOT met");
    const long one = peaks.front().second;
    const long most = std::max(peaks[1].second, peaks[2].second);
    std::printf("peak 1 min vs longer: %ld KB vs %ld KB (goal: the same): %s\n", one, most,
                most <= one + one / 10 ? "met" : "NOT met");
    return 0;
}
