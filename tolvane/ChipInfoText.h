#pragma once

// The chip information page's texts, from the link library's two records.

#include "link/LinkRecords.h"

#include <QString>

namespace tolv {

struct ChipInfoTexts
{
    bool known = false;   // false: no recording memory reported; the page keeps what it shows
    bool corrupt = false; // the recording memory is corrupt: the message label says so
    QString family, version, buffer, total, avail, files;
};

[[nodiscard]] ChipInfoTexts FormatChipInfo(const LinkStatus &status, const ChipInfo &info);

// Whole number with thousands separators; zero gives an empty text when
// blankZero, else "0".
[[nodiscard]] QString groupedNumber(long long value, bool blankZero);

} // namespace tolv
