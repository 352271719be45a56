#pragma once

// The rows of one sound library window as a table for its two views. The
// rows themselves live in SoundLibEntries under the window's slot, so the
// model holds only the slot and tells the views when the rows change.

#include "app/soundlib/SoundEntry.h"

#include <QAbstractTableModel>

#include <array>

class MdiChild;

class SoundLibModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    // Shows the rows of owner's slot (none while it has no slot).
    explicit SoundLibModel(const MdiChild *owner);

    [[nodiscard]] SoundRows &rows() const;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The rows were changed in place, added, removed or moved: the views
    // read them anew (and lose their selection).
    void reload();

    // The row painted as the target of a drag of rows; -1 for none.
    void setDropHighlight(int row);
    [[nodiscard]] int dropHighlight() const { return mDropRow; }

    // Sort arrow of a column header: 0 none, 1 ascending, 2 descending.
    void setHeaderArrow(int column, int arrow);
    [[nodiscard]] int headerArrow(int column) const { return mArrows[column]; }
    void clearHeaderArrows();

private:
    const MdiChild *mOwner;
    int mDropRow = -1;
    std::array<int, kSoundColumnCount> mArrows{};
};
