#pragma once

// The two records the link library hands out, laid out byte for byte as the
// chip reports them. Plain C++ so the chip emulator can build them too.
// Every multi-byte field is little-endian; read and write through the
// accessors, never by casting.

#include "common/Bytes.h"

#include <array>
#include <cstdint>
#include <cstring>


// Who the chip is: 8 bytes. Byte 2 module code; byte 3 bits 0-1 model
// (1 = SV3420) and bits 2-3 rate code; bytes 4-7 firmware version, first
// half = byte 7 * 256 + byte 6, second half = byte 5 * 256 + byte 4.
struct ChipInfo
{
    static constexpr int Size = 8;
    std::array<uint8_t, Size> bytes{};

    [[nodiscard]] uint8_t byte(int i) const { return bytes.at(static_cast<size_t>(i)); }
    void setByte(int i, uint8_t v) { bytes.at(static_cast<size_t>(i)) = v; }

    [[nodiscard]] int moduleCode() const { return bytes[2]; }
    [[nodiscard]] int modelBits() const { return bytes[3] & 3; }
    [[nodiscard]] int rateBits() const { return bytes[3] & 12; }
    // The two version halves, unsigned (0 to 65535).
    [[nodiscard]] int firmwareFirst() const { return bytes[7] * 256 + bytes[6]; }
    [[nodiscard]] int firmwareSecond() const { return bytes[5] * 256 + bytes[4]; }

    void setModuleCode(int v) { bytes[2] = uint8_t(v); }
    void setModelAndRate(int model, int rate) { bytes[3] = uint8_t((model & 3) | (rate & 12)); }
    void setFirmware(int first, int second)
    {
        bytes[7] = uint8_t(first >> 8);
        bytes[6] = uint8_t(first);
        bytes[5] = uint8_t(second >> 8);
        bytes[4] = uint8_t(second);
    }
};

// The chip's settings and memory state: 56 bytes, signed 16-bit fields
// unless noted. Offsets 26, 36-39 and 46-47 are reserved.
struct LinkStatus
{
    static constexpr int Size = 56;
    std::array<uint8_t, Size> bytes{};

    enum Offset : int {
        OffMode = 0, // 2 text, 1 phonetic, 0 character
        OffPFR = 2,
        OffFormant = 4,
        OffPitch = 6,
        OffSpeed = 8,
        OffVolume = 10,
        OffTone = 12,
        OffExpression = 14,
        OffDictLoaded = 16,
        OffDictEnabled = 18,
        OffInputBufferSize = 20,
        OffArticulation = 22,
        OffReverb = 24,
        OffPOR = 28,
        OffACR = 30,
        OffRecMemBytes = 32, // 32-bit; -1 = no recording memory
        OffCharDelay = 40,
        OffTextDelay = 42,
        OffVoice = 44,
        OffFreeBytes = 48, // 32-bit; -1 incompatible sound library, -2 corrupt
        OffFileCount = 52, // 32-bit
    };

    // The record a library shows before it has heard from a chip: every
    // field 0, no recording memory and no free-space figure.
    [[nodiscard]] static LinkStatus empty()
    {
        LinkStatus s;
        s.set32(OffRecMemBytes, -1);
        s.set32(OffFreeBytes, -1);
        return s;
    }

    [[nodiscard]] int16_t get16(int off) const { return static_cast<int16_t>(vx::readLe16(bytes, size_t(off))); }
    [[nodiscard]] int32_t get32(int off) const { return static_cast<int32_t>(vx::readLe32(bytes, size_t(off))); }
    void set16(int off, int32_t v) { vx::putLe16(bytes.data() + off, static_cast<uint16_t>(v)); }
    void set32(int off, int32_t v) { vx::putLe32(bytes.data() + off, static_cast<uint32_t>(v)); }

    [[nodiscard]] int mode() const { return get16(OffMode); }
    [[nodiscard]] int PFR() const { return get16(OffPFR); }
    [[nodiscard]] int formant() const { return get16(OffFormant); }
    [[nodiscard]] int pitch() const { return get16(OffPitch); }
    [[nodiscard]] int speed() const { return get16(OffSpeed); }
    [[nodiscard]] int volume() const { return get16(OffVolume); }
    [[nodiscard]] int tone() const { return get16(OffTone); }
    [[nodiscard]] int expression() const { return get16(OffExpression); }
    [[nodiscard]] int dictionaryLoaded() const { return get16(OffDictLoaded); }
    [[nodiscard]] int dictionaryEnabled() const { return get16(OffDictEnabled); }
    [[nodiscard]] int inputBufferSize() const { return get16(OffInputBufferSize); }
    [[nodiscard]] int articulation() const { return get16(OffArticulation); }
    [[nodiscard]] int reverb() const { return get16(OffReverb); }
    [[nodiscard]] int POR() const { return get16(OffPOR); }
    [[nodiscard]] int ACR() const { return get16(OffACR); }
    [[nodiscard]] int32_t recMemBytes() const { return get32(OffRecMemBytes); }
    [[nodiscard]] int charDelay() const { return get16(OffCharDelay); }
    [[nodiscard]] int textDelay() const { return get16(OffTextDelay); }
    [[nodiscard]] int voice() const { return get16(OffVoice); }
    [[nodiscard]] int32_t freeBytes() const { return get32(OffFreeBytes); }
    [[nodiscard]] int32_t fileCount() const { return get32(OffFileCount); }
};

static_assert(sizeof(ChipInfo) == 8);
static_assert(sizeof(LinkStatus) == 56);
