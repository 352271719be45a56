#include "components/sonvert/cSonvert.h"
#include "components/sonvert/PcmFile.h"
#include "components/sonvert/SignalPath.h"
#include "components/sonvert/WaveReader.h"
#include "tests/components/sonvert/SonvertTestWaves.h"
#include "tests/support/TestEnv.h"

#include "components/common/ComponentError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <numbers>

using namespace sonverttest;
namespace fs = std::filesystem;

namespace {

class ConvertToPcm : public ::testing::Test
{
protected:
    std::string dir = vxtest::freshDir("convert") + "/";
    cSonvert sonv;

    std::string put(const std::string &name, const Bytes &bytes)
    {
        writeFile(dir + name, bytes);
        return dir + name;
    }

    // The error number raised by converting the file, 0 when none.
    int errorOf(const std::string &path, std::int32_t tag = 0, bool sv20 = false)
    {
        try {
            sonv.ConvertToPcm(path, tag, 0, false, sv20);
        } catch (const vx::ComponentError &e) {
            EXPECT_EQ(e.source(), "SonvertLib.ConvertToPcm");
            return e.code();
        }
        return 0;
    }

    // The data bytes of a plain chip PCM file made from the wave bytes.
    Bytes dataOf(const Bytes &waveBytes, int gate = 0, bool boost = false)
    {
        const std::string out = sonv.ConvertToPcm(put("in.wav", waveBytes), 0, gate, boost);
        const auto pcm = sonvert::loadPcmFile(out);
        EXPECT_TRUE(pcm);
        return pcm ? pcm->data : Bytes{};
    }
};

// Amplitude of one frequency in signed 8-bit chip samples (a single-bin DFT
// over the second half, past the filter's settling).
double levelAt(const Bytes &data, double freq, double rate)
{
    double re = 0, im = 0;
    const std::size_t from = data.size() / 2;
    for (std::size_t i = from; i < data.size(); ++i) {
        const double v = static_cast<std::int8_t>(data[i]);
        const double ph = 2 * std::numbers::pi * freq * static_cast<double>(i) / rate;
        re += v * std::cos(ph);
        im += v * std::sin(ph);
    }
    return 2 * std::hypot(re, im) / static_cast<double>(data.size() - from);
}

} // namespace

TEST_F(ConvertToPcm, NoiseGateExampleInBothForms)
{
    const std::string src = put("gate.wav", wave(1, 1, 8000, 16, pcm16({25600, 768, 768, 512, 12800})));
    const std::string out = sonv.ConvertToPcm(src, 0, 3);
    EXPECT_EQ(out, dir + "gate.pcm");
    EXPECT_EQ(readFile(out), (Bytes{0x05, 0x00, 0x00, 0x4E, 0x64, 0x03, 0x00, 0x00, 0x32}));

    sonv.setTargetPath(vxtest::freshDir("target") + "/");
    const std::string marked = sonv.ConvertToPcm(src, 300, 3, false, true);
    EXPECT_EQ(marked, sonv.TargetPath() + "gate.pcm");
    EXPECT_EQ(readFile(marked), (Bytes{0x0D, 0x0D, 0x1E, 0x01, 0x37, 0x38, 0x23, 0x00, 0xC0, 0xDB, 0x06,
                                       0x00, 0x00, 0x4E, 0x2C, 0x01, 0x64, 0x03, 0x00, 0x00, 0x32, 0x80}));
}

TEST_F(ConvertToPcm, FullScaleEightBitAndFloatInput)
{
    EXPECT_EQ(dataOf(wave(1, 1, 8000, 8, Bytes{0, 255, 128})), (Bytes{0x82, 0x7E, 0x00}));

    Bytes floats;
    for (float v : {1.0f, -1.0f, 0.5f}) {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        put32(floats, bits);
    }
    EXPECT_EQ(dataOf(wave(3, 1, 8000, 32, floats)), (Bytes{0x7E, 0x82, 0x40}));
}

