#include "app/soundlib/SoundEntry.h"

#include "components/sonvert/PcmFile.h"
#include "components/sonvert/WaveReader.h"
#include "platform/FileNames.h"
#include "platform/Numbers.h"
#include "platform/TextFiles.h"

#include <QFile>

#include <algorithm>
#include <filesystem>
#include <limits>

namespace {

std::string localPath(const QString &path)
{
    return vx::fileNameBytes(path).toStdString();
}

qint32 clampTo32(double v)
{
    if (!(v > 0))
        return 0;
    return v >= std::numeric_limits<qint32>::max() ? std::numeric_limits<qint32>::max() : static_cast<qint32>(v);
}

// The four bytes of an MPEG audio frame header and where it starts.
struct Mp3Frame
{
    qint64 position = -1; // 1-based
    quint8 h1 = 0, h2 = 0, h3 = 0;
};

bool isLayer3Header(quint8 h1, quint8 h2, quint8 h3)
{
    return (h1 & 0xE0) == 0xE0 && (h1 & 0x18) != 0x08 && (h1 & 0x06) == 0x02 && (h2 & 0xF0) != 0xF0
        && (h2 & 0x0C) != 0x0C && (h3 & 0x03) != 0x02;
}

// The decoder gives up on a stream whose first frame is not within 64 KB
// (past a tag at the start, which it skips); the search looks no further,
// so a large file that is no MP3 costs one block.
constexpr qint64 kMp3SearchBytes = 1 << 16;

// The length of an ID3v2 tag at the start of the file: its 10-byte header,
// the size it gives (7 bits a byte) and a footer when its flags say so; 0
// when the bytes are no such header.
qint64 id3v2TagLength(const QByteArray &head)
{
    const auto *h = reinterpret_cast<const quint8 *>(head.constData());
    if (head.size() < 10 || !head.startsWith("ID3") || h[3] == 0xFF || h[4] == 0xFF)
        return 0;
    qint64 size = 0;
    for (int k = 6; k < 10; ++k) {
        if (h[k] & 0x80)
            return 0;
        size = (size << 7) | h[k];
    }
    return 10 + size + ((h[5] & 0x10) ? 10 : 0);
}

constexpr qint32 kMpegRates[4][3] = {
    {11025, 12000, 8000}, {99999, 99999, 99999}, {22050, 24000, 16000}, {44100, 48000, 32000}};
constexpr qint16 kMpegLowBitRates[16] = {128, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 999};
constexpr qint16 kMpeg1BitRates[16] = {128, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 999};

qint32 mpegBitRateKbps(int version, int index)
{
    if (version == 3)
        return kMpeg1BitRates[index];
    if (version == 1)
        return 999;
    return kMpegLowBitRates[index];
}

// The longest Layer III frame, free format included (640 kbit/s at 32 kHz).
constexpr qsizetype kLongestFrame = 2881;

// The length of the Layer III frame whose header bytes after the first are
// h1 and h2; 0 for a free-format frame, whose header gives none.
qsizetype layer3FrameLength(quint8 h1, quint8 h2)
{
    const int v = (h1 >> 3) & 3;
    const int b = h2 >> 4;
    if (b == 0)
        return 0;
    return (v == 3 ? 144000 : 72000) * mpegBitRateKbps(v, b) / kMpegRates[v][(h2 >> 2) & 3] + ((h2 >> 1) & 1);
}

// Whether the frame whose header starts at i is followed by the next frame of
// its stream, as a decoder checks before it trusts a header: where the
// header's length says (or the file ends just there), or for free format
// within the longest frame.
bool nextFrameFollows(const QByteArray &block, bool blockEndsFile, qsizetype i)
{
    const auto *b = reinterpret_cast<const quint8 *>(block.constData());
    const qsizetype n = block.size();
    const auto sameStream = [&](qsizetype j, quint8 h2Mask) {
        return j + 3 < n && b[j] == 0xFF && (b[j + 1] & 0xFE) == (b[i + 1] & 0xFE) &&
               (b[j + 2] & h2Mask) == (b[i + 2] & h2Mask) && isLayer3Header(b[j + 1], b[j + 2], b[j + 3]);
    };
    const qsizetype length = layer3FrameLength(b[i + 1], b[i + 2]);
    if (length > 0)
        return sameStream(i + length, 0x0C) || (blockEndsFile && i + length == n);
    for (qsizetype j = i + 4; j <= i + kLongestFrame; ++j) {
        if (sameStream(j, 0xFC))
            return true;
    }
    return false;
}

// The first frame header; with `confirmed`, the first that the next frame
// of its stream follows.
std::optional<Mp3Frame> findMp3Frame(const QString &path, bool confirmed = false)
{
    QFile file;
    if (!vx::openForReading(file, path))
        return std::nullopt;
    // A header that begins within the bound is read whole, and with it the
    // next frame when that is to be found too.
    const qint64 want = kMp3SearchBytes + 3 + (confirmed ? kLongestFrame + 4 : 0);
    QByteArray block = file.read(want);
    const qint64 start = id3v2TagLength(block);
    if (start > 0) {
        if (!file.seek(start))
            return std::nullopt;
        block = file.read(want);
    }
    const bool blockEndsFile = block.size() < want;
    const auto *b = reinterpret_cast<const quint8 *>(block.constData());
    const qsizetype n = std::min<qsizetype>(block.size() - 3, kMp3SearchBytes);
    for (qsizetype i = 0; i < n; ++i) {
        if (b[i] == 0xFF && isLayer3Header(b[i + 1], b[i + 2], b[i + 3]) &&
            (!confirmed || nextFrameFollows(block, blockEndsFile, i)))
            return Mp3Frame{start + i + 1, b[i + 1], b[i + 2], b[i + 3]};
    }
    return std::nullopt;
}

std::optional<sonvert::WaveFormat> readWave(const QString &path)
{
    const sonvert::FileByteSource source(localPath(path));
    if (!source.isOpen())
        return std::nullopt;
    return sonvert::readWaveFormat(source);
}

bool isUsableWave(const std::optional<sonvert::WaveFormat> &format)
{
    return format && (format->formatTag == sonvert::kWaveFormatPcm || format->formatTag == sonvert::kWaveFormatFloat);
}

// One reading of a file's header, shared by the kind test and the record.
struct Inspection
{
    qint16 ending = sfkNotSound; // the kind the name asks for
    std::optional<sonvert::WaveFormat> wave;
    std::optional<sonvert::PcmHeader> pcm;
    std::optional<Mp3Frame> mp3;

