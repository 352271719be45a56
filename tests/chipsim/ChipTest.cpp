// The chip emulator on its own: parser, speed rules, speech pacing, CTS,
// faults and the firmware image convention.
#include "chipsim/Chip.h"
#include "common/Clock.h"

#include <QCoreApplication>
#include <QThread>
#include <gtest/gtest.h>

using namespace chipsim;

namespace {

const QByteArray C("\x01");
const QByteArray NUL(1, '\0');

// Runs the event loop for a while of program time, collecting what the chip
// sends at the given speed.
struct Host
{
    explicit Host(Chip &chip, int baud = 9600) : chip(chip), baud(baud)
    {
        QObject::connect(&chip, &Chip::transmit, [this](const QByteArray &b, int at) {
            if (at == this->baud)
                heard += b;
        });
        chip.setDtr(true);
    }
    void send(const QByteArray &b) { chip.receive(b, baud); }
    void pump(double seconds)
    {
        const double end = vx::Clock::seconds() + seconds;
        while (vx::Clock::seconds() < end) {
            QCoreApplication::processEvents();
            QThread::msleep(1);
        }
    }
    Chip &chip;
    int baud;
    QByteArray heard;
};

} // namespace

TEST(Chip, HandshakeProbeAnswers99AfterCrLocksTheSpeed)
{
    Chip chip;
    Host host(chip, 115200);
    host.send("\r\x18" + C + "99i" + NUL);
    host.pump(0.05);
    EXPECT_EQ(host.heard, QByteArray(1, 99));
    EXPECT_EQ(chip.lineBaud(), 115200);

    // Bytes at another speed are lost, and so are the chip's replies.
    chip.receive(C + "99i" + NUL, 9600);
    host.pump(0.05);
    EXPECT_EQ(host.heard.size(), 1);
    EXPECT_FALSE(chip.byteLog().back().accepted);
    EXPECT_EQ(chip.byteLog().back().baud, 9600);

    // "7h" forgets the speed; the next CR sets it again.
    host.send("\x18" + C + "7h" + NUL);
    EXPECT_EQ(chip.lineBaud(), 0);
    chip.receive("\r\x18" + C + "99i" + NUL, 9600);
    EXPECT_EQ(chip.lineBaud(), 9600);
}

TEST(Chip, TheNulClosingA7hBlockIsTakenAtTheOldSpeed)
{
    Chip chip;
    Host host(chip, 9600);
    host.send("\r");
    // As a program ends its session: CmdChar, "7h", NUL.
    host.send(C + "7h" + NUL);
    EXPECT_EQ(chip.lineBaud(), 0);
    ASSERT_EQ(chip.byteLog().size(), 5);
    for (const LoggedByte &b : chip.byteLog())
        EXPECT_TRUE(b.accepted) << int(b.byte);

    // Written apart (a piece ending after the "h"): the same.
    chip.receive("\r", 57600);
    host.baud = 57600;
    host.send("\x18" + C + "7h");
    host.send(NUL);
    EXPECT_TRUE(chip.byteLog().back().accepted);
    EXPECT_EQ(chip.lineBaud(), 0);

    // Only the very next byte, and only at the speed "7h" came at; after
    // that the chip waits for a CR again.
    chip.receive("\r", 9600);
    chip.receive(C + "7h", 9600);
    chip.receive(NUL, 115200);
    EXPECT_FALSE(chip.byteLog().back().accepted);
    chip.receive(NUL, 9600);
    EXPECT_FALSE(chip.byteLog().back().accepted);
    chip.receive("\r", 9600);
    chip.receive(C + "7hx" + NUL, 9600);
    EXPECT_FALSE(chip.byteLog().back().accepted);
    EXPECT_EQ(chip.lineBaud(), 0);
    chip.receive("\r" + C + "99i" + NUL, 115200);
    EXPECT_EQ(chip.lineBaud(), 115200);
}

TEST(Chip, NoAnswerBeforeDtrAndWhenSilent)
{
    Chip chip;
    EXPECT_FALSE(chip.cts());
    chip.receive("\r" + C + "99i" + NUL, 9600);
    EXPECT_TRUE(chip.acceptedBytes().isEmpty());
    Host host(chip);
    EXPECT_TRUE(chip.cts());

    ChipFaults f;
    f.silent = true;
    chip.setFaults(f);
    host.send("\r" + C + "99i" + NUL);
    host.pump(0.05);
    EXPECT_TRUE(host.heard.isEmpty());
}

TEST(Chip, StuckAt9600IgnoresTheAutoSpeedRule)
{
    Chip chip;
    ChipFaults f;
    f.stuckAt9600 = true;
    chip.setFaults(f);
    Host host(chip, 115200);
    host.send("\r\x18" + C + "99i" + NUL);
    host.send("\x18" + C + "7h" + NUL);
    host.pump(0.05);
    EXPECT_TRUE(host.heard.isEmpty());
    host.baud = 9600;
    host.send("\r\x18" + C + "99i" + NUL);
    host.pump(0.05);
    EXPECT_EQ(host.heard, QByteArray(1, 99));
}

