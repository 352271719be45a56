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

// How file names are shown: the first letter of each blank-separated word
// upper case, every other letter lower case ("my story.TXT" -> "My Story.txt").
inline QString ProperCase(const QString &text)
{
    QString out = text.toLower();
    bool wordStart = true;
    for (QChar &c : out) {
        if (wordStart)
            c = c.toUpper();
        wordStart = c.isSpace() || c.unicode() == 0;
    }
    return out;
}
