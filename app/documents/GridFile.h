#pragma once

// Grid text files, the dictionary (.dic) and music score (.tgn) sources: one
// line per row in Windows-1252, each ended by CR LF. A marker line ";#H<n>"
// (collapsed) or ";#h<n>" (expanded) stands before the line of a header whose
// group spans n rows. When read, a line ending in " _" continues on the next.

#include "app/documents/GridRows.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The file's bytes for the rows: marker lines before headers, every row's
// text in order, hidden rows included. An empty grid gives no bytes.
[[nodiscard]] QByteArray GridFileBytes(const GridRows &g);

// Rows from a file's bytes: markers and continuation lines applied, collapsed
// groups hidden, member marks written and every row formatted. A marker line
// at the very end of the file makes no row. When check is set (a dictionary),
// each row that fails it, checked silently, gets the bad-rule colour.
[[nodiscard]] GridRows ParseGridFile(QByteArrayView bytes, const RuleCheck &check = {});

// Writes the rows to path through a temporary file that replaces the old one
// only once everything is on disk. Returns false with the reason in *error;
// the old file is then untouched.
bool SaveGridFile(const QString &path, const GridRows &g, QString *error = nullptr);

// Reads path into g (see ParseGridFile). Returns false with the reason in
// *error when the file cannot be read; g is then left as it was.
bool LoadGridFile(const QString &path, GridRows &g, const RuleCheck &check = {}, QString *error = nullptr);
