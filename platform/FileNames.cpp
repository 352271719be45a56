#include "platform/FileNames.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <dirent.h>
#include <sys/stat.h>

namespace vx {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

bool continuation(QByteArrayView b, qsizetype i)
{
    return i < b.size() && (static_cast<unsigned char>(b[i]) & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at i; 0 when there is none.
qsizetype sequenceLength(QByteArrayView b, qsizetype i)
{
    const auto at = [&](qsizetype k) { return static_cast<unsigned char>(b[k]); };
    const unsigned char c = at(i);
    if (c < 0x80)
        return 1;
    // The second byte's range is narrower after some lead bytes: no
    // overlong forms, no surrogates, nothing past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    qsizetype n = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        low = c == 0xE0 ? 0xA0 : 0x80;
        high = c == 0xED ? 0x9F : 0xBF;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + 1 >= b.size() || at(i + 1) < low || at(i + 1) > high)
        return 0;
    for (qsizetype k = 2; k < n; ++k)
        if (!continuation(b, i + k))
            return 0;
    return n;
}

bool isEscape(QStringView s, qsizetype i)
{
    const char16_t c = s[i].unicode();
    return c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF && (i == 0 || !s[i - 1].isHighSurrogate());
}

} // namespace

QString fileNameFromBytes(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString name = utf8(bytes);
    if (!utf8.hasError())
        return name;
    name.clear();
    for (qsizetype i = 0; i < bytes.size();) {
        if (const qsizetype n = sequenceLength(bytes, i); n > 0) {
            name += QString::fromUtf8(bytes.sliced(i, n));
            i += n;
        } else {
            name += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[i])));
            ++i;
        }
    }
    return name;
}

QByteArray fileNameBytes(QStringView name)
{
    QByteArray out;
    qsizetype from = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (!isEscape(name, i))
            continue;
        out += name.sliced(from, i - from).toUtf8();
        out += static_cast<char>(name[i].unicode() - kEscapeBase);
        from = i + 1;
    }
    if (from == 0)
        return QFile::encodeName(name.toString());
    return out + name.sliced(from).toUtf8();
}

bool pathExists(const QString &path)
{
    struct stat st{};
    return ::stat(fileNameBytes(path).constData(), &st) == 0;
}

bool isRegularFile(const QString &path)
{
    struct stat st{};
    return ::stat(fileNameBytes(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

QStringList fileArguments(int argc, const char *const *argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << fileNameFromBytes(argv[i]);
    return args;
}

QString chosenFileName(const QString &path)
{
    if (!path.contains(QChar::ReplacementCharacter) || QFileInfo::exists(path))
        return path;
    const QFileInfo shown(path);
    DIR *dir = ::opendir(fileNameBytes(shown.path()).constData());
    if (!dir)
        return path;
    QString found;
    int matches = 0;
    while (const dirent *e = ::readdir(dir)) {
        if (QFile::decodeName(e->d_name) == shown.fileName()) {
            found = shown.path() + QLatin1Char('/') + fileNameFromBytes(e->d_name);
            ++matches;
        }
    }
    ::closedir(dir);
    return matches == 1 ? found : path;
}

} // namespace vx