TEST_F(ConvertToPcm, OutputRatesAndRateCodes)
{
    struct Case { std::uint32_t rate; std::size_t frames; int code; std::size_t bytes; };
    // 100 frames: n = 1 keeps 100; 2 keeps e = 0..98 (50); 3 keeps 0..96 (33); 4 keeps 25; 5 keeps 20.
    const Case cases[] = {{8000, 100, 78, 100},  {11025, 100, 99, 100}, {16000, 100, 78, 50},
                          {20000, 100, 93, 50},  {22050, 100, 99, 50},  {32000, 99, 97, 33},
                          {44100, 100, 99, 25},  {48000, 100, 91, 20}};
    for (const Case &c : cases) {
        const std::string out = sonv.ConvertToPcm(put("r.wav", wave(1, 2, c.rate, 16, pcm16(sine16(440, c.rate, 8000, c.frames, 2)))));
        const auto pcm = sonvert::loadPcmFile(out);
        ASSERT_TRUE(pcm) << c.rate;
        EXPECT_EQ(pcm->header.rateCode(), c.code) << c.rate;
        EXPECT_EQ(pcm->data.size(), c.bytes) << c.rate;
    }
}

TEST_F(ConvertToPcm, SpeechBandPassesAndAliasesAreStopped)
{
    const double amplitude = 16384;
    const auto convert = [&](double freq) {
        return dataOf(wave(1, 2, 44100, 16, pcm16(sine16(freq, 44100, amplitude, 44100, 2))));
    };
    const Bytes pass = convert(1000);
    ASSERT_EQ(pass.size(), 11025u);
    const double passDb = 20 * std::log10(levelAt(pass, 1000, 11025) / (amplitude / 256));
    EXPECT_LT(std::abs(passDb), 1.0);

    // 6 kHz folds to 5025 Hz at the output rate; it must not come through.
    const Bytes stop = convert(6000);
    const double stopDb = 20 * std::log10(levelAt(stop, 5025, 11025) / (amplitude / 256) + 1e-9);
    EXPECT_LT(stopDb, -50.0);
}

TEST_F(ConvertToPcm, BoostLeavesAQuietRecordingAlone)
{
    const Bytes quiet = wave(1, 1, 8000, 16, pcm16(sine16(300, 8000, 900, 800, 1)));
    EXPECT_EQ(dataOf(quiet, 0, true), dataOf(quiet, 0, false));
    // A louder one is raised.
    const Bytes soft = wave(1, 1, 8000, 16, pcm16(sine16(300, 8000, 3000, 800, 1)));
    const Bytes boosted = dataOf(soft, 0, true);
    EXPECT_GT(levelAt(boosted, 300, 8000), 2 * levelAt(dataOf(soft), 300, 8000));
}

TEST_F(ConvertToPcm, WavesOutsideTheUsualFormsConvertOrAreRefused)
{
    // 24-bit: the same sound as its 16-bit twin.
    const auto s16 = sine16(500, 8000, 12000, 400, 1);
    Bytes d24;
    for (std::int16_t v : s16) {
        const std::uint32_t x = static_cast<std::uint32_t>(static_cast<std::int32_t>(v) * 256);
        d24.insert(d24.end(), {static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(x >> 8),
                               static_cast<std::uint8_t>(x >> 16)});
    }
    EXPECT_EQ(dataOf(wave(1, 1, 8000, 24, d24)), dataOf(wave(1, 1, 8000, 16, pcm16(s16))));
    Bytes d32;
    for (std::int16_t v : s16)
        put32(d32, static_cast<std::uint32_t>(static_cast<std::int32_t>(v) * 65536));
    EXPECT_EQ(dataOf(wave(1, 1, 8000, 32, d32)), dataOf(wave(1, 1, 8000, 16, pcm16(s16))));

    EXPECT_EQ(errorOf(put("six.wav", wave(1, 6, 8000, 16, pcm16(s16)))), 1003);
    EXPECT_EQ(errorOf(put("ext.wav", wave(0xFFFE, 1, 8000, 16, pcm16(s16)))), 1003);
    EXPECT_EQ(errorOf(put("zero.wav", wave(1, 1, 0, 16, pcm16(s16)))), 1003);
    EXPECT_EQ(errorOf(put("text.wav", Bytes{'h', 'e', 'l', 'l', 'o'})), 1003);
    // Rates whose code the header cannot carry: 100 in the marked form, below 0.
    const std::string fast = put("fast.wav", wave(1, 1, 11120, 16, pcm16(s16)));
    EXPECT_EQ(errorOf(fast, 0, true), 1003);
    EXPECT_EQ(errorOf(fast, 0, false), 0);
    EXPECT_EQ(errorOf(put("slow.wav", wave(1, 1, 3900, 16, pcm16(s16)))), 1003);
}

