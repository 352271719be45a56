#include "components/common/ComponentError.h"
#include "components/sonvert/Compression.h"
#include "common/Bytes.h"
#include "components/sonvert/PcmFile.h"
#include "components/sonvert/ProgressThrottle.h"
#include "components/sonvert/cSonvert.h"
#include "tests/components/sonvert/PcmTestFiles.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace sonvert;
using namespace vx;
using pcmtest::Bytes;
using pcmtest::listFolder;
using pcmtest::readBytes;
using pcmtest::signedBytes;
using pcmtest::writeBytes;

namespace {

const Bytes kSixteen = signedBytes({0, 8, 16, 24, 32, 40, 48, 56, 56, 56, 56, 56, 56, 56, -20, -100});

struct Folders
{
    std::string src;
    std::string out;
};

Folders makeFolders(const std::string &name)
{
    return {vxtest::freshDir(name + "-src"), vxtest::freshDir(name + "-out") + "/"};
}

// A clock that moves on by `step` every time it is read.
ProgressThrottle::Now steppingClock(std::chrono::milliseconds step)
{
    auto t = std::make_shared<ProgressThrottle::Clock::time_point>();
    return [t, step] {
        *t += step;
        return *t;
    };
}

// Runs `call` and returns the numbered error it throws (code 0 when none).
template <typename F>
vx::ComponentError errorOf(F &&call)
{
    try {
        call();
    } catch (const vx::ComponentError &e) {
        return e;
    }
    return vx::ComponentError(0, "", "");
}

Bytes waveData(const Bytes &wave)
{
    return wave.size() > 44 ? Bytes(wave.begin() + 44, wave.end()) : Bytes{};
}

} // namespace

TEST(SonvertCompress, OlderRulesGolden)
{
    const auto f = makeFolders("golden-older");
    writeBytes(f.src + "/voice.pcm", buildPcmFile(PcmForm::Plain, 78, 0, kSixteen));
    cSonvert s;
    s.setTargetPath(f.out);
    EXPECT_EQ(s.CompressPcmFile(f.src + "/voice.pcm"), f.out + "voice.pcm");
    EXPECT_EQ(readBytes(f.out + "voice.pcm"),
              (Bytes{0x07, 0x00, 0x00, 0xCE, 0x06, 0x67, 0x34, 0x44, 0x08, 0x05, 0x99}));

    // Back to a wave: the decoder reproduces the encoder's predictor track.
    const std::string wav = s.ConvertToWav(f.out + "voice.pcm");
    EXPECT_EQ(wav, f.out + "voice.wav");
    const Bytes wave = readBytes(wav);
    ASSERT_EQ(wave.size(), 60u);
    EXPECT_EQ(readLe32(wave, 4), 52u);
    EXPECT_EQ(readLe32(wave, 24), 8000u);
    EXPECT_EQ(readLe32(wave, 40), 16u);
    EXPECT_EQ(waveData(wave), (Bytes{0x80, 0x86, 0x8C, 0x9A, 0xA0, 0xA8, 0xB0, 0xB8, 0xB8, 0xB8, 0xB8, 0xB8,
                                     0xB8, 0xB8, 0xAA, 0x8E}));
    EXPECT_EQ(listFolder(f.out), (std::vector<std::string>{"voice.pcm", "voice.wav"}));
}

