#include "app/panels/PanelCommands.h"

#include <gtest/gtest.h>

using namespace vx;

namespace {

const QString kCmd = QStringLiteral("\x01");
const QString kNul = QString(QChar(0));

} // namespace

TEST(PanelCommands, CommandTexts)
{
    struct Case
    {
        QString got;
        QString want;
    };
    const Case cases[] = {
        {ParameterCommand(2, 60, 0), QStringLiteral("60p")},
        {ParameterCommand(0, 5, 1), QStringLiteral("5v")},
        {ParameterCommand(8, 7, 0), QStringLiteral("7t")}, // text
        {ParameterCommand(8, 7, 1), QStringLiteral("7t")}, // phonetic
        {ParameterCommand(8, 7, 2), QStringLiteral("7c")}, // character
        {ParameterCommand(8, 7, -1), QStringLiteral("7")},
        {VoiceCommand(3), QStringLiteral("3o")},
        {RegisterCommand(GetRegisterValue({"1", "0", "0", "1", "0", "0", "0", "0"}), 'g'), QStringLiteral("9g")},
        {CommandToolTip(QStringLiteral("SV3420"), QStringLiteral("60p")), QStringLiteral("SV3420 command: 60p")},
        {ModeSends(kCmd, 1, true).join(QLatin1Char('|')), kCmd + "d|" + kCmd + "u|" + kCmd + kNul},
        {ModeSends(kCmd, 2, false).join(QLatin1Char('|')), kCmd + "c|" + kCmd + kNul},
        {UseDictSends(kCmd, false, 1).join(QLatin1Char('|')), kCmd + "t|" + kCmd + "d" + kNul},
        {UseDictSends(kCmd, true, 1).join(QLatin1Char('|')), kCmd + "u" + kNul},
        {RestoreDefaultsSends(kCmd, true).join(QLatin1Char('|')), kCmd + "@" + kNul + "|" + kCmd + "-16g" + kNul},
        {RestoreDefaultsSends(kCmd, false).join(QLatin1Char('|')), kCmd + "@" + kNul},
        {RestoreDefaultsQuestion(QStringLiteral("SV3420")), QStringLiteral("Restore the SV3420's default settings? ")},
        {PanelTitle(2, QStringLiteral("SV3410")), QStringLiteral("SV3410 Registers")},
        {PanelStatusLine(4, -1), QStringLiteral("Incompatible sound library")},
        {PanelStatusLine(4, -2), QStringLiteral("Recording memory is corrupt")},
        {PanelStatusLine(4, 10), QString()},
        {PanelStatusLine(3, 10), QStringLiteral("Status: Stopped")},
    };
    for (const Case &c : cases)
        EXPECT_EQ(c.got, c.want);
    EXPECT_EQ(GetRegisterValue({"1", "0", "1", "0", "0", "0", "0", "0"}), 5);
    EXPECT_EQ(GetRegisterValue(RegisterCaptions(255)), 255);
    EXPECT_EQ(ToggledBitCaption(QStringLiteral("1")), QStringLiteral("0"));
}

TEST(PanelCommands, TypedValuesAreHeldToTheSliderRange)
{
    struct Case
    {
        int slider;
        const char *typed;
        bool native;
        int want;
    };
    const Case cases[] = {
        {3, "5", false, 2},    {1, "50", true, 13},  {1, "12", false, 9}, {5, "99", true, 99},
        {5, "99", false, 9},   {8, "99", false, 15}, {0, "x", false, 0},  {2, "6x0", false, 60},
        {2, "", false, 0},     {2, "99999999999999", false, 99},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ClampParameter(c.slider, QString::fromLatin1(c.typed), c.native), c.want) << c.typed;
}

