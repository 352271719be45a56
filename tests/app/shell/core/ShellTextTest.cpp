#include "app/shell/CompatRules.h"
#include "app/shell/ListingText.h"
#include "app/shell/UpdateInfo.h"

#include <gtest/gtest.h>

using namespace vx;

TEST(CompatRules, ClicksDuringLoadAreIgnoredAndEveryClickWrites)
{
    CompatQuery q(false, false);
    q.chk3410Clicked(true); // the load setting the box
    EXPECT_FALSE(q.For10());
    q.finishLoading();
    q.chk3410Clicked(true);
    EXPECT_TRUE(q.For10());
    EXPECT_TRUE(q.SV10DataFiles());
    EXPECT_EQ(q.dontShowClicked(true), SettingWrite(QStringLiteral("DisplayCompatQuery"), QStringLiteral("False")));
    EXPECT_EQ(q.dontShowClicked(false), SettingWrite(QStringLiteral("DisplayCompatQuery"), QStringLiteral("True")));
    EXPECT_FALSE(q.done());
    EXPECT_EQ(q.accept(), SettingWrite(QStringLiteral("For10"), QStringLiteral("True")));
    EXPECT_TRUE(q.done());
    EXPECT_EQ(WarningDontShowClicked(true).second, QStringLiteral("False"));
    EXPECT_EQ(ResetNotificationWrites().size(), 2u);
}

TEST(UpdateInfo, AnswersAndVerdicts)
{
    const QString installed = InstalledVersionText(2, 5, 17);
    EXPECT_EQ(installed, QStringLiteral("2.05.0017"));
    struct Case
    {
        const char *body;
        UpdateVerdict verdict;
    };
    const Case cases[] = {
        {"2.05.0017\r\nhttps://example.com/setup.exe\r\nNotes", UpdateVerdict::Latest},
        {"2.5.17\r\nhttp://example.com/setup.exe\r\nFixes\r\nMore", UpdateVerdict::Offer},
        {"", UpdateVerdict::NoInformation},
        {"2.06.0001\r\nhttps://example.com/setup.exe", UpdateVerdict::NoInformation}, // one line end
        {"2.06.0001\r\nfile:///etc/passwd\r\n", UpdateVerdict::NoInformation},
        {"2.06.0001\r\njavascript:alert(1)\r\n", UpdateVerdict::NoInformation},
        {"\r\nhttps://example.com/\r\n", UpdateVerdict::NoInformation},
    };
    for (const Case &c : cases)
        EXPECT_EQ(CheckForUpdate(QString::fromLatin1(c.body), installed).verdict, c.verdict) << c.body;
    const UpdateCheck offer = CheckForUpdate(QStringLiteral("2.5.17\r\nhttp://h/x\r\nFixes\r\nMore"), installed);
    EXPECT_EQ(offer.info.link, QStringLiteral("http://h/x"));
    EXPECT_EQ(offer.info.releaseInfo, QStringLiteral("Fixes\r\nMore"));
}

TEST(UpdateInfo, AboutBoxChipLines)
{
    const std::array<uint8_t, 8> info{0, 0, 0, 1, 0x3C, 0x00, 0x0A, 0x01};
    EXPECT_EQ(ChipVersionText(info, false, true), QStringLiteral("Chipset version 010A.003C (SV3420)"));
    EXPECT_EQ(ChipVersionText(info, true, false), QStringLiteral("Chipset version: n/a"));
    EXPECT_EQ(ChipMemoryText(3584 * 1024, true), QStringLiteral("3,584 KB (15 min) recording memory"));
    EXPECT_EQ(ChipMemoryText(2048 * 1024, true), QStringLiteral("2,048 KB (0 min) recording memory"));
    EXPECT_EQ(ChipMemoryText(0, false), QStringLiteral("Recording memory: n/a"));
}

namespace {

QString cellAt(const ListingLine &line, int column)
{
    for (const ListingCell &c : line.cells) {
        if (c.column == column)
            return c.text;
    }
    return QStringLiteral("<none>");
}

int count(const ListingPage &page, ListingStyle style)
{
    int n = 0;
    for (const ListingLine &l : page.lines)
        n += l.style == style ? 1 : 0;
    return n;
}

} // namespace

