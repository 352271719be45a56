// Inspection of sound files, the memory estimate and the texts a library shows.
#include "app/soundlib/SoundEntry.h"
#include "app/soundlib/SoundFormat.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

using namespace soundtest;

namespace {

class SoundFileTest : public ::testing::Test
{
protected:
    QTemporaryDir dir;
    QString folder() const { return dir.path() + QLatin1Char('/'); }
    QString put(const QString &name, const QByteArray &content)
    {
        writeFile(folder() + name, content);
        return folder() + name;
    }
};

TEST_F(SoundFileTest, KindFollowsEndingAndHeader)
{
    const QByteArray pcm = plainPcm(99, QByteArray(10, 'x'));
    QByteArray shortByOne = pcm;
    shortByOne[0] = 9;
    QByteArray adpcm = wave(1, 11025, 4, 100, 2);
    QByteArray riffLower = wave(1, 11025, 8, 100);
    riffLower.replace(0, 4, "riff");
    const struct
    {
        const char *name;
        QByteArray content;
        qint16 kind;
    } cases[] = {
        {"upper.WAV", wave(1, 11025, 8, 100), sfkWave},
        {"float.wav", wave(1, 44100, 32, 400, 3), sfkWave},
        {"long.wave", wave(1, 11025, 8, 100), sfkNotSound},
        {"adpcm.wav", adpcm, sfkNotSound},
        {"lower.wav", riffLower, sfkNotSound},
        {"short.wav", QByteArray("RIFF\x24\0\0\0WAVEfmt ", 16), sfkNotSound},
        {"plain.pcm", pcm, sfkPcm},
        {"shortbyone.pcm", shortByOne, sfkNotSound},
        {"empty.pcm", bytes({0, 0, 0, 99}), sfkPcm},
        {"tiny.pcm", bytes({0, 0}), sfkNotSound},
        {"packed.pcm", plainPcm(227, QByteArray(4, 'x')), sfkCompressedPcm},
        {"marked.pcm", markedPcm(99, 7, bytes({1, 2, 0, 0x80})), sfkPcm},
        {"sound.txt", wave(1, 11025, 8, 100), sfkNotSound},
    };
    for (const auto &c : cases)
        EXPECT_EQ(GetSoundFileKind(put(QLatin1String(c.name), c.content)), c.kind) << c.name;
    EXPECT_EQ(GetSoundFileKind(folder() + QStringLiteral("gone.wav")), sfkNotSound);
}

TEST_F(SoundFileTest, ChipPcmRecordCarriesHeaderValues)
{
    put(QStringLiteral("t.pcm"), markedPcm(93, 0xFFFF, QByteArray(30, 'x')));
    const SoundEntry e = GetSoundFileInfo(folder(), QStringLiteral("t.pcm"), true);
    EXPECT_EQ(e.Tag, 65535);
    EXPECT_EQ(e.SampleRate, 10000);
    EXPECT_EQ(e.DataBytes, 30);
    EXPECT_TRUE(e.Compress);

    put(QStringLiteral("p.pcm"), plainPcm(227, QByteArray(55125, 'x')));
    const SoundEntry packed = GetSoundFileInfo(folder(), QStringLiteral("p.pcm"), true);
    EXPECT_FALSE(packed.Compress);
    EXPECT_EQ(packed.MemUsed, 55125);
}

TEST(PcmRate, RateRuleOfTheCodeByte)
{
    const int table[][2] = {{99, 11025}, {227, 11025}, {93, 10000}, {78, 8000}, {100, 11218},
                            {63, 6706},  {5, 28046},   {116, 15820}, {27, 0},   {155, 0}};
    for (const auto &t : table)
        EXPECT_EQ(PcmDisplayRate(static_cast<quint8>(t[0])), t[1]) << "code " << t[0];
}

TEST_F(SoundFileTest, Mp3FrameSearch)
{
    // Junk with 0xFF bytes, a Layer II header, then a Layer III header that
    // straddles the 10000-byte and 65536-byte marks in two files.
    for (int at : {9998, 65534}) {
        QByteArray f(at, '\0');
        for (int i = 0; i < at; i += 97)
            f[i] = '\xFF';
        f.replace(40, 4, bytes({0xFF, 0xFD, 0x90, 0x44})); // Layer II
        f += bytes({0xFF, 0xFB, 0x90, 0x44});
        f += QByteArray(100, '\0');
        const QString name = QStringLiteral("s%1.mp3").arg(at);
        EXPECT_EQ(IsMp3File(put(name, f)), at + 1);
        const SoundEntry e = GetSoundFileInfo(folder(), name, false);
        EXPECT_EQ(e.SampleRate, 44100);
        EXPECT_EQ(e.BitRate, 128000);
        EXPECT_EQ(e.Channels, 2);
        EXPECT_EQ(e.DataBytes, f.size());
    }
    put(QStringLiteral("free.mp3"), bytes({0xFF, 0xFB, 0x00, 0xC4}));
    EXPECT_EQ(GetSoundFileInfo(folder(), QStringLiteral("free.mp3"), false).BitRate, 128000);
    EXPECT_EQ(GetSoundFileInfo(folder(), QStringLiteral("free.mp3"), false).Channels, 1);
    EXPECT_EQ(IsMp3File(put(QStringLiteral("layer2.mp3"), bytes({0, 0xFF, 0xFD, 0x90, 0x44, 0}))), -1);
    EXPECT_EQ(GetSoundFileKind(folder() + QStringLiteral("layer2.mp3")), sfkNotSound);
}

// The search looks as far as the decoder does: 64 KB, past a tag at the start.
TEST_F(SoundFileTest, Mp3SearchStopsWhereTheDecoderDoes)
{
    const QByteArray frame = bytes({0xFF, 0xFB, 0x90, 0x44});
    // A 300 KB tag (size 7 bits a byte) whose picture holds a false header.
    const QByteArray tag = "ID3" + bytes({4, 0, 0, 0x00, 0x12, 0x27, 0x60}) + QByteArray(300000, '\0').replace(0, 4, frame);
    const struct {
        const char *name;
        QByteArray content;
        qint32 found;
    } rows[] = {
        {"last.mp3", QByteArray(65535, '\0') + frame, 65536},
        {"beyond.mp3", QByteArray(65536, '\0') + frame, -1},
        {"tagged.mp3", tag + QByteArray(100, '\0') + frame, 300000 + 10 + 100 + 1},
    };
    for (const auto &r : rows) {
        const qint64 before = vxtest::bytesReadByProcess();
        EXPECT_EQ(IsMp3File(put(QLatin1String(r.name), r.content)), r.found) << r.name;
        EXPECT_LE(vxtest::bytesReadByProcess() - before, 2 * 65536 + 4096) << r.name;
    }
    // A big file that is no MP3 (sparse: no disk needed) costs one block.
    const QString big = put(QStringLiteral("big.mp3"), QByteArray(16, '\0'));
    ASSERT_TRUE(QFile::resize(big, qint64(1) << 30));
    const qint64 before = vxtest::bytesReadByProcess();
    EXPECT_EQ(IsMp3File(big), -1);
    EXPECT_LE(vxtest::bytesReadByProcess() - before, 65536 + 4096);
}

TEST_F(SoundFileTest, WaveRecordAndEstimates)
{
    put(QStringLiteral("w.wav"), wave(2, 44100, 16, 1764000));
    SoundEntry e = GetSoundFileInfo(folder(), QStringLiteral("w.wav"), false);
    EXPECT_EQ(e.DataBytes, 1764000);
    EXPECT_EQ(e.MemUsed, 110250);
    e.Compress = true;
    EXPECT_EQ(EstimateMemoryKB(e), 55125);

    const auto est = [](qint16 ch, qint32 rate, qint16 bits, qint32 data, bool comp, qint32 bitRate) {
        SoundEntry s;
        s.Channels = ch;
        s.SampleRate = rate;
        s.BitsPerSample = bits;
        s.DataBytes = data;
        s.Compress = comp;
        s.BitRate = bitRate;
        return EstimateMemoryKB(s);
    };
    EXPECT_EQ(est(2, 44100, 16, 160000, false, 128000), 110250); // MP3
    EXPECT_EQ(est(2, 48000, 16, 1920000, false, 0), 96000);
    EXPECT_EQ(est(1, 11025, 8, 110250, true, 0), 55125);
    EXPECT_EQ(est(1, 100, 8, 1000, false, 0), 0); // factor 0
    EXPECT_EQ(est(1, 0, 8, 1000, false, 0), 0);
    EXPECT_GT(est(2, 48000, 16, 200'000'000, false, 8000), 0); // no 32-bit wrap
    const int factors[][2] = {{8000, 1}, {11025, 1}, {12000, 2}, {22050, 2}, {24000, 3}, {32000, 3}, {44100, 4}, {48000, 5}};
    for (const auto &f : factors)
        EXPECT_EQ(RateReductionFactor(f[0]), f[1]) << f[0];
}

TEST(SoundRows, TagLookupAndTableGrowth)
{
    SoundRows rows(10);
    EXPECT_EQ(IsTagInUse(rows, 0), 0);
    rows[2].entry.Tag = 7;
    rows[8].entry.Tag = 7;
    EXPECT_EQ(IsTagInUse(rows, 7), 3);
    EXPECT_EQ(IsTagInUse(rows, 8), 0);

    SoundLibTable table;
    table.growToSlot(3);
    table[2] = rows;
    table.growToSlot(6);
    EXPECT_EQ(table.slotCount(), 7);
    EXPECT_EQ(table.entry(3, 2).Tag, 7);
    table.clearSlot(2);
    EXPECT_TRUE(table[2].isEmpty());
}

TEST(SoundTexts, CellsPanelAndTotals)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(MemUsedText(2560, c), QStringLiteral("2 KB"));
    EXPECT_EQ(MemUsedText(1048576, c), QStringLiteral("1,024 KB"));
    EXPECT_EQ(FormatGrouped(1234567890, false, c), QStringLiteral("1,234,567,890"));
    EXPECT_EQ(FormatGrouped(0, true, c), QString());
    EXPECT_EQ(SoundItemText(QStringLiteral("a.b.WAV")), QStringLiteral("A.b"));
    EXPECT_EQ(SoundItemText(QStringLiteral("my SOUND file")), QStringLiteral("My Sound File"));

