#include "app/startup/MainWindowRules.h"
#include "platform/Settings.h"

#include <gtest/gtest.h>

using namespace mainwin;

namespace {

void store(const char *key, const QString &value)
{
    SaveSetting(appName(), QStringLiteral("Settings"), QLatin1String(key), value);
}

void clearGeometry()
{
    for (const char *k : {"MDIWidth", "MDIHeight", "MDILeft", "MDITop", "MDIWindowState"})
        DeleteSetting(appName(), QStringLiteral("Settings"), QLatin1String(k));
}

} // namespace

TEST(MainWindowRules, KeepsAtLeast100TwipsOnScreen)
{
    // 13200 wide on a 19200 screen: left may go down to -13100 and up to 19100.
    EXPECT_EQ(placeOnScreen(-13100, 13200, 19200), -13100);
    EXPECT_EQ(placeOnScreen(-13101, 13200, 19200), 3000);
    EXPECT_EQ(placeOnScreen(19100, 13200, 19200), 19100);
    EXPECT_EQ(placeOnScreen(19101, 13200, 19200), 3000);
    EXPECT_EQ(placeOnScreen(-20000, 13200, 19200), 3000);
    // A window wider than the screen centres to the left of it.
    EXPECT_EQ(centredPosition(12000, 13201), -600);
}

TEST(MainWindowRules, GeometryDefaultsAndBadValues)
{
    clearGeometry();
    MainGeometry g = readMainGeometry(19200, 15360);
    EXPECT_EQ(g.width, 13200);
    EXPECT_EQ(g.height, 9330);
    EXPECT_EQ(g.left, 3000);
    EXPECT_EQ(g.top, 3015);
    EXPECT_EQ(g.windowState, 0);
    // Opened wider where the screen allows, and centred at that width; never
    // narrower than the default, never wider than the screen.
    const struct
    {
        int wanted, width;
    } wider[] = {{16000, 16000}, {25000, 19200}, {9000, 13200}};
    for (const auto &w : wider) {
        g = readMainGeometry(19200, 15360, w.wanted);
        EXPECT_EQ(g.width, w.width) << w.wanted;
        EXPECT_EQ(g.left, (19200 - w.width) / 2) << w.wanted;
    }
    EXPECT_EQ(readMainGeometry(12000, 9000, 16000).width, 13200);

    // A stored left of -20000 leaves too little on screen: centred instead.
    store("MDILeft", QStringLiteral("-20000"));
    store("MDITop", QStringLiteral("700"));
    g = readMainGeometry(19200, 15360);
    EXPECT_EQ(g.left, 3000);
    EXPECT_EQ(g.top, 700);

    // Text that is no number reads as the default rather than stopping the start.
    store("MDIWidth", QStringLiteral("wide"));
    store("MDIHeight", QStringLiteral("8000"));
    store("MDIWindowState", QStringLiteral("x"));
    store("MDITop", QStringLiteral(""));
    g = readMainGeometry(19200, 15360);
    EXPECT_EQ(g.width, 13200);
    EXPECT_EQ(g.height, 8000);
    EXPECT_EQ(g.top, (15360 - 8000) / 2);
    EXPECT_EQ(g.windowState, 0);

    saveMainGeometry({10000, 7000, 15, -30, 2});
    EXPECT_EQ(GetSetting(appName(), QStringLiteral("Settings"), QStringLiteral("MDIWidth")), QStringLiteral("10000"));
    EXPECT_EQ(GetSetting(appName(), QStringLiteral("Settings"), QStringLiteral("MDITop")), QStringLiteral("-30"));
    g = readMainGeometry(19200, 15360, 16000);
    EXPECT_EQ(g.width, 10000);
    EXPECT_EQ(g.left, 15);
    EXPECT_EQ(g.top, -30);
    EXPECT_EQ(g.windowState, 2);
    clearGeometry();
}