TEST_F(ConvertToPcm, ShortDataAndTinyFiles)
{
    // The header claims far more than the file holds: the samples present count.
    EXPECT_EQ(dataOf(wave(1, 1, 8000, 16, pcm16({2560, -2560}), {}, 100000)), (Bytes{0x0A, 0xF6}));

    EXPECT_EQ(dataOf(wave(1, 1, 8000, 16, {})), Bytes{});
    EXPECT_EQ(dataOf(wave(1, 1, 8000, 16, pcm16({-5120}))), Bytes{0xEC});
    EXPECT_EQ(dataOf(wave(1, 1, 8000, 16, pcm16({-5120})), 0, true), Bytes{0xEC});
    EXPECT_EQ(dataOf(wave(1, 2, 8000, 16, pcm16({-5120}))), Bytes{});
    EXPECT_EQ(dataOf(wave(1, 2, 44100, 16, pcm16({1000, 1000, 3000}))), Bytes{});
    EXPECT_EQ(dataOf(wave(1, 1, 44100, 16, pcm16({1000, 3000, 5000, 7000}))).size(), 1u);

    // The marked form of an empty sound is the end mark alone, padded.
    const std::string out = sonv.ConvertToPcm(put("empty.wav", wave(1, 1, 8000, 16, {})), 7, 0, false, true);
    const Bytes bytes = readFile(out);
    ASSERT_EQ(bytes.size(), 18u);
    EXPECT_EQ(Bytes(bytes.begin() + 16, bytes.end()), (Bytes{0x00, 0x80}));
}

TEST_F(ConvertToPcm, ChecksComeInOrder)
{
    const std::string src = put("a.wav", wave(1, 1, 8000, 16, pcm16({1, 2, 3})));
    EXPECT_EQ(errorOf(dir + "missing.wav", 70000), 1002);
    sonv.setTargetPath(dir + "no-such-folder/");
    EXPECT_EQ(errorOf(src, 70000), 1001);
    sonv.setTargetPath("");
    EXPECT_EQ(errorOf(src, 65535), 1000);
    EXPECT_EQ(errorOf(src, -1), 1000);
    EXPECT_EQ(errorOf(src, 65534, true), 0);
    EXPECT_EQ(readFile(dir + "a.pcm")[14], 0xFE);
}

TEST_F(ConvertToPcm, CancelDuringFilteringLeavesNoOutput)
{
    int events = 0;
    sonv.setPercentDone([&](int, bool &cancel) {
        ++events;
        cancel = true;
    });
    const std::string src = put("long.wav", wave(1, 2, 44100, 16, pcm16(sine16(1000, 44100, 9000, 44100, 2))));
    try {
        sonv.ConvertToPcm(src);
        FAIL() << "no error";
    } catch (const vx::ComponentError &e) {
        EXPECT_EQ(e.code(), 1005);
        EXPECT_EQ(e.description(), "Process terminated by user.");
    }
    EXPECT_EQ(events, 1);
    EXPECT_FALSE(fs::exists(dir + "long.pcm"));

    // The next call starts with the flag cleared.
    sonv.setPercentDone({});
    EXPECT_EQ(sonv.ConvertToPcm(src), dir + "long.pcm");
}

TEST_F(ConvertToPcm, CompressReplacesTheResultInPlace)
{
    const std::string src = put("c.wav", wave(1, 1, 8000, 16, pcm16(sine16(300, 8000, 9000, 800, 1))));
    const std::string out = sonv.ConvertToPcm(src, 5, 0, false, true, true);
    EXPECT_EQ(out, dir + "c.pcm");
    const auto pcm = sonvert::loadPcmFile(out);
    ASSERT_TRUE(pcm);
    EXPECT_TRUE(pcm->header.compressed());
    EXPECT_EQ(pcm->header.tag, 5);
}

TEST_F(ConvertToPcm, SoundsLongerThanTheLengthFieldAreRefused)
{
    // 8-bit mono at 8000 Hz: one output byte per data byte. The data is a
    // sparse run of zero bytes (silence would be 128; the level is no matter).
    const auto make = [&](const std::string &name, std::uint32_t dataBytes) {
        const std::string path = put(name, wave(1, 1, 8000, 8, {}, {}, dataBytes));
        fs::resize_file(path, 44 + static_cast<std::uintmax_t>(dataBytes));
        return path;
    };
    const std::string limit = make("limit.wav", 0xFFFFFF);
    EXPECT_EQ(errorOf(limit), 0);
    EXPECT_EQ(fs::file_size(dir + "limit.pcm"), 4u + 0xFFFFFF);
    EXPECT_EQ(errorOf(limit, 0, true), 1003); // the end mark makes it one byte too long
    EXPECT_EQ(errorOf(make("over.wav", 0x1000000)), 1003);
}

