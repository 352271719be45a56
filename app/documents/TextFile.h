#pragma once

// Plain text files of the text windows: Windows-1252 bytes, lines ended by
// CR LF when written; CR LF, LF or a lone CR accepted when read.

#include <QString>
#include <QStringView>

// A text window holds at most this many characters (a line break counts one).
inline constexpr qsizetype kTextMaxLength = 400000;

// Writes text (lines separated by LF) to path through a temporary file that
// replaces the old one only once everything is on disk. Returns false with the
// reason in *error when it fails; the old file is then untouched.
bool SaveTextFile(const QString &path, QStringView text, QString *error = nullptr);

// Reads path into text with LF line breaks, cut to kTextMaxLength characters;
// of a longer file only the bytes those characters can need are read.
// Returns false with the reason in *error when the file cannot be read; text
// is then left as it was.
bool LoadTextFile(const QString &path, QString &text, QString *error = nullptr);
