#include "components/sonvert/DecoderProcess.h"
#include "components/sonvert/PcmFile.h"
#include "components/sonvert/cSonvert.h"
#include "tests/components/sonvert/SonvertTestWaves.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestEnv.h"

#include "components/common/ComponentError.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace sonverttest;
namespace fs = std::filesystem;

// data/tone1k.mp3: half a second of a 1 kHz sine at half scale, 22050 Hz mono,
// synthesised here and encoded once at 32 kbit/s with a standard encoder.

namespace {

class Mp3 : public ::testing::Test
{
protected:
    std::string dir = vxtest::freshDir("mp3") + "/";
    cSonvert sonv;

    void SetUp() override
    {
        const char *bin = std::getenv("VX_BIN_DIR");
        ASSERT_TRUE(bin);
        sonv.setDecoderPath(fs::path(bin) / "auridec");
        ASSERT_TRUE(fs::exists(sonv.DecoderPath()));
    }

    std::string copyFixture(const std::string &name)
    {
        fs::copy_file(vxtest::dataDir() + "/tone1k.mp3", dir + name, fs::copy_options::overwrite_existing);
        return dir + name;
    }

    int errorOf(const std::string &path)
    {
        try {
            sonv.ConvertToPcm(path);
        } catch (const vx::ComponentError &e) {
            return e.code();
        }
        return 0;
    }

    // Files left in the converter's temporary folder.
    static std::size_t tempFiles()
    {
        const std::string folder = sonvert::userTempFolder();
        std::size_t n = 0;
        for ([[maybe_unused]] const auto &entry : fs::directory_iterator(folder))
            ++n;
        return n;
    }
};

} // namespace

TEST_F(Mp3, ConvertsThroughTheDecoder)
{
    const std::string out = sonv.ConvertToPcm(copyFixture("tone.mp3"));
    EXPECT_EQ(out, dir + "tone.pcm");
    const auto pcm = sonvert::loadPcmFile(out);
    ASSERT_TRUE(pcm);
    EXPECT_EQ(pcm->header.rateCode(), 99); // 22050 Hz halved
    EXPECT_GT(pcm->data.size(), 5000u);    // about half a second at 11025 Hz
    EXPECT_LT(pcm->data.size(), 7000u);
    int peak = 0;
    for (std::uint8_t b : pcm->data)
        peak = std::max(peak, std::abs(static_cast<int>(static_cast<std::int8_t>(b))));
    EXPECT_GT(peak, 50); // the tone came through at about half scale (64)
    EXPECT_LT(peak, 80);
    EXPECT_EQ(tempFiles(), 0u);

    // The extension counts in any case.
    EXPECT_EQ(sonv.ConvertToPcm(copyFixture("LOUD.MP3")), dir + "LOUD.pcm");
    EXPECT_EQ(tempFiles(), 0u);
}

TEST_F(Mp3, CorruptFileIsInvalid)
{
    writeFile(dir + "noise.mp3", Bytes(3000, 0));
    EXPECT_EQ(errorOf(dir + "noise.mp3"), 1003);
    writeFile(dir + "text.mp3", Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'M', 'P', '3', '\n'});
    EXPECT_EQ(errorOf(dir + "text.mp3"), 1003);
    EXPECT_EQ(tempFiles(), 0u);
    EXPECT_FALSE(fs::exists(dir + "noise.pcm"));
}

TEST_F(Mp3, MissingDecoderIsReported)
{
    sonv.setDecoderPath(dir + "nowhere/auridec");
    try {
        sonv.ConvertToPcm(copyFixture("tone.mp3"));
        FAIL() << "no error";
    } catch (const vx::ComponentError &e) {
        EXPECT_EQ(e.code(), 1004);
        EXPECT_EQ(e.description(), "MP3 decoder component missing. Reinstall the application.");
    }
    EXPECT_EQ(tempFiles(), 0u);
}

TEST_F(Mp3, CancelWhileDecodingStopsTheDecoder)
{
    sonv.setPercentDone([](int, bool &cancel) { cancel = true; });
    EXPECT_EQ(errorOf(copyFixture("tone.mp3")), 1005);
    EXPECT_EQ(tempFiles(), 0u);
    EXPECT_FALSE(fs::exists(dir + "tone.pcm"));
}

// A good MP3 whose decoded sound does not fit in the temporary folder is no
// bad file: the temporary file is named with the system's cause.
TEST_F(Mp3, AFullTemporaryFolderIsNamedNotTakenForABadFile)
{
    const std::string mp3 = copyFixture("tone.mp3");
    const fs::path decoder = sonv.DecoderPath();
    const std::string said = vxtest::inChildWithFileLimit(4096, [&] {
        cSonvert s;
        s.setDecoderPath(decoder);
        try {
            s.ConvertToPcm(mp3);
            return std::string("converted");
        } catch (const vx::ComponentError &e) {
            return std::to_string(e.number()) + " " + e.description();
        }
    });
    const std::string begins = "75 Cannot write the temporary file '" + sonvert::userTempFolderName() + "/sonvert-";
    EXPECT_EQ(said.rfind(begins, 0), 0u) << said;
    EXPECT_TRUE(said.ends_with(".wav': File too large")) << said;
    EXPECT_EQ(tempFiles(), 0u);
    EXPECT_FALSE(fs::exists(dir + "tone.pcm"));
}

