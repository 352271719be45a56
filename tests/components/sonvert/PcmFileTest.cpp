#include "common/Bytes.h"
#include "components/sonvert/PcmFile.h"
#include "components/sonvert/WavFile.h"
#include "components/sonvert/WaveReader.h"
#include "tests/components/sonvert/PcmTestFiles.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace sonvert;
using namespace vx;
using pcmtest::Bytes;

TEST(PcmRateCode, FromOutputRate)
{
    EXPECT_EQ(rateCodeFromRate(4240), 10);
    EXPECT_EQ(rateCodeFromRate(11107), 99);
    EXPECT_EQ(rateCodeFromRate(8000), 78);
    EXPECT_EQ(rateCodeFromRate(11025), 99);
    EXPECT_EQ(rateCodeFromRate(10000), 93);
    EXPECT_EQ(rateCodeFromRate(9600), 91);
    EXPECT_EQ(rateCodeFromRate(4239), 9);
    EXPECT_EQ(rateCodeFromRate(4272), 11);
    EXPECT_EQ(rateCodeFromRate(3967), 0);
    EXPECT_EQ(rateCodeFromRate(3966), -1);
}

TEST(PcmRateCode, HalvesRoundToEvenAfterTheFirstDecimal)
{
    // 155 - 617000/4270 = 10.5035: to one decimal 10.5, then to even 10.
    // Rounding halves away from zero, or rounding once, gives 11.
    EXPECT_EQ(rateCodeFromRate(4270), 10);
    EXPECT_EQ(rateCodeFromRate(4269), 10);
    EXPECT_EQ(rateCodeFromRate(4271), 10);
    // 155 - 617000/11108 = 99.455 -> 99.5 -> 100 (even).
    EXPECT_EQ(rateCodeFromRate(11108), 100);
}

TEST(PcmRateCode, WaveRateOfACode)
{
    EXPECT_EQ(waveRateFromCode(99), 11025u); // 11000 is written as 11025
    EXPECT_EQ(waveRateFromCode(93), 10000u); // 9935 is written as 10000
    EXPECT_EQ(waveRateFromCode(78), 8000u);
    EXPECT_EQ(waveRateFromCode(91), 9625u);
    EXPECT_EQ(waveRateFromCode(97), 10621u);
    EXPECT_EQ(waveRateFromCode(0), 3974u);
    EXPECT_EQ(waveRateFromCode(127), 22000u);
    EXPECT_EQ(waveRateFromCode(0x80 | 78), 8000u); // the compression bit is not part of the code
}

TEST(PcmRateCode, WhatEachFormCanStore)
{
    EXPECT_TRUE(rateCodeFits(PcmForm::Plain, 0));
    EXPECT_TRUE(rateCodeFits(PcmForm::Plain, 127));
    EXPECT_FALSE(rateCodeFits(PcmForm::Plain, 128));
    EXPECT_FALSE(rateCodeFits(PcmForm::Plain, -1));
    EXPECT_TRUE(rateCodeFits(PcmForm::Marked, 10));
    EXPECT_TRUE(rateCodeFits(PcmForm::Marked, 99));
    EXPECT_TRUE(rateCodeFits(PcmForm::Marked, 5));
    EXPECT_FALSE(rateCodeFits(PcmForm::Marked, 100));
}

