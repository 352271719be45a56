#include "app/startup/Firmware.h"

#include "platform/TextFiles.h"

#include <QFile>

FirmwarePair FirmwarePairFor(int moduleCode, bool olderChip)
{
    switch (moduleCode) {
    case 1:
        if (olderChip)
            return {QStringLiteral("m$3c71e0.bin"), QStringLiteral("m$5d0a94.bin")};
        return {QStringLiteral("m$6e2b17.bin"), QStringLiteral("m$70c4d8.bin")};
    case 2:
        return {QStringLiteral("m$8a13f6.bin"), QStringLiteral("m$92e05b.bin")};
    case 4:
        return {QStringLiteral("m$a4d729.bin"), QStringLiteral("m$b1f6c3.bin")};
    case 7:
        return {QStringLiteral("m$c58e02.bin"), QStringLiteral("m$d36a9f.bin")};
    case 8:
        return {QStringLiteral("m$e70b4c.bin"), QStringLiteral("m$f29d15.bin")};
    default:
        return {};
    }
}

std::optional<QString> ModuleNameFor(int moduleCode)
{
    switch (moduleCode) {
    case 1:
        return QStringLiteral("Evaluation Board");
    case 2:
    case 8:
        return QStringLiteral("SM340A");
    case 4:
    case 7:
        return QStringLiteral("Vellatone LT");
    default:
        return std::nullopt;
    }
}

std::optional<int> SampleRateFor(int rateBits)
{
    switch (rateBits & 12) {
    case 0:
        return 10500;
    case 4:
        return 10000;
    case 8:
        return 8000;
    default:
        return std::nullopt;
    }
}

std::optional<int> FirstImageVersion(const QByteArray &image)
{
    if (image.size() < 14)
        return std::nullopt;
    // Each byte is stored XORed with the one before it, the first with 128.
    uint8_t plain[6];
    plain[0] = static_cast<uint8_t>(image[8]) ^ 0x80;
    for (int i = 1; i < 6; ++i)
        plain[i] = static_cast<uint8_t>(image[8 + i]) ^ plain[i - 1];
    return plain[5] * 256 + plain[4];
}

std::optional<int> SecondImageVersion(const QByteArray &image)
{
    if (image.size() < 132)
        return std::nullopt;
    const qsizetype at = image.size() - 132;
    if (at + 1 >= image.size())
        return std::nullopt;
    const uint8_t low = static_cast<uint8_t>(image[at]) ^ 0xFF;
    const uint8_t high = static_cast<uint8_t>(image[at + 1]) ^ low;
    return high * 256 + low;
}

// Only the bytes that carry the version are read: an image is never loaded
// whole, so a huge file or a device under that name cannot exhaust memory.

std::optional<int> FirstImageFileVersion(const QString &path)
{
    QFile f;
    if (!vx::openForReading(f, path))
        return std::nullopt;
    const QByteArray head = f.read(14);
    f.close();
    return FirstImageVersion(head);
}

std::optional<int> SecondImageFileVersion(const QString &path)
{
    QFile f;
    if (!vx::openForReading(f, path))
        return std::nullopt;
    const qint64 size = f.size();
    if (size < 132 || !f.seek(size - 132))
        return std::nullopt;
    QByteArray tail = f.read(2);
    f.close();
    if (tail.size() < 2)
        return std::nullopt;
    // Laid out as the last 132 bytes of an image, the version in front.
    tail.append(QByteArray(130, 0));
    return SecondImageVersion(tail);
}
