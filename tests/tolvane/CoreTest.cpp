// The download utility's plain rules: chip information texts, queue rows,
// file kinds, the drop window's measures and the stored settings.
#include "tolvane/ChipInfoText.h"
#include "tolvane/FileTypes.h"
#include "tolvane/Globals.h"
#include "tolvane/TaskQueue.h"
#include "tolvane/TolvanePrefs.h"

#include "platform/FileNames.h"
#include "platform/Settings.h"
#include "tests/support/Files.h"
#include "tests/support/TestEnv.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <filesystem>

using namespace tolv;

namespace {

LinkStatus status(int buffer, qint32 total, qint32 free, qint32 files)
{
    LinkStatus s;
    s.set16(LinkStatus::OffInputBufferSize, buffer);
    s.set32(LinkStatus::OffRecMemBytes, total);
    s.set32(LinkStatus::OffFreeBytes, free);
    s.set32(LinkStatus::OffFileCount, files);
    return s;
}

ChipInfo info(uint8_t model, uint8_t b7, uint8_t b6, uint8_t b5, uint8_t b4)
{
    ChipInfo i;
    i.setByte(3, model);
    i.setByte(7, b7);
    i.setByte(6, b6);
    i.setByte(5, b5);
    i.setByte(4, b4);
    return i;
}

} // namespace

TEST(ChipInfoText, FormatsEveryField)
{
    struct Row
    {
        LinkStatus s;
        ChipInfo i;
        const char *family, *version, *buffer, *total, *avail, *files;
        bool corrupt;
    };
    const Row rows[] = {
        {status(2048, 1536 * 1024, 512000, 3), info(1, 2, 0, 0, 0x48), "SV3420", "0200.0048", "2 KB", "1,536 KB", "500 KB", "3", false},
        {status(1536, 0, 5300, 0), info(0x0D, 6, 0, 0, 0x12), "SV3420", "0600.0012", "1.5 KB", " KB", "5.2 KB", "0", false},
        {status(1024, 2048 * 1024, 10752, 1234), info(2, 0x0A, 0, 0xFF, 1), "SV3410", "0A00.FF01", "1 KB", "2,048 KB", "11 KB", "1,234", false},
        {status(1024, 4096, 0, 0), info(1, 0, 0, 0, 0), "SV3420", "0000.0000", "1 KB", "4 KB", "0.0 KB", "0", false},
        {status(1024, 4096, -2, 7), info(1, 0, 0, 0, 0), "SV3420", "0000.0000", "1 KB", "4 KB", "n/a", "n/a", true},
        {status(1024, 4096, -1, 7), info(1, 0, 0, 0, 0), "SV3420", "0000.0000", "1 KB", "4 KB", "n/a", "n/a", false},
    };
    for (const Row &r : rows) {
        const ChipInfoTexts t = FormatChipInfo(r.s, r.i);
        SCOPED_TRACE(r.version);
        EXPECT_TRUE(t.known);
        EXPECT_EQ(t.family, QLatin1String(r.family));
        EXPECT_EQ(t.version, QLatin1String(r.version));
        EXPECT_EQ(t.buffer, QLatin1String(r.buffer));
        EXPECT_EQ(t.total, QLatin1String(r.total));
        EXPECT_EQ(t.avail, QLatin1String(r.avail));
        EXPECT_EQ(t.files, QLatin1String(r.files));
        EXPECT_EQ(t.corrupt, r.corrupt);
    }
    // No recording memory reported: the page keeps what it shows.
    EXPECT_FALSE(FormatChipInfo(LinkStatus::empty(), ChipInfo()).known);
}