TEST(Chip, CommandsSetRegistersSettingsAndModes)
{
    Chip chip;
    Host host(chip);
    host.send("\r" + C + "0g" + C + "+16g" + C + "+8g" + C + "-8g" + C + "200n" + C + "7v" + C + "3o" + C + "c" + C +
              "12c" + C + "u" + NUL);
    LinkStatus s = chip.statusRecord();
    EXPECT_EQ(s.POR(), 16);
    EXPECT_EQ(s.ACR(), 200);
    EXPECT_EQ(s.volume(), 7);
    EXPECT_EQ(s.voice(), 3);
    EXPECT_EQ(s.mode(), 0);
    EXPECT_EQ(s.charDelay(), 12);
    EXPECT_EQ(s.dictionaryEnabled(), 1);
    host.send(C + "-16g" + C + "t" + C + "14t" + NUL);
    s = chip.statusRecord();
    EXPECT_EQ(s.POR(), 0);
    EXPECT_EQ(s.mode(), 2);
    EXPECT_EQ(s.textDelay(), 14);
    host.send(C + "d" + NUL);
    EXPECT_EQ(chip.statusRecord().mode(), 1);
    ASSERT_FALSE(chip.commandLog().isEmpty());
    EXPECT_EQ(chip.commandLog()[1].sign, '+');
    EXPECT_EQ(chip.commandLog()[1].number, 16);
}

TEST(Chip, SpeaksAtItsPaceAndAnswersMarkersInOrder)
{
    ChipConfig cfg;
    cfg.secondsPerChar = 0.05;
    Chip chip(cfg);
    Host host(chip);
    host.send("\r\x18" + C + "99i" + " hello" + C + "99i" + " world" + " ," + C + "98i");
    host.pump(0.05);
    EXPECT_TRUE(host.heard.isEmpty()) << "nothing is spoken before a NUL";
    host.send(NUL);
    const double acted = vx::Clock::seconds();
    host.pump(0.02);
    ASSERT_EQ(host.heard, QByteArray(1, 99)); // the first marker at once
    // The second marker comes only after " hello" was spoken.
    const auto heardTwo = [&] {
        while (host.heard.size() < 2 && vx::Clock::seconds() < acted + 5)
            host.pump(0.005);
        return vx::Clock::seconds() - acted;
    };
    EXPECT_GE(heardTwo(), 6 * 0.05);
    while (host.heard.size() < 3 && vx::Clock::seconds() < acted + 5)
        host.pump(0.01);
    EXPECT_EQ(host.heard, QByteArray("\x63\x63\x62"));
    EXPECT_TRUE(chip.spokenText().contains(" hello world ,"));

    // CAN stops speech: no marker after it.
    host.heard.clear();
    host.send(" a long text to speak" + C + "98i" + NUL + "\x18");
    host.pump(0.3);
    EXPECT_TRUE(host.heard.isEmpty());
    EXPECT_FALSE(chip.speaking());
}

TEST(Chip, SpeaksAtAChipsPaceUnlessTheEnvironmentSetsAnother)
{
    // The shared test set-up asks for a fast pace; unset or unreadable, the
    // pace is a chip's, 0.07 s a character: a word of five letters and a
    // blank in 0.42 s.
    const QByteArray testPace = qgetenv("VOXMERE_SIM_PACE");
    EXPECT_DOUBLE_EQ(ChipConfig().secondsPerChar, testPace.toDouble());
    for (const char *unset : {"", "fast", "-1"}) {
        qputenv("VOXMERE_SIM_PACE", unset);
        EXPECT_DOUBLE_EQ(ChipConfig::forModel(QStringLiteral("SV3420")).secondsPerChar, 0.07) << unset;
    }
    qputenv("VOXMERE_SIM_PACE", testPace);
}

TEST(Chip, CtsDropsWhileTheInputBufferIsFull)
{
    ChipConfig cfg;
    cfg.inputBufferSize = 16;
    cfg.secondsPerChar = 0.005;
    Chip chip(cfg);
    Host host(chip);
    host.send("\r");
    host.send("0123456789");
    EXPECT_TRUE(chip.cts());
    host.send("0123456789"); // full: spoken without a NUL, CTS off meanwhile
    EXPECT_FALSE(chip.cts());
    host.pump(0.2);
    EXPECT_TRUE(chip.cts());

    ChipFaults f;
    f.ctsStuckLow = true;
    chip.setFaults(f);
    EXPECT_FALSE(chip.cts());
}

TEST(Chip, JunkGoesBeforeEveryReply)
{
    Chip chip;
    ChipFaults f;
    f.junkBeforeReply = QByteArray("\x05\x02\x07", 3);
    chip.setFaults(f);
    Host host(chip);
    host.send("\r" + C + "99i" + NUL);
    host.pump(0.05);
    EXPECT_EQ(host.heard, QByteArray("\x05\x02\x07\x63", 4));
}

