#include "app/documents/ui/GridTableModel.h"

#include <QColor>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

namespace {

QVariant colour(int bgr)
{
    if (bgr < 0)
        return {};
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

// A boxed plus for a collapsed group, a boxed minus for an expanded one.
QIcon groupIcon(bool collapsed)
{
    static QIcon icons[2];
    QIcon &icon = icons[collapsed ? 0 : 1];
    if (icon.isNull()) {
        QPixmap pm(11, 11);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(0, 0, 10, 10);
        p.setPen(Qt::black);
        p.drawLine(2, 5, 8, 5);
        if (collapsed)
            p.drawLine(5, 2, 5, 8);
        p.end();
        icon = QIcon(pm);
    }
    return icon;
}

} // namespace

const QFont &GridLineNumberFont()
{
    static const QFont font(QStringLiteral("Tahoma"), 8);
    return font;
}

Qt::ItemFlags GridTableModel::flags(const QModelIndex &index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QVariant GridTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 3)
        return QStringLiteral("Col%1").arg(section + 1);
    return {};
}

QVariant GridTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= mRows->Rows())
        return {};
    const GridRow &row = mRows->row(index.row() + 1);
    switch (index.column()) {
    case 0:
        switch (role) {
        case Qt::DisplayRole:
            return QString::number(index.row() + 1);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        case Qt::BackgroundRole:
            return colour(kLineNumberBack);
        case Qt::ForegroundRole:
            return colour(kLineNumberFore);
        case Qt::FontRole:
            return GridLineNumberFont();
        default:
            return {};
        }
    case 1:
        if (role == Qt::DecorationRole && row.icon >= 0)
            return groupIcon(row.icon == kIconCollapsed);
        if (role == Qt::BackgroundRole)
            return colour(row.backColor2);
        return {};
    default:
        if (role == Qt::DisplayRole || role == Qt::EditRole)
            return row.text;
        if (role == Qt::ForegroundRole)
            return colour(row.foreColor);
        if (role == Qt::BackgroundRole)
            return colour(row.backColor3);
        return {};
    }
}

void GridTableModel::reset(GridRows rows)
{
    beginResetModel();
    *mRows = std::move(rows);
    endResetModel();
}

void GridTableModel::changedAll()
{
    if (mRows->Rows() > 0)
        emit dataChanged(index(0, 0), index(mRows->Rows() - 1, 2));
}

void GridTableModel::changedRow(int row)
{
    emit dataChanged(index(row - 1, 0), index(row - 1, 2));
}
