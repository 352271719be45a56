#include "app/documents/GridFile.h"

#include "common/SafeFile.h"
#include "platform/Cp1252.h"
#include "platform/FileNames.h"
#include "platform/TextFiles.h"

#include <string>

namespace {

// Lines of a text, ended by CR LF, LF or CR. The empty tail after the last
// line break is no line.
std::vector<QString> splitLines(const QString &text)
{
    std::vector<QString> lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.push_back(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.push_back(text.mid(start));
    return lines;
}

QStringView trimmedRight(QStringView s)
{
    qsizetype end = s.size();
    while (end > 0 && s[end - 1] == QLatin1Char(' '))
        --end;
    return s.first(end);
}

bool continues(const QString &line)
{
    return trimmedRight(line).endsWith(QLatin1String(" _"));
}

// The count of a marker: the digits from its fourth character on, as a
// 16-bit number (a longer run saturates); 0 when there are none.
int markerCount(const QString &marker)
{
    int n = 0;
    for (qsizetype i = 3; i < marker.size() && marker[i].isDigit() && marker[i].unicode() < 128; ++i)
        n = std::min(n * 10 + (marker[i].unicode() - '0'), 32767);
    return n;
}

} // namespace

QByteArray GridFileBytes(const GridRows &g)
{
    QString text;
    text.reserve(g.Rows() * 24);
    for (const GridRow &row : g.all()) {
        if (row.itemData > 0) {
            text += QLatin1String(row.icon == kIconCollapsed ? ";#H" : ";#h");
            text += QString::number(row.itemData);
            text += QLatin1String("\r\n");
        }
        text += SingleLineCellText(row.text);
        text += QLatin1String("\r\n");
    }
    return vx::toCp1252(text);
}

GridRows ParseGridFile(QByteArrayView bytes, const RuleCheck &check)
{
    const std::vector<QString> lines = splitLines(vx::fromCp1252(bytes));
    GridRows g;
    g.reserve(static_cast<int>(lines.size()));
    const size_t count = lines.size();
    for (size_t i = 0; i < count;) {
        QString s = lines[i++];
        while (continues(s) && i < count)
            s = trimmedRight(s).chopped(2).toString() + lines[i++];

        int itemData = 0;
        int icon = kNoIcon;
        if (s.startsWith(QLatin1String(";#"))) {
            if (i >= count)
                break; // a marker with no line behind it heads nothing
            itemData = markerCount(s);
            icon = s.size() > 2 && s[2] == QLatin1Char('H') ? kIconCollapsed : kIconExpanded;
            s = lines[i++];
        }
        GridRow &row = g.row(g.AddRow());
        row.text = std::move(s);
        row.itemData = itemData;
        row.icon = icon;
        if (check && !check(row.text, true))
            row.foreColor = kBadRuleFore;
    }
    HideCollapsedGroups(g);
    RenumberGridItemData(g);
    FormatGridRow(g);
    return g;
}

bool SaveGridFile(const QString &path, const GridRows &g, QString *error)
{
    const QByteArray bytes = GridFileBytes(g);
    std::string why;
    if (vx::writeFileAtomically(vx::fileNameBytes(path).toStdString(), std::string_view(bytes.constData(), bytes.size()),
                                &why))
        return true;
    if (error)
        *error = QString::fromLocal8Bit(why);
    return false;
}

bool LoadGridFile(const QString &path, GridRows &g, const RuleCheck &check, QString *error)
{
    QByteArray bytes;
    if (!vx::readFileBytes(path, bytes, error))
        return false;
    g = ParseGridFile(bytes, check);
    return true;
}
