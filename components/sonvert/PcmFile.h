#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace sonvert {

// The chips' own sound file, in two header forms:
//   plain (older chip), 4 bytes:  length (24-bit LE), code byte
//   marked (newer chip), 16 bytes: 0D 0D 1E 01, two rate digits, '#' or '%',
//     00, C0 DB, length (24-bit LE), code byte, tag (16-bit LE)
// Code byte: bit 7 = compressed data, bits 0-6 = rate code.
enum class PcmForm { Plain, Marked };

inline constexpr std::size_t kPlainHeaderSize = 4;
inline constexpr std::size_t kMarkedHeaderSize = 16;
inline constexpr std::uint16_t kMarkedFormMarker = 0xDBC0;
inline constexpr std::uint32_t kMaxPcmDataLength = 0xFFFFFF; // the 24-bit length field
inline constexpr std::uint8_t kCompressedBit = 0x80;
inline constexpr std::uint8_t kEndMark = 0x80;               // ends marked data; never a sample
inline constexpr std::uint16_t kMaxTag = 65534;

struct PcmHeader
{
    PcmForm form = PcmForm::Plain;
    std::uint32_t dataLength = 0; // as declared, end mark included
    std::uint8_t codeByte = 0;
    std::uint16_t tag = 0;        // always 0 in the plain form

    [[nodiscard]] bool compressed() const { return (codeByte & kCompressedBit) != 0; }
    [[nodiscard]] int rateCode() const { return codeByte & 0x7F; }
    [[nodiscard]] std::size_t headerSize() const
    {
        return form == PcmForm::Marked ? kMarkedHeaderSize : kPlainHeaderSize;
    }
};

struct PcmFile
{
    PcmHeader header;
    std::vector<std::uint8_t> data; // exactly header.dataLength bytes
};

// Reads the header fields the way a player does: the marker at offset 8
// alone decides the form, and nothing is validated. Bytes missing from a short
// span read as 0.
[[nodiscard]] PcmHeader peekPcmHeader(std::span<const std::uint8_t> head);

// The data bytes that `header` announces inside `file` (a whole file), clamped
// to what the file really holds.
[[nodiscard]] std::span<const std::uint8_t> pcmDataOf(std::span<const std::uint8_t> file,
                                                      const PcmHeader &header);

// Reads and validates a header: the file is chip PCM when its size less the
// header size equals the declared length. A plain file whose bytes 8-9 happen
// to be C0 DB fails the marked reading and is then taken as plain. Returns
// nothing when neither reading matches the file size. `head` needs the first
// 16 bytes of the file (fewer for a short file); `fileSize` is the whole size.
[[nodiscard]] std::optional<PcmHeader> readPcmHeader(std::span<const std::uint8_t> head,
                                                     std::uint64_t fileSize);
// The same from a file on disk; nothing when it cannot be read or is not PCM.
[[nodiscard]] std::optional<PcmHeader> readPcmHeader(const std::filesystem::path &path);

// A whole chip PCM file from its bytes or from disk; nothing when invalid.
[[nodiscard]] std::optional<PcmFile> parsePcmFile(std::span<const std::uint8_t> file);
[[nodiscard]] std::optional<PcmFile> loadPcmFile(const std::filesystem::path &path);

// Whether a rate code can be written in the given form: any 7-bit code in the
// plain form; in the marked form the code must also fit the two digit bytes
// (0 to 99; codes below 10 are written with a leading zero).
[[nodiscard]] bool rateCodeFits(PcmForm form, int rateCode);

// The header bytes (4 or 16) for `header`; the marked form's command letter is
// '%' when the code byte says compressed, '#' otherwise. Returns an empty
// vector when the length exceeds 24 bits or the rate code does not fit.
[[nodiscard]] std::vector<std::uint8_t> encodePcmHeader(const PcmHeader &header);

// Appends the marked form's end mark: a 0 when the data length is even, then
// 128, so the stored length is even and ends with 128.
void appendEndMark(std::vector<std::uint8_t> &data);

// Header plus data as one byte vector; the length field is data.size() (the
// caller appends the end mark first for the marked form). Empty when the data
// or the rate code cannot be represented.
[[nodiscard]] std::vector<std::uint8_t> buildPcmFile(PcmForm form, std::uint8_t codeByte,
                                                     std::uint16_t tag,
                                                     std::span<const std::uint8_t> data);

// Writes buildPcmFile's bytes to `path` through a temporary file in the same
// folder and a rename, so an existing file is replaced only by a complete one.
// Returns false (with a reason in *error) when the data cannot be represented
// or the file cannot be written; nothing is left behind then.
[[nodiscard]] bool savePcmFile(const std::filesystem::path &path, PcmForm form, std::uint8_t codeByte,
                               std::uint16_t tag, std::span<const std::uint8_t> data,
                               std::string *error = nullptr);

// Rate code of an output sample rate: 155 - 617000 / rate, rounded to one
// decimal place and then to a whole number, halves to even. May fall outside
// 0..127 for rates the chips cannot play; callers check with rateCodeFits.
[[nodiscard]] int rateCodeFromRate(double outputRate);

// Sample rate of the wave files written from chip PCM: 616000 / (155 - code),
// halves to even, with 11000 written as 11025 and 9935 as 10000. `rateCode`
// is the 7-bit code (0 to 127).
[[nodiscard]] std::uint32_t waveRateFromCode(int rateCode);

} // namespace sonvert
