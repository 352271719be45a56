#include "chipsim/Chip.h"
#include "chipsim/ChipInternal.h"

#include <algorithm>

namespace chipsim {

using namespace detail;

// --- The command table and voice settings ------------------------------------

namespace {

// Each voice preset's pitch and formant (native range).
constexpr int VoicePresets[11][2] = {
    {50, 50}, {10, 20}, {35, 40}, {60, 55}, {70, 60}, {40, 45}, {65, 70}, {50, 30}, {5, 10}, {95, 90}, {80, 75},
};

const SettingSlot *slotOf(char letter)
{
    for (const SettingSlot &s : SettingSlots)
        if (s.letter == letter)
            return &s;
    return nullptr;
}

} // namespace

void Chip::installCommands()
{
    // Index marker: the number goes back when speech reaches it.
    setCommand('i', [](Chip &c, const Command &cmd) { c.enqueueMarker(cmd.number & 0xFF); });
    // "7h": forget the line speed and take the next CR's. A NUL right
    // behind it still belongs to the same block, at the old speed.
    setCommand('h', [](Chip &c, const Command &cmd) {
        if (cmd.number == 7 && c.mBaud != 0) {
            c.allowAtSpeed(c.mBaud, NUL, 1, true);
            c.setLineBaud(0);
        }
    });
    for (char r : {'g', 'n', 'b'})
        setCommand(r, [](Chip &c, const Command &cmd) { c.registerCommand(cmd); });
    for (char s : {'v', 's', 'p', 'x', 'a', 'f', 'e', 'r', 'o'})
        setCommand(s, [](Chip &c, const Command &cmd) { c.settingCommand(cmd); });
    for (char m : {'t', 'c', 'd'})
        setCommand(m, [](Chip &c, const Command &cmd) { c.modeCommand(cmd); });
    setCommand('u', [](Chip &c, const Command &) { c.mDictEnabled = true; });
    setCommand('@', [](Chip &c, const Command &) { c.restoreDefaults(); });
    setCommand('?', [](Chip &c, const Command &cmd) { c.queryCommand(cmd); });
    installToneCommands();
    installRecorderCommands();
}

namespace {

// A value beyond 0..max wraps, or saturates when POR asks for it.
int inRange(int value, int max, bool saturate)
{
    if (value >= 0 && value <= max)
        return value;
    if (saturate)
        return std::clamp(value, 0, max);
    return ((value % (max + 1)) + (max + 1)) % (max + 1);
}

} // namespace

void Chip::settingCommand(const Command &cmd)
{
    if (!cmd.hasNumber)
        return;
    const int value = inRange(cmd.number, settingMax(cmd.letter), setting('g') & PorSaturate);
    if (cmd.letter == 'o')
        loadVoice(value);
    else
        mSettings[cmd.letter] = value;
}

void Chip::modeCommand(const Command &cmd)
{
    // With a number "t" and "c" set the delay of their mode and leave the
    // mode alone; bare, they choose the mode, and the dictionary is off
    // until the next "u".
    const bool saturate = setting('g') & PorSaturate;
    if (cmd.hasNumber && cmd.letter != 'd') {
        (cmd.letter == 't' ? mTextDelay : mCharDelay) = inRange(cmd.number, MaxDelay, saturate);
        return;
    }
    mMode = cmd.letter == 't' ? 2 : cmd.letter == 'd' ? 1 : 0;
    mDictEnabled = false;
}

void Chip::registerCommand(const Command &cmd)
{
    if (!cmd.hasNumber)
        return;
    const bool wasNative = nativeMode(), wasEmulating = emulation();
    int reg = setting(cmd.letter);
    const int bits = std::abs(cmd.number) & 0xFF;
    if (cmd.sign == '+')
        reg |= bits;
    else if (cmd.sign == '-')
        reg &= ~bits;
    else
        reg = cmd.number & 0xFF;
    if (cmd.letter == 'g' && mConfig.model == Model::SV3410)
        reg &= ~PorOlderBits;
    mSettings[cmd.letter] = reg;
    if (wasNative != nativeMode() || wasEmulating != emulation())
        clampToRanges();
}

void Chip::loadVoice(int voice)
{
    mSettings['o'] = voice;
    mSettings['p'] = VoicePresets[voice][0];
    mSettings['f'] = nativeMode() ? VoicePresets[voice][1] : VoicePresets[voice][1] / 10;
}

void Chip::restoreDefaults()
{
    mSettings.clear();
    for (const SettingSlot &s : SettingSlots)
        mSettings[s.letter] = s.initial;
    if (mConfig.model == Model::SV3410)
        mSettings['g'] &= ~PorOlderBits;
    clampToRanges();
    if (!nativeMode())
        mSettings['f'] = 5; // the middle of the narrow range
    mMode = 2;
    mTextDelay = mCharDelay = 0;
    mDictEnabled = false;
}

void Chip::clampToRanges()
{
    // The narrower ranges of the compatible modes: values beyond them stop
    // at their ends.
    for (const SettingSlot &s : SettingSlots)
        mSettings[s.letter] = std::clamp(setting(s.letter), 0, settingMax(s.letter));
}

bool Chip::emulation() const
{
    return !(setting('g') & PorNative);
}

bool Chip::nativeMode() const
{
    return !emulation() && (setting('g') & PorNoModule);
}

int Chip::settingMax(char letter) const
{
    if (letter == 't' || letter == 'c')
        return MaxDelay;
    const SettingSlot *s = slotOf(letter);
    if (!s)
        return -1;
    return nativeMode() ? s->maxNative : s->maxEmulation;
}

int Chip::setting(char letter) const
{
    const auto it = mSettings.find(letter);
    return it == mSettings.end() ? 0 : it->second;
}

void Chip::setSetting(char letter, int value)
{
    mSettings[letter] = value;
}

// --- Records -----------------------------------------------------------------

qint32 Chip::recMemFree() const
{
    if (mConfig.recMemBytes < 0)
        return -1;
    if (mRecCorrupt)
        return -2;
    if (mRecIncompatible)
        return -1;
    qint64 used = 0;
    for (const RecFile &f : mRecFiles)
        used += f.pcm.size();
    return qint32(std::max<qint64>(0, mConfig.recMemBytes - used));
}

LinkStatus Chip::statusRecord() const
{
    LinkStatus s;
    s.set16(LinkStatus::OffMode, mMode);
    for (const SettingSlot &slot : SettingSlots)
        s.set16(slot.offset, setting(slot.letter));
    s.set16(LinkStatus::OffDictLoaded, mDictionary.isEmpty() ? 0 : 1);
    s.set16(LinkStatus::OffDictEnabled, mDictEnabled ? 1 : 0);
    s.set16(LinkStatus::OffInputBufferSize, mConfig.inputBufferSize);
    s.set32(LinkStatus::OffRecMemBytes, mConfig.recMemBytes);
    s.set16(LinkStatus::OffCharDelay, mCharDelay);
    s.set16(LinkStatus::OffTextDelay, mTextDelay);
    s.set32(LinkStatus::OffFreeBytes, recMemFree());
    s.set32(LinkStatus::OffFileCount, mConfig.recMemBytes < 0 ? 0 : int(mRecFiles.size()));
    return s;
}

ChipInfo Chip::infoRecord() const
{
    ChipInfo info;
    info.setModuleCode(mConfig.moduleCode);
    info.setModelAndRate(mConfig.model == Model::SV3420 ? 1 : 0, mConfig.rateCode);
    info.setFirmware(mConfig.firmwareFirst, mConfig.firmwareSecond);
    return info;
}

} // namespace chipsim