    SoundEntry e;
    e.Kind = sfkWave;
    e.FileName = QStringLiteral("voice one.wav");
    e.Location = QStringLiteral("/snd/");
    e.Channels = 1;
    e.SampleRate = 11025;
    e.BitsPerSample = 8;
    e.DataBytes = 1263616;
    e.Tag = 12;
    e.Boost = true;
    e.MemUsed = 1263616;
    EXPECT_EQ(PropertiesLine(e, c), QStringLiteral("Mono, 11.025 kHz, 8 bit, 1,234 KB"));
    EXPECT_EQ(RateLabel(e, c), QStringLiteral("11.025 kHz"));
    EXPECT_EQ(MemLabel(e, c), QStringLiteral("1,234 KB"));
    const SoundListItem item = MakeListItem(e, c);
    const std::array<QString, 6> cells = {QStringLiteral("Voice One"), QStringLiteral("12"), QStringLiteral("1,234 KB"),
                                          QString(), QStringLiteral("\u2022"), QStringLiteral("/snd/")};
    EXPECT_EQ(item.cells, cells);

    e.SampleRate = 48000;
    EXPECT_EQ(RateLabel(e, c), QStringLiteral("9.600 kHz"));
    e.Kind = sfkMp3;
    e.Channels = 2;
    e.BitRate = 128000;
    EXPECT_EQ(PropertiesLine(e, c), QStringLiteral("Stereo, 48.000 kHz, 128 kbps, 1,234 KB"));
    e.Kind = sfkCompressedPcm;
    EXPECT_EQ(MakeListItem(e, c).cells[colComp], QStringLiteral("\u2022"));
    EXPECT_EQ(MemLabel(e, c), QStringLiteral("< 1,234 KB"));
    e.Kind = sfkNotSound;
    EXPECT_EQ(PropertiesLine(e, c), QStringLiteral("File has been moved or deleted!"));
    EXPECT_EQ(RateLabel(e, c), QString());

    SoundRows rows(3);
    EXPECT_EQ(ComputeSoundLibTotals({}, c).sizeText, QStringLiteral("Memory req'd (est): 0 KB"));
    EXPECT_DOUBLE_EQ(ComputeSoundLibTotals({}, c).gauge, -1.3);
    rows[0].entry.MemUsed = 4000 * 1024;
    rows[1].entry.MemUsed = 4000 * 1024;
    rows[2].entry.Kind = sfkNotSound;
    rows[2].entry.MemUsed = 999999;
    const SoundLibTotals t = ComputeSoundLibTotals(rows, c);
    EXPECT_EQ(t.filesText, QStringLiteral("Files: 2"));
    EXPECT_EQ(t.sizeText, QStringLiteral("Memory req'd (est): 8,000 KB"));
    EXPECT_NEAR(t.gauge, 98.7, 1e-9);
}

} // namespace
