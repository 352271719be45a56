#include "components/sonvert/PcmFile.h"

#include "common/Bytes.h"
#include "common/ReadFiles.h"
#include "common/SafeFile.h"
#include "components/sonvert/Rounding.h"

#include <algorithm>
#include <array>
#include <memory>
#include <sys/stat.h>

namespace sonvert {

using vx::putLe;
using vx::putLe16;
using vx::readLe;
using vx::putLe24;
using vx::putLe32;
using vx::readLe16;
using vx::readLe24;
using vx::readLe32;

namespace {

PcmHeader readAs(std::span<const std::uint8_t> head, PcmForm form)
{
    PcmHeader h;
    h.form = form;
    if (form == PcmForm::Marked) {
        h.dataLength = readLe24(head, 10);
        h.codeByte = static_cast<std::uint8_t>(readLe(head, 13, 1));
        h.tag = readLe16(head, 14);
    } else {
        h.dataLength = readLe24(head, 0);
        h.codeByte = static_cast<std::uint8_t>(readLe(head, 3, 1));
        h.tag = 0;
    }
    return h;
}

bool matchesSize(const PcmHeader &h, std::uint64_t fileSize)
{
    return fileSize >= h.headerSize() && fileSize - h.headerSize() == h.dataLength;
}

std::optional<std::vector<std::uint8_t>> readWholeFile(const std::filesystem::path &path)
{
    // No chip PCM file is longer than its largest header and 24-bit length:
    // a bigger file is refused before it is read into memory.
    std::string bytes;
    if (vx::readRegularFile(path, bytes, kMarkedHeaderSize + kMaxPcmDataLength) != 0)
        return std::nullopt;
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

} // namespace

PcmHeader peekPcmHeader(std::span<const std::uint8_t> head)
{
    return readAs(head, readLe16(head, 8) == kMarkedFormMarker ? PcmForm::Marked : PcmForm::Plain);
}

std::span<const std::uint8_t> pcmDataOf(std::span<const std::uint8_t> file, const PcmHeader &header)
{
    const std::size_t start = header.headerSize();
    if (file.size() <= start)
        return {};
    const std::size_t available = file.size() - start;
    return file.subspan(start, std::min<std::size_t>(available, header.dataLength));
}

std::optional<PcmHeader> readPcmHeader(std::span<const std::uint8_t> head, std::uint64_t fileSize)
{
    if (readLe16(head, 8) == kMarkedFormMarker) {
        const PcmHeader marked = readAs(head, PcmForm::Marked);
        if (matchesSize(marked, fileSize))
            return marked;
    }
    // Samples -64 and -37 at offsets 8 and 9 look like the marker; such a
    // plain file is still a plain file.
    const PcmHeader plain = readAs(head, PcmForm::Plain);
    if (matchesSize(plain, fileSize))
        return plain;
    return std::nullopt;
}

std::optional<PcmHeader> readPcmHeader(const std::filesystem::path &path)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE *)> in(vx::openRegularStream(path), &std::fclose);
    struct stat st {};
    if (!in || ::fstat(::fileno(in.get()), &st) != 0)
        return std::nullopt;
    std::array<std::uint8_t, kMarkedHeaderSize> head{};
    const std::size_t got = std::fread(head.data(), 1, head.size(), in.get());
    return readPcmHeader(std::span<const std::uint8_t>(head.data(), got), static_cast<std::uint64_t>(st.st_size));
}

std::optional<PcmFile> parsePcmFile(std::span<const std::uint8_t> file)
{
    const auto header = readPcmHeader(file.first(std::min(file.size(), kMarkedHeaderSize)), file.size());
    if (!header)
        return std::nullopt;
    const auto data = pcmDataOf(file, *header);
    return PcmFile{*header, std::vector<std::uint8_t>(data.begin(), data.end())};
}

std::optional<PcmFile> loadPcmFile(const std::filesystem::path &path)
{
    const auto bytes = readWholeFile(path);
    if (!bytes)
        return std::nullopt;
    return parsePcmFile(*bytes);
}

bool rateCodeFits(PcmForm form, int rateCode)
{
    if (rateCode < 0 || rateCode > 127)
        return false;
    return form == PcmForm::Plain || rateCode <= 99;
}

std::vector<std::uint8_t> encodePcmHeader(const PcmHeader &header)
{
    if (header.dataLength > kMaxPcmDataLength || !rateCodeFits(header.form, header.rateCode()))
        return {};
    if (header.form == PcmForm::Plain) {
        std::vector<std::uint8_t> out(kPlainHeaderSize);
        putLe24(out.data(), header.dataLength);
        out[3] = header.codeByte;
        return out;
    }
    std::vector<std::uint8_t> out(kMarkedHeaderSize);
    const int code = header.rateCode();
    out[0] = 0x0D;
    out[1] = 0x0D;
    out[2] = 0x1E;
    out[3] = 0x01; // the command character
    out[4] = static_cast<std::uint8_t>('0' + code / 10);
    out[5] = static_cast<std::uint8_t>('0' + code % 10);
    out[6] = header.compressed() ? '%' : '#';
    out[7] = 0x00;
    putLe16(out.data() + 8, kMarkedFormMarker);
    putLe24(out.data() + 10, header.dataLength);
    out[13] = header.codeByte;
    putLe16(out.data() + 14, header.tag);
    return out;
}

void appendEndMark(std::vector<std::uint8_t> &data)
{
    if (data.size() % 2 == 0)
        data.push_back(0);
    data.push_back(kEndMark);
}

std::vector<std::uint8_t> buildPcmFile(PcmForm form, std::uint8_t codeByte, std::uint16_t tag,
                                       std::span<const std::uint8_t> data)
{
    if (data.size() > kMaxPcmDataLength)
        return {};
    PcmHeader h;
    h.form = form;
    h.dataLength = static_cast<std::uint32_t>(data.size());
    h.codeByte = codeByte;
    h.tag = form == PcmForm::Marked ? tag : 0;
    std::vector<std::uint8_t> out = encodePcmHeader(h);
    if (out.empty())
        return out;
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

bool savePcmFile(const std::filesystem::path &path, PcmForm form, std::uint8_t codeByte,
                 std::uint16_t tag, std::span<const std::uint8_t> data, std::string *error)
{
    const auto bytes = buildPcmFile(form, codeByte, tag, data);
    if (bytes.empty()) {
        if (error)
            *error = data.size() > kMaxPcmDataLength ? "sound too long for a chip PCM file"
                                                     : "rate code cannot be stored";
        return false;
    }
    return vx::writeFileAtomically(path, {reinterpret_cast<const char *>(bytes.data()), bytes.size()}, error);
}

int rateCodeFromRate(double outputRate)
{
    return static_cast<int>(roundOneDecimalThenWhole(155.0 - 617000.0 / outputRate));
}

std::uint32_t waveRateFromCode(int rateCode)
{
    const int code = rateCode & 0x7F;
    const auto rate = static_cast<std::uint32_t>(roundHalfEvenToLong(616000.0 / (155 - code)));
    if (rate == 11000)
        return 11025;
    if (rate == 9935)
        return 10000;
    return rate;
}

} // namespace sonvert
