// The sound library list file: every version read, version 4 written, bad files refused.
#include "app/documents/SoundLibFile.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

namespace {

const QByteArray kEntryV1 = "3\r\n2\r\n44100\r\n16\r\n123456\r\n#TRUE#\r\n\"Theme.mp3\"\r\n\"/snd/\"\r\n";
const QByteArray kEntryRest = "12\r\n0\r\n128000\r\n#FALSE#\r\n";

QByteArray file(int version, int count, const QByteArray &entries)
{
    return "\"KWLIB\"\r\n" + QByteArray::number(version) + "\r\n" + QByteArray::number(count) + "\r\n" + entries;
}

TEST(SoundLibFile, EmptyLibraryIsThreeLines)
{
    EXPECT_EQ(BuildSoundLibFile({}).value(), QByteArray("\"KWLIB\"\r\n4\r\n0\r\n"));
    EXPECT_TRUE(ParseSoundLibFile("\"KWLIB\"\r\n4\r\n0\r\n").value().isEmpty());
    EXPECT_TRUE(HasSoundLibMagic("\"KWLIB\"\r\n4\r\n0\r\n"));
    EXPECT_FALSE(HasSoundLibMagic("\"kwlib\"\r\n4\r\n0\r\n"));
}

TEST(SoundLibFile, VersionFourRoundTripsByteForByte)
{
    const QByteArray v4 = file(4, 1, kEntryV1 + kEntryRest);
    const auto entries = ParseSoundLibFile(v4);
    ASSERT_TRUE(entries);
    const SoundEntry &e = entries->at(0);
    EXPECT_EQ(e.Kind, 3);
    EXPECT_EQ(e.FileName, QStringLiteral("Theme.mp3"));
    EXPECT_EQ(e.Location, QStringLiteral("/snd/"));
    EXPECT_EQ(e.Tag, 12);
    EXPECT_EQ(e.BitRate, 128000);
    EXPECT_TRUE(e.Compress);
    EXPECT_EQ(e.MemUsed, EstimateMemoryKB(e));
    EXPECT_EQ(BuildSoundLibFile(*entries).value(), v4);
}

TEST(SoundLibFile, OlderVersionsReadTheirFieldsAndResaveAsFour)
{
    const struct
    {
        int version;
        QByteArray rest;
        qint32 tag, bitRate;
        bool boost;
    } cases[] = {
        {1, "", 0, 0, false},
        {0, "", 0, 0, false},
        {2, "12\r\n3\r\n", 12, 0, false},
        {3, "12\r\n3\r\n128000\r\n", 12, 128000, false},
        {5, "12\r\n3\r\n128000\r\n#TRUE#\r\n", 12, 128000, true},
    };
    for (const auto &c : cases) {
        const auto entries = ParseSoundLibFile(file(c.version, 2, kEntryV1 + c.rest + kEntryV1 + c.rest));
        ASSERT_TRUE(entries) << c.version;
        ASSERT_EQ(entries->size(), 2);
        EXPECT_EQ(entries->at(1).Tag, c.tag) << c.version;
        EXPECT_EQ(entries->at(1).BitRate, c.bitRate) << c.version;
        EXPECT_EQ(entries->at(1).Boost, c.boost) << c.version;
        EXPECT_EQ(BuildSoundLibFile(*entries).value().count("\r\n"), 3 + 2 * 12);
    }
}

TEST(SoundLibFile, NamesKeepCaseQuotesAndCharacters)
{
    SoundEntry e;
    e.FileName = QStringLiteral("say \"HI\".WAV");
    e.Location = QStringLiteral("/home/ana/Sons/");
    SoundEntry f = e;
    f.FileName = QStringLiteral("caf\u00e9.wav"); // fits the Windows code page
    SoundEntry g = e;
    g.FileName = QStringLiteral("\u65e5\u672c.wav"); // does not
    const QByteArray bytes = BuildSoundLibFile({e, f, g}).value();
    EXPECT_TRUE(bytes.contains("\"caf\xe9.wav\""));
    const auto back = ParseSoundLibFile(bytes).value();
    EXPECT_EQ(back.at(0).FileName, e.FileName);
    EXPECT_EQ(back.at(1).FileName, f.FileName);
    EXPECT_EQ(back.at(2).FileName, g.FileName);

    SoundEntry broken = e;
    broken.FileName = QStringLiteral("two\nlines.wav");
    QString error;
    EXPECT_FALSE(BuildSoundLibFile({broken}, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(SoundLibFile, MalformedFilesGiveOneMessageAndNoResult)
{
    const QByteArray bad[] = {
        "",
        file(4, 6000, ""),
        file(4, -1, ""),
        file(4, 1, kEntryV1),                                       // ends early
        file(4, 1, QByteArray(kEntryV1).replace("44100", "abc") + kEntryRest),
        file(4, 1, QByteArray(kEntryV1).replace("#TRUE#", "yes") + kEntryRest),
        file(4, 1, QByteArray(kEntryV1).replace("\r\n2\r\n", "\r\n70000\r\n") + kEntryRest), // beyond 16 bits
    };
    for (const QByteArray &b : bad) {
        QString error;
        EXPECT_FALSE(ParseSoundLibFile(b, &error)) << b.constData();
        EXPECT_TRUE(error.startsWith(QStringLiteral("The sound library file"))) << error.toStdString();
    }
}

TEST(SoundLibFile, SaveGoesThroughTheSafeWriter)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Lib.sfl"));
    SoundEntry e;
    e.FileName = QStringLiteral("a.wav");
    e.Location = QStringLiteral("/x/");
    ASSERT_TRUE(SaveSoundLibFile(path, {e}));
    EXPECT_EQ(LoadSoundLibFile(path).value().at(0), (SoundEntry{e}));
    QString error;
    EXPECT_FALSE(SaveSoundLibFile(dir.filePath(QStringLiteral("missing/Lib.sfl")), {e}, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Lib.sfl")});
}

// A list file larger than a library of 5000 sounds can be is refused before
// it is read, with a message naming it; one at the bound is read.
TEST(SoundLibFile, AFileLargerThanALibraryCanBeIsRefusedUnread)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Huge.sfl"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(file(4, 0, ""));
    ASSERT_TRUE(f.resize(kMaxSoundLibFileBytes + 1)); // sparse: no disk needed
    const qint64 before = vxtest::bytesReadByProcess();
    QString error;
    EXPECT_FALSE(LoadSoundLibFile(path, &error));
    EXPECT_LT(vxtest::bytesReadByProcess() - before, 65536);
    EXPECT_EQ(error, QStringLiteral("'Huge.sfl' is larger than the list of a sound library of 5000 sounds can be "
                                    "(117 MB at most), so it was not read."));
    ASSERT_TRUE(f.resize(kMaxSoundLibFileBytes));
    EXPECT_TRUE(LoadSoundLibFile(path, &error).value().isEmpty()) << error.toStdString();
}

} // namespace
