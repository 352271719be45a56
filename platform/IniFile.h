#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <utility>

// The settings store's INI text, read and written by the program itself so
// that a save can go through the one safe writer. The text is the one the
// store always kept: sections as "[Recent%20Files]", keys and values escaped
// the same way, UTF-8, so files written earlier read the same.

namespace vx {

// One key: "Section/Key" (a key outside any section has no section part) and
// its text.
using IniEntry = std::pair<QString, QString>;

// The keys of an INI text in file order. A key given twice keeps its first
// place and its last text. A value written by hand as a list ("a, b") reads
// as its items joined by commas; one that holds no text ("@Invalid()") is
// left out, so it reads as missing.
[[nodiscard]] QList<IniEntry> parseIni(QByteArrayView bytes);

// The INI text of entries: one section per first part of the keys, in the
// order they first appear, keys in their order.
[[nodiscard]] QByteArray buildIni(const QList<IniEntry> &entries);

} // namespace vx