TEST(FileDrop, QueueRowsAndFileKinds)
{
    const QString here = QDir::currentPath();
    const QVector<QueueEntry> q = BuildQueue({QStringLiteral("/tmp/a b/x.dix"), QString(), QStringLiteral("  "),
                                              QStringLiteral("y.PCM"), QStringLiteral("dir/z.txt")});
    ASSERT_EQ(q.size(), 3);
    EXPECT_EQ(q[0].text, QStringLiteral(" X.dix"));
    EXPECT_EQ(q[1].text, QStringLiteral(" Y.pcm"));
    EXPECT_EQ(q[2].text, QStringLiteral(" Z.txt"));
    EXPECT_EQ(q[0].path, QStringLiteral("/tmp/a b/x.dix"));
    EXPECT_EQ(q[1].path, here + QStringLiteral("/y.PCM"));
    EXPECT_EQ(q[2].path, here + QStringLiteral("/dir/z.txt"));

    // A relative name in a folder, both not UTF-8, keeps its bytes.
    const QByteArray folder = QFile::encodeName(QString::fromStdString(vxtest::freshDir("queue"))) + "/f\xfe";
    ASSERT_TRUE(std::filesystem::create_directory(folder.constData()));
    std::filesystem::current_path(folder.constData());
    const QVector<QueueEntry> raw = BuildQueue({vx::fileNameFromBytes("bad\xff.dix")});
    QDir::setCurrent(here);
    ASSERT_EQ(raw.size(), 1);
    EXPECT_EQ(vx::fileNameBytes(raw[0].path), folder + "/bad\xff.dix");

    for (const char *ok : {"a.pcm", "b.SFX", "c.dix", "d.grt", "FIRM.BIN"})
        EXPECT_TRUE(isDownloadable(QLatin1String(ok))) << ok;
    for (const char *bad : {"a.txt", "b.wav", "c", "", "tone.xpcm"})
        EXPECT_FALSE(isDownloadable(QLatin1String(bad))) << bad;
    EXPECT_EQ(ProperCase(QStringLiteral("my SOUND lib.sfx")), QStringLiteral("My Sound Lib.sfx"));
}

TEST(FileDrop, LayoutKeepsFullMeasureWhenSmall)
{
    const FileDropLayout big = fileDropLayout(6350, 2600);
    EXPECT_EQ(big.listHeight, 1600);
    EXPECT_EQ(big.listWidth, 6210);
    EXPECT_EQ(big.comInfoTop, 1820);
    EXPECT_EQ(big.cancelTop, 1650);
    EXPECT_EQ(big.cancelLeft, 4850);
    const FileDropLayout small = fileDropLayout(1200, 900);
    EXPECT_EQ(small.listHeight, 900);
    EXPECT_EQ(small.cancelAckTop, 900);
    EXPECT_EQ(small.comInfoTop, 120);
    EXPECT_EQ(small.cancelLeft, 1200);
}

TEST(Prefs, StoredValuesOutsideTheListsReadAsDefaults)
{
    const QString app = appName();
    const QString section = QStringLiteral("Settings");
    struct Row
    {
        const char *port, *baud;
        int expectPort, expectBaud;
    };
    for (const Row &r : {Row{"3", "10", 3, 10}, Row{"40", "0", 0, 10}, Row{"-1", "11", 0, 10}, Row{"abc", "6", 0, 6}}) {
        SaveSetting(app, section, QStringLiteral("Port"), QLatin1String(r.port));
        SaveSetting(app, section, QStringLiteral("BaudRate"), QLatin1String(r.baud));
        readSettings();
        EXPECT_EQ(G.Port, r.expectPort) << r.port;
        EXPECT_EQ(G.BaudRate, r.expectBaud) << r.baud;
    }
    EXPECT_NE(vx::settingsFilePath(app), vx::settingsFilePath(QStringLiteral("Voxmere")));
    EXPECT_EQ(versionToolTip(2, 0, 48), QStringLiteral("Version 2.00.0048"));
    EXPECT_EQ(portInfoText(3, 10), QStringLiteral("COM3:115200"));
    EXPECT_EQ(windowTitle(), QStringLiteral("Tolvane 2.0"));
}

TEST(Help, TheMainWindowsTopicHasItsSection)
{
    EXPECT_TRUE(vxtest::hasHelpTopic(vxtest::shippedHelpFile("Tolvane"), kHelpTopic));
}
