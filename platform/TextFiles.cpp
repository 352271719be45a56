#include "platform/TextFiles.h"

#include "platform/Cp1252.h"
#include "platform/FileNames.h"
#include "platform/Prompter.h"

#include "common/ReadFiles.h"
#include "common/SafeFile.h"
#include "common/TextUtil.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>

namespace vx {

QString normalizeLineBreaks(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\r')) {
            out += QLatin1Char('\n');
            if (i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
                ++i;
        } else if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator) {
            out += QLatin1Char('\n');
        } else {
            out += c;
        }
    }
    return out;
}

QString toCrLf(QStringView text)
{
    const QString lf = normalizeLineBreaks(text);
    QString out;
    out.reserve(lf.size() + lf.count(QLatin1Char('\n')));
    for (QChar c : lf) {
        if (c == QLatin1Char('\n'))
            out += QLatin1Char('\r');
        out += c;
    }
    return out;
}

CrLfView::CrLfView(QStringView editorText)
{
    mCrLf.reserve(editorText.size() + 16);
    for (qsizetype i = 0; i < editorText.size(); ++i) {
        const QChar c = editorText[i];
        if (c == QLatin1Char('\n')) {
            mBreaks.push_back(i);
            mCrLf += QLatin1Char('\r');
        }
        mCrLf += c;
    }
}

qsizetype CrLfView::toCrLfOffset(qsizetype editorOffset) const
{
    // Each LF before the offset gained a CR.
    const auto before = std::lower_bound(mBreaks.begin(), mBreaks.end(), editorOffset) - mBreaks.begin();
    return editorOffset + before;
}

qsizetype CrLfView::toEditorOffset(qsizetype crlfOffset) const
{
    // The k-th break sits at editor offset b; in CR LF form its CR is at b + k.
    qsizetype lo = 0, hi = static_cast<qsizetype>(mBreaks.size());
    while (lo < hi) {
        const qsizetype mid = (lo + hi) / 2;
        if (mBreaks[mid] + mid < crlfOffset)
            lo = mid + 1;
        else
            hi = mid;
    }
    // lo breaks have their CR strictly before crlfOffset.
    qsizetype off = crlfOffset - lo;
    if (lo > 0 && mBreaks[lo - 1] + (lo - 1) + 1 == crlfOffset)
        off = mBreaks[lo - 1]; // between CR and LF
    return off;
}

bool openForReading(QFile &f, const QString &path, QString *error)
{
    const int fd = openRegularFile(fileNameBytes(path).toStdString());
    if (fd >= 0 && f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    if (error)
        *error = fd < 0 ? QString::fromLocal8Bit(readErrorText(errno)) : f.errorString();
    return false;
}

bool readFileBytes(const QString &path, QByteArray &bytes, QString *error, qint64 maxBytes)
{
    QFile f;
    if (!openForReading(f, path, error))
        return false;
    bytes = maxBytes < 0 ? f.readAll() : f.read(maxBytes);
    if (f.error() == QFileDevice::NoError)
        return true;
    if (error)
        *error = f.errorString();
    return false;
}

bool readTextFile(const QString &path, QString &text, QString *error, qint64 maxBytes)
{
    QByteArray bytes;
    if (!readFileBytes(path, bytes, error, maxBytes))
        return false;
    text = normalizeLineBreaks(fromCp1252(bytes));
    return true;
}

bool writeTextFile(const QString &path, QStringView text, QString *error)
{
    const QByteArray bytes = toCp1252(toCrLf(text));
    std::string why;
    if (!writeFileAtomically(fileNameBytes(path).toStdString(),
                             std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), &why)) {
        if (error)
            *error = QString::fromLocal8Bit(why.data(), static_cast<qsizetype>(why.size()));
        return false;
    }
    return true;
}

} // namespace vx

namespace vx {

namespace {

// A long list says no more than its start; a pasted page of another script
// would otherwise fill the screen.
constexpr qsizetype kMostListed = 40;

// A character as the user can find it again: itself, or its code where it
// shows as nothing (a mark, a space, a control).
QString shown(char32_t u)
{
    const QChar::Category cat = QChar::category(u);
    const bool invisible = !QChar::isPrint(u) || QChar::isSpace(u) || cat == QChar::Mark_NonSpacing ||
                           cat == QChar::Mark_SpacingCombining || cat == QChar::Mark_Enclosing;
    if (invisible)
        return QStringLiteral("U+") + QString::number(uint(u), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QString::fromUcs4(&u, 1);
}

} // namespace

bool confirmCharacterLoss(QStringView text, const QString &path, CodePageStep step)
{
    const QList<char32_t> lost = charactersOutsideCp1252(text);
    if (lost.isEmpty())
        return true;
    QStringList names;
    for (qsizetype i = 0; i < lost.size() && i < kMostListed; ++i)
        names << shown(lost[i]);
    QString list = names.join(QStringLiteral("  "));
    if (lost.size() > kMostListed)
        list += QStringLiteral("  and %1 more").arg(lost.size() - kMostListed);
    struct Words
    {
        const char *done;
        const char *ask;
    };
    static constexpr Words kWords[] = {{"saved", "Save"}, {"compiled", "Compile"}, {"compiled", "Play"}};
    const Words &words = kWords[static_cast<int>(step)];
    const QString question =
        ProperCase(QFileInfo(path).fileName()) +
        QStringLiteral(" holds the Western (Windows-1252) character set.\r\n"
                       "These characters cannot be stored in it; each would be ") +
        QLatin1String(words.done) + QStringLiteral(" as \"?\":") + QStringLiteral("\r\n\r\n") + list +
        QStringLiteral("\r\n\r\n") + QLatin1String(words.ask) + QStringLiteral(" anyway?");
    return MsgBox(question, Buttons::YesNo, Icon::Exclamation, QString(), 2) == Answer::Yes;
}

} // namespace vx
