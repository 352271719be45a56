#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace vx {

// Text to the single bytes that the chip and the files use (Windows-1252).
// The five bytes that code page leaves unassigned stand for the control
// characters of the same value, so every byte survives a round trip; a
// character outside the code page becomes "?".
[[nodiscard]] QByteArray toCp1252(QStringView text);
[[nodiscard]] QString fromCp1252(QByteArrayView bytes);
[[nodiscard]] char toCp1252Char(QChar c);
[[nodiscard]] QChar fromCp1252Char(unsigned char b);
// The characters of text that the code page cannot hold, which toCp1252
// writes as "?": each once, in the order they first appear. A surrogate pair
// is one character; a lone surrogate stands for itself.
[[nodiscard]] QList<char32_t> charactersOutsideCp1252(QStringView text);

} // namespace vx