TEST(Chip, FirmwareImagesCarryTheirVersionWhereTheProgramReadsIt)
{
    for (int version : {0x0000, 0x0102, 0x7FFF, 0x8001, 0xFFFF}) {
        const QByteArray first = makeFirmwareImage(1, version);
        const QByteArray second = makeFirmwareImage(2, version, 1000);
        EXPECT_EQ(firmwareImagePart(first), 1);
        EXPECT_EQ(firmwareImagePart(second), 2);
        EXPECT_EQ(firmwareImageVersion(first, 1), version);
        EXPECT_EQ(firmwareImageVersion(second, 2), version);
        // The program's reading, step by step: first image bytes 8-13 chained.
        quint8 u = quint8(first[8]) ^ 128;
        quint8 prev = u, u4 = 0, u5 = 0;
        for (int i = 1; i < 6; ++i) {
            u = quint8(first[8 + i]) ^ prev;
            prev = u;
            if (i == 4)
                u4 = u;
            if (i == 5)
                u5 = u;
        }
        EXPECT_EQ(u5 * 256 + u4, version);
        const quint8 s0 = quint8(second[1000 - 132]) ^ 255;
        const quint8 s1 = quint8(second[1000 - 131]) ^ s0;
        EXPECT_EQ(s1 * 256 + s0, version);
    }
    EXPECT_EQ(firmwareImagePart(QByteArray(200, 'x')), 0);
}

TEST(Chip, RecordsDescribeTheBoard)
{
    Chip older(ChipConfig::forModel(QStringLiteral("SV3410")));
    EXPECT_EQ(older.infoRecord().modelBits(), 0);
    EXPECT_EQ(older.infoRecord().rateBits(), 4);
    ChipConfig cfg;
    cfg.moduleCode = 7;
    cfg.firmwareFirst = 0x1234;
    cfg.firmwareSecond = 0xABCD;
    cfg.recMemBytes = -1;
    Chip chip(cfg);
    const ChipInfo info = chip.infoRecord();
    EXPECT_EQ(info.moduleCode(), 7);
    EXPECT_EQ(info.modelBits(), 1);
    EXPECT_EQ(info.byte(7), 0x12);
    EXPECT_EQ(info.byte(6), 0x34);
    EXPECT_EQ(info.byte(5), 0xAB);
    EXPECT_EQ(info.byte(4), 0xCD);
    EXPECT_EQ(chip.statusRecord().recMemBytes(), -1);
    EXPECT_EQ(chip.statusRecord().freeBytes(), -1);
    chip.setRecMemCorrupt(true);
    cfg.recMemBytes = 4096;
    chip.setConfig(cfg);
    EXPECT_EQ(chip.statusRecord().freeBytes(), -2);
}

TEST(Chip, ABoardLeftAt9600AnswersAfterTheSpeedReset)
{
    // The handshake's retry: nothing at 115200, "7h" at 9600, then a CR at
    // 115200 sets the speed.
    ChipConfig cfg;
    cfg.powerUpBaud = 9600;
    Chip chip(cfg);
    Host host(chip, 115200);
    host.send("\r\x18" + C + "99i" + NUL);
    host.pump(0.05);
    EXPECT_TRUE(host.heard.isEmpty());
    chip.receive("\x18" + C + "7h" + NUL, 9600);
    host.send("\r\x18" + C + "99i" + NUL);
    host.pump(0.05);
    EXPECT_EQ(host.heard, QByteArray(1, 99));
}

TEST(Chip, SynthesizerBoardsComeBackAt9600AfterTheSecondImage)
{
    ChipConfig cfg;
    cfg.moduleCode = 4;
    cfg.flashSeconds = 0.05;
    Chip chip(cfg);
    Host host(chip, 57600);
    host.send("\r");
    const QByteArray image = makeFirmwareImage(2, 0x0400, 300);
    QByteArray stream = C + "32?";
    for (int i = 0; i < 4; ++i)
        stream.append(char((image.size() >> (8 * i)) & 0xFF));
    for (int at = 0; at < image.size(); at += 100) {
        const QByteArray block = image.mid(at, 100);
        stream.append(char(block.size()));
        stream.append(block);
    }
    stream.append('\0');
    host.send(stream);
    EXPECT_FALSE(chip.cts()) << "writing the image";
    host.pump(0.1);
    EXPECT_TRUE(chip.cts());
    EXPECT_EQ(chip.infoRecord().firmwareSecond(), 0x0400);
    EXPECT_EQ(chip.lineBaud(), 9600);
    // The result frame went out at the old speed, before the restart.
    EXPECT_EQ(host.heard, QByteArray("\x02\x20\x01\x00\x21", 5));
}
