#include "app/panels/AdcSamples.h"
#include "app/panels/Dialer.h"
#include "app/panels/RecorderStatus.h"
#include "platform/Cp1252.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

const QString kCmd = QStringLiteral("\x01");

} // namespace

TEST(Dialer, ByteFormOfTheWorkedTone)
{
    ToneParameters p;
    EXPECT_FALSE(ComputeToneParameters(941, 1336, 500, true, p).has_value());
    EXPECT_EQ(p.minDivider, 40);
    EXPECT_EQ(p.durDivider, 99);
    EXPECT_EQ(p.divider, 79);
    EXPECT_EQ(p.f1Byte, 119);
    EXPECT_EQ(p.f2Byte, 168);
    EXPECT_EQ(p.durByte, 16);
    EXPECT_EQ(ToneCommandText(p, true), QStringLiteral("\\0179j\\10\\77\\A8"));
    const QByteArray live = toCp1252(ToneCommandLive(p, true, kCmd));
    EXPECT_EQ(live, QByteArray("\x18\x01" "79j\x10\x77\xA8", 8) + QByteArray(1, '\0'));

    // Raw bytes above 0x7F go out as themselves (CAN, 01, "99j", then the bytes).
    ToneParameters high;
    ComputeToneParameters(1378, 2746, 500, true, high);
    ASSERT_EQ(high.f1Byte, 0x80);
    const QByteArray bytes = toCp1252(ToneCommandLive(high, true, kCmd));
    EXPECT_EQ(static_cast<unsigned char>(bytes.at(6)), 0x80);
    EXPECT_EQ(static_cast<unsigned char>(bytes.at(7)), 0xFF);
}

TEST(Dialer, DurationsNeverWrap)
{
    // Too long for the higher frequency: the box is lowered to the longest
    // duration the divider allows, and the byte comes from that duration.
    for (const int dur : {16465, 6000, 5949}) {
        ToneParameters p;
        const std::optional<int> lowered = ComputeToneParameters(2746, 0, dur, true, p);
        ASSERT_TRUE(lowered.has_value()) << dur;
        EXPECT_LE(*lowered, dur);
        EXPECT_GE(p.durByte, 1);
        EXPECT_LE(p.durByte, 255) << dur;
    }
    ToneParameters p;
    p.divider = 42;
    ComputeToneParameters(941, 1336, 0, true, p); // no duration: nothing changes
    EXPECT_EQ(p.divider, 42);
    ComputeToneParameters(941, 1336, 23, true, p);
    EXPECT_EQ(p.durByte, 1); // never 0
}

