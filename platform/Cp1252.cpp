#include "platform/Cp1252.h"

#include <QSet>

namespace vx {

namespace {
// 0x80..0x9F; unassigned positions keep their own value.
constexpr char16_t kHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
} // namespace

QChar fromCp1252Char(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F)
        return QChar(kHigh[b - 0x80]);
    return QChar(static_cast<char16_t>(b));
}

char toCp1252Char(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] == u)
            return static_cast<char>(0x80 + i);
    return '?';
}

QList<char32_t> charactersOutsideCp1252(QStringView text)
{
    QList<char32_t> found;
    QSet<char32_t> seen;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('?') || toCp1252Char(c) != '?')
            continue;
        char32_t u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            u = QChar::surrogateToUcs4(c, text[++i]);
        if (!seen.contains(u)) {
            seen.insert(u);
            found.append(u);
        }
    }
    return found;
}

QByteArray toCp1252(QStringView text)
{
    QByteArray out;
    out.resize(text.size());
    char *d = out.data();
    for (qsizetype i = 0; i < text.size(); ++i)
        d[i] = toCp1252Char(text[i]);
    return out;
}

QString fromCp1252(QByteArrayView bytes)
{
    QString out(bytes.size(), Qt::Uninitialized);
    QChar *d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        d[i] = fromCp1252Char(static_cast<unsigned char>(bytes[i]));
    return out;
}

} // namespace vx