// Too long is said as such, with the longest sound at the output rate. A
// sound that fits is cancelled at its first report, past the length check.
TEST_F(ConvertToPcm, TooLongSaysHowLongASoundMayBe)
{
    sonv.setPercentDone([](int, bool &cancel) { cancel = true; });
    sonv.setProgressClock([t = std::chrono::steady_clock::time_point{}]() mutable { return t += std::chrono::seconds(1); });
    const struct
    {
        int channels;
        std::uint32_t rate;
        int bits;
        std::uint64_t frames;
        bool sv20;
        std::string said; // empty: it fits
        bool compress = false;
    } rows[] = {
        {1, 8000, 8, 0xFFFFFE, false, ""},
        {1, 8000, 8, 0xFFFFFF, false, ""},
        {1, 8000, 8, 0x1000000, false, "Sound too long for a chip PCM file; at 8000 Hz the longest is 34 min 57 s."},
        {1, 8000, 8, 0xFFFFFD, true, ""},
        {1, 8000, 8, 0xFFFFFE, true, "Sound too long for a chip PCM file; at 8000 Hz the longest is 34 min 57 s."},
        {2, 44100, 16, 4ull * 0x1000000, false,
         "Sound too long for a chip PCM file; at 11025 Hz the longest is 25 min 21 s."},
        // Compressed, the longest sure to fit; past four times the field unread.
        {1, 8000, 8, 4ull * 0xFFFFFF + 1, false,
         "Sound too long for a chip PCM file; compressed, at 8000 Hz the longest sure to fit is 69 min 54 s.", true},
    };
    for (const auto &r : rows) {
        const std::uint64_t bytes = r.frames * static_cast<std::uint64_t>(r.channels * r.bits / 8);
        const std::string path = put("long.wav", wave(1, r.channels, r.rate, r.bits, {}, {}, std::int64_t(bytes)));
        fs::resize_file(path, 44 + bytes); // sparse: no disk needed
        try {
            sonv.ConvertToPcm(path, 0, 0, false, r.sv20, r.compress);
            ADD_FAILURE() << r.frames << " converted whole";
        } catch (const vx::ComponentError &e) {
            EXPECT_EQ(e.code(), r.said.empty() ? 1005 : 1003) << r.frames;
            EXPECT_EQ(e.description(), r.said.empty() ? "Process terminated by user." : r.said) << r.frames;
        }
    }
}

// Compressed, a sound is measured by its compressed length: at worst half a
// byte a sample, far less for silence. One that does not fit is refused with
// the longest sure to fit, and no file.
TEST_F(ConvertToPcm, CompressedSoundsAreMeasuredCompressed)
{
    // Mono at 8000 Hz. Alternating 8-bit extremes leave the compression no
    // run to shorten; 16-bit zeros (sparse) are silence, all runs.
    const auto make = [&](std::uint64_t samples, bool busy) {
        const std::uint64_t size = busy ? samples : 2 * samples;
        Bytes bytes = wave(1, 1, 8000, busy ? 8 : 16, {}, {}, std::int64_t(size));
        if (busy) {
            bytes.reserve(bytes.size() + samples);
            for (std::uint64_t i = 0; i < samples; ++i)
                bytes.push_back(i % 2 ? 0xFF : 0x00);
        }
        const std::string path = put("long.wav", bytes);
        fs::resize_file(path, 44 + size);
        return path;
    };
    const struct
    {
        std::uint64_t samples;
        bool busy, sv20;
        bool fits;
    } rows[] = {
        {35 * 60 * 8000, true, true, true}, // uncompressed, the field holds 34 min 57 s
        {0x2100000, false, false, true},
        {70 * 60 * 8000, true, false, false},
    };
    for (const auto &r : rows) {
        const std::string path = make(r.samples, r.busy);
        fs::remove(dir + "long.pcm");
        try {
            sonv.ConvertToPcm(path, 0, 0, false, r.sv20, true);
            const auto pcm = sonvert::loadPcmFile(dir + "long.pcm");
            ASSERT_TRUE(pcm) << r.samples;
            EXPECT_TRUE(pcm->header.compressed());
            if (r.busy) { // compression at its worst
                EXPECT_GE(pcm->header.dataLength, r.samples / 2);
            }
            EXPECT_TRUE(r.fits) << r.samples;
        } catch (const vx::ComponentError &e) {
            EXPECT_FALSE(r.fits) << r.samples << ": " << e.description();
            EXPECT_EQ(e.description(),
                      "Sound too long for a chip PCM file; compressed, at 8000 Hz the longest sure to fit is 69 min 54 s.");
            EXPECT_FALSE(fs::exists(dir + "long.pcm"));
        }
    }
}

