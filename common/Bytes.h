#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vx {

// Explicit little-endian access for every binary format of the tree. Reads past the end of
// the span give 0 for the missing bytes, so a short file reads as zeros
// instead of touching memory it does not own.

[[nodiscard]] inline std::uint32_t readLe(std::span<const std::uint8_t> bytes, std::size_t offset,
                                          std::size_t width)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        const std::size_t at = offset + i;
        if (at < bytes.size())
            value |= static_cast<std::uint32_t>(bytes[at]) << (8 * i);
    }
    return value;
}

[[nodiscard]] inline std::uint16_t readLe16(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(readLe(bytes, offset, 2));
}

[[nodiscard]] inline std::uint32_t readLe24(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return readLe(bytes, offset, 3);
}

[[nodiscard]] inline std::uint32_t readLe32(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return readLe(bytes, offset, 4);
}

// Writes the low `width` bytes of value at out[0..width).
inline void putLe(std::uint8_t *out, std::uint32_t value, std::size_t width)
{
    for (std::size_t i = 0; i < width; ++i)
        out[i] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFFu);
}

inline void putLe16(std::uint8_t *out, std::uint16_t value) { putLe(out, value, 2); }
inline void putLe24(std::uint8_t *out, std::uint32_t value) { putLe(out, value, 3); }
inline void putLe32(std::uint8_t *out, std::uint32_t value) { putLe(out, value, 4); }

} // namespace vx
