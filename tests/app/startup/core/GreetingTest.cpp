// Greeting files byte for byte, their size limit and refused commands.
#include "app/startup/Greeting.h"

#include <gtest/gtest.h>

namespace {

GreetingControls fixtureControls()
{
    GreetingControls c;
    c.voice = 3;
    c.sliders = {5, 6, 7, 8, 9, 10, 11, 12, 4};
    c.acr = 0;
    c.por = 16;
    c.pfr = 255;
    c.useDict = true;
    return c;
}

TEST(Greeting, GoldenBytes)
{
    EXPECT_EQ(BuildGreetingFile({}, {}), QByteArray("\r\r\x18\x1e\x01" "255w\0", 10));

    const QString controls = GreetingControlSettings(fixtureControls());
    const QByteArray expectedControls("\x01" "3o\x01" "4t\x01" "5v\x01" "6s\x01" "7p\x01" "8x\x01" "9a\x01"
                                      "10f\x01" "11e\x01" "12r\x01" "0n\x01" "16g\x01" "255b\x01" "u");
    const QString message = GreetingMessageText(QStringLiteral(u"Hi ~5s th\\45re\r\n€"), QStringLiteral("~"));
    EXPECT_EQ(BuildGreetingFile(controls, message),
              QByteArray("\r\r\x18\x1e\x01" "255w") + expectedControls + QByteArray("Hi \x01" "5s thEre\r\n\x80\0", 16));

    // The mode decides the second setting.
    GreetingControls c = fixtureControls();
    c.modeIndex = 1;
    c.useDict = false;
    EXPECT_TRUE(GreetingControlSettings(c).startsWith(QStringLiteral("\x01" "3o\x01" "d\x01" "5v")));
    EXPECT_FALSE(GreetingControlSettings(c).endsWith(QStringLiteral("u")));
    c.modeIndex = 2;
    EXPECT_TRUE(GreetingControlSettings(c).startsWith(QStringLiteral("\x01" "3o\x01" "4c")));
}

TEST(Greeting, SizeLimitCountsWhatIsWritten)
{
    const QString noControls;
    EXPECT_EQ(GreetingExcess(noControls, QString(235, QLatin1Char('a'))), 0);
    EXPECT_EQ(GreetingExcess(noControls, QString(236, QLatin1Char('a'))), 1);
    // An escape counts once it is expanded.
    EXPECT_EQ(GreetingExcess(noControls, GreetingMessageText(QString(234, QLatin1Char('a')) + QStringLiteral("\\41"), {})), 0);

    const QString controls = GreetingControlSettings(fixtureControls());
    const qsizetype room = 235 - controls.size();
    EXPECT_EQ(GreetingExcess(controls, QString(room, QLatin1Char('a'))), 0);
    EXPECT_EQ(GreetingExcess(controls, QString(room + 1, QLatin1Char('a'))), 1);
    EXPECT_TRUE(GreetingTooLongMessage(1, true).startsWith(
        QStringLiteral("You have exceeded the maximum Greeting Message length of 235 bytes by 1 bytes  \r\n(this")));
}

TEST(Greeting, RefusedCommands)
{
    struct Case
    {
        const char *text;
        char group;
    };
    const Case cases[] = {
        {"~l", 'L'},    {"~245l", 'L'}, {"~234L", 'L'}, {"~5l00042", 0}, {"~w", 'W'},   {"~255w", 'W'},
        {"~214W", 'W'}, {"~100w", 0},   {"~12?", '?'},  {"~6?", '?'},    {"~7?", 0},    {"~w ~l", 'L'},
        {"l w ?", 0},
    };
    for (const Case &c : cases)
        EXPECT_EQ(GreetingRefusedGroup(GreetingMessageText(QString::fromLatin1(c.text), QStringLiteral("~"))), c.group)
            << c.text;
    EXPECT_EQ(GreetingRefusedMessage('W'),
              QStringLiteral("'W' command not allowed in Greeting messages. Process terminated. "));
}

} // namespace
