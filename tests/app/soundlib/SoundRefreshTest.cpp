// Re-inspecting a library's files and finding moved ones again.

#include "app/soundlib/SoundFormat.h"
#include "app/soundlib/SoundRefresh.h"
#include "tests/app/soundlib/SoundFiles.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <QLocale>

#include <gtest/gtest.h>

using namespace soundtest;

namespace {

QString freshFolder(const char *name)
{
    return QString::fromStdString(vxtest::freshDir(name)) + QLatin1Char('/');
}

SoundRow rowFor(const QString &folder, const QString &name)
{
    SoundEntry e = GetSoundFileInfo(folder, name, false);
    return SoundRow{e, MakeListItem(e, QLocale::c())};
}

TEST(SoundRefresh, FindsNamesWhateverTheirCase)
{
    const QString f = freshFolder("find");
    writeFile(f + QStringLiteral("My Sound.WAV"), wave(1, 11025, 8, 10));
    writeFile(f + QStringLiteral("twin.wav"), wave(1, 11025, 8, 10));
    writeFile(f + QStringLiteral("TWIN.wav"), wave(1, 11025, 8, 10));
    const struct {
        const char *asked;
        const char *found;
    } cases[] = {
        {"My Sound.WAV", "My Sound.WAV"}, // exact
        {"My Sound.wav", "My Sound.WAV"}, // a name stored in another case
        {"my sound.wav", "My Sound.WAV"},
        {"twin.wav", "twin.wav"},         // the exact name wins over its twin
        {"Twin.wav", ""},                 // two candidates: no guess
        {"gone.wav", ""},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FindSoundFile(f, QLatin1String(c.asked)), QLatin1String(c.found)) << c.asked;
    // The folder a file is added from keeps one separator, also the root.
    EXPECT_EQ(FolderOf(QStringLiteral("/a.wav")), QStringLiteral("/"));
    EXPECT_EQ(FolderOf(f + QStringLiteral("twin.wav")), f);
}

TEST(SoundRefresh, MarksMissingKeepsSettingsAndRelocatesByFolder)
{
    const QString f = freshFolder("lib");
    writeFile(f + QStringLiteral("a.wav"), wave(1, 22050, 8, 2205));
    writeFile(f + QStringLiteral("b.wav"), wave(1, 11025, 8, 100));
    writeFile(f + QStringLiteral("c.pcm"), plainPcm(99, QByteArray(40, '\x80')));
    SoundRows rows{rowFor(f, QStringLiteral("a.wav")), rowFor(f, QStringLiteral("b.wav")),
                   rowFor(f, QStringLiteral("c.pcm"))};
    for (int i = 0; i < 3; ++i) {
        rows[i].entry.Tag = 10 + i;
        rows[i].entry.NoiseGate = 5;
        rows[i].entry.Compress = true;
        rows[i].entry.Boost = true;
    }
    // a grows on disk; b moves to f1, c to f2; c's name is stored in other case.
    writeFile(f + QStringLiteral("a.wav"), wave(1, 22050, 8, 4400));
    const QString f1 = freshFolder("moved1");
    const QString f2 = freshFolder("moved2");
    ASSERT_TRUE(QFile::rename(f + QStringLiteral("b.wav"), f1 + QStringLiteral("b.wav")));
    ASSERT_TRUE(QFile::rename(f + QStringLiteral("c.pcm"), f2 + QStringLiteral("C.PCM")));

    SoundRefreshResult r = RefreshSoundRows(rows, QLocale::c());
    EXPECT_EQ(r.missing, 2);
    EXPECT_FALSE(rows[0].item.missing);
    EXPECT_EQ(rows[0].entry.DataBytes, 4400);
    EXPECT_EQ(rows[0].entry.MemUsed, 1100); // half the rate, compressed: a quarter
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(rows[i].entry.Tag, 10 + i);
        EXPECT_EQ(rows[i].entry.NoiseGate, 5);
        EXPECT_TRUE(rows[i].entry.Boost);
    }
    for (int i : {1, 2}) {
        EXPECT_TRUE(rows[i].item.missing);
        EXPECT_EQ(rows[i].entry.Kind, sfkNotSound);
    }

    EXPECT_EQ(RelocateSoundRows(rows, f1.chopped(1)), 1); // a folder given without its separator
    EXPECT_EQ(rows[1].entry.Location, f1);
    EXPECT_EQ(rows[1].item.cells[colLocation], f1);
    EXPECT_EQ(RelocateSoundRows(rows, f1), 0);
    EXPECT_EQ(RelocateSoundRows(rows, f2), 1);
    EXPECT_EQ(rows[2].entry.FileName, QStringLiteral("C.PCM"));

    r = RefreshSoundRows(rows, QLocale::c());
    EXPECT_EQ(r.missing, 0);
    EXPECT_EQ(rows[2].entry.Kind, sfkPcm);
    EXPECT_TRUE(rows[2].entry.Compress);
    EXPECT_EQ(rows[2].item.cells[colTag], QStringLiteral("12"));

    // A name whose case changed on disk is found in place and takes the real case.
    ASSERT_TRUE(QFile::rename(f1 + QStringLiteral("b.wav"), f1 + QStringLiteral("B.Wav")));
    r = RefreshSoundRows(rows, QLocale::c());
    EXPECT_EQ(r.missing, 0);
    EXPECT_TRUE(r.renamed);
    EXPECT_EQ(rows[1].entry.FileName, QStringLiteral("B.Wav"));

    // A file that is there but no sound any more is painted, not counted.
    writeFile(f + QStringLiteral("a.wav"), "RIFF");
    r = RefreshSoundRows(rows, QLocale::c());
    EXPECT_EQ(r.missing, 0);
    EXPECT_TRUE(rows[0].item.missing);
    EXPECT_EQ(rows[0].entry.Tag, 10);
}

} // namespace
