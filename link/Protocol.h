#pragma once

// The numbers of the link's wire protocol (link/PROTOCOL.md), written once
// for the link library and the chip emulator alike. Plain C++.

#include <cstdint>

namespace vx::proto {

// Control bytes of the line.
inline constexpr std::uint8_t NUL = 0x00;
inline constexpr std::uint8_t CMD = 0x01;
inline constexpr std::uint8_t STX = 0x02;
inline constexpr std::uint8_t CR = 0x0D;
inline constexpr std::uint8_t CAN = 0x18;
inline constexpr std::uint8_t RS = 0x1E;

// Query numbers; a reply frame carries the number of its query as its id.
enum Query : int {
    QStatus = 6,
    QInfo = 12,
    QDownload = 31,
    QFirmware = 32,
    QUpload = 33,
    QDelete = 34,
    QPlay = 35,
    QInit = 36,
    QRepair = 37,
};

// Continuation frames (upload data, end of play, still working) carry the
// query's id with this bit set.
inline constexpr int MoreFlag = 0x80;

// Largest block of a transfer to the chip and of an upload frame.
inline constexpr int BlockBytes = 128;
// A block header that abandons a transfer.
inline constexpr std::uint8_t AbandonBlock = 0xFF;

// A frame: STX, id, length, payload, check sum (id + length + payload, mod 256).
inline constexpr int FrameOverhead = 4;
inline constexpr int MaxPayload = 255;

// While erasing or repairing the recording memory, the chip sends a
// still-working frame (id | MoreFlag, no payload) at least this often.
inline constexpr double WorkingEverySeconds = 0.5;

// The largest recording memory any board carries; the bound of what the link
// believes while it has not read the chip's own figure.
inline constexpr std::int64_t MaxRecMemBytes = 64LL * 1024 * 1024;
// The slowest sample rate of a recording (rate code 1), in Hz, rounded down:
// a recording of N bytes plays for at most N / MinSampleRate seconds.
inline constexpr int MinSampleRate = 4000;

// The longest play, in milliseconds, a recording memory of recMemBytes allows.
[[nodiscard]] constexpr std::int64_t maxPlayMilliseconds(std::int64_t recMemBytes)
{
    return recMemBytes * 1000 / MinSampleRate + 1000;
}

} // namespace vx::proto
