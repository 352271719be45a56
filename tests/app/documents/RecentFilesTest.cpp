// The recent-file list in the settings store, and what opening a file does by its name.

#include "app/documents/RecentFiles.h"
#include "platform/FileNames.h"
#include "platform/Settings.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

namespace {

class RecentList : public ::testing::Test
{
protected:
    void SetUp() override
    {
        DeleteSetting(QStringLiteral("Voxmere"), QStringLiteral("Recent Files"));
        for (int i = 5; i >= 1; --i)
            PushRecentFile(QStringLiteral("/d/%1.txt").arg(i));
    }
    static QString list() { return RecentFiles().join(QLatin1Char(',')).remove(QStringLiteral("/d/")).remove(QStringLiteral(".txt")); }
};

TEST_F(RecentList, MovesRemovesAndKeepsEight)
{
    EXPECT_EQ(list(), QStringLiteral("1,2,3,4,5"));
    MoveRecentFileToTop(4);
    EXPECT_EQ(list(), QStringLiteral("4,1,2,3,5"));
    EXPECT_EQ(RemoveRecentFile(3), 5); // entry 2 of the original order
    EXPECT_EQ(list(), QStringLiteral("4,1,3,5"));
    EXPECT_TRUE(RecentFile(5).isEmpty());

    // A listed path keeps its place; the comparison minds case.
    AddRecentFilePath(QStringLiteral("/d/5.txt"));
    EXPECT_EQ(list(), QStringLiteral("4,1,3,5"));
    EXPECT_TRUE(IsRecentFile(QStringLiteral("/d/3.txt")));
    EXPECT_FALSE(IsRecentFile(QStringLiteral("/D/3.txt")));
    for (int i = 6; i <= 10; ++i)
        AddRecentFilePath(QStringLiteral("/d/%1.txt").arg(i));
    EXPECT_EQ(list(), QStringLiteral("10,9,8,7,6,4,1,3"));
    EXPECT_EQ(RecentMenuCaption(3, QStringLiteral("/x/notes.TXT")), QStringLiteral("&3 notes.TXT"));
    EXPECT_EQ(RecentButtonText(3, QStringLiteral("/x/notes.TXT")), QStringLiteral("3 - notes.TXT"));
    // An "&" in the name shows as it is; the number stays the mnemonic.
    EXPECT_EQ(RecentMenuCaption(2, QStringLiteral("/x/R&D notes.txt")), QStringLiteral("&2 R&&D notes.txt"));
    EXPECT_EQ(RecentButtonText(2, QStringLiteral("/x/R&D notes.txt")), QStringLiteral("2 - R&&D notes.txt"));
}

// A name that is not UTF-8 keeps its bytes in the store, through every move;
// other paths are stored as they always were, and read as they are.
TEST_F(RecentList, ANameThatIsNotUtf8KeepsItsBytes)
{
    const QByteArray raw("/d/caf\xe9.txt");
    AddRecentFilePath(vx::fileNameFromBytes(raw));
    PushRecentFile(QStringLiteral("/d/100%.txt"));
    MoveRecentFileToTop(3);
    RemoveRecentFile(1);
    // As the next start reads the list: from the file, not this process's copy.
    const QString ini = vx::settingsFilePath(QStringLiteral("Voxmere"));
    vxtest::writeAll(ini, vxtest::readAll(ini) + "\n");
    EXPECT_EQ(vx::fileNameBytes(RecentFile(2)), raw);
    EXPECT_TRUE(IsRecentFile(vx::fileNameFromBytes(raw)));
    EXPECT_EQ(RecentFile(1), QStringLiteral("/d/100%.txt"));
    EXPECT_EQ(GetSetting(QStringLiteral("Voxmere"), QStringLiteral("Recent Files"), QStringLiteral("RecentFile1")),
              QStringLiteral("/d/100%.txt"));
}

TEST(OpenAction, ByNameAndHead)
{
    const struct
    {
        const char *path;
        OpenAction action;
    } rows[] = {
        {"/a/SONGS.DIC", OpenAction::Dictionary}, {"notes.Txt", OpenAction::Text},
        {"x.sfl", OpenAction::SoundLib},          {"x.tgn", OpenAction::Music},
        {"x.dix", OpenAction::DownloadDictionary}, {"x.SFX", OpenAction::DownloadSoundLibrary},
        {"x.grt", OpenAction::DownloadGreeting},  {"x.tgx", OpenAction::PlayMusic},
        {"x.mp3", OpenAction::PlaySound},         {"x.wave", OpenAction::None},
        {"dic", OpenAction::None},
    };
    for (const auto &r : rows)
        EXPECT_EQ(OpenActionFor(QLatin1String(r.path)), r.action) << r.path;
    EXPECT_TRUE(NeedsChip(OpenAction::DownloadDictionary));
    EXPECT_FALSE(NeedsChip(OpenAction::Text));
    EXPECT_EQ(DocumentKindFor(QStringLiteral("voices.dat"), "\"KWLIB\"\r\n4\r\n"), OpenAction::SoundLib);
    EXPECT_EQ(DocumentKindFor(QStringLiteral("voices.dat"), "hello"), OpenAction::Text);
    EXPECT_EQ(DocumentKindFor(QStringLiteral("a.TGN"), ""), OpenAction::Music);
}

} // namespace