TEST_F(Mp3, TheTemporaryFolderIsPrivate)
{
    const std::string folder = sonvert::userTempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(fs::path(folder).parent_path().parent_path(), fs::path(std::getenv("TMPDIR")));
    EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);

    const std::string a = sonvert::createTempFile(".wav");
    const std::string b = sonvert::createTempFile(".wav");
    EXPECT_NE(a, b);
    EXPECT_TRUE(fs::exists(a));
    fs::remove(a);
    fs::remove(b);
}

TEST_F(Mp3, RefusedTemporaryFolderIsNamedWithTheCause)
{
    const std::string folder = sonvert::userTempFolderName();
    fs::remove_all(folder);
    writeFile(folder, Bytes{1}); // a file where the folder belongs
    std::string said = "no error";
    try {
        sonv.ConvertToPcm(copyFixture("tone.mp3"));
    } catch (const vx::ComponentError &e) {
        said = std::to_string(e.number()) + " " + e.description();
    } catch (const std::exception &e) {
        said = e.what();
    }
    fs::remove(folder);
    EXPECT_EQ(said, "75 Cannot create a temporary file in '" + folder + "': not a folder");
}

namespace {

// Whether the process is gone (or a zombie nobody reaps).
bool ended(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    return close == std::string::npos || text.compare(close + 2, 1, "Z") == 0;
}

} // namespace

