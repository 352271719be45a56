#include "link/DownloadCheck.h"

#include "link/Protocol.h"
#include "platform/TextFiles.h"

#include <QFile>
#include <QFileInfo>

namespace vx {

namespace {

// A greeting is its 9-byte header, at most 235 bytes of settings and text,
// and a NUL.
constexpr qint64 kLargestGreeting = 9 + 235 + 1;
// A compiled dictionary's index holds 16-bit signed offsets counted from
// byte 20, each pointing at the last byte before its group, so its data
// ends at byte 20 + 32767 at the latest; the closing terminator and its
// three pad bytes follow.
constexpr qint64 kLargestDictionary = 20 + 32767 + 1 + 6;

const QByteArray kSoundLibraryHead("\r\r\x18\x1e\x01", 5);
const QByteArray kGreetingHead("\r\r\x18\x1e\x01" "255w", 9);
const QByteArray kDictionaryHead("\r\r\x18\x1e\x01l\x00\x01" "247w\0\0\0\0\xCA\xB9", 18);

quint32 le24(const QByteArray &b, int at)
{
    return quint8(b[at]) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16;
}

// A chip PCM file in either header form: its length less the header is the
// data length the header declares. Only the marked form opens with the
// command that has the chip store it.
bool isMarkedPcm(const QByteArray &head, qint64 size)
{
    return size >= 16 && quint8(head[8]) == 0xC0 && quint8(head[9]) == 0xDB && size - 16 == le24(head, 10);
}

bool isChipPcm(const QByteArray &head, qint64 size)
{
    return isMarkedPcm(head, size) || (size >= 4 && size - 4 == le24(head, 0));
}

QByteArray padded(const QByteArray &head)
{
    QByteArray out = head.left(DownloadHeadBytes);
    out.append(QByteArray(DownloadHeadBytes - out.size(), '\0'));
    return out;
}

bool hasHeader(DownloadStream stream, const QByteArray &head, qint64 size)
{
    switch (stream) {
    case DownloadStream::SoundLibrary:
        // The command that names the flavour, and the marker word behind the
        // five length and sum fields.
        return head.startsWith(kSoundLibraryHead) &&
               (head.mid(5, 4) == "100w" || head.mid(5, 4) == "223w") && head.mid(29, 2) == "\xEC\xDB";
    case DownloadStream::Greeting:
        return head.startsWith(kGreetingHead);
    case DownloadStream::Dictionary:
        return head.startsWith(kDictionaryHead);
    case DownloadStream::ChipPcm:
        return isChipPcm(head, size);
    case DownloadStream::Firmware: // the chip judges an image itself
    case DownloadStream::Other:
        return true;
    }
    return true;
}

QString kindName(DownloadStream stream)
{
    switch (stream) {
    case DownloadStream::SoundLibrary: return QStringLiteral("compiled sound library");
    case DownloadStream::Greeting: return QStringLiteral("greeting file");
    case DownloadStream::Dictionary: return QStringLiteral("compiled dictionary");
    case DownloadStream::ChipPcm: return QStringLiteral("chip PCM file");
    default: return QStringLiteral("file the chip takes");
    }
}

} // namespace

DownloadStream downloadStreamOf(const QString &path)
{
    const QString ext = QFileInfo(path).suffix().toLower();
    if (ext == QLatin1String("sfx"))
        return DownloadStream::SoundLibrary;
    if (ext == QLatin1String("grt"))
        return DownloadStream::Greeting;
    if (ext == QLatin1String("dix"))
        return DownloadStream::Dictionary;
    if (ext == QLatin1String("pcm"))
        return DownloadStream::ChipPcm;
    if (ext == QLatin1String("bin"))
        return DownloadStream::Firmware;
    return DownloadStream::Other;
}

DownloadStream downloadStreamOf(const QString &path, const QByteArray &head, qint64 size)
{
    const DownloadStream byName = downloadStreamOf(path);
    if (byName != DownloadStream::Other)
        return byName;
    const QByteArray start = padded(head);
    for (const DownloadStream stream : {DownloadStream::SoundLibrary, DownloadStream::Greeting,
                                        DownloadStream::Dictionary}) {
        if (hasHeader(stream, start, size))
            return stream;
    }
    // The plain form's only mark is its length, which any bytes may match.
    return isMarkedPcm(start, size) ? DownloadStream::ChipPcm : DownloadStream::Other;
}

DownloadStream downloadStreamOfFile(const QString &path)
{
    const DownloadStream byName = downloadStreamOf(path);
    if (byName != DownloadStream::Other)
        return byName;
    QFile file;
    if (!vx::openForReading(file, path))
        return DownloadStream::Other;
    return downloadStreamOf(path, file.peek(DownloadHeadBytes), file.size());
}

qint64 largestDownload(DownloadStream stream, qint64 recMemBytes)
{
    switch (stream) {
    case DownloadStream::Greeting: return kLargestGreeting;
    case DownloadStream::Dictionary: return kLargestDictionary;
    case DownloadStream::Firmware: return proto::MaxRecMemBytes;
    default: return recMemBytes;
    }
}

std::optional<LinkError> downloadRefusal(const QString &name, DownloadStream stream, const QByteArray &head,
                                         qint64 size, qint64 recMemBytes, bool olderChip)
{
    // The chip would take such bytes as text, or keep them nowhere.
    if (stream == DownloadStream::Other)
        return LinkError(LinkError::NotDownloadable,
                         QStringLiteral("The file %1 is not a file the chip takes. Choose a compiled sound library "
                                        "(.sfx), greeting (.grt), compiled dictionary (.dix), chip PCM file (.pcm) "
                                        "or chipset image (.bin).")
                             .arg(name));
    if (stream == DownloadStream::ChipPcm && olderChip)
        return LinkError(LinkError::NotDownloadable,
                         QStringLiteral("The file %1 cannot be stored in the SV3410, which keeps no chip PCM files. "
                                        "Play it in the SV3410's real-time playback mode instead.")
                             .arg(name));
    if (size <= 0)
        return LinkError(LinkError::NotDownloadable, QStringLiteral("The file %1 is empty.").arg(name));
    const qint64 largest = largestDownload(stream, recMemBytes);
    if (size > largest)
        return LinkError(LinkError::NotDownloadable,
                         QStringLiteral("The file %1 is %2 bytes long; the chip takes at most %3 bytes.")
                             .arg(name)
                             .arg(size)
                             .arg(largest));
    const QByteArray start = padded(head);
    if (!hasHeader(stream, start, size))
        return LinkError(LinkError::NotDownloadable,
                         QStringLiteral("The file %1 is not a %2.").arg(name, kindName(stream)));
    if (stream == DownloadStream::ChipPcm && !isMarkedPcm(start, size))
        return LinkError(LinkError::NotDownloadable,
                         QStringLiteral("The file %1 is a chip PCM file in the SV3410 form, which carries no command "
                                        "for the chip to store it. Convert the sound again with SV3410 "
                                        "compatibility off (data files for the SV3420 chipset only).")
                             .arg(name));
    return std::nullopt;
}

} // namespace vx
