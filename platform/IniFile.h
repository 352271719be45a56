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
// left out, so it reads as missing. A line that names no key (no '=', a key
// with an empty part such as one of only slashes, a section header naming
// none) is an entry of its section whose key is the section's with a '/'
// ("/" outside any section) and whose text is the line as written, bytes as
// Latin-1: buildIni writes it back as it stood. A header naming no section
// leaves the keys below it in the section above.
[[nodiscard]] QList<IniEntry> parseIni(QByteArrayView bytes);

// The INI text of entries: one section per first part of the keys, in the
// order they first appear, keys in their order; a kept line that would take
// the next line into it (an open quote) comes last in the text.
[[nodiscard]] QByteArray buildIni(const QList<IniEntry> &entries);

} // namespace vx