TEST(PcmHeaderWriter, PlainAndMarkedBytes)
{
    const Bytes data = pcmtest::signedBytes({100, 3, 0, 0, 50});
    EXPECT_EQ(buildPcmFile(PcmForm::Plain, 78, 300, data),
              (Bytes{0x05, 0x00, 0x00, 0x4E, 0x64, 0x03, 0x00, 0x00, 0x32}));

    Bytes marked = data;
    appendEndMark(marked);
    EXPECT_EQ(buildPcmFile(PcmForm::Marked, 78, 300, marked),
              (Bytes{0x0D, 0x0D, 0x1E, 0x01, 0x37, 0x38, 0x23, 0x00, 0xC0, 0xDB, 0x06, 0x00, 0x00, 0x4E,
                     0x2C, 0x01, 0x64, 0x03, 0x00, 0x00, 0x32, 0x80}));

    // Compressed data announce themselves with "%", codes below 10 get a
    // leading zero, and the 24-bit length is little-endian.
    PcmHeader h;
    h.form = PcmForm::Marked;
    h.dataLength = 0x123456;
    h.codeByte = 0x80 | 7;
    h.tag = 65534;
    EXPECT_EQ(encodePcmHeader(h), (Bytes{0x0D, 0x0D, 0x1E, 0x01, '0', '7', '%', 0x00, 0xC0, 0xDB, 0x56, 0x34,
                                         0x12, 0x87, 0xFE, 0xFF}));
}

TEST(PcmHeaderWriter, EndMarkKeepsTheLengthEven)
{
    Bytes odd = {1, 2, 3};
    appendEndMark(odd);
    EXPECT_EQ(odd, (Bytes{1, 2, 3, 0x80}));
    Bytes even = {1, 2};
    appendEndMark(even);
    EXPECT_EQ(even, (Bytes{1, 2, 0, 0x80}));
    Bytes empty;
    appendEndMark(empty);
    EXPECT_EQ(empty, (Bytes{0, 0x80}));
}