TEST(SonvertCompress, NewerRulesGoldenAndTags)
{
    const auto f = makeFolders("golden-newer");
    Bytes data = kSixteen;
    appendEndMark(data);
    writeBytes(f.src + "/m.pcm", buildPcmFile(PcmForm::Marked, 78, 0, data));
    writeBytes(f.src + "/t.pcm", buildPcmFile(PcmForm::Marked, 78, 300, data));
    cSonvert s;
    s.setTargetPath(f.out);
    s.CompressPcmFile(f.src + "/m.pcm", true);
    EXPECT_EQ(readBytes(f.out + "m.pcm"),
              (Bytes{0x0D, 0x0D, 0x1E, 0x01, 0x37, 0x38, 0x25, 0x00, 0xC0, 0xDB, 0x08, 0x00, 0x00, 0xCE, 0x00,
                     0x00, 0x07, 0x48, 0x05, 0x08, 0x05, 0x99, 0xD0, 0x80}));

    // The tag goes from a marked source into a marked file, and is lost in
    // the plain form.
    s.CompressPcmFile(f.src + "/t.pcm", true);
    auto h = readPcmHeader(std::filesystem::path(f.out + "t.pcm"));
    ASSERT_TRUE(h);
    EXPECT_EQ(h->tag, 300u);
    EXPECT_EQ(h->codeByte, 0x80 | 78);
    s.CompressPcmFile(f.src + "/t.pcm", false);
    h = readPcmHeader(std::filesystem::path(f.out + "t.pcm"));
    ASSERT_TRUE(h);
    EXPECT_EQ(h->form, PcmForm::Plain);
    EXPECT_EQ(h->tag, 0u);
    EXPECT_TRUE(h->compressed());

    // Decoding uses the rules of the file's form.
    const Bytes wave = readBytes(s.ConvertToWav(f.out + "m.pcm"));
    EXPECT_EQ(waveData(wave), (Bytes{0x80, 0x88, 0x90, 0x98, 0xA0, 0xA8, 0xB0, 0xB8, 0xB8, 0xB8, 0xB8, 0xB8,
                                     0xB8, 0xB8, 0xA8, 0x88, 0x70, 0x70}));
}

TEST(SonvertCompress, CompressedFilesAreRefusedAndEmptyOnesStayEmpty)
{
    // Compressing a compressed source again would make noise of it: refused
    // in either form, whatever the output form, and no file is written.
    const auto f = makeFolders("again");
    writeBytes(f.src + "/a.pcm", buildPcmFile(PcmForm::Plain, 0x80 | 78, 0, Bytes{0x06, 0x67, 0x34}));
    writeBytes(f.src + "/m.pcm", buildPcmFile(PcmForm::Marked, 0x80 | 99, 7, Bytes{0x06, 0x67, 0x00, 0x80}));
    cSonvert s;
    s.setTargetPath(f.out);
    for (const char *name : {"/a.pcm", "/m.pcm"}) {
        for (const bool sv20 : {false, true}) {
            const auto e = errorOf([&] { s.CompressPcmFile(f.src + name, sv20); });
            EXPECT_EQ(e.code(), 1003) << name;
            EXPECT_EQ(e.source(), "SonvertLib.CompressPcmFile");
            EXPECT_STREQ(e.what(), "The PCM file is compressed already; it cannot be compressed again.");
        }
    }
    EXPECT_TRUE(listFolder(f.out).empty());

    // A file without samples stays without samples.
    writeBytes(f.src + "/none.pcm", buildPcmFile(PcmForm::Plain, 78, 0, Bytes{}));
    s.CompressPcmFile(f.src + "/none.pcm");
    EXPECT_EQ(readBytes(f.out + "none.pcm"), (Bytes{0x00, 0x00, 0x00, 0x80 | 78}));
}

