#include "platform/IniFile.h"

#include <QHash>
#include <QStringDecoder>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <optional>

namespace vx {

namespace {

bool isLineSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool isHexDigit(char16_t c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

bool isOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// The next line with content from pos: a line end inside double quotes or
// after a backslash belongs to the line, and a ';' outside quotes starts a
// comment that runs to the line end. equals is the place of the first '='
// outside quotes in the line, -1 when there is none.
bool nextLine(QByteArrayView data, qsizetype &pos, QByteArrayView &line, qsizetype &equals)
{
    const qsizetype n = data.size();
    for (;;) {
        while (pos < n && isLineSpace(data[pos]))
            ++pos;
        if (pos >= n)
            return false;
        if (data[pos] != ';')
            break;
        while (pos < n && data[pos] != '\n' && data[pos] != '\r')
            ++pos;
    }
    const qsizetype start = pos;
    bool inQuotes = false;
    equals = -1;
    while (pos < n) {
        const char c = data[pos];
        if (c == '\\') {
            ++pos;
            if (pos < n) {
                const char escaped = data[pos++];
                if (pos < n && ((escaped == '\n' && data[pos] == '\r') || (escaped == '\r' && data[pos] == '\n')))
                    ++pos;
            }
            continue;
        }
        if (c == '"')
            inQuotes = !inQuotes;
        else if (c == '=' && !inQuotes && equals < 0)
            equals = pos - start;
        else if ((c == '\n' || c == '\r' || c == ';') && !inQuotes)
            break;
        ++pos;
    }
    line = data.sliced(start, pos - start);
    return true;
}

// "%20" and "%U00E9" back to their characters, "\" back to "/".
QString unescapeKey(QByteArrayView key)
{
    const QString text = QString::fromUtf8(key);
    QString out;
    for (qsizetype i = 0; i < text.size();) {
        const QChar c = text[i];
        if (c == QLatin1Char('\\')) {
            out += QLatin1Char('/');
            ++i;
            continue;
        }
        if (c != QLatin1Char('%') || i == text.size() - 1) {
            out += c;
            ++i;
            continue;
        }
        const bool wide = text[i + 1] == QLatin1Char('U');
        const qsizetype first = i + (wide ? 2 : 1);
        const qsizetype digits = wide ? 4 : 2;
        bool ok = false;
        const char16_t code = first + digits <= text.size() ? QStringView(text).sliced(first, digits).toUShort(&ok, 16) : 0;
        if (!ok) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        out += QChar(code);
        i = first + digits;
    }
    return out;
}

// A value as written to its text: escapes undone, quotes taken off, blanks
// around unquoted text dropped. A comma outside quotes makes it a list,
// returned in items (true).
bool unescapeValue(QByteArrayView v, QString &text, QStringList &items)
{
    static constexpr char kEscapes[][2] = {{'a', '\a'}, {'b', '\b'}, {'f', '\f'}, {'n', '\n'},  {'r', '\r'}, {'t', '\t'},
                                           {'v', '\v'}, {'"', '"'},  {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    const qsizetype n = v.size();
    qsizetype i = 0;
    qsizetype keep = 0; // text before this place is never trimmed
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    bool trimEnd = true;
    const auto skipBlanks = [&] {
        while (i < n && (v[i] == ' ' || v[i] == '\t'))
            ++i;
        keep = text.size();
    };
    const auto trimBlanks = [&] {
        while (text.size() > keep && (text.back() == QLatin1Char(' ') || text.back() == QLatin1Char('\t')))
            text.chop(1);
    };
    skipBlanks();
    while (i < n) {
        const char c = v[i];
        if (c == '\\') {
            if (++i >= n) {
                trimEnd = false;
                break;
            }
            const char e = v[i++];
            const auto *simple = std::find_if(std::begin(kEscapes), std::end(kEscapes), [e](const char *p) { return p[0] == e; });
            if (simple != std::end(kEscapes)) {
                text += QLatin1Char((*simple)[1]);
            } else if (e == 'x') {
                if (i >= n) {
                    trimEnd = false;
                    break;
                }
                if (isHexDigit(char16_t(uchar(v[i])))) {
                    char16_t code = 0;
                    for (; i < n && isHexDigit(char16_t(uchar(v[i]))); ++i)
                        code = char16_t(code * 16 + hexValue(v[i]));
                    text += QChar(code);
                }
            } else if (isOctalDigit(e)) {
                char16_t code = char16_t(e - '0');
                for (; i < n && isOctalDigit(v[i]); ++i)
                    code = char16_t(code * 8 + (v[i] - '0'));
                text += QChar(code);
            } else if ((e == '\n' || e == '\r') && i < n && (v[i] == '\n' || v[i] == '\r') && v[i] != e) {
                ++i; // a line continued after a backslash
            }
            keep = text.size();
            continue;
        }
        if (c == '"') {
            ++i;
            quoted = true;
            inQuotes = !inQuotes;
            if (!inQuotes)
                skipBlanks();
            continue;
        }
        if (c == ',' && !inQuotes) {
            if (!quoted)
                trimBlanks();
            isList = true;
            items.append(text);
            text.clear();
            quoted = false;
            ++i;
            skipBlanks();
            continue;
        }
        qsizetype j = i + 1;
        while (j < n && v[j] != '\\' && v[j] != '"' && v[j] != ',')
            ++j;
        // A U+FEFF that starts a piece is text too, not a byte order mark.
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
        text += utf8(v.sliced(i, j - i));
        i = j;
    }
    if (trimEnd && !quoted)
        trimBlanks();
    if (isList)
        items.append(text);
    return isList;
}

// The text a value stands for: the marks a writer puts on text that starts
// with '@' or holds a NUL taken off. Nullopt for a value that is no text.
std::optional<QString> valueText(const QString &s)
{
    if (!s.startsWith(QLatin1Char('@')))
        return s;
    if (s.endsWith(QLatin1Char(')'))) {
        if (s == QLatin1String("@Invalid()"))
            return std::nullopt;
        if (s.startsWith(QLatin1String("@String(")))
            return s.mid(8).chopped(1);
        if (s.startsWith(QLatin1String("@ByteArray(")))
            return QString::fromUtf8(s.mid(11).chopped(1).toLatin1());
    }
    return s.startsWith(QLatin1String("@@")) ? s.mid(1) : s;
}

std::optional<QString> listText(QStringList items)
{
    for (QString &item : items) {
        if (!item.startsWith(QLatin1Char('@')))
            continue;
        if (!item.startsWith(QLatin1String("@@")))
            return QString(); // a list of other things than text
        item.remove(0, 1);
    }
    return items.join(QLatin1Char(','));
}

void appendHex(QByteArray &out, uint code, int digits)
{
    out += QByteArray::number(code, 16).toUpper().rightJustified(digits, '0');
}

// Letters, digits, '_', '-' and '.' as they are; '/' as '\'; anything else
// as "%XX" or "%UXXXX".
void escapeKey(const QString &key, QByteArray &out)
{
    for (const QChar qc : key) {
        const char16_t c = qc.unicode();
        if (c == '/') {
            out += '\\';
        } else if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-'
                   || c == '.') {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            appendHex(out, c, 2);
        } else {
            out += "%U";
            appendHex(out, c, 4);
        }
    }
}

// UTF-8 text with control characters, quotes and backslashes escaped; in
// double quotes when it holds ';', ',' or '=' or starts or ends with a blank.
void escapeValue(const QString &value, QByteArray &out)
{
    QString s = value;
    if (s.contains(QChar::Null))
        s = QStringLiteral("@String(") + s + QLatin1Char(')');
    else if (s.startsWith(QLatin1Char('@')))
        s.prepend(QLatin1Char('@'));
    const qsizetype start = out.size();
    bool quote = false;
    bool hexFollows = false; // a hex digit after "\x.." would join that escape
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        if (c == ';' || c == ',' || c == '=')
            quote = true;
        if (hexFollows && isHexDigit(c)) {
            out += "\\x" + QByteArray::number(c, 16);
            continue;
        }
        hexFollows = false;
        switch (c) {
        case 0: out += "\\0"; hexFollows = true; break;
        case '\a': out += "\\a"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case '\v': out += "\\v"; break;
        case '"':
        case '\\':
            out += '\\';
            out += char(c);
            break;
        default:
            const bool pair = QChar::isHighSurrogate(c) && i + 1 < s.size() && s[i + 1].isLowSurrogate();
            // A half of a pair has no UTF-8 form: it is written as its code.
            if (c <= 0x1F || (QChar::isSurrogate(c) && !pair)) {
                out += "\\x" + QByteArray::number(c, 16);
                hexFollows = true;
            } else if (c < 0x7F) {
                out += char(c);
            } else {
                out += QStringView(s).sliced(i, pair ? 2 : 1).toUtf8();
                i += pair ? 1 : 0;
            }
        }
    }
    if (quote || (out.size() > start && (out[start] == ' ' || out.back() == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

// Whether a key or section name is one the store can name: not empty, and
// no empty part between its slashes.
bool isKeyPath(const QString &name)
{
    return !name.isEmpty() && !name.startsWith(QLatin1Char('/')) && !name.endsWith(QLatin1Char('/'))
           && !name.contains(QLatin1String("//"));
}

// The whole physical line that holds line, as written: the blanks before it
// and a comment after it included, the line end not.
QByteArrayView lineAsWritten(QByteArrayView data, QByteArrayView line)
{
    qsizetype start = line.data() - data.data();
    qsizetype end = start + line.size();
    while (start > 0 && (data[start - 1] == ' ' || data[start - 1] == '\t'))
        --start;
    while (end < data.size() && data[end] != '\n' && data[end] != '\r')
        ++end;
    return data.sliced(start, end - start);
}

// The line end that ends text as a line: "\n", or "\r\n" after an escaped
// "\r" that "\n" would join; empty when any would run on into the next line
// (an open quote, a backslash at its end).
QByteArray lineEnd(QByteArrayView text)
{
    for (const char *end : {"\n", "\r\n"}) {
        const QByteArray probe = text.toByteArray() + end;
        qsizetype pos = 0;
        QByteArrayView line;
        qsizetype equals = -1;
        if (nextLine(probe, pos, line, equals) && pos <= text.size())
            return end;
    }
    return {};
}

bool isKeptLine(const QString &key)
{
    return key.endsWith(QLatin1Char('/'));
}

} // namespace

QList<IniEntry> parseIni(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QList<std::pair<QString, std::optional<QString>>> found;
    QHash<QString, qsizetype> place;
    QString section;
    qsizetype pos = 0;
    QByteArrayView line;
    qsizetype equals = -1;
    while (nextLine(bytes, pos, line, equals)) {
        // A line that names no key is kept where it stood, as written.
        const auto keep = [&] {
            found.append({section.isEmpty() ? QStringLiteral("/") : section,
                          QString::fromLatin1(lineAsWritten(bytes, line))});
        };
        if (line.startsWith('[')) {
            qsizetype end = line.indexOf(']');
            if (end < 0)
                end = line.size();
            const QByteArrayView name = line.sliced(1, end - 1).trimmed();
            const QString unescaped = unescapeKey(name);
            if (name.compare("general", Qt::CaseInsensitive) == 0)
                section.clear();
            else if (name.compare("%general", Qt::CaseInsensitive) == 0)
                section = QString::fromLatin1(name.sliced(1)) + QLatin1Char('/');
            else if (isKeyPath(unescaped))
                section = unescaped + QLatin1Char('/');
            else
                keep(); // the keys below stay in the section above
            continue;
        }
        const QString name = equals < 0 ? QString() : unescapeKey(line.first(equals).trimmed());
        if (!isKeyPath(name)) {
            keep();
            continue;
        }
        const QString key = section + name;
        QString text;
        QStringList items;
        std::optional<QString> value =
            unescapeValue(line.sliced(equals + 1), text, items) ? listText(items) : valueText(text);
        if (const auto at = place.constFind(key); at != place.constEnd()) {
            found[*at].second = std::move(value);
        } else {
            place.insert(key, found.size());
            found.append({key, std::move(value)});
        }
    }
    QList<IniEntry> entries;
    for (auto &[key, value] : found)
        if (value)
            entries.append({key, *value});
    return entries;
}

QByteArray buildIni(const QList<IniEntry> &entries)
{
    QStringList sections;
    QHash<QString, QList<qsizetype>> members;
    QByteArray last; // kept lines that would take the next line into them
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (isKeptLine(entries[i].first) && lineEnd(entries[i].second.toLatin1()).isEmpty()) {
            last += entries[i].second.toLatin1();
            continue;
        }
        const qsizetype slash = entries[i].first.indexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? QString() : entries[i].first.left(slash);
        if (!members.contains(section))
            sections.append(section);
        members[section].append(i);
    }
    QByteArray out;
    for (qsizetype s = 0; s < sections.size(); ++s) {
        QByteArray head;
        escapeKey(sections[s], head);
        if (head.isEmpty())
            head = "[General]";
        else if (head.compare("general", Qt::CaseInsensitive) == 0)
            head = "[%" + head + ']'; // as it is spelt: it reads back so
        else
            head = '[' + head + ']';
        if (s > 0)
            out += '\n';
        out += head + '\n';
        for (const qsizetype i : members[sections[s]]) {
            const QString &key = entries[i].first;
            if (isKeptLine(key)) {
                const QByteArray line = entries[i].second.toLatin1();
                out += line + lineEnd(line);
                continue;
            }
            const qsizetype slash = key.indexOf(QLatin1Char('/'));
            escapeKey(slash < 0 ? key : key.mid(slash + 1), out);
            out += '=';
            escapeValue(entries[i].second, out);
            out += '\n';
        }
    }
    // Not a byte order mark either, even with nothing before it.
    if (out.isEmpty() && last.startsWith("\xEF\xBB\xBF"))
        out += '\n';
    return out + last;
}

} // namespace vx