TEST(Dialer, DigitFormAndBoxes)
{
    ToneParameters p;
    ComputeToneParameters(941, 1336, 500, false, p);
    EXPECT_EQ(ToneCommandText(p, false), QStringLiteral("\\0150j09411336"));
    EXPECT_EQ(ToneCommandLive(p, false, kCmd), QChar(24) + kCmd + QStringLiteral("50j09411336") + QChar(0));
    ComputeToneParameters(0, 0, 599999, false, p);
    EXPECT_EQ(p.durText, QStringLiteral("59999"));
    EXPECT_EQ(AppendToneCommand(QString(), QStringLiteral("\\01x")), QStringLiteral("\\01x"));
    EXPECT_EQ(AppendToneCommand(QStringLiteral("a "), QStringLiteral("b")), QStringLiteral("a  b"));

    struct Case
    {
        ToneBox box;
        const char *text;
        bool emulation;
        const char *want;
    };
    const Case cases[] = {
        {ToneBox::Frequency, "", true, "0"},        {ToneBox::Frequency, "3000", true, "2746"},
        {ToneBox::Frequency, "4401", false, "4400"}, {ToneBox::Duration, "", true, "23"},
        {ToneBox::Duration, "20000", true, "16465"}, {ToneBox::Duration, "5", false, "10"},
        {ToneBox::Duration, "700000", false, "599999"}, {ToneBox::Duration, "500", true, "500"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ValidateToneBox(c.box, QString::fromLatin1(c.text), c.emulation), QString::fromLatin1(c.want));
    const DialerKey *five = FindDialerKey(5);
    ASSERT_NE(five, nullptr);
    EXPECT_STREQ(five->caption, "JKL  5");
    EXPECT_EQ(five->f1, 770);
    EXPECT_FALSE(DialerKeyPlays(kPauseKey, false));
    EXPECT_FALSE(DialerKeyPlays(5, true));
    EXPECT_EQ(DialerKeys().size(), 20u);
}

TEST(AdcSamples, SettingsCommandsAndBars)
{
    const int s = AdcSettingsValue(AdcChannels()[5].itemData, true, false, true);
    EXPECT_EQ(s, 91);
    EXPECT_EQ(AdcCommandToolTip(QStringLiteral("SV3420"), s), QStringLiteral("SV3420 command for these settings: 91$"));
    EXPECT_EQ(AdcStartLive(kCmd, s), QChar(24) + kCmd + QStringLiteral("91$") + QChar(0));
    EXPECT_EQ(AdcStopLive(kCmd), kCmd + QStringLiteral("-16$") + QChar(0));
    EXPECT_EQ(AdcChannelLayout(s).channels, 4);
    const std::vector<AdcBar> sweep = DecodeAdcFrame(s, QByteArray("\x01\x02\x03\xFF", 4));
    ASSERT_EQ(sweep.size(), 4u);
    EXPECT_EQ(sweep[3].bar, 3);
    EXPECT_EQ(sweep[3].value, 255);

    const int an2 = AdcSettingsValue(2, false, false, false);
    const std::vector<AdcBar> single = DecodeAdcFrame(an2, QByteArray("\x80", 1));
    ASSERT_EQ(single.size(), 1u);
    EXPECT_EQ(single[0].bar, 2);
    EXPECT_EQ(single[0].value, 128);
    EXPECT_TRUE(AdcSingleConversion(an2));
    EXPECT_FALSE(AdcSingleConversion(AdcSettingsValue(2, false, true, false)));
    EXPECT_TRUE(AdcShouldFlush(103, 1024));
    EXPECT_FALSE(AdcShouldFlush(102, 1024));
    EXPECT_TRUE(DecodeAdcFrame(s, QByteArray()).empty());
}

TEST(RecorderStatus, StatusBytesInOrder)
{
    const std::vector<RecorderStatusAction> a = DecodeRecorderStatuses(QByteArray("\x0F\x0F\x08\x00", 4));
    ASSERT_EQ(a.size(), 4u);
    EXPECT_TRUE(a[0].kilobyte);
    EXPECT_TRUE(a[1].kilobyte);
    EXPECT_EQ(a[2].message, QStringLiteral("Out of recording memory. "));
    EXPECT_TRUE(a[2].stopReception);
    EXPECT_TRUE(a[3].finished);
    EXPECT_TRUE(DecodeRecorderStatus(7).writeError);
    EXPECT_FALSE(DecodeRecorderStatus(12).stopReception);
    EXPECT_TRUE(DecodeRecorderStatus(14).stopReception);
    EXPECT_TRUE(DecodeRecorderStatus(14).message.isEmpty());
    EXPECT_TRUE(DecodeRecorderStatus(200).message.isEmpty());
    EXPECT_EQ(RecordingPercentText(1536, 1152), QStringLiteral("Memory used: 25%"));
    EXPECT_EQ(RecordingPercentText(0, 0), QStringLiteral("Memory used: unknown"));
}

TEST(RecorderStatus, CommandsTextsAndPrompt)
{
    EXPECT_EQ(RecordingCommand(7, true, 42), QStringLiteral("227l00042"));
    EXPECT_EQ(RecordingCommand(0, false, 0), QStringLiteral("0l00000"));
    EXPECT_EQ(RecorderAdcCommand(16), QStringLiteral("144$"));
    EXPECT_EQ(SampleRateLabel(0), QStringLiteral("4 kHz"));
    EXPECT_EQ(UploadToolTip(7), QStringLiteral("Upload sound file from SV3420 (SV3420 command: 245L00007)"));
    EXPECT_EQ(DeleteToolTip(7), QStringLiteral("Delete sound file from SV3420 (SV3420 command: 234L00007)"));
    EXPECT_EQ(ProposedUploadName(QStringLiteral("7"), true), QStringLiteral("Tag7.pcm"));
    EXPECT_TRUE(IsRecMemNumberValid(65534));
    EXPECT_FALSE(IsRecMemNumberValid(65535));
    EXPECT_FALSE(IsRecMemNumberValid(-1));
    EXPECT_EQ(ParmLabel(QStringLiteral("Volume"), 9), QStringLiteral("Volume (0-9):"));

    struct Case
    {
        const char *answer;
        qint64 limit;
        ParmVerdict verdict;
        const char *value;
    };
    const Case cases[] = {
        {"", 9, ParmVerdict::Cancelled, ""},     {"9", 9, ParmVerdict::Accepted, "9"},
        {"10", 9, ParmVerdict::Refused, ""},     {"007", 9, ParmVerdict::Accepted, "7"},
        {"3.7", 13, ParmVerdict::Refused, ""},   {"-1", 13, ParmVerdict::Refused, ""},
        {"&H10", 99, ParmVerdict::Refused, ""},  {"65534", 65534, ParmVerdict::Accepted, "65534"},
        {"99999999999999999999", 65534, ParmVerdict::Refused, ""},
    };
    for (const Case &c : cases) {
        const ParmAnswer a = CheckParmAnswer(QString::fromLatin1(c.answer), c.limit);
        EXPECT_EQ(a.verdict, c.verdict) << c.answer;
        EXPECT_EQ(a.value, QString::fromLatin1(c.value)) << c.answer;
    }
}