// The conversion works block by block; its bytes must be those of the whole
// sound worked in one buffer, for every path through the pipeline and for
// lengths around the block size.
TEST_F(ConvertToPcm, BlockwiseConversionMatchesTheWholeSoundInOneBuffer)
{
    struct Case
    {
        int format, channels;
        std::uint32_t rate;
        int bits;
        std::size_t frames;
        int gate;
        bool boost, sv20;
    };
    const Case cases[] = {
        {1, 2, 44100, 16, 3 * 4096 + 17, 0, false, false}, {1, 1, 44100, 16, 4096, 2, true, true},
        {1, 2, 48000, 24, 9000, 1, true, false},          {3, 1, 22050, 32, 4097, 0, false, true},
        {1, 1, 8000, 8, 5000, 3, true, false},             {1, 2, 16000, 16, 4095, 0, true, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.rate << " Hz, " << c.channels << " ch, " << c.bits << " bits");
        std::vector<std::int16_t> s = sine16(440, c.rate, 12000, c.frames, c.channels);
        for (std::size_t i = 0; i < s.size(); i += 7)
            s[i] = static_cast<std::int16_t>(s[i] * 3 / 2 + (i % 13 == 0 ? 9000 : 0));
        Bytes data;
        if (c.bits == 16) {
            data = pcm16(s);
        } else {
            for (const std::int16_t v : s) {
                if (c.bits == 8)
                    data.push_back(static_cast<std::uint8_t>((v >> 8) + 128));
                else if (c.bits == 24)
                    data.insert(data.end(), {0x5A, static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
                else {
                    const float f = static_cast<float>(v) / 30000.0f;
                    std::uint8_t b[4];
                    std::memcpy(b, &f, 4);
                    data.insert(data.end(), b, b + 4);
                }
            }
        }
        const Bytes file = wave(c.format, c.channels, c.rate, c.bits, data);

        sonvert::MemoryByteSource memory(file);
        const auto format = sonvert::readWaveFormat(memory);
        ASSERT_TRUE(format);
        std::vector<std::int16_t> all;
        ASSERT_TRUE(sonvert::readWaveSamples(memory, *format, all));
        const auto stats = sonvert::clipAndMeasure(all);
        if (c.channels == 2)
            sonvert::mixStereoToMono(all);
        if (c.boost)
            sonvert::boostLevel(all, stats);
        ASSERT_TRUE(sonvert::applyAntiAliasFilter(all, static_cast<std::int32_t>(c.rate), {}));
        Bytes expected;
        ASSERT_TRUE(sonvert::decimateToBytes(all, sonvert::decimationFactor(static_cast<std::int32_t>(c.rate)),
                                             c.gate, expected, {}));
        if (c.sv20)
            sonvert::appendEndMark(expected);

        const auto pcm = sonvert::loadPcmFile(sonv.ConvertToPcm(put("b.wav", file), 0, c.gate, c.boost, c.sv20));
        ASSERT_TRUE(pcm);
        EXPECT_TRUE(pcm->data == expected);
    }
}

// Cancelled in the compression passes, the conversion leaves the old output
// exactly as it was.
TEST_F(ConvertToPcm, CancelDuringCompressionKeepsTheOldOutput)
{
    const std::string src = put("k.wav", wave(1, 1, 11025, 16, pcm16(sine16(300, 11025, 9000, 20000, 1))));
    writeFile(dir + "k.pcm", {'o', 'l', 'd'});
    sonvert::ProgressThrottle::Clock::time_point now{};
    sonv.setProgressClock([&] { now += std::chrono::seconds(1); return now; });
    bool converted = false;
    sonv.setPercentDone([&](int percent, bool &cancel) {
        cancel = converted; // the first report after the conversion's 100 is the compression's
        converted = converted || percent == 100;
    });
    try {
        sonv.ConvertToPcm(src, 0, 0, false, true, true);
        FAIL() << "no error";
    } catch (const vx::ComponentError &e) {
        EXPECT_EQ(e.code(), 1005);
    }
    EXPECT_TRUE(converted);
    EXPECT_EQ(readFile(dir + "k.pcm"), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), {}), 2); // source and old output only
}
