#pragma once

// What a sound library window shows of its records: the list's cells, the
// properties panel's lines and the library totals. Numbers are grouped with
// the user's locale separators. Qt Core only.

#include "app/soundlib/SoundEntry.h"

#include <QLocale>
#include <QString>

// The whole number with the locale's thousands separator ("#,##0"); with
// blankZero a zero gives "" ("#,###").
[[nodiscard]] QString FormatGrouped(qint64 value, bool blankZero = false, const QLocale &locale = QLocale());

// A byte count as whole kilobytes (halves to even): every figure of chip
// memory the window and the printed listing show.
[[nodiscard]] qint64 MemUsedKB(qint64 bytes);

// A byte count as whole kilobytes (halves to even), grouped, then " KB".
[[nodiscard]] QString MemUsedText(qint64 bytes, const QLocale &locale = QLocale());

// A name in proper case (each word's first letter upper, the rest lower),
// for display only: the record keeps the name as it is on disk.
[[nodiscard]] QString ProperCaseName(const QString &name);

// The list's text for a file: its name without the last extension, in proper case.
[[nodiscard]] QString SoundItemText(const QString &fileName);

// The six cells of a record's row ("•" marks compression, also for a file
// that is already compressed chip PCM, and boost).
[[nodiscard]] SoundListItem MakeListItem(const SoundEntry &entry, const QLocale &locale = QLocale());

// The properties panel's format line, e.g. "Mono, 11.025 kHz, 8 bit, 1,234 KB";
// "File has been moved or deleted!" for kind -1.
[[nodiscard]] QString PropertiesLine(const SoundEntry &entry, const QLocale &locale = QLocale());

// The rate the conversion will use, e.g. "11.025 kHz" for 44100 Hz; "" when
// the record has no usable rate.
[[nodiscard]] QString RateLabel(const SoundEntry &entry, const QLocale &locale = QLocale());

// The record's memory estimate, "< " in front when it is compressed.
[[nodiscard]] QString MemLabel(const SoundEntry &entry, const QLocale &locale = QLocale());

// The library's totals: files that are sounds (kind -1 rows not counted),
// their summed estimate, and the gauge value on its fixed 8000 KB scale.
struct SoundLibTotals
{
    int files = 0;
    qint64 totalBytes = 0;
    qint64 totalKB = 0;
    double gauge = 0; // may fall below 0 or above 100; the view clamps it
    QString filesText;
    QString sizeText;
};
[[nodiscard]] SoundLibTotals ComputeSoundLibTotals(const SoundRows &rows, const QLocale &locale = QLocale());