TEST(PanelCommands, ModeChangeChecks)
{
    // por, prevEmulation, prevCompat, display -> emulation, warning, restore, stable, native
    struct Case
    {
        int por;
        bool prevEmu, prevCompat, display;
        bool emu, warn, restore, stable, native;
    };
    const Case cases[] = {
        {0x90, true, true, true, false, false, true, false, true},  // native after emulation
        {0x80, false, false, true, true, true, false, false, false}, // emulation comes on
        {0x80, false, false, false, true, false, false, false, false},
        {0x80, true, false, true, true, false, false, true, false},  // unchanged
        {0x10, false, false, true, false, false, false, false, false}, // module compatibility on
    };
    for (const Case &c : cases) {
        const ModeCheck m = CheckModeChange(c.por, c.prevEmu, c.prevCompat, c.display);
        EXPECT_EQ(m.sv10Emulation, c.emu) << c.por;
        EXPECT_EQ(m.showWarning, c.warn) << c.por;
        EXPECT_EQ(m.restoreCaption, c.restore) << c.por;
        EXPECT_EQ(m.stable, c.stable) << c.por;
        EXPECT_EQ(m.native(), c.native) << c.por;
    }
    EXPECT_EQ(VoiceNames(true).size(), 11);
    EXPECT_EQ(VoiceNames(false).last(), QStringLiteral("Robo Robert"));
    EXPECT_EQ(ParameterSliders()[5].maxFor(true), 99);
}

TEST(PanelCommands, StatusRecordToPanels)
{
    LinkStatus s = LinkStatus::empty();
    s.set16(LinkStatus::OffMode, 0); // character
    s.set16(LinkStatus::OffPitch, 60);
    s.set16(LinkStatus::OffSpeed, 12);
    s.set16(LinkStatus::OffCharDelay, 4);
    s.set16(LinkStatus::OffTextDelay, 9);
    s.set16(LinkStatus::OffDictLoaded, 1);
    s.set16(LinkStatus::OffVoice, 10);
    s.set16(LinkStatus::OffPOR, 0x98);
    s.set16(LinkStatus::OffACR, 1);
    s.set32(LinkStatus::OffRecMemBytes, 1536 * 1024);
    s.set32(LinkStatus::OffFreeBytes, 1000 * 1024);
    s.set32(LinkStatus::OffFileCount, 3);
    PanelValues v = DecodePanelValues(s);
    EXPECT_EQ(v.modeIndex, 2);
    EXPECT_EQ(v.sliders[2], 60);
    EXPECT_EQ(v.sliders[1], 12); // shown as the chip holds it
    EXPECT_EQ(v.sliders[8], 4);
    EXPECT_TRUE(v.dictionaryKnown);
    EXPECT_EQ(v.useDictCommand, QStringLiteral("c"));
    EXPECT_EQ(v.voiceIndex, 10);
    EXPECT_FALSE(v.sv10Emulation);
    EXPECT_EQ(v.recMemLabel, QStringLiteral("Memory used: 536 KB of 1,536 KB (3 files)"));
    EXPECT_EQ(v.gaugeMax, 1536);
    EXPECT_EQ(v.gaugeValue, 536);
    EXPECT_EQ(v.indexType, 1);
    EXPECT_EQ(v.emulationStatus, QStringLiteral("SV3410 Emulation: Off"));
    EXPECT_EQ(v.addressingStatus, QStringLiteral("Addressing Mode: Tag"));
    EXPECT_EQ(v.durMaxLength, 6);

    s.set16(LinkStatus::OffMode, 2);
    s.set16(LinkStatus::OffPOR, 0);
    s.set16(LinkStatus::OffDictEnabled, 1);
    s.set32(LinkStatus::OffFreeBytes, -2);
    v = DecodePanelValues(s);
    EXPECT_EQ(v.modeIndex, 0);
    EXPECT_EQ(v.sliders[8], 9);
    EXPECT_EQ(v.useDictCommand, QStringLiteral("u"));
    EXPECT_EQ(v.recMemFree, -2);
    EXPECT_EQ(v.recMemLabel, QStringLiteral("Memory used: unknown"));
    EXPECT_EQ(v.gaugeValue, v.gaugeMax);
    EXPECT_EQ(v.emulationStatus, QStringLiteral("SV3410 Emulation: On"));
    EXPECT_EQ(v.durMaxLength, 5);

    // A memory beyond 32767 KB, a mode the panels do not know, no memory at all.
    s.set16(LinkStatus::OffMode, 7);
    s.set32(LinkStatus::OffRecMemBytes, 64 * 1024 * 1024);
    s.set32(LinkStatus::OffFreeBytes, 70 * 1024 * 1024); // inconsistent: more free than there is
    v = DecodePanelValues(s);
    EXPECT_EQ(v.recMemSize, 65536);
    EXPECT_EQ(v.gaugeValue, 0);
    EXPECT_EQ(v.modeIndex, -1);
    EXPECT_FALSE(v.sliders[8].has_value());
    v = DecodePanelValues(LinkStatus::empty());
    EXPECT_EQ(v.gaugeMax, 1);
}