    [[nodiscard]] qint16 kind(PcmHeaderInfo *info) const
    {
        switch (ending) {
        case sfkWave:
            return isUsableWave(wave) ? sfkWave : sfkNotSound;
        case sfkMp3:
            return mp3 ? sfkMp3 : sfkNotSound;
        case sfkPcm:
            if (!pcm)
                return sfkNotSound;
            if (info)
                *info = PcmHeaderInfo{pcm->dataLength, pcm->codeByte, pcm->tag};
            return pcm->compressed() ? sfkCompressedPcm : sfkPcm;
        default:
            return sfkNotSound;
        }
    }
};

Inspection inspect(const QString &path)
{
    Inspection in;
    const QString ending = path.right(4).toLower();
    if (ending == QLatin1String(".wav")) {
        in.ending = sfkWave;
        in.wave = readWave(path);
    } else if (ending == QLatin1String(".mp3")) {
        in.ending = sfkMp3;
        in.mp3 = findMp3Frame(path);
    } else if (ending == QLatin1String(".pcm")) {
        // The converter's own header reading, so a file counts as chip PCM
        // here exactly when the converter and the compiler accept it.
        in.ending = sfkPcm;
        in.pcm = sonvert::readPcmHeader(std::filesystem::path(localPath(path)));
    }
    return in;
}

} // namespace

void SoundLibTable::growToSlot(int highestSlot)
{
    if (highestSlot >= slotCount())
        mSlots.resize(static_cast<std::size_t>(highestSlot) + 1);
}

SoundRows &SoundLibTable::operator[](int slot)
{
    Q_ASSERT(slot >= 0);
    growToSlot(slot);
    return mSlots[static_cast<std::size_t>(slot)];
}

void SoundLibTable::clearSlot(int slot)
{
    (*this)[slot].clear();
}

bool IsWaveFile(const QString &path)
{
    return isUsableWave(readWave(path));
}

bool IsUnsupportedSoundFile(const QString &path)
{
    QByteArray head;
    if (path.right(4).toLower() != QLatin1String(".wav") || !vx::readFileBytes(path, head, nullptr, 12) ||
        head.mid(8, 4) != "WAVE")
        return false;
    const auto format = readWave(path);
    return format && !sonvert::isSupportedWave(*format);
}

qint32 IsMp3File(const QString &path)
{
    const auto frame = findMp3Frame(path);
    if (!frame || frame->position > std::numeric_limits<qint32>::max())
        return -1;
    return static_cast<qint32>(frame->position);
}