TEST(PcmHeaderWriter, RefusesWhatTheHeaderCannotHold)
{
    PcmHeader h;
    h.dataLength = kMaxPcmDataLength;
    EXPECT_EQ(encodePcmHeader(h).size(), kPlainHeaderSize);
    h.dataLength = kMaxPcmDataLength + 1;
    EXPECT_TRUE(encodePcmHeader(h).empty());
    h.dataLength = 0;
    h.form = PcmForm::Marked;
    h.codeByte = 100;
    EXPECT_TRUE(encodePcmHeader(h).empty());

    const std::string dir = vxtest::freshDir("pcm-too-long");
    const Bytes tooLong(kMaxPcmDataLength + 1, 0);
    std::string reason;
    EXPECT_FALSE(savePcmFile(dir + "/long.pcm", PcmForm::Plain, 99, 0, tooLong, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_TRUE(pcmtest::listFolder(dir).empty());
}

TEST(PcmHeaderReader, ValidatesTheLengthAgainstTheFileSize)
{
    const Bytes plain = {0x02, 0x00, 0x00, 0x4E, 0x10, 0x20};
    auto h = readPcmHeader(plain, plain.size());
    ASSERT_TRUE(h);
    EXPECT_EQ(h->form, PcmForm::Plain);
    EXPECT_EQ(h->dataLength, 2u);
    EXPECT_EQ(h->rateCode(), 78);
    EXPECT_FALSE(h->compressed());
    EXPECT_EQ(h->tag, 0u);
    EXPECT_FALSE(readPcmHeader(plain, plain.size() + 1));
    EXPECT_FALSE(readPcmHeader(plain, plain.size() - 1));

    const Bytes marked = buildPcmFile(PcmForm::Marked, 0x80 | 99, 300, Bytes{0x12, 0x80});
    h = readPcmHeader(marked, marked.size());
    ASSERT_TRUE(h);
    EXPECT_EQ(h->form, PcmForm::Marked);
    EXPECT_EQ(h->dataLength, 2u);
    EXPECT_EQ(h->rateCode(), 99);
    EXPECT_TRUE(h->compressed());
    EXPECT_EQ(h->tag, 300u);
    EXPECT_EQ(h->headerSize(), 16u);
    EXPECT_FALSE(readPcmHeader(marked, marked.size() - 1));

    EXPECT_FALSE(readPcmHeader(Bytes{}, 0));
    EXPECT_FALSE(readPcmHeader(Bytes{0x01, 0x00}, 2));
    const Bytes emptyPlain = {0, 0, 0, 78};
    EXPECT_TRUE(readPcmHeader(emptyPlain, 4));
}

TEST(PcmHeaderReader, PlainFileWithMarkerLikeSamplesStaysPlain)
{
    // Samples -64 and -37 at offsets 8 and 9 read as C0 DB.
    const Bytes data = pcmtest::signedBytes({1, 2, 3, 4, -64, -37, 7, 8});
    const Bytes file = buildPcmFile(PcmForm::Plain, 78, 0, data);
    ASSERT_EQ(readLe16(file, 8), kMarkedFormMarker);
    const auto parsed = parsePcmFile(file);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->header.form, PcmForm::Plain);
    EXPECT_EQ(parsed->data, data);
    // A player that looks at the marker alone still sees the marked form.
    EXPECT_EQ(peekPcmHeader(file).form, PcmForm::Marked);
}

TEST(PcmHeaderReader, LenientReadingIsClampedToTheBytesPresent)
{
    Bytes file = buildPcmFile(PcmForm::Plain, 78, 0, Bytes{1, 2, 3, 4, 5});
    file.resize(6); // cut short: the header still says 5
    const PcmHeader h = peekPcmHeader(file);
    EXPECT_EQ(h.dataLength, 5u);
    EXPECT_EQ(pcmDataOf(file, h).size(), 2u);
    EXPECT_FALSE(parsePcmFile(file));

    const Bytes shortHead = {0x05, 0x00};
    const PcmHeader s = peekPcmHeader(shortHead);
    EXPECT_EQ(s.dataLength, 5u);
    EXPECT_EQ(s.codeByte, 0);
    EXPECT_TRUE(pcmDataOf(shortHead, s).empty());
}

TEST(PcmFileOnDisk, SaveAndLoad)
{
    const std::string dir = vxtest::freshDir("pcm-disk");
    const Bytes data = {0x10, 0x20, 0x00, 0x80};
    ASSERT_TRUE(savePcmFile(dir + "/a.pcm", PcmForm::Marked, 93, 7, data));
    EXPECT_EQ(pcmtest::listFolder(dir), std::vector<std::string>{"a.pcm"});
    const auto loaded = loadPcmFile(dir + "/a.pcm");
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->header.form, PcmForm::Marked);
    EXPECT_EQ(loaded->header.tag, 7u);
    EXPECT_EQ(loaded->data, data);
    const auto head = readPcmHeader(std::filesystem::path(dir + "/a.pcm"));
    ASSERT_TRUE(head);
    EXPECT_EQ(head->rateCode(), 93);
    EXPECT_FALSE(readPcmHeader(std::filesystem::path(dir + "/missing.pcm")));
    EXPECT_FALSE(loadPcmFile(dir + "/missing.pcm"));
}

TEST(PcmFileOnDisk, FileTooBigForAnyHeaderIsNotReadIntoMemory)
{
    // A sparse 3 GB file, loaded by a child whose address space is limited
    // to 1 GB: refusing it must not need its bytes.
    const std::string path = vxtest::freshDir("pcm-big") + "/big.pcm";
    pcmtest::writeBytes(path, Bytes{0x03, 0x00, 0x00, 0x4E});
    std::filesystem::resize_file(path, 3ull << 30);
    const auto loadWithLittleMemory = [&path] {
        rlimit limit{};
        limit.rlim_cur = limit.rlim_max = 1ull << 30;
        setrlimit(RLIMIT_AS, &limit);
        std::exit(loadPcmFile(path) ? 1 : 0);
    };
    EXPECT_EXIT(loadWithLittleMemory(), ::testing::ExitedWithCode(0), "");
    // The largest file a header can describe still loads.
    const std::string largest = vxtest::freshDir("pcm-largest") + "/l.pcm";
    pcmtest::writeBytes(largest, Bytes{0x0D, 0x0D, 0x1E, 0x01, '7', '8', '#', 0x00, 0xC0, 0xDB, 0xFF, 0xFF, 0xFF,
                                       78, 0x00, 0x00});
    std::filesystem::resize_file(largest, 16 + 0xFFFFFF);
    const auto loaded = loadPcmFile(largest);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->data.size(), 0xFFFFFFu);
}

