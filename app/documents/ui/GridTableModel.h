#pragma once

// The grid rows as a table for the view: line number, group icon and line,
// with the colours, alignment and fonts the rows carry.

#include "app/documents/GridRows.h"

#include <QAbstractTableModel>
#include <QFont>

// The font of the line numbers.
[[nodiscard]] const QFont &GridLineNumberFont();

class GridTableModel : public QAbstractTableModel
{
public:
    GridTableModel(GridRows *rows, QObject *parent) : QAbstractTableModel(parent), mRows(rows) {}

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : mRows->Rows(); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // Replaces every row.
    void reset(GridRows rows);
    // Inserts at row (from 1) with the routine that adds it.
    template<class F> void insertRow(int row, F &&add)
    {
        beginInsertRows({}, row - 1, row - 1);
        add();
        endInsertRows();
    }
    // Cells changed in place.
    void changedAll();
    void changedRow(int row);

private:
    GridRows *mRows;
};
