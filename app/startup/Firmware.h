#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The chipset firmware images in Bin/ under the program folder. Only the
// version is read from an image; the rest goes to the chip unchanged.

// The pair of images for a board: first and second file name. Empty names
// when the module code has no pair (no update check for it).
struct FirmwarePair
{
    QString first;
    QString second;
    [[nodiscard]] bool valid() const { return !first.isEmpty(); }
};
[[nodiscard]] FirmwarePair FirmwarePairFor(int moduleCode, bool olderChip);

// The board name of a module code, or nullopt for a code that names none.
[[nodiscard]] std::optional<QString> ModuleNameFor(int moduleCode);
// The chip's output rate for the rate bits (byte 3 AND 12), or nullopt for 12.
[[nodiscard]] std::optional<int> SampleRateFor(int rateBits);

// Version of a first image: the 6 chained bytes at offset 8. nullopt when the
// image is too short to hold them.
[[nodiscard]] std::optional<int> FirstImageVersion(const QByteArray &image);
// Version of a second image: the 2 chained bytes 132 bytes before its end.
// nullopt when the image is shorter than 132 bytes.
[[nodiscard]] std::optional<int> SecondImageVersion(const QByteArray &image);
// The same, read from a file (opened read-only and closed at once). nullopt
// when the file is missing, unreadable, too short or no regular file (a
// pipe or a device under that name is never opened for reading).
[[nodiscard]] std::optional<int> FirstImageFileVersion(const QString &path);
[[nodiscard]] std::optional<int> SecondImageFileVersion(const QString &path);
