#include "app/soundlib/SoundClipboard.h"

#include "app/soundlib/SoundFormat.h"

#include <algorithm>

QList<SoundEntry> &ClipSoundEntries()
{
    static QList<SoundEntry> records;
    return records;
}

QList<SoundEntry> CopySoundEntries(const SoundRows &rows, const std::vector<bool> &selected)
{
    QList<SoundEntry> out;
    for (qsizetype i = 0; i < rows.size() && i < qsizetype(selected.size()); ++i) {
        if (selected[size_t(i)])
            out.append(rows[i].entry);
    }
    return out;
}

int DeleteSoundRows(SoundRows &rows, const std::vector<bool> &selected)
{
    SoundRows kept;
    int lastRemoval = -1;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (i < qsizetype(selected.size()) && selected[size_t(i)])
            lastRemoval = int(kept.size());
        else
            kept.append(rows[i]);
    }
    if (lastRemoval < 0)
        return -1;
    rows = std::move(kept);
    if (rows.isEmpty())
        return -1;
    return std::min(lastRemoval, int(rows.size()) - 1);
}

SoundPasteResult PasteSoundEntries(SoundRows &rows, int after, const QList<SoundEntry> &records,
                                   const DuplicateTagQuestion &duplicate)
{
    SoundPasteResult result;
    int at = std::clamp(after + 1, 0, int(rows.size()));
    for (const SoundEntry &e : records) {
        if (const int holder = IsTagInUse(rows, e.Tag)) {
            if (duplicate && duplicate(e, rows[holder - 1].entry) == DuplicateChoice::Stop)
                break;
            continue;
        }
        if (rows.size() >= SoundLibTable::kMaxRows) {
            result.full = true;
            break;
        }
        rows.insert(at, SoundRow{e, MakeListItem(e)});
        result.lastInserted = at++;
        ++result.inserted;
    }
    return result;
}
