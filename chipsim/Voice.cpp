#include "chipsim/Chip.h"
#include "chipsim/ChipInternal.h"

#include <algorithm>

namespace chipsim {

using namespace detail;

// --- The command table and voice settings ------------------------------------

void Chip::installCommands()
{
    // Index marker: the number goes back when speech reaches it.
    setCommand('i', [](Chip &c, const Command &cmd) { c.enqueueMarker(cmd.number & 0xFF); });
    // "7h": forget the line speed and take the next CR's. A NUL right
    // behind it still belongs to the same block, at the old speed.
    setCommand('h', [](Chip &c, const Command &cmd) {
        if (cmd.number == 7 && c.mBaud != 0) {
            c.mSpeedBeforeReset = c.mBaud;
            c.setLineBaud(0);
        }
    });
    for (char r : {'g', 'n', 'b'})
        setCommand(r, [](Chip &c, const Command &cmd) { c.registerCommand(cmd); });
    for (char s : {'v', 's', 'p', 'x', 'a', 'f', 'e', 'r', 'o'})
        setCommand(s, [](Chip &c, const Command &cmd) {
            if (cmd.hasNumber)
                c.setSetting(cmd.letter, cmd.number);
        });
    setCommand('t', [](Chip &c, const Command &cmd) {
        c.mMode = 2;
        if (cmd.hasNumber)
            c.mTextDelay = cmd.number;
    });
    setCommand('c', [](Chip &c, const Command &cmd) {
        c.mMode = 0;
        if (cmd.hasNumber)
            c.mCharDelay = cmd.number;
    });
    setCommand('d', [](Chip &c, const Command &) { c.mMode = 1; });
    setCommand('u', [](Chip &c, const Command &) { c.mDictEnabled = true; });
    setCommand('@', [](Chip &c, const Command &) {
        for (const SettingSlot &s : SettingSlots)
            if (s.letter != 'g' && s.letter != 'n' && s.letter != 'b')
                c.mSettings[s.letter] = s.initial;
        c.mMode = 2;
        c.mTextDelay = c.mCharDelay = 0;
    });
    setCommand('?', [](Chip &c, const Command &cmd) { c.queryCommand(cmd); });
}

void Chip::registerCommand(const Command &cmd)
{
    if (!cmd.hasNumber)
        return;
    int &reg = mSettings[cmd.letter];
    const int bits = std::abs(cmd.number) & 0xFF;
    if (cmd.sign == '+')
        reg |= bits;
    else if (cmd.sign == '-')
        reg &= ~bits;
    else
        reg = cmd.number & 0xFF;
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