TEST(SonvertCompress, LastSampleIsEncodedWhateverTheSourceForm)
{
    const auto f = makeFolders("last-sample");
    // A plain source into the marked form: its last sample (24, whose low
    // half looks like a marker) is sound, not an end mark.
    const Bytes plain = signedBytes({0, 10, 20, 30, 40, 24});
    writeBytes(f.src + "/p.pcm", buildPcmFile(PcmForm::Plain, 93, 0, plain));
    cSonvert s;
    s.setTargetPath(f.out);
    s.CompressPcmFile(f.src + "/p.pcm", true);
    const auto h = readPcmHeader(std::filesystem::path(f.out + "p.pcm"));
    ASSERT_TRUE(h);
    EXPECT_EQ(h->form, PcmForm::Marked);
    EXPECT_EQ(h->tag, 0u);
    Bytes shaped = plain;
    shaped.push_back(kEndMark);
    std::vector<int> track;
    (void)compressSamples(shaped, CodecRules::Newer, &track);
    ASSERT_EQ(track.size(), plain.size());
    Bytes decoded = waveData(readBytes(s.ConvertToWav(f.out + "p.pcm")));
    ASSERT_GE(decoded.size(), track.size());
    for (std::size_t i = 0; i < track.size(); ++i)
        EXPECT_EQ(decoded[i], track[i] + 128) << i;
    for (std::size_t i = track.size(); i < decoded.size(); ++i)
        EXPECT_EQ(decoded[i], track.back() + 128) << i;

    // A marked source into the plain form: the end mark is not a sample, so
    // the sound does not end in a jump towards -112.
    Bytes marked = signedBytes({0, 10, 20, 30, 40, 50, 60});
    appendEndMark(marked);
    writeBytes(f.src + "/m.pcm", buildPcmFile(PcmForm::Marked, 93, 0, marked));
    s.CompressPcmFile(f.src + "/m.pcm", false);
    decoded = waveData(readBytes(s.ConvertToWav(f.out + "m.pcm")));
    ASSERT_GE(decoded.size(), 7u);
    EXPECT_LE(decoded.size(), 8u);
    EXPECT_GE(decoded.back(), 128 + 40);
}

TEST(SonvertConvertToWav, PlainDataAndRates)
{
    const auto f = makeFolders("towav");
    writeBytes(f.src + "/p.pcm", buildPcmFile(PcmForm::Plain, 78, 0, signedBytes({100, 3, 0, 0, 50})));
    cSonvert s;
    s.setTargetPath(f.out);
    const Bytes wave = readBytes(s.ConvertToWav(f.src + "/p.pcm"));
    EXPECT_EQ(wave, buildWaveFile(8000, Bytes{0xE4, 0x83, 0x80, 0x80, 0xB2}));
    EXPECT_EQ(readLe32(wave, 4), 0x29u);

    Bytes marked = signedBytes({-126, 126, 1});
    appendEndMark(marked);
    writeBytes(f.src + "/r99.pcm", buildPcmFile(PcmForm::Marked, 99, 0, marked));
    writeBytes(f.src + "/r93.pcm", buildPcmFile(PcmForm::Plain, 93, 0, Bytes{}));
    const Bytes w99 = readBytes(s.ConvertToWav(f.src + "/r99.pcm"));
    EXPECT_EQ(Bytes(w99.begin() + 24, w99.begin() + 32), (Bytes{0x11, 0x2B, 0, 0, 0x11, 0x2B, 0, 0}));
    EXPECT_EQ(waveData(w99), (Bytes{0x02, 0xFE, 0x81})); // the end mark is not sound
    const Bytes w93 = readBytes(s.ConvertToWav(f.src + "/r93.pcm"));
    ASSERT_EQ(w93.size(), 44u);
    EXPECT_EQ(Bytes(w93.begin() + 24, w93.begin() + 28), (Bytes{0x10, 0x27, 0, 0}));
    EXPECT_EQ(readLe32(w93, 4), 36u);
    EXPECT_EQ(readLe32(w93, 40), 0u);

    // A marked file that holds nothing at all.
    writeBytes(f.src + "/empty.pcm", buildPcmFile(PcmForm::Marked, 0x80 | 78, 0, Bytes{}));
    EXPECT_EQ(readBytes(s.ConvertToWav(f.src + "/empty.pcm")).size(), 44u);
}

