#pragma once

// Grid text files, the dictionary (.dic) and music score (.tgn) sources: one
// line per row in Windows-1252, each ended by CR LF. A marker line ";#H<n>"
// (collapsed) or ";#h<n>" (expanded) stands before the line of a header whose
// group spans n rows; any other line, ";#" ones too, is a row. When read, a
// line ending in " _" continues on the next unless that is a marker.

#include "app/documents/GridRows.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The file's bytes for the rows: marker lines before headers, every row's
// text in order, hidden rows included. An empty grid gives no bytes.
[[nodiscard]] QByteArray GridFileBytes(const GridRows &g);

// Rows from a file's bytes: markers and continuation lines applied, member
// marks written, collapsed groups hidden and every row formatted. Only a row
// that stays a header keeps a group picture or hides rows. A marker line at
// the very end of the file makes no row. When check is set (a dictionary),
// each row that fails it, checked silently, gets the bad-rule colour.
[[nodiscard]] GridRows ParseGridFile(QByteArrayView bytes, const RuleCheck &check = {});

// Writes the rows to path through a temporary file that replaces the old one
// only once everything is on disk. Returns false with the reason in *error;
// the old file is then untouched.
bool SaveGridFile(const QString &path, const GridRows &g, QString *error = nullptr);

// The largest grid file that opens: what the dictionary compiler, or the
// score compiler, accepts as a source.
[[nodiscard]] qint64 MaxGridFileBytes(bool dictionary);
// Why a file of size bytes is refused unread as a dictionary (else a music
// score) source; empty when it may be read.
[[nodiscard]] QString GridFileSizeError(qint64 size, bool dictionary);

// Reads path into g (see ParseGridFile); a dictionary when check is set, else
// a music score. Returns false with the reason in *error when the file cannot
// be read or is larger than MaxGridFileBytes (then refused unread); g is then
// left as it was.
bool LoadGridFile(const QString &path, GridRows &g, const RuleCheck &check = {}, QString *error = nullptr);
