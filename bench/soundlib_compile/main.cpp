// Compiles a library of 50 one-minute 44.1 kHz 16-bit stereo waves into a
// compiled sound library, and converts the same 50 files with sox (to
// 11025 Hz mono 8-bit, the nearest equivalent work) in the same run. Goal:
// the compile takes at most as long as sox (ratio <= 1). The compile's time
// is split into conversion and the rest (reading, appending, check sum).
// Needs sox for the ratio and about 600 MB in $TMPDIR.
//
//   build/bench/bench_soundlib_compile [sounds, default 50] [seconds each, default 60]

#include "app/soundlib/SoundEntry.h"
#include "app/soundlib/SoundLibCompiler.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numbers>
#include <random>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point t0)
{
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

QByteArray le(quint32 v, int width)
{
    QByteArray b;
    for (int i = 0; i < width; ++i)
        b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    return b;
}

// Speech-like stereo sound: drifting partials and a little noise, different per file.
bool writeWave(const QString &path, int seconds, int seed)
{
    constexpr quint32 rate = 44100;
    const quint32 frames = rate * static_cast<quint32>(seconds);
    const quint32 dataBytes = frames * 4;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write("RIFF" + le(36 + dataBytes, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(2, 2) + le(rate, 4) +
            le(rate * 4, 4) + le(4, 2) + le(16, 2) + "data" + le(dataBytes, 4));
    std::mt19937 rng(static_cast<unsigned>(seed));
    std::uniform_int_distribution<int> noise(-600, 600);
    std::vector<qint16> block;
    const double base = 120 + 5 * seed;
    for (quint32 i = 0; i < frames; ++i) {
        const double t = static_cast<double>(i) / rate;
        const double f0 = base + 40 * std::sin(2 * std::numbers::pi * 0.3 * t);
        const double v = 7000 * std::sin(2 * std::numbers::pi * f0 * t) +
                         4000 * std::sin(2 * std::numbers::pi * 3.1 * f0 * t) +
                         2500 * std::sin(2 * std::numbers::pi * 1700 * t);
        block.push_back(static_cast<qint16>(std::lrint(v) + noise(rng)));
        block.push_back(static_cast<qint16>(std::lrint(0.8 * v) + noise(rng)));
        if (block.size() >= 2 * rate || i + 1 == frames) {
            const auto n = static_cast<qint64>(block.size() * 2);
            if (f.write(reinterpret_cast<const char *>(block.data()), n) != n)
                return false;
            block.clear();
        }
    }
    return true;
}

// The converter, timed.
class TimedConversion : public SoundConversion
{
public:
    explicit TimedConversion(std::unique_ptr<SoundConversion> inner) : mInner(std::move(inner)) {}
    double seconds = 0;
    void setPercentDone(PercentDone handler) override { mInner->setPercentDone(std::move(handler)); }
    QString ConvertSoundToPcm(const QString &source, qint32 tag, qint16 gate, bool boost, bool sv20,
                              bool compress) override
    {
        const auto t0 = Clock::now();
        QString r = mInner->ConvertSoundToPcm(source, tag, gate, boost, sv20, compress);
        seconds += secondsSince(t0);
        return r;
    }
    QString CompressPcm(const QString &source, bool sv20) override
    {
        const auto t0 = Clock::now();
        QString r = mInner->CompressPcm(source, sv20);
        seconds += secondsSince(t0);
        return r;
    }

private:
    std::unique_ptr<SoundConversion> mInner;
};

bool run(const std::vector<std::string> &command)
{
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
    return pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

int main(int argc, char **argv)
{
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int sounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;
    QTemporaryDir dir;
    QDir(dir.path()).mkpath(QStringLiteral("temp"));
    QDir(dir.path()).mkpath(QStringLiteral("sox"));
    const QString folder = dir.path() + QLatin1Char('/');
    std::printf("Making %d waves of %d s, 44.1 kHz 16-bit stereo...\n", sounds, seconds);
    SoundLibCompile job;
    for (int i = 0; i < sounds; ++i) {
        const QString name = QStringLiteral("sound%1.wav").arg(i, 2, 10, QLatin1Char('0'));
        if (!writeWave(folder + name, seconds, i))
            return 1;
        SoundEntry e = GetSoundFileInfo(folder, name, false);
        e.Tag = i + 1;
        job.entries << e;
    }
    job.outputPath = folder + QStringLiteral("Library.sfx");

    double best = 1e30, bestConvert = 0, bestSox = 1e30;
    qint64 size = 0;
    bool soxOk = true;
    for (int pass = 0; pass < 2; ++pass) {
        TimedConversion conversion(MakeSonvertConversion(folder + QStringLiteral("temp")));
        const auto t0 = Clock::now();
        const CompileResult r = CompileSoundLibraryFile(job, conversion, {});
        const double took = secondsSince(t0);
        if (r.outcome != CompileOutcome::Succeeded) {
            std::printf("compile failed: %s\n", qPrintable(r.message));
            return 1;
        }
        size = r.fileSize;
        if (took < best) {
            best = took;
            bestConvert = conversion.seconds;
        }

        const auto s0 = Clock::now();
        for (const SoundEntry &e : job.entries) {
            soxOk = soxOk && run({"sox", "-q", QFile::encodeName(e.path()).toStdString(), "-c", "1", "-r", "11025", "-e",
                                  "signed-integer", "-b", "8",
                                  QFile::encodeName(folder + QStringLiteral("sox/") + e.FileName + QStringLiteral(".raw")).toStdString()});
        }
        bestSox = std::min(bestSox, secondsSince(s0));
    }

    std::printf("compile %d sounds: %.2f s (conversion %.2f s, the rest %.2f s), library %lld bytes\n", sounds, best,
                bestConvert, best - bestConvert, static_cast<long long>(size));
    if (!soxOk) {
        std::printf("sox: not available, no ratio\n");
        return 0;
    }
    const double ratio = best / bestSox;
    std::printf("sox, the same %d files: %.2f s\n", sounds, bestSox);
    std::printf("time compile / sox: %.2f (goal <= 1.00): %s\n", ratio, ratio <= 1.0 ? "met" : "NOT met");
    return 0;
}