TEST(MainWindowRules, ChipsetPanel)
{
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3420"), 1536 * 1024, 1536 * 1024),
              QStringLiteral("Chipset: SV3420/1,536 KB (7 min)"));
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3410"), 512 * 1024, 512 * 1024),
              QStringLiteral("Chipset: SV3410/512 KB (2 min)"));
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3420"), 3584 * 1024, 3584 * 1024),
              QStringLiteral("Chipset: SV3420/3,584 KB (15 min)"));
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3420"), 7680 * 1024, 7680 * 1024),
              QStringLiteral("Chipset: SV3420/7,680 KB (33 min)"));
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3420"), 2048 * 1024, 2048 * 1024),
              QStringLiteral("Chipset: SV3420/2,048 KB (0 min)"));
    // Not available.
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3420"), -1, -1), QStringLiteral("Chipset: SV3420/0 KB (0 min)"));
    // The minutes compare the exact size: a byte off is no known part.
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3420"), 1536 * 1024 + 1, 1536 * 1024 + 1),
              QStringLiteral("Chipset: SV3420/1,536 KB (0 min)"));
    // Memories of 32 MB and more keep their size.
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3420"), 32 * 1024 * 1024, 32 * 1024 * 1024),
              QStringLiteral("Chipset: SV3420/32,768 KB (0 min)"));
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3420"), 0x7fffffff, 0x7fffffff),
              QStringLiteral("Chipset: SV3420/2,097,152 KB (0 min)"));
    // Half a KB rounds to even.
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3420"), 512, 512), QStringLiteral("Chipset: SV3420/0 KB (0 min)"));
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3420"), 1536, 1536), QStringLiteral("Chipset: SV3420/2 KB (0 min)"));
    // The second read decides the minutes.
    EXPECT_EQ(chipsetPanelText(QStringLiteral("SV3420"), 1536 * 1024, 512 * 1024),
              QStringLiteral("Chipset: SV3420/1,536 KB (2 min)"));

    EXPECT_EQ(dictionaryPanelText(true), QStringLiteral("Dictionary: (unknown)"));
    EXPECT_EQ(dictionaryPanelText(false), QStringLiteral("Dictionary: (none)"));
    EXPECT_EQ(formatThousands(-1234567), QStringLiteral("-1,234,567"));
    EXPECT_EQ(formatThousands(999), QStringLiteral("999"));
}

TEST(MainWindowRules, CommandLineAndVersion)
{
    EXPECT_EQ(commandLineFile(QStringLiteral("  \"/home/u/My Texts/a.txt\"  ")),
              QStringLiteral("/home/u/My Texts/a.txt"));
    EXPECT_EQ(commandLineFile(QStringLiteral(" /tmp/b.dic ")), QStringLiteral("/tmp/b.dic"));
    EXPECT_EQ(commandLineFile(QString()), QString());
    EXPECT_EQ(commandLineFile(QStringLiteral("\"")), QString());
    // The start-up moves to the program folder before it opens the file, so
    // a relative name is made absolute against the folder it was started in.
    const QString here = QStringLiteral("/home/u/work");
    EXPECT_EQ(commandLineFile(commandLineOf({QStringLiteral("notes.txt")}, here)),
              QStringLiteral("/home/u/work/notes.txt"));
    EXPECT_EQ(commandLineFile(commandLineOf({QStringLiteral("My"), QStringLiteral("Texts/a.txt")}, here)),
              QStringLiteral("/home/u/work/My Texts/a.txt"));
    EXPECT_EQ(commandLineFile(commandLineOf({QStringLiteral("\"../b.dic\"")}, here)),
              QStringLiteral("/home/u/b.dic"));
    EXPECT_EQ(commandLineOf({QStringLiteral("/tmp/b.dic")}, here), QStringLiteral("/tmp/b.dic"));
    EXPECT_EQ(commandLineOf({}, here), QString());
    EXPECT_EQ(commandLineOf({QStringLiteral("  ")}, here), QStringLiteral("  "));
    EXPECT_EQ(splashVersionText(1, 2, 3), QStringLiteral("Version 1.02.0003"));
    EXPECT_EQ(splashVersionText(2, 10, 12345), QStringLiteral("Version 2.10.12345"));
}