// A pipe or a device under a sound's name is refused at once, never waited
// on or read without end (in a child: a wait fails the test, not hangs it).
TEST(PcmFileOnDisk, OnlyRegularFilesAreOpened)
{
    const std::string pipe = vxtest::freshDir("pcm-pipe") + "/pipe.pcm";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string opened = vxtest::inChild([] { ::alarm(10); }, [&] {
        std::string out;
        for (const std::string &path : {pipe, std::string("/dev/zero")}) {
            out += std::to_string(loadPcmFile(path).has_value());
            out += std::to_string(readPcmHeader(std::filesystem::path(path)).has_value());
            out += std::to_string(FileByteSource(path).isOpen()) + " ";
        }
        return out;
    });
    EXPECT_EQ(opened, "000 000 ");
}

TEST(WaveFile, HeaderBytes)
{
    const auto h = makeWaveHeader(8000, 5);
    const Bytes expected = {'R', 'I', 'F', 'F', 0x29, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ',
                            16, 0, 0, 0, 1, 0, 1, 0, 0x40, 0x1F, 0, 0, 0x40, 0x1F, 0, 0,
                            1, 0, 8, 0, 'd', 'a', 't', 'a', 5, 0, 0, 0};
    EXPECT_EQ(Bytes(h.begin(), h.end()), expected);
    const Bytes file = buildWaveFile(8000, Bytes{0xE4, 0x83, 0x80, 0x80, 0xB2});
    ASSERT_EQ(file.size(), 49u);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), file.begin()));
    EXPECT_EQ(file.back(), 0xB2);
}

TEST(WaveFile, WriterFillsTheSizesAndCrossesItsBuffer)
{
    const std::string dir = vxtest::freshDir("wave-writer");
    const std::string path = dir + "/out.wav";
    WaveWriter8 w;
    ASSERT_TRUE(w.open(path, 11025));
    EXPECT_FALSE(std::filesystem::exists(path)); // nothing under the name until complete
    Bytes samples(5000);
    for (std::size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::uint8_t>(1 + i % 255);
    ASSERT_TRUE(w.write(std::span<const std::uint8_t>(samples).first(2047)));
    ASSERT_TRUE(w.putByte(samples[2047]));
    ASSERT_TRUE(w.write(std::span<const std::uint8_t>(samples).subspan(2048)));
    EXPECT_EQ(w.samplesWritten(), 5000u);
    ASSERT_TRUE(w.commit());
    EXPECT_EQ(pcmtest::readBytes(path), buildWaveFile(11025, samples));
    EXPECT_EQ(pcmtest::listFolder(dir), std::vector<std::string>{"out.wav"});
}

TEST(WaveFile, DiscardedWriterLeavesNothingAndKeepsTheOldFile)
{
    const std::string dir = vxtest::freshDir("wave-discard");
    const std::string path = dir + "/old.wav";
    pcmtest::writeBytes(path, Bytes{1, 2, 3});
    {
        WaveWriter8 w;
        ASSERT_TRUE(w.open(path, 8000));
        w.putByte(0x80);
        EXPECT_EQ(pcmtest::listFolder(dir).size(), 2u);
    }
    EXPECT_EQ(pcmtest::listFolder(dir), std::vector<std::string>{"old.wav"});
    EXPECT_EQ(pcmtest::readBytes(path), (Bytes{1, 2, 3}));

    WaveWriter8 w;
    EXPECT_FALSE(w.open(dir + "/no/such/folder/x.wav", 8000));
    EXPECT_FALSE(w.errorString().empty());
    EXPECT_FALSE(w.putByte(1));
    EXPECT_FALSE(w.commit());
}
