#include "app/documents/GridFile.h"

#include "common/SafeFile.h"
#include "components/cantorel/ScoreCompiler.h"
#include "components/lexmold/DictionaryCompiler.h"
#include "platform/Cp1252.h"
#include "platform/FileNames.h"
#include "platform/TextFiles.h"

#include <QFile>

#include <algorithm>
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

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// A group marker is ";#H" or ";#h" and a count, as the writer puts it (blanks
// after it aside). Any other line beginning ";#" is a row the user wrote: to
// the compilers a comment like every line beginning ";".
bool isMarker(const QString &line)
{
    const QStringView s = trimmedRight(line);
    if (s.size() < 4 || !s.startsWith(QLatin1String(";#")) || (s[2] != QLatin1Char('H') && s[2] != QLatin1Char('h')))
        return false;
    return std::all_of(s.begin() + 3, s.end(), isAsciiDigit);
}

// The count of a marker, as a 16-bit number (a longer run saturates).
int markerCount(const QString &marker)
{
    int n = 0;
    for (qsizetype i = 3; i < marker.size() && isAsciiDigit(marker[i]); ++i)
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
        // A continued line never takes in the marker of the next group: the
        // row keeps its " _", and the compile joins it with the header's line.
        while (continues(s) && i < count && !isMarker(lines[i]))
            s = trimmedRight(s).chopped(2).toString() + lines[i++];

        int itemData = 0;
        int icon = kNoIcon;
        if (isMarker(s)) {
            if (i >= count)
                break; // a marker with no line behind it heads nothing
            itemData = markerCount(s);
            icon = s[2] == QLatin1Char('H') ? kIconCollapsed : kIconExpanded;
            s = lines[i++];
        }
        GridRow &row = g.row(g.AddRow());
        row.text = std::move(s);
        row.itemData = itemData;
        row.icon = icon;
        if (check && !check(row.text, true))
            row.foreColor = kBadRuleFore;
    }
    // Markers may overlap or count zero: once the member marks are written,
    // only what remains a header keeps its picture and hides rows, so no row
    // is left hidden where nothing can show it again.
    RenumberGridItemData(g);
    for (int r = 1; r <= g.Rows(); ++r) {
        if (g.row(r).itemData <= 0)
            g.row(r).icon = kNoIcon;
    }
    HideCollapsedGroups(g);
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

qint64 MaxGridFileBytes(bool dictionary)
{
    return static_cast<qint64>(dictionary ? lexmold::kMaxSourceBytes : cantorel::ScoreCompiler::kMaxSourceBytes);
}

QString GridFileSizeError(qint64 size, bool dictionary)
{
    const qint64 max = MaxGridFileBytes(dictionary);
    if (size <= max)
        return {};
    return QStringLiteral("The file is larger than a ") + QLatin1String(dictionary ? "dictionary" : "music score") +
           QStringLiteral(" source may be (") + QString::number(max >> 20) + QStringLiteral(" MB).");
}

bool LoadGridFile(const QString &path, GridRows &g, const RuleCheck &check, QString *error)
{
    // Refused before it is read: no compiler would take it, and reading it
    // would only freeze the program.
    const bool dictionary = static_cast<bool>(check);
    QFile f;
    if (!vx::openForReading(f, path, error))
        return false;
    if (const QString tooLarge = GridFileSizeError(f.size(), dictionary); !tooLarge.isEmpty()) {
        if (error)
            *error = tooLarge;
        return false;
    }
    const QByteArray bytes = f.readAll();
    if (f.error() != QFileDevice::NoError) {
        if (error)
            *error = f.errorString();
        return false;
    }
    g = ParseGridFile(bytes, check);
    return true;
}
