#pragma once

// Which files the chip takes, and how file names are shown.

#include <QString>
#include <QStringList>

namespace tolv {

// True when the name ends in .pcm, .sfx, .dix, .grt or .bin, in any case, or
// else the file's first bytes show one of those kinds but a chipset image.
[[nodiscard]] bool isDownloadable(const QString &path);
// The open dialog's filter.
[[nodiscard]] QString downloadFilter();
// First letter of every word upper case, the others lower case.
[[nodiscard]] QString ProperCase(const QString &text);
// The file name without folder, in proper case.
[[nodiscard]] QString displayName(const QString &path);

} // namespace tolv