bool HoldsMp3Stream(const QString &path)
{
    return findMp3Frame(path, true).has_value();
}

qint16 GetSoundFileKind(const QString &path, PcmHeaderInfo *pcm)
{
    return inspect(path).kind(pcm);
}

qint32 PcmDisplayRate(quint8 codeByte)
{
    const int divisor = (155 - codeByte) & 127;
    if (divisor == 0)
        return 0;
    // 617 / divisor x 1000 to one decimal place, then to a whole number.
    const long long tenths = vx::roundHalfEven(6170000.0 / divisor);
    const auto rate = static_cast<qint32>(vx::roundHalfEven(static_cast<double>(tenths) / 10.0));
    switch (rate) {
    case 11018:
        return 11025;
    case 9952:
        return 10000;
    case 8013:
        return 8000;
    default:
        return rate;
    }
}

SoundEntry GetSoundFileInfo(const QString &folder, const QString &name, bool compressByDefault)
{
    SoundEntry e;
    e.FileName = name;
    e.Location = folder;
    const QString path = folder + name;
    PcmHeaderInfo pcm;
    const Inspection in = inspect(path);
    e.Kind = in.kind(&pcm);
    switch (e.Kind) {
    case sfkWave: {
        const sonvert::WaveFormat &format = *in.wave;
        e.Channels = static_cast<qint16>(format.channels);
        e.SampleRate = format.sampleRate;
        e.BitsPerSample = static_cast<qint16>(format.bitsPerSample);
        e.DataBytes = clampTo32(static_cast<double>(format.dataBytes));
        break;
    }
    case sfkPcm:
    case sfkCompressedPcm:
        e.Channels = 1;
        e.BitsPerSample = 8;
        e.DataBytes = static_cast<qint32>(pcm.length);
        e.Tag = pcm.tag;
        e.SampleRate = PcmDisplayRate(pcm.code);
        break;
    case sfkMp3: {
        const Mp3Frame *frame = &*in.mp3;
        const int v = (frame->h1 >> 3) & 3;
        const int s = (frame->h2 >> 2) & 3;
        const int b = frame->h2 >> 4;
        e.SampleRate = kMpegRates[v][s];
        e.BitRate = mpegBitRateKbps(v, b) * 1000;
        e.Channels = (frame->h3 & 0xC0) == 0xC0 ? 1 : 2;
        e.BitsPerSample = 16;
        std::error_code ec;
        const std::uintmax_t size = std::filesystem::file_size(localPath(path), ec);
        e.DataBytes = ec ? 0 : clampTo32(static_cast<double>(size));
        break;
    }
    default:
        return e;
    }
    e.Compress = e.Kind == sfkCompressedPcm ? false : compressByDefault;
    e.MemUsed = EstimateMemoryKB(e);
    return e;
}

int RateReductionFactor(qint32 sampleRate)
{
    if (sampleRate <= 0)
        return 0;
    return vx::roundHalfEvenInt(sampleRate / 11025.0 + 0.49);
}

qint32 EstimateMemoryKB(const SoundEntry &entry)
{
    if (entry.SampleRate <= 0)
        return 0;
    // Wide arithmetic: no factor or product here may wrap.
    long long f = RateReductionFactor(entry.SampleRate);
    if (f < 1)
        return 0;
    if (entry.BitsPerSample == 32)
        f *= 4;
    else if (entry.BitsPerSample == 16)
        f *= 2;
    if (entry.Channels == 2)
        f *= 2;
    if (entry.Compress)
        f *= 2;
    if (entry.BitRate < 1)
        return clampTo32(static_cast<double>(vx::roundHalfEven(static_cast<double>(entry.DataBytes) / f)));
    const double decoded = static_cast<double>(entry.DataBytes) * 16.0 / entry.BitRate * entry.SampleRate * entry.Channels;
    const double rounded = static_cast<double>(vx::roundHalfEven(decoded));
    return clampTo32(static_cast<double>(vx::roundHalfEven(rounded / static_cast<double>(f))));
}

int IsTagInUse(const SoundRows &rows, qint32 tag)
{
    if (tag == 0)
        return 0;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows[i].entry.Tag == tag)
            return static_cast<int>(i) + 1;
    }
    return 0;
}

QString DuplicateTagMessage(const QString &name, const QString &holder)
{
    return name + QStringLiteral(" will not be added to the library because ") +
           QStringLiteral("its tag is a duplicate of ") + holder + QStringLiteral(". ") + QLatin1Char('\n');
}