TEST(ListingText, SizesAndLocations)
{
    // A wave row works its size out from the format, as it always has; at
    // 48 kHz that is not the window's estimate, which is no concern of a wave.
    ListingSound s;
    s.bitsPerSample = 16;
    s.channels = 2;
    s.sampleRate = 44100;
    s.dataBytes = 1048576;
    EXPECT_EQ(EstimatedChipKB(s), 64);
    s.compress = true;
    EXPECT_EQ(EstimatedChipKB(s), 32);
    s.compress = false;
    s.sampleRate = 48000;
    s.memUsed = 53 * 1024;
    EXPECT_EQ(EstimatedChipKB(s), 64);
    s.kind = 3; // an MP3: the window's estimate
    EXPECT_EQ(EstimatedChipKB(s), 53);

    const QString deep = QStringLiteral("C:\\Sounds\\Library folders\\Effects and more\\Doors\\Creaking\\Old");
    ASSERT_GT(deep.size(), 56);
    EXPECT_EQ(ShortenLocation(deep), QStringLiteral("C:\\Sounds\\Library folders\\Effects and more\\Doors\\..."));
    EXPECT_EQ(ShortenLocation(QStringLiteral("/home/u/x")), QStringLiteral("/home/u/x"));
    EXPECT_EQ(ShortenLocation(QString(60, QLatin1Char('a'))), QStringLiteral("..."));
}

TEST(ListingText, SoundLibraryPages)
{
    ListingHeader h{20, QStringLiteral("Lib.sfl"), QStringLiteral("1/2/2026")};
    Listing empty = SoundLibraryListing(h, {}, 0);
    ASSERT_EQ(empty.size(), 1u);
    EXPECT_EQ(empty[0].lines.size(), 5u); // three empty lines, title, header
    EXPECT_EQ(count(empty[0], ListingStyle::Rule), 0);
    EXPECT_EQ(cellAt(empty[0].lines[4], 60), QStringLiteral("Total files: 0 (0 KB)"));

    std::vector<ListingSound> sounds(20);
    sounds[1].compress = true;
    sounds[2].kind = 2;
    sounds[0].boost = true;
    const Listing pages = SoundLibraryListing(h, sounds, 3 * 1024 + 512);
    // 20 lines a page break once the counter passes 12: the first page
    // holds 3 rows (6 + rule 2 + headings 2), each later one 5 (4 + 2 + 2).
    ASSERT_EQ(pages.size(), 5u);
    EXPECT_EQ(cellAt(pages[0].lines[4], 60), QStringLiteral("Total files: 20 (4 KB)"));
    EXPECT_EQ(cellAt(pages[0].lines[4], 134), QStringLiteral("<none>"));
    const ListingLine &headings = pages[0].lines[8];
    EXPECT_EQ(headings.style, ListingStyle::Headings);
    EXPECT_EQ(cellAt(headings, 84), QStringLiteral("LOCATION"));
    EXPECT_EQ(cellAt(pages[0].lines[10], 35), QString(QChar(0x2022)));
    EXPECT_EQ(cellAt(pages[0].lines[10], 28), QStringLiteral("<none>"));
    EXPECT_EQ(cellAt(pages[0].lines[11], 28), QString(QChar(0x2022)));
    EXPECT_EQ(cellAt(pages[0].lines[12], 28), QString(QChar(0x2022)));
    EXPECT_EQ(cellAt(pages[0].lines[12], 48), QStringLiteral("0K"));
    EXPECT_EQ(cellAt(pages[1].lines[3], 10), QStringLiteral("File name: Lib.sfl"));
    EXPECT_EQ(cellAt(pages[1].lines[3], 134), QStringLiteral("Page 2"));
    EXPECT_EQ(pages[1].lines[7].style, ListingStyle::Headings);
    EXPECT_EQ(cellAt(pages[1].lines[9], 10), QStringLiteral("3")); // rows numbered from 0
    EXPECT_EQ(pages[4].lines.size(), 11u);                          // the last two rows
}

TEST(ListingText, GridRowsSplitAndPaginate)
{
    ListingHeader h{20, QStringLiteral("Words.dic"), QStringLiteral("now")};
    QStringList rows(13, QStringLiteral("row"));
    rows[0] = QString(145, QLatin1Char('a')) + QString(145, QLatin1Char('b')) + QString(10, QLatin1Char('c'));
    const Listing pages = GridListing(h, true, rows);
    EXPECT_EQ(cellAt(pages[0].lines[3], 10), QStringLiteral("SV3410/20 Dictionary"));
    EXPECT_EQ(cellAt(pages[0].lines[8], 10), QString(145, QLatin1Char('a')));
    EXPECT_EQ(cellAt(pages[0].lines[10], 10), QString(10, QLatin1Char('c')));
    // 15 printed lines: 5 on the first page, 7 on the second, 3 on the third;
    // a listing that ends exactly at a page end adds no empty page.
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(count(pages[2], ListingStyle::Rule), 1);
    EXPECT_EQ(GridListing(h, false, rows.mid(0, 3)).size(), 1u);
}
