#include "app/documents/FindRules.h"

namespace {

// Upper case one character at a time, so positions stay where they were.
QString upperSameLength(const QString &s)
{
    QString out = s;
    for (QChar &c : out)
        c = c.toUpper();
    return out;
}

bool isAZ(QChar c)
{
    const QChar u = c.toUpper();
    return u >= QLatin1Char('A') && u <= QLatin1Char('Z');
}

bool isTextWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

} // namespace

int FindOptionsValue(FindFlags f)
{
    return (f.wholeWord ? 2 : 0) + (f.matchCase ? 4 : 0);
}

bool LineMatches(const QString &line, const QString &text, FindFlags f)
{
    const QString t = f.matchCase ? line : upperSameLength(line);
    const QString s = f.matchCase ? text : upperSameLength(text);
    const qsizetype p = t.indexOf(s);
    if (p < 0)
        return false;
    if (!f.wholeWord)
        return true;
    if (p > 0 && isAZ(t[p - 1]))
        return false;
    const qsizetype after = p + s.size();
    return !(after < t.size() && isAZ(t[after]));
}

std::optional<FindHit> FindNextLine(const QStringList &lines, qsizetype selectedRow, const QString &text, FindFlags f)
{
    for (const bool wrapped : {false, true}) {
        for (qsizetype r = wrapped ? 1 : selectedRow + 1; r <= lines.size(); ++r) {
            if (LineMatches(lines[r - 1], text, f))
                return FindHit{r, wrapped};
        }
    }
    return std::nullopt;
}

std::optional<FindHit> FindNextInText(const QString &content, qsizetype selStart, qsizetype selLength,
                                      const QString &text, FindFlags f)
{
    if (text.isEmpty())
        return std::nullopt;
    const Qt::CaseSensitivity cs = f.matchCase ? Qt::CaseSensitive : Qt::CaseInsensitive;
    for (const bool wrapped : {false, true}) {
        qsizetype from = wrapped ? 0 : selStart + (selLength > 0 ? 1 : 0);
        for (qsizetype p = content.indexOf(text, from, cs); p >= 0; p = content.indexOf(text, p + 1, cs)) {
            const qsizetype after = p + text.size();
            if (!f.wholeWord ||
                ((p == 0 || !isTextWordChar(content[p - 1])) && (after >= content.size() || !isTextWordChar(content[after]))))
                return FindHit{p, wrapped};
        }
    }
    return std::nullopt;
}

void AddFindHistory(QStringList &history, const QString &text)
{
    for (const QString &h : history) {
        if (h.compare(text, Qt::CaseInsensitive) == 0)
            return;
    }
    history.insert(0, text);
}

QString NotFoundMessage(const QString &text)
{
    return QLatin1Char('"') + text + QStringLiteral("\" not found. ");
}
