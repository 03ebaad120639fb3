// The table model through which TkStringGrid shows the document's service
// grid SG. It reads the cells where the document keeps them (no copy) and
// follows the document's changes as a grid observer. Model row r is grid row
// r + 1; grid row 0 (the fixed header row) is the horizontal header.
#pragma once

#include <QAbstractTableModel>

#include "service_grid.h"

namespace lumora {

class TServiceGridModel : public QAbstractTableModel, private TGridObserver {
    Q_OBJECT
public:
    TServiceGridModel(TServiceGrid& grid, QObject* parent = nullptr);
    ~TServiceGridModel() override;

    TServiceGrid& Grid() { return grid_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Stores an edited cell text (bytes carried as U+0000..U+00FF).
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

signals:
    // The document moved its current cell or selection.
    void CoreCurrentChanged();
    // A cell editor stored its text into `cell`.
    void CellEdited(const QModelIndex& cell);

private:
    void GridAboutToReset() override;
    void GridReset() override;
    void CellChanged(int col, int row) override;
    void CurrentChanged() override;

    TServiceGrid& grid_;
    bool resetting_ = false;
};

}  // namespace lumora
