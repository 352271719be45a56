// The chip's settings as the control panels send them and read them back
// from the status record: native and emulation ranges, wrap and saturate,
// modes, registers and the defaults.
#include "Rig.h"

#include <gtest/gtest.h>

using namespace linktest;

namespace {

using L = LinkStatus;

struct Case
{
    const char *model;
    QByteArray setup; // commands sent first
    QByteArray command;
    int offset;
    int expected;
};

} // namespace

TEST(Voice, EveryCommandReadsBackFromTheStatusRecord)
{
    const Case cases[] = {
        // Native: POR bits 4 and 7 set at power-up.
        {"sim", "", "7v", L::OffVolume, 7},
        {"sim", "", "13s", L::OffSpeed, 13},
        {"sim", "", "60p", L::OffPitch, 60},
        {"sim", "", "2x", L::OffTone, 2},
        {"sim", "", "3a", L::OffArticulation, 3},
        {"sim", "", "99f", L::OffFormant, 99},
        {"sim", "", "4e", L::OffExpression, 4},
        {"sim", "", "6r", L::OffReverb, 6},
        {"sim", "", "10o", L::OffVoice, 10},
        {"sim", "", "10o", L::OffPitch, 80}, // the voice brings its preset
        {"sim", "", "9t", L::OffTextDelay, 9},
        {"sim", "", "12c", L::OffCharDelay, 12},
        {"sim", "", "12c", L::OffMode, 2}, // a delay leaves the mode alone
        {"sim", "", "200n", L::OffACR, 200},
        {"sim", "", "5b", L::OffPFR, 5},
        {"sim", "", "+8g", L::OffPOR, 0x98},
        {"sim", "", "-128g", L::OffPOR, 0x10},
        {"sim", "", "c", L::OffMode, 0},
        {"sim", "", "d", L::OffMode, 1},
        {"sim", "\x01" "c", "t", L::OffMode, 2},
        {"sim", "", "t\x01u", L::OffDictEnabled, 1},
        {"sim", "\x01u", "t", L::OffDictEnabled, 0},
        // Beyond a range: wraps, or saturates with POR bit 6.
        {"sim", "", "14s", L::OffSpeed, 0},
        {"sim", "", "100p", L::OffPitch, 0},
        {"sim", "", "20t", L::OffTextDelay, 4},
        {"sim", "\x01+64g", "14s", L::OffSpeed, 13},
        {"sim", "\x01+64g", "-3v", L::OffVolume, 0},
        // Emulation (POR bit 4 clear) and module compatibility (bit 7 clear):
        // the narrow ranges, and values beyond them stop at their ends.
        {"sim", "\x01-16g", "13s", L::OffSpeed, 3},
        {"sim", "\x01-16g", "10o", L::OffVoice, 2},
        {"sim", "\x01-128g", "99f", L::OffFormant, 9},
        {"sim", "\x01" "13s", "-16g", L::OffSpeed, 9},
        {"sim", "\x01" "10o", "-16g", L::OffVoice, 7},
        // Defaults back, the registers with them.
        {"sim", "\x01" "9v\x01" "0g\x01" "d", "@", L::OffVolume, 5},
        {"sim", "\x01" "9v\x01" "0g\x01" "d", "@", L::OffPOR, 0x90},
        {"sim", "\x01" "9v\x01" "0g\x01" "d", "@", L::OffMode, 2},
        // The older chip has no bits 2 to 4 and only the narrow ranges.
        {"sim:SV3410", "", "+28g", L::OffPOR, 0x80},
        {"sim:SV3410", "", "13s", L::OffSpeed, 3},
        {"sim:SV3410", "", "@", L::OffFormant, 5},
    };
    for (const Case &c : cases) {
        SimLine line(QStringLiteral("9600"), c.model);
        if (!c.setup.isEmpty())
            line.send(c.setup + NUL);
        line.send(C + c.command + NUL);
        EXPECT_EQ(line.chip->statusRecord().get16(c.offset), c.expected)
            << c.model << " " << c.setup.constData() << " then " << c.command.constData() << " at " << c.offset;
    }
}

TEST(Voice, TheStatusRecordHoldsTheBoardAndItsMemory)
{
    SimLine line;
    line.chip->addRecFile(7, QByteArray(1000, 'x'));
    const LinkStatus s = line.chip->statusRecord();
    EXPECT_EQ(s.inputBufferSize(), 1024);
    EXPECT_EQ(s.recMemBytes(), 1536 * 1024);
    EXPECT_EQ(s.freeBytes(), 1536 * 1024 - 1000);
    EXPECT_EQ(s.fileCount(), 1);
    EXPECT_EQ(s.dictionaryLoaded(), 0);
    for (int reserved : {26, 36, 38, 46})
        EXPECT_EQ(s.get16(reserved), 0);
    line.chip->setRecMemIncompatible(true);
    EXPECT_EQ(line.chip->statusRecord().freeBytes(), -1);
    line.chip->setRecMemCorrupt(true);
    EXPECT_EQ(line.chip->statusRecord().freeBytes(), -2);
    EXPECT_TRUE(line.chip->nativeMode());
    line.send(C + "-16g" + NUL);
    EXPECT_TRUE(line.chip->emulation());
    EXPECT_FALSE(line.chip->nativeMode());
}
