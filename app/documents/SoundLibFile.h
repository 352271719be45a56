#pragma once

// The sound library list file (".sfl"): one value per line, CR LF, strings in
// double quotes, Booleans as #TRUE# / #FALSE#. Versions 1 to 4 are read (8,
// 10, 11 or 12 lines per sound); version 4 is written. Qt Core only.

#include "app/soundlib/SoundEntry.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

inline constexpr char kSoundLibMagic[] = "KWLIB";
inline constexpr int kSoundLibVersion = 4;

// The most a list file of SoundLibTable::kMaxRows sounds can hold: per sound
// ten values of at most 11 characters and two names of up to a whole path
// each (4096 bytes, a byte that is no UTF-8 stored as three), with their
// quotation marks and line ends. A larger file is refused unread.
inline constexpr qint64 kMaxSoundLibFileBytes =
    64 + qint64(SoundLibTable::kMaxRows) * (10 * (11 + 2) + 2 * (3 * 4096 + 4));

// The file's bytes for these records, in version 4. Returns nothing (and a
// message in *error) when a name or folder holds a line break, which the
// format cannot store.
[[nodiscard]] std::optional<QByteArray> BuildSoundLibFile(const QList<SoundEntry> &entries, QString *error = nullptr);

// The records of a list file. Every record starts from zero, so fields that
// an older version lacks are 0 and False; MemUsed is estimated anew. The
// magic is not tested here (the opener does that). Returns nothing, with one
// message in *error, when a line does not hold a value of its type, the file
// ends early, or it lists more than 5000 sounds.
[[nodiscard]] std::optional<QList<SoundEntry>> ParseSoundLibFile(QByteArrayView bytes, QString *error = nullptr);

// Whether the file's first value is exactly "KWLIB".
[[nodiscard]] bool HasSoundLibMagic(QByteArrayView bytes);

// Writes the records to `path` through a temporary file and a rename; a failed
// save leaves the old file whole. Returns false with a message in *error.
[[nodiscard]] bool SaveSoundLibFile(const QString &path, const QList<SoundEntry> &entries, QString *error = nullptr);

// Reads a list file's bytes. False, with a message in *error, when it cannot
// be read or is larger than kMaxSoundLibFileBytes (judged before reading).
[[nodiscard]] bool ReadSoundLibFileBytes(const QString &path, QByteArray &bytes, QString *error = nullptr);

// Reads a list file from disk; nothing (and a message) when it cannot be read,
// is too large, does not begin with the magic or is malformed.
[[nodiscard]] std::optional<QList<SoundEntry>> LoadSoundLibFile(const QString &path, QString *error = nullptr);
