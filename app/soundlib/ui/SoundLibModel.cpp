#include "app/soundlib/ui/SoundLibModel.h"

#include "app/Globals.h"
#include "app/documents/ui/MdiChild.h"

#include <QApplication>
#include <QColor>
#include <QPalette>
#include <QStyle>

namespace {

const char *const kHeaders[kSoundColumnCount] = {"File", "Tag", "Mem Used", "Comp", "Boost", "Location"};

// A row whose file has gone missing.
const QColor kMissingColour(255, 64, 64);

SoundRows &noRows()
{
    static SoundRows none;
    none.clear();
    return none;
}

Qt::Alignment columnAlignment(int column)
{
    switch (column) {
    case colTag:
    case colMemUsed:
        return Qt::AlignRight | Qt::AlignVCenter;
    case colComp:
    case colBoost:
        return Qt::AlignCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

} // namespace

SoundLibModel::SoundLibModel(const MdiChild *owner)
    : mOwner(owner)
{
}

SoundRows &SoundLibModel::rows() const
{
    const int slot = mOwner->slot();
    return slot < 0 ? noRows() : SoundLibEntries[slot];
}

int SoundLibModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows().size());
}

int SoundLibModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kSoundColumnCount;
}

QVariant SoundLibModel::data(const QModelIndex &index, int role) const
{
    const SoundRows &r = rows();
    if (!index.isValid() || index.row() >= r.size() || index.column() >= kSoundColumnCount)
        return {};
    const SoundRow &row = r[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return row.item.cells[index.column()];
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(columnAlignment(index.column()));
    case Qt::ForegroundRole:
        if (row.item.missing)
            return kMissingColour;
        return {};
    case Qt::BackgroundRole:
        if (index.row() == mDropRow)
            return QApplication::palette().color(QPalette::Highlight).lighter(160);
        return {};
    case Qt::ToolTipRole:
        return index.column() == colFile ? row.entry.path() : QVariant();
    default:
        return {};
    }
}

QVariant SoundLibModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= kSoundColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return QLatin1String(kHeaders[section]);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columnAlignment(section));
    if (role == Qt::DecorationRole && mArrows[section] != 0)
        return QApplication::style()->standardIcon(mArrows[section] == 1 ? QStyle::SP_ArrowUp : QStyle::SP_ArrowDown);
    return {};
}

void SoundLibModel::reload()
{
    beginResetModel();
    if (mDropRow >= rowCount())
        mDropRow = -1;
    endResetModel();
}

void SoundLibModel::setDropHighlight(int row)
{
    if (row == mDropRow)
        return;
    const int old = mDropRow;
    mDropRow = row;
    for (int r : {old, row}) {
        if (r >= 0 && r < rowCount())
            emit dataChanged(index(r, 0), index(r, kSoundColumnCount - 1), {Qt::BackgroundRole});
    }
}

void SoundLibModel::setHeaderArrow(int column, int arrow)
{
    mArrows[column] = arrow;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void SoundLibModel::clearHeaderArrows()
{
    mArrows.fill(0);
    emit headerDataChanged(Qt::Horizontal, 0, kSoundColumnCount - 1);
}
