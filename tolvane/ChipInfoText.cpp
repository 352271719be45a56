#include "tolvane/ChipInfoText.h"

#include <cmath>

namespace tolv {

QString groupedNumber(long long value, bool blankZero)
{
    if (value == 0)
        return blankZero ? QString() : QStringLiteral("0");
    QString digits = QString::number(value < 0 ? -value : value);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, QLatin1Char(','));
    return value < 0 ? QLatin1Char('-') + digits : digits;
}

namespace {

QString hex2(uint8_t b) { return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper(); }

// Whole units, halves away from zero, as the number formats do.
long long wholeKb(double kb) { return static_cast<long long>(std::round(kb)); }

} // namespace

ChipInfoTexts FormatChipInfo(const LinkStatus &status, const ChipInfo &info)
{
    ChipInfoTexts t;
    if (status.recMemBytes() == -1)
        return t;
    t.known = true;
    t.family = (info.byte(3) & 3) == 1 ? QStringLiteral("SV3420") : QStringLiteral("SV3410");
    t.version = hex2(info.byte(7)) + hex2(info.byte(6)) + QLatin1Char('.') + hex2(info.byte(5)) + hex2(info.byte(4));
    const float buffer = static_cast<float>(status.inputBufferSize()) / 1024.0f;
    t.buffer = QString::number(buffer, 'g', 7) + QStringLiteral(" KB");
    t.total = groupedNumber(wholeKb(status.recMemBytes() / 1024.0), true) + QStringLiteral(" KB");
    const float free = static_cast<float>(status.freeBytes()) / 1024.0f;
    if (free < 0) {
        t.avail = t.files = QStringLiteral("n/a");
        t.corrupt = status.freeBytes() == -2;
        return t;
    }
    if (free >= 10)
        t.avail = groupedNumber(wholeKb(free), true) + QStringLiteral(" KB");
    else
        t.avail = QString::number(std::round(free * 10.0) / 10.0, 'f', 1) + QStringLiteral(" KB");
    t.files = groupedNumber(status.fileCount(), false);
    return t;
}

} // namespace tolv
