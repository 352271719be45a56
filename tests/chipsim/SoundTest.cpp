// Tones in both forms and as a music stream, and real-time sound at the
// fast speed, sent as the programs send them.
#include "Rig.h"

#include <gtest/gtest.h>

using namespace linktest;

TEST(Sound, ToneCommandsInBothFormsAndTheMusicStream)
{
    const QByteArray closing("\x00\x00\x01\x01\x00\x00\x00\x00" "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x18", 20);
    const struct
    {
        QByteArray setup, stream;
        QVector<chipsim::ToneEvent> tones;
    } cases[] = {
        // Emulation: the divider, then length and frequencies as bytes (0 is 256).
        {C + "-16g", "\x18" + C + "79j" + QByteArray("\x10\x77\xA8", 3) + NUL,
         {{false, 119 * 603.0 / 76, 168 * 603.0 / 76, 16 * 76 / 2410.0, 0, {}, 0, 0}}},
        {C + "-16g", "\x18" + C + "99j" + QByteArray("\x00\x18\x00", 3) + NUL,
         {{false, 24 * 603.0 / 56, 0, 256 * 56 / 2410.0, 0, {}, 0, 0}}},
        // Native: the length in 10 ms, then eight digits; two tones at once.
        {"", "\x18" + C + "50j07701336 " + C + "59999j03500440" + NUL,
         {{false, 770, 1336, 0.5, 0, {}, 0, 0}, {false, 350, 440, 599.99, 0, {}, 0, 0}}},
        // The music stream: settings, events (any byte is data), closing records.
        {"", "\x18" + C + "j" + QByteArray("\x00\xFF\x56\x00" "\x30\x80\x40\x00" "\x18\x18\x00\x01", 12) + closing,
         {{true, 0, 0, 60 / 86.0, 48, {128, 64, 0}, 255, 86}, {true, 0, 0, 30 / 86.0, 24, {24, 0, 1}, 255, 86}}},
    };
    for (const auto &c : cases) {
        SimLine line;
        line.send(c.setup + NUL + c.stream);
        const auto &got = line.chip->tones();
        ASSERT_EQ(got.size(), c.tones.size()) << c.stream.toHex().constData();
        for (qsizetype i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].music, c.tones[i].music);
            EXPECT_DOUBLE_EQ(got[i].f1, c.tones[i].f1);
            EXPECT_DOUBLE_EQ(got[i].f2, c.tones[i].f2);
            EXPECT_NEAR(got[i].seconds, c.tones[i].seconds, 1e-9);
            EXPECT_EQ(got[i].ticks, c.tones[i].ticks);
            EXPECT_EQ(got[i].divisors, c.tones[i].divisors);
            EXPECT_EQ(got[i].volume, c.tones[i].volume);
            EXPECT_EQ(got[i].tempo, c.tones[i].tempo);
        }
        EXPECT_TRUE(line.chip->spokenText().trimmed().isEmpty());
    }
}

TEST(Sound, TonesPlayInTurnAndHoldTheHostBack)
{
    SimLine line;
    line.send("\x18" + C + "j" + QByteArray("\x00\xFF\x56\x00", 4)); // tempo 86: 48 ticks take 0.7 s
    line.send(QByteArray("\x30\x01\x02\x03", 4));
    EXPECT_FALSE(line.comm.CTSHolding()) << "while the tone plays";
    const double sent = vx::Clock::seconds();
    line.send(QByteArray("\x30\x01\x02\x03", 4));
    EXPECT_GE(vx::Clock::seconds() - sent, 0.6);
    line.send(QByteArray("\x00\x00\x01\x01\x18", 5));
    EXPECT_TRUE(line.comm.CTSHolding()) << "CAN stops the tone";
    EXPECT_FALSE(line.chip->playingTones());
}

TEST(Sound, RealTimeSoundAtTheFastSpeedThenBack)
{
    const QByteArray plain = QByteArray::fromHex("0102030405060708090a0b0c0d0e0f10");
    const QByteArray marked = chipsim::makeMarkedPcm(78, 5, QByteArray::fromHex("112233445566778899"));
    const struct
    {
        QByteArray command, blocks; // blocks as the player sends them, end mark included
        QByteArray header, data;
        bool ended;
    } cases[] = {
        {"78#", plain + '\x80', "", plain, true},
        {"206%", marked.mid(7), marked.mid(7, 9), QByteArray::fromHex("112233445566778899"), true},
        {"78#", plain.left(5), "", plain.left(5), true}, // stopped early: the end mark ends it
        {"78#", QByteArray(1, '\x80'), "", "", true},
    };
    for (const auto &c : cases) {
        SimLine line;
        line.send("\x18" + C + c.command);
        EXPECT_EQ(line.chip->lineBaud(), 115200);
        line.setSpeed(QStringLiteral("115200"));
        line.send(c.blocks);
        ASSERT_TRUE(pumpUntil([&] { return line.comm.CTSHolding(); })) << "played out";
        line.send(QByteArray("\x80\x80"));
        ASSERT_TRUE(pumpUntil([&] { return line.comm.CTSHolding(); }));
        pump(0.1);
        line.setSpeed(QStringLiteral("9600"));
        ASSERT_EQ(line.chip->pcmPlays().size(), 1);
        const chipsim::PcmPlay &p = line.chip->pcmPlays()[0];
        EXPECT_EQ(p.rateCode, 78);
        EXPECT_EQ(p.compressed, c.command.endsWith('%'));
        EXPECT_EQ(p.header, c.header);
        EXPECT_EQ(p.data, c.data);
        EXPECT_EQ(p.ended, c.ended);
        for (const chipsim::LoggedByte &b : line.chip->byteLog())
            EXPECT_TRUE(b.accepted) << int(b.byte) << " at " << b.baud;
        line.send(C + "99i" + NUL);
        EXPECT_EQ(line.read(), QByteArray("c")) << "the line is back at its speed";
        EXPECT_TRUE(line.chip->spokenText().isEmpty());
    }
}
