#pragma once

#include <QString>

// The text with every character outside "0" to "9" removed; the argument is
// changed in place as well. Number boxes of both programs use it.
inline QString ForceDigitsOnly(QString &Text)
{
    QString digits;
    digits.reserve(Text.size());
    for (const QChar c : Text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    }
    Text = digits;
    return Text;
}
