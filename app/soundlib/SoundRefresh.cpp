#include "app/soundlib/SoundRefresh.h"

#include "app/soundlib/SoundFormat.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool isFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

QString withSeparator(const QString &folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// The row's record and cells from a fresh inspection of its file, keeping
// the user's settings.
void takeFresh(SoundRow &row, SoundEntry fresh, const QLocale &locale)
{
    const SoundEntry &old = row.entry;
    // A file that is compressed chip PCM now cannot be compressed again.
    fresh.Compress = old.Compress && fresh.Kind != sfkCompressedPcm;
    fresh.Boost = old.Boost;
    fresh.Tag = old.Tag;
    fresh.NoiseGate = old.NoiseGate;
    fresh.MemUsed = EstimateMemoryKB(fresh);
    row.entry = fresh;
    row.item = MakeListItem(fresh, locale);
    row.item.missing = fresh.Kind == sfkNotSound;
}

bool isChipPcm(qint16 kind)
{
    return kind == sfkPcm || kind == sfkCompressedPcm;
}

} // namespace

QString FolderOf(const QString &path)
{
    return withSeparator(QFileInfo(path).absolutePath());
}

QString FindSoundFile(const QString &folder, const QString &name)
{
    if (name.isEmpty())
        return {};
    if (isFile(folder + name))
        return name;
    QString found;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString &n : names) {
        if (n.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        if (!found.isEmpty())
            return {}; // two candidates: guessing could pick the wrong sound
        found = n;
    }
    return found;
}

SoundRefreshResult RefreshSoundRows(SoundRows &rows, const QLocale &locale)
{
    SoundRefreshResult result;
    for (SoundRow &row : rows) {
        SoundEntry &old = row.entry;
        const QString name = FindSoundFile(old.Location, old.FileName);
        if (name.isEmpty()) {
            old.Kind = sfkNotSound;
            row.item.missing = true;
            ++result.missing;
            continue;
        }
        if (name != old.FileName)
            result.renamed = true;
        takeFresh(row, GetSoundFileInfo(old.Location, name, false), locale);
    }
    return result;
}

bool JudgePcmRowByHeader(SoundRow &row, const QLocale &locale)
{
    if (!isChipPcm(row.entry.Kind) || !isFile(row.entry.path()))
        return false;
    SoundEntry fresh = GetSoundFileInfo(row.entry.Location, row.entry.FileName, false);
    if (!isChipPcm(fresh.Kind))
        return false; // the compile and the preview name what it is now
    const SoundRow before = row;
    takeFresh(row, fresh, locale);
    return row != before;
}

int RelocateSoundRows(SoundRows &rows, const QString &folder)
{
    const QString to = withSeparator(folder);
    int count = 0;
    for (SoundRow &row : rows) {
        SoundEntry &e = row.entry;
        if (isFile(e.path()))
            continue;
        const QString name = FindSoundFile(to, e.FileName);
        if (name.isEmpty())
            continue;
        e.Location = to;
        e.FileName = name;
        row.item.cells[colLocation] = to;
        ++count;
    }
    return count;
}