TEST(SonvertConvertToWav, LongCompressedSoundRoundTrips)
{
    const auto f = makeFolders("long");
    Bytes samples(50000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(static_cast<int>(std::lround(90 * std::sin(i * 0.05)
                                                                            * std::sin(i * 0.0007)))
                                               & 0xFF);
    writeBytes(f.src + "/long.pcm", buildPcmFile(PcmForm::Plain, 99, 0, samples));
    cSonvert s;
    s.setTargetPath(f.out);
    std::vector<int> track;
    (void)compressSamples(samples, CodecRules::Older, &track);
    const Bytes decoded = waveData(readBytes(s.ConvertToWav(s.CompressPcmFile(f.src + "/long.pcm"))));
    ASSERT_GE(decoded.size(), track.size());
    for (std::size_t i = 0; i < track.size(); ++i)
        ASSERT_EQ(decoded[i], track[i] + 128) << i;
    EXPECT_EQ(std::count(decoded.begin(), decoded.end(), 0), 0);
}

TEST(SonvertOutputPath, BesideTheSourceOrGluedToTheTarget)
{
    const std::string dir = vxtest::freshDir("paths");
    const Bytes source = buildPcmFile(PcmForm::Plain, 78, 0, kSixteen);
    writeBytes(dir + "/take.one.pcm", source);
    cSonvert s;
    EXPECT_EQ(s.TargetPath(), "");
    // Beside the source: compressing replaces the source it read completely.
    EXPECT_EQ(s.CompressPcmFile(dir + "/take.one.pcm"), dir + "/take.one.pcm");
    EXPECT_EQ(readBytes(dir + "/take.one.pcm"),
              (Bytes{0x07, 0x00, 0x00, 0xCE, 0x06, 0x67, 0x34, 0x44, 0x08, 0x05, 0x99}));
    EXPECT_EQ(listFolder(dir), std::vector<std::string>{"take.one.pcm"});

    // The target is a prefix as it is: without its "/" it is glued to the name.
    std::filesystem::create_directory(dir + "/out");
    writeBytes(dir + "/noext", source);
    s.setTargetPath(dir + "/out");
    EXPECT_EQ(s.ConvertToWav(dir + "/noext"), dir + "/outnoext.wav");
    EXPECT_TRUE(std::filesystem::exists(dir + "/outnoext.wav"));
}

TEST(SonvertErrors, ChecksComeInOrder)
{
    const auto f = makeFolders("errors");
    cSonvert s;
    const std::string missing = f.src + "/missing.pcm";
    writeBytes(f.src + "/bad.pcm", Bytes{0x03, 0x00, 0x00, 0x4E, 1, 2}); // says 3, holds 2
    writeBytes(f.src + "/good.pcm", buildPcmFile(PcmForm::Plain, 78, 0, kSixteen));

    for (const bool toWav : {false, true}) {
        SCOPED_TRACE(toWav ? "ConvertToWav" : "CompressPcmFile");
        const std::string source = toWav ? "SonvertLib.ConvertToWav" : "SonvertLib.CompressPcmFile";
        const auto run = [&](const std::string &file) {
            return errorOf([&] { toWav ? s.ConvertToWav(file) : s.CompressPcmFile(file); });
        };
        // The source comes first, even when the target folder is missing too.
        s.setTargetPath(f.src + "/nowhere/");
        auto e = run(missing);
        EXPECT_EQ(e.code(), 1002);
        EXPECT_EQ(e.number(), static_cast<std::int32_t>(0x800403EAu));
        EXPECT_EQ(e.source(), source);
        EXPECT_STREQ(e.what(), "Source file not found.");
        EXPECT_EQ(run("").code(), 1002);
        EXPECT_EQ(run(f.src).code(), 1002); // a folder is no source file

        // Then the target folder, before the file is looked at.
        e = run(f.src + "/bad.pcm");
        EXPECT_EQ(e.code(), 1001);
        EXPECT_EQ(e.number(), static_cast<std::int32_t>(0x800403E9u));
        EXPECT_EQ(e.source(), source);
        EXPECT_STREQ(e.what(), "Directory specified by TargetPath does not exist.");
        s.setTargetPath(f.src + "/good.pcm"); // a file is no folder
        EXPECT_EQ(run(f.src + "/bad.pcm").code(), 1001);

        // Then the header.
        s.setTargetPath(f.out);
        e = run(f.src + "/bad.pcm");
        EXPECT_EQ(e.code(), 1003);
        EXPECT_EQ(e.number(), static_cast<std::int32_t>(0x800403EBu));
        EXPECT_EQ(e.source(), source);
        EXPECT_STREQ(e.what(), "Invalid or corrupt pcm file.");
        EXPECT_TRUE(listFolder(f.out).empty());
    }
}

// An output the system refuses (a full disk) is run-time error 75 with the
// file and the cause, once; the old file stays.
TEST(SonvertErrors, OutputThatCannotBeWrittenNamesItAndTheCause)
{
    const auto f = makeFolders("full");
    Bytes sound(8000);
    for (std::size_t i = 0; i < sound.size(); ++i)
        sound[i] = static_cast<std::uint8_t>(i * 37);
    writeBytes(f.src + "/good.pcm", buildPcmFile(PcmForm::Plain, 78, 0, sound));
    writeBytes(f.out + "good.wav", Bytes{'o', 'l', 'd'});
    const std::string said = vxtest::inChildWithFileLimit(1000, [&] {
        cSonvert s;
        s.setTargetPath(f.out);
        std::string out;
        for (const bool toWav : {false, true}) {
            const std::string source = f.src + "/good.pcm";
            const auto e = errorOf([&] { toWav ? s.ConvertToWav(source) : s.CompressPcmFile(source); });
            out += std::to_string(e.number()) + " " + e.source() + " " + e.what() + "\n";
        }
        return out;
    });
    EXPECT_EQ(said, "75 SonvertLib.CompressPcmFile Cannot write '" + f.out + "good.pcm': File too large\n"
                    "75 SonvertLib.ConvertToWav Cannot write '" + f.out + "good.wav': File too large\n");
    EXPECT_EQ(listFolder(f.out), (std::vector<std::string>{"good.wav"}));
    EXPECT_EQ(readBytes(f.out + "good.wav"), (Bytes{'o', 'l', 'd'}));

    // A wave that cannot even be created: a link that leads nowhere.
    std::filesystem::copy_file(f.src + "/good.pcm", f.src + "/loop.pcm");
    std::filesystem::create_symlink("loop.wav", f.out + "loop.wav");
    cSonvert s;
    s.setTargetPath(f.out);
    EXPECT_STREQ(errorOf([&] { s.ConvertToWav(f.src + "/loop.pcm"); }).what(),
                 ("Cannot create '" + f.out + "loop.wav': Too many levels of symbolic links").c_str());
}

TEST(SonvertErrors, ResultTheHeaderCannotHoldIsRefused)
{
    // Rate code 100 has no two-digit form in the marked header.
    const auto f = makeFolders("no-fit");
    writeBytes(f.src + "/fast.pcm", buildPcmFile(PcmForm::Plain, 100, 0, kSixteen));
    cSonvert s;
    s.setTargetPath(f.out);
    const auto e = errorOf([&] { s.CompressPcmFile(f.src + "/fast.pcm", true); });
    EXPECT_EQ(e.code(), 1003);
    EXPECT_EQ(e.source(), "SonvertLib.CompressPcmFile");
    EXPECT_TRUE(listFolder(f.out).empty());
    EXPECT_NO_THROW(s.CompressPcmFile(f.src + "/fast.pcm", false));
}

TEST(SonvertProgress, ThrottledOnAMonotonicClock)
{
    ProgressThrottle::Clock::time_point now{};
    ProgressThrottle t([&] { return now; });
    EXPECT_TRUE(t.due()); // the first report fires at once
    t.fired();
    now += std::chrono::milliseconds(100);
    EXPECT_FALSE(t.due());
    now += std::chrono::milliseconds(100);
    EXPECT_FALSE(t.due()); // exactly 0.2 s is not yet more than 0.2 s
    now += std::chrono::milliseconds(1);
    EXPECT_TRUE(t.due());
    t.fired();
    EXPECT_FALSE(t.due());
}

TEST(SonvertProgress, PauseCountsFromTheEndOfTheLastEvent)
{
    // The handler and the host's loop take half a second: the next report,
    // at once after them, is within 0.2 s of the last event's end.
    const auto f = makeFolders("progress-end");
    writeBytes(f.src + "/a.pcm", buildPcmFile(PcmForm::Plain, 78, 0, kSixteen));
    ProgressThrottle::Clock::time_point now{};
    cSonvert s;
    s.setTargetPath(f.out);
    s.setProgressClock([&] { return now; });
    std::vector<int> seen;
    s.setPercentDone([&](int percent, bool &) {
        seen.push_back(percent);
        now += std::chrono::milliseconds(300);
    });
    s.setYield([&] { now += std::chrono::milliseconds(1); });
    s.CompressPcmFile(f.src + "/a.pcm");
    // 25 fires; each pass's own yield then adds 1 ms, far from 0.2 s.
    EXPECT_EQ(seen, std::vector<int>{25});
}

TEST(SonvertProgress, CompressionReportsBetweenItsPasses)
{
    const auto f = makeFolders("progress");
    writeBytes(f.src + "/a.pcm", buildPcmFile(PcmForm::Plain, 78, 0, kSixteen));
    cSonvert s;
    s.setTargetPath(f.out);
    std::vector<int> seen;
    int yields = 0;
    s.setPercentDone([&](int percent, bool &) { seen.push_back(percent); });
    s.setYield([&] { ++yields; });
    s.setProgressClock(steppingClock(std::chrono::seconds(1)));
    s.CompressPcmFile(f.src + "/a.pcm");
    EXPECT_EQ(seen, (std::vector<int>{25, 63, 100}));
    EXPECT_EQ(yields, 6); // one after each event, one after each pass

    // With no time passing only the first report of the object's life fires.
    seen.clear();
    cSonvert still;
    still.setTargetPath(f.out);
    still.setPercentDone([&](int percent, bool &) { seen.push_back(percent); });
    still.setProgressClock([] { return ProgressThrottle::Clock::time_point{}; });
    still.CompressPcmFile(f.src + "/a.pcm");
    still.ConvertToWav(f.src + "/a.pcm");
    EXPECT_EQ(seen, std::vector<int>{25});

    // The wave conversion reports its position and ends at 100.
    seen.clear();
    s.ConvertToWav(f.src + "/a.pcm");
    ASSERT_GE(seen.size(), 2u);
    EXPECT_EQ(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
}

TEST(SonvertCancel, LeavesNoOutputAndNoTemporaryFile)
{
    const auto f = makeFolders("cancel");
    writeBytes(f.src + "/a.pcm", buildPcmFile(PcmForm::Plain, 78, 0, Bytes(100000, 0x11)));
    writeBytes(f.out + "a.pcm", Bytes{1, 2, 3});
    writeBytes(f.out + "a.wav", Bytes{4, 5, 6});
    cSonvert s;
    s.setTargetPath(f.out);
    s.setProgressClock(steppingClock(std::chrono::seconds(1)));

    for (const int stopAt : {25, 63, 100}) {
        s.setPercentDone([&](int percent, bool &cancel) { cancel = percent == stopAt; });
        const auto e = errorOf([&] { s.CompressPcmFile(f.src + "/a.pcm", true); });
        EXPECT_EQ(e.code(), 1005) << stopAt;
        EXPECT_EQ(e.source(), "SonvertLib.CompressPcmFile");
        EXPECT_STREQ(e.what(), "Process terminated by user.");
    }

    int events = 0;
    s.setPercentDone([&](int, bool &cancel) { cancel = ++events == 3; });
    auto e = errorOf([&] { s.ConvertToWav(f.src + "/a.pcm"); });
    EXPECT_EQ(e.code(), 1005);
    EXPECT_EQ(e.source(), "SonvertLib.ConvertToWav");
    EXPECT_EQ(events, 3); // the decoding stopped at the cancel

    // The files that were there before are untouched, and nothing was added.
    EXPECT_EQ(listFolder(f.out), (std::vector<std::string>{"a.pcm", "a.wav"}));
    EXPECT_EQ(readBytes(f.out + "a.pcm"), (Bytes{1, 2, 3}));
    EXPECT_EQ(readBytes(f.out + "a.wav"), (Bytes{4, 5, 6}));

    // The flag is cleared at the start of the next call.
    s.setPercentDone({});
    EXPECT_NO_THROW(s.CompressPcmFile(f.src + "/a.pcm"));
    EXPECT_NO_THROW(s.ConvertToWav(f.src + "/a.pcm"));
    EXPECT_EQ(listFolder(f.out), (std::vector<std::string>{"a.pcm", "a.wav"}));
}
