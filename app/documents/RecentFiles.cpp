#include "app/documents/RecentFiles.h"

#include "app/Globals.h"
#include "app/documents/SoundLibFile.h"
#include "platform/FileNames.h"
#include "platform/Settings.h"

#include <QFileInfo>

namespace {

const QString kSection = QStringLiteral("Recent Files");

QString app()
{
    return QLatin1String(kAppName);
}

QString key(int n)
{
    return QStringLiteral("RecentFile") + QString::number(n);
}

// The store holds text, and a name that is not UTF-8 (FileNames.h) would
// lose its bytes there: such a path is stored as a file address whose
// escapes keep them. Every other path is stored as it is, as it always was;
// none of them begins with the address's scheme.
const QLatin1String kByteForm("file://");

void store(int n, const QString &path)
{
    const QByteArray bytes = vx::fileNameBytes(path);
    const QString value =
        bytes == path.toUtf8() ? path : QString(kByteForm) + QString::fromLatin1(bytes.toPercentEncoding("/"));
    SaveSetting(app(), kSection, key(n), value);
}

// Entries are kept without gaps: the count is the first empty key less one.
int count()
{
    int c = 0;
    while (c < kMaxRecentFiles && !RecentFile(c + 1).isEmpty())
        ++c;
    return c;
}

struct ActionRow
{
    const char *ending;
    OpenAction action;
};

constexpr ActionRow kActions[] = {
    {".sfl", OpenAction::SoundLib},
    {".dic", OpenAction::Dictionary},
    {".tgn", OpenAction::Music},
    {".txt", OpenAction::Text},
    {".dix", OpenAction::DownloadDictionary},
    {".sfx", OpenAction::DownloadSoundLibrary},
    {".grt", OpenAction::DownloadGreeting},
    {".tgx", OpenAction::PlayMusic},
    {".pcm", OpenAction::PlaySound},
    {".wav", OpenAction::PlaySound},
    {".mp3", OpenAction::PlaySound},
};

// A menu takes "&" for the mnemonic; the name's own shows as it is.
QString shownName(const QString &path)
{
    return QFileInfo(path).fileName().replace(QLatin1Char('&'), QStringLiteral("&&"));
}

} // namespace

QString RecentFile(int n)
{
    const QString value = GetSetting(app(), kSection, key(n));
    if (!value.startsWith(kByteForm))
        return value;
    return vx::fileNameFromBytes(QByteArray::fromPercentEncoding(value.sliced(kByteForm.size()).toLatin1()));
}

QStringList RecentFiles()
{
    QStringList out;
    for (int n = 1; n <= count(); ++n)
        out << RecentFile(n);
    return out;
}

bool IsRecentFile(const QString &path)
{
    return !RecentFile(1).isEmpty() && RecentFiles().contains(path, Qt::CaseSensitive);
}

void PushRecentFile(const QString &path)
{
    for (int i = kMaxRecentFiles - 1; i >= 1; --i) {
        const QString value = RecentFile(i);
        if (!value.isEmpty())
            store(i + 1, value);
    }
    store(1, path);
}

void AddRecentFilePath(const QString &path)
{
    if (!IsRecentFile(path))
        PushRecentFile(path);
}

void MoveRecentFileToTop(int n)
{
    for (int i = n; i >= 2; --i) {
        const QString above = RecentFile(i - 1);
        store(i - 1, RecentFile(i));
        store(i, above);
    }
}

int RemoveRecentFile(int n)
{
    const int c = count();
    for (int i = n; i < c; ++i)
        store(i, RecentFile(i + 1));
    if (c >= 1)
        DeleteSetting(app(), kSection, key(c));
    return c;
}

QString RecentMenuCaption(int k, const QString &path)
{
    return QLatin1Char('&') + QString::number(k) + QLatin1Char(' ') + shownName(path);
}

QString RecentButtonText(int k, const QString &path)
{
    return QString::number(k) + QStringLiteral(" - ") + shownName(path);
}

OpenAction OpenActionFor(const QString &path)
{
    const QString ending = path.right(4).toLower();
    for (const ActionRow &row : kActions) {
        if (ending == QLatin1String(row.ending))
            return row.action;
    }
    return OpenAction::None;
}

bool NeedsChip(OpenAction action)
{
    switch (action) {
    case OpenAction::DownloadDictionary:
    case OpenAction::DownloadSoundLibrary:
    case OpenAction::DownloadGreeting:
    case OpenAction::PlayMusic:
    case OpenAction::PlaySound:
        return true;
    default:
        return false;
    }
}

OpenAction DocumentKindFor(const QString &path, QByteArrayView head)
{
    if (HasSoundLibMagic(head))
        return OpenAction::SoundLib;
    const QString ending = path.right(4).toLower();
    if (ending == QLatin1String(".dic"))
        return OpenAction::Dictionary;
    if (ending == QLatin1String(".tgn"))
        return OpenAction::Music;
    return OpenAction::Text;
}
