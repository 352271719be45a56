#pragma once

// What the parts of the chip model share (Chip.cpp, LinkServer.cpp,
// RecordingMemory.cpp, Voice.cpp). Not for use outside chipsim/.

#include "chipsim/Chip.h"
#include "common/Bytes.h"
#include "common/Clock.h"
#include "link/Protocol.h"

#include <QByteArray>

namespace chipsim::detail {

using vx::proto::CAN;
using vx::proto::CMD;
using vx::proto::CR;
using vx::proto::NUL;
using vx::proto::RS;
using vx::proto::STX;

inline double now() { return vx::Clock::seconds(); }

inline quint32 get32(const QByteArray &b, int at)
{
    return vx::readLe32({reinterpret_cast<const std::uint8_t *>(b.constData()), std::size_t(b.size())},
                        std::size_t(at));
}

inline QByteArray le32(quint32 v)
{
    QByteArray b(4, 0);
    vx::putLe32(reinterpret_cast<std::uint8_t *>(b.data()), v);
    return b;
}

// Sample rate of a chip PCM rate code (inverse of the converter's rule).
inline double rateOfCode(int code)
{
    return code > 0 && code < 155 ? 617000.0 / (155 - code) : 10500.0;
}

// Voice settings by command letter, with the status field each fills and
// its power-up value.
struct SettingSlot
{
    char letter;
    int offset;
    int initial;
};
inline constexpr SettingSlot SettingSlots[] = {
    {'v', LinkStatus::OffVolume, 5},    {'s', LinkStatus::OffSpeed, 5},
    {'p', LinkStatus::OffPitch, 50},    {'x', LinkStatus::OffExpression, 5},
    {'a', LinkStatus::OffArticulation, 5}, {'f', LinkStatus::OffFormant, 50},
    {'e', LinkStatus::OffTone, 1},      {'r', LinkStatus::OffReverb, 0},
    {'o', LinkStatus::OffVoice, 0},     {'g', LinkStatus::OffPOR, 0},
    {'n', LinkStatus::OffACR, 0},       {'b', LinkStatus::OffPFR, 0},
};

} // namespace chipsim::detail
