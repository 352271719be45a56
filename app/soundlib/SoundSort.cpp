#include "app/soundlib/SoundSort.h"

#include "app/soundlib/SoundFormat.h"

#include <limits>
#include <optional>

namespace {

constexpr qint64 kMaxTag = 65534;
constexpr qint64 kMaxGate = 32767;

// -1, 0 or 1 as row a's key is below, equal to or above row b's.
int compareKeys(const SoundRow &a, const SoundRow &b, int column)
{
    const auto order = [](auto x, auto y) { return x < y ? -1 : (y < x ? 1 : 0); };
    switch (column) {
    case colFile:
        return order(QString::compare(a.item.cells[colFile], b.item.cells[colFile], Qt::CaseSensitive), 0);
    case colTag:
        return order(a.entry.Tag, b.entry.Tag);
    case colMemUsed:
        return order(a.entry.MemUsed, b.entry.MemUsed);
    case colComp:
        return order(a.entry.Compress, b.entry.Compress);
    case colBoost:
        return order(a.entry.Boost, b.entry.Boost);
    case colLocation:
        return order(QString::compare(a.entry.Location, b.entry.Location, Qt::CaseSensitive), 0);
    default:
        return 0;
    }
}

// The box's digits as a number; empty counts 0, and a number too long for
// 64 bits reads as the largest, which every range check refuses.
qint64 boxNumber(const QString &text)
{
    if (text.isEmpty())
        return 0;
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    return ok ? v : std::numeric_limits<qint64>::max();
}

bool isSelected(const RowSelection &selected, qsizetype i)
{
    return static_cast<std::size_t>(i) < selected.size() && selected[static_cast<std::size_t>(i)];
}

QString duplicateName(const SoundRows &rows, int row)
{
    return rows[row - 1].entry.FileName;
}

CheckState summarise(const SoundRows &rows, const RowSelection &selected, bool SoundEntry::*field)
{
    std::optional<bool> first;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!isSelected(selected, i))
            continue;
        const bool v = rows[i].entry.*field;
        if (!first)
            first = v;
        else if (*first != v)
            return chkGrey;
    }
    return first && *first ? chkChecked : chkUnchecked;
}

} // namespace

void SortFileList(SoundRows &rows, int column, bool descending)
{
    const qsizetype n = rows.size();
    for (qsizetype i = 0; i < n; ++i) {
        qsizetype best = i;
        for (qsizetype j = i + 1; j < n; ++j) {
            const int c = compareKeys(rows[j], rows[best], column);
            if (descending ? c > 0 : c < 0)
                best = j;
        }
        if (best != i)
            rows.swapItemsAt(i, best);
    }
}

void SortByColumnClick(SoundRows &rows, int column, bool descending)
{
    if (column == colFile) {
        SortFileList(rows, colFile, descending);
        return;
    }
    SortFileList(rows, colFile, false);
    SortFileList(rows, column, descending);
}

SettingsEdit ApplyTagToRow(SoundRows &rows, int row, const QString &boxText)
{
    SoundRow &r = rows[row - 1];
    const qint64 t = boxNumber(boxText);
    if (t == r.entry.Tag)
        return {};
    if (t > kMaxTag)
        return {false, QStringLiteral("Tag value out of range. Valid range is 0-65534.  ")};
    if (const int holder = IsTagInUse(rows, static_cast<qint32>(t)))
        return {false, QStringLiteral("Duplicate tag in library (") + duplicateName(rows, holder) + QStringLiteral(").  ")};
    r.entry.Tag = static_cast<qint32>(t);
    r.item.cells[colTag] = boxText.isEmpty() ? QStringLiteral("0") : boxText;
    return {true, QString()};
}

SettingsEdit NumberSelectedTags(SoundRows &rows, const RowSelection &selected, const QString &boxText)
{
    std::vector<qsizetype> targets;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (isSelected(selected, i))
            targets.push_back(i);
    }
    const qint64 start = boxNumber(boxText);
    const qint64 step = start > 0 ? 1 : 0;

    // Decide first how far the numbering can go. A row that holds a wanted
    // tag is no conflict only when it is itself renumbered before the stop;
    // each earlier stop can expose a new conflict, so settle on the first
    // stop that holds.
    std::size_t stop = targets.size();
    QString message;
    for (bool settled = false; !settled;) {
        settled = true;
        std::vector<bool> renumbered(static_cast<std::size_t>(rows.size()), false);
        for (std::size_t j = 0; j < stop; ++j)
            renumbered[static_cast<std::size_t>(targets[j])] = true;
        for (std::size_t j = 0; j < stop; ++j) {
            const qint64 tag = start + static_cast<qint64>(j) * step;
            if (tag > kMaxTag) {
                stop = j;
                message = QStringLiteral("Numbering halted; tag value out of range. Valid range is 0-65534.  ");
                settled = false;
                break;
            }
            if (tag == 0)
                continue;
            qsizetype holder = -1;
            for (qsizetype k = 0; k < rows.size() && holder < 0; ++k) {
                if (rows[k].entry.Tag == tag && !renumbered[static_cast<std::size_t>(k)])
                    holder = k;
            }
            if (holder >= 0) {
                stop = j;
                message = QStringLiteral("Numbering halted; duplicate tag in library (")
                    + rows[holder].entry.FileName + QStringLiteral(").  ");
                settled = false;
                break;
            }
        }
    }

    SettingsEdit edit{stop > 0, message};
    for (std::size_t j = 0; j < stop; ++j) {
        SoundRow &r = rows[targets[j]];
        r.entry.Tag = static_cast<qint32>(start + static_cast<qint64>(j) * step);
        r.item.cells[colTag] = QString::number(r.entry.Tag);
    }
    return edit;
}

SettingsEdit ApplyGateToSelected(SoundRows &rows, const RowSelection &selected, const QString &boxText)
{
    const qint64 gate = boxNumber(boxText);
    if (gate > kMaxGate)
        return {};
    bool changed = false;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (isSelected(selected, i)) {
            rows[i].entry.NoiseGate = static_cast<qint16>(gate);
            changed = true;
        }
    }
    return {changed, QString()};
}

SettingsEdit ApplyCompressBoost(SoundRows &rows, const RowSelection &selected, CheckState compress, CheckState boost,
                                const QLocale &locale)
{
    bool changed = false;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (!isSelected(selected, i))
            continue;
        SoundEntry &e = rows[i].entry;
        if (e.Kind != sfkWave && e.Kind != sfkPcm && e.Kind != sfkMp3)
            continue;
        if (compress != chkGrey)
            e.Compress = compress == chkChecked;
        if (e.Kind != sfkPcm && boost != chkGrey)
            e.Boost = boost == chkChecked;
        e.MemUsed = EstimateMemoryKB(e);
        const SoundListItem fresh = MakeListItem(e, locale);
        for (int c : {colMemUsed, colComp, colBoost})
            rows[i].item.cells[c] = fresh.cells[c];
        changed = true;
    }
    return {changed, QString()};
}

CheckState SyncCompressCheck(const SoundRows &rows, const RowSelection &selected)
{
    return summarise(rows, selected, &SoundEntry::Compress);
}

CheckState SyncBoostCheck(const SoundRows &rows, const RowSelection &selected)
{
    return summarise(rows, selected, &SoundEntry::Boost);
}