// A program killed in the middle of a decode takes the decoder with it, and
// the next converter sweeps the temporary file the program left.
TEST_F(Mp3, KilledCallerTakesTheDecoderAlong)
{
    const std::string script = dir + "slow-decoder";
    {
        std::ofstream f(script);
        f << "#!/bin/sh\necho $$ > '" << dir << "pid'\nexec sleep 60\n";
    }
    fs::permissions(script, fs::perms::owner_all);
    const std::string source = copyFixture("tone.mp3");
    const pid_t caller = ::fork();
    if (caller == 0) {
        cSonvert s;
        s.setDecoderPath(script);
        try {
            (void)s.ConvertToPcm(source);
        } catch (...) {
        }
        ::_exit(0);
    }
    pid_t decoder = 0;
    for (int i = 0; i < 2000 && decoder <= 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::ifstream(dir + "pid") >> decoder;
    }
    ASSERT_GT(decoder, 0);
    EXPECT_EQ(tempFiles(), 1u);
    ::kill(caller, SIGKILL);
    ::waitpid(caller, nullptr, 0);
    bool gone = false;
    for (int i = 0; i < 1000 && !gone; ++i) {
        gone = ended(decoder);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_TRUE(gone);
    ::kill(decoder, SIGKILL);
    EXPECT_EQ(tempFiles(), 1u);
    cSonvert next;
    EXPECT_EQ(tempFiles(), 0u);
}

// A killed conversion's decoder may never be reaped by its new parent: its
// unfinished output goes once it has ended, at the next start or conversion,
// and not while it still runs.
TEST_F(Mp3, AKilledDecodersOutputGoesOnceItHasEnded)
{
    const std::string folder = sonvert::userTempFolder();
    const pid_t converter = ::fork();
    if (converter == 0)
        ::_exit(0);
    ::waitpid(converter, nullptr, 0);
    const auto startDecoder = [&](const std::string &name) {
        const pid_t pid = ::fork();
        if (pid == 0)
            for (;;)
                ::pause();
        writeFile(folder + name, Bytes{});
        writeFile(folder + "." + name + "." + std::to_string(pid) + ".0.part", Bytes(4096, 1));
        return pid;
    };
    // Killed, and left as nobody has waited for it.
    const auto kill = [](pid_t pid) {
        ::kill(pid, SIGKILL);
        siginfo_t info{};
        ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
    };
    const std::string tag = "sonvert-" + std::to_string(converter);
    const pid_t killed = startDecoder(tag + "-killed.wav");
    const pid_t running = startDecoder(tag + "-running.wav");
    kill(killed);
    EXPECT_EQ(tempFiles(), 4u);

    EXPECT_EQ(sonvert::sweepLeftovers(), 1); // at start
    EXPECT_EQ(tempFiles(), 2u);
    EXPECT_TRUE(fs::exists(folder + "." + tag + "-running.wav." + std::to_string(running) + ".0.part"));

    kill(running);
    fs::remove(sonvert::createTempFile(".wav")); // the next conversion
    EXPECT_EQ(tempFiles(), 0u);
    ::waitpid(killed, nullptr, 0);
    ::waitpid(running, nullptr, 0);
}

TEST_F(Mp3, DecoderWritesASixteenBitWaveAndFailsCleanly)
{
    const std::string decoder = sonv.DecoderPath().string();
    const auto run = [&](const std::string &args) {
        const int status = std::system(("'" + decoder + "' " + args + " >/dev/null 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    const std::string src = copyFixture("tone.mp3");
    EXPECT_EQ(run("--decode --silent '" + src + "' '" + dir + "tone.wav'"), 0);
    const Bytes wav = readFile(dir + "tone.wav");
    ASSERT_GE(wav.size(), 44u);
    EXPECT_EQ(Bytes(wav.begin(), wav.begin() + 4), (Bytes{'R', 'I', 'F', 'F'}));
    EXPECT_EQ(wav[20] | wav[21] << 8, 1);  // integer PCM
    EXPECT_EQ(wav[22] | wav[23] << 8, 1);  // mono
    EXPECT_EQ(wav[24] | wav[25] << 8 | wav[26] << 16, 22050);
    EXPECT_EQ(wav[34] | wav[35] << 8, 16); // bits
    const std::uint32_t data = wav[40] | wav[41] << 8 | wav[42] << 16 | static_cast<std::uint32_t>(wav[43]) << 24;
    EXPECT_EQ(data, wav.size() - 44);

    EXPECT_EQ(run("--decode --silent '" + dir + "missing.mp3' '" + dir + "m.wav'"), 1);
    EXPECT_FALSE(fs::exists(dir + "m.wav"));
    writeFile(dir + "bad.mp3", Bytes(2000, 0x55));
    EXPECT_EQ(run("--decode --silent '" + dir + "bad.mp3' '" + dir + "b.wav'"), 1);
    EXPECT_FALSE(fs::exists(dir + "b.wav"));
    // A failed decode leaves a file already under the target's name whole,
    // and a pipe for a source is refused, not waited on.
    writeFile(dir + "keep.wav", Bytes{'m', 'i', 'n', 'e'});
    EXPECT_EQ(run("--decode --silent '" + dir + "bad.mp3' '" + dir + "keep.wav'"), 1);
    EXPECT_EQ(readFile(dir + "keep.wav"), (Bytes{'m', 'i', 'n', 'e'}));
    ASSERT_EQ(::mkfifo((dir + "pipe.mp3").c_str(), 0600), 0);
    const int piped = std::system(("timeout 10 '" + decoder + "' --decode --silent '" + dir + "pipe.mp3' '" + dir
                                   + "keep.wav'").c_str());
    EXPECT_EQ(WIFEXITED(piped) ? WEXITSTATUS(piped) : -1, 1);
    EXPECT_EQ(readFile(dir + "keep.wav"), (Bytes{'m', 'i', 'n', 'e'}));
    EXPECT_EQ(run("--silent '" + src + "' '" + dir + "x.wav'"), 2);
    EXPECT_EQ(run("--decode '" + src + "'"), 2);
}

TEST_F(Mp3, LaterCallsLeaveTheFreedTemporaryNameAlone)
{
    // A stand-in decoder that notes the temporary path it was given.
    const std::string wav = dir + "made.wav";
    writeFile(wav, wave(1, 1, 8000, 16, pcm16({2560, -2560, 512})));
    const std::string script = dir + "fake-decoder";
    writeFile(script, Bytes{});
    {
        std::FILE *f = std::fopen(script.c_str(), "w");
        ASSERT_TRUE(f);
        // The target is the last argument.
        std::fprintf(f, "#!/bin/sh\nfor last; do :; done\nprintf %%s \"$last\" > '%snoted'\ncp '%s' \"$last\"\n",
                     dir.c_str(), wav.c_str());
        std::fclose(f);
    }
    fs::permissions(script, fs::perms::owner_all);
    sonv.setDecoderPath(script);
    const std::string out = sonv.ConvertToPcm(copyFixture("tone.mp3"));
    const Bytes noted = readFile(dir + "noted");
    const std::string temp(noted.begin(), noted.end());
    ASSERT_FALSE(temp.empty());
    EXPECT_FALSE(fs::exists(temp));

    // Another converter now holds that name; this one's next calls keep off it.
    writeFile(temp, Bytes{1, 2, 3});
    sonv.ConvertToWav(out);
    sonv.CompressPcmFile(out);
    EXPECT_TRUE(fs::exists(temp));
    fs::remove(temp);
}

// The decoder asked for help prints its usage and succeeds; a wrong command
// line still gets the usage on the error stream and exit code 2.
TEST_F(Mp3, DecoderPrintsItsUsage)
{
    const std::string decoder = sonv.DecoderPath().string();
    const auto run = [&](const std::string &args, const std::string &out) {
        const int status = std::system(("'" + decoder + "' " + args + " >'" + out + "' 2>&1").c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    EXPECT_EQ(run("--help", dir + "help.txt"), 0);
    const Bytes help = readFile(dir + "help.txt");
    EXPECT_EQ(std::string(help.begin(), help.end()),
              "usage: auridec --decode [--silent] <source.mp3> <target.wav>\n");
    EXPECT_EQ(run("--decode", dir + "bad.txt"), 2);
    const Bytes bad = readFile(dir + "bad.txt");
    EXPECT_NE(std::string(bad.begin(), bad.end()).find("usage: auridec"), std::string::npos);
}
