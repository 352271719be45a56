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

inline constexpr int FastBaud = 115200;

// Voice settings by command letter: the status field each fills, its
// power-up value and its largest value in emulation and in native mode.
struct SettingSlot
{
    char letter;
    int offset;
    int initial;
    int maxEmulation;
    int maxNative;
};
inline constexpr SettingSlot SettingSlots[] = {
    {'v', LinkStatus::OffVolume, 5, 9, 9},        {'s', LinkStatus::OffSpeed, 5, 9, 13},
    {'p', LinkStatus::OffPitch, 50, 99, 99},      {'x', LinkStatus::OffTone, 1, 2, 2},
    {'a', LinkStatus::OffArticulation, 5, 9, 9},  {'f', LinkStatus::OffFormant, 50, 9, 99},
    {'e', LinkStatus::OffExpression, 5, 9, 9},    {'r', LinkStatus::OffReverb, 0, 9, 9},
    {'o', LinkStatus::OffVoice, 0, 7, 10},        {'g', LinkStatus::OffPOR, 0x90, 255, 255},
    {'n', LinkStatus::OffACR, 0, 255, 255},       {'b', LinkStatus::OffPFR, 0, 255, 255},
};
inline constexpr int MaxDelay = 15;

// POR bits the model acts on.
inline constexpr int PorTag = 8;         // recording memory addressed by tag
inline constexpr int PorNative = 16;     // clear: the older chip's emulation
inline constexpr int PorSaturate = 64;   // values beyond a range saturate (else wrap)
inline constexpr int PorNoModule = 128;  // clear: module compatibility
inline constexpr int PorOlderBits = 4 | 8 | 16; // bits the older chip lacks

} // namespace chipsim::detail
