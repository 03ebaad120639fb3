// TkStringGrid: the service grid widget. A table view over the document's
// grid data with the column widths of the column definitions, a bold header,
// centred cells, resizable columns and range selection. Cells are drawn with
// the bytes 0x80..0xFF left out; the "Service Name" column is edited with a
// TkEditCellEditor, the PID columns with plain edits and the list columns
// with drop-down lists. The current cell and selected rows are kept in the
// document's grid data, and the end of every cell edit is reported once.
#pragma once

#include <QTableView>

#include "service_grid.h"

namespace lumora {

class TServiceGridModel;
class TkEditCellEditor;
class TkColumnEditors;

class TkStringGrid : public QTableView {
    Q_OBJECT
public:
    explicit TkStringGrid(TServiceGrid& grid, QWidget* parent = nullptr);

    TServiceGridModel* GridModel() const { return model_; }
    TServiceGrid& Grid() { return grid_; }
    // The cell editor of a column: the name column's TkEditCellEditor or the
    // delegate with the plain and drop-down editors.
    QAbstractItemDelegate* EditorForColumn(int col) const;
    // Model index of grid cell (col, row); grid row 0 is the header.
    QModelIndex CellIndex(int col, int row) const;

signals:
    // A cell edit of grid row `row` ended with `value` stored in the cell.
    void SetEditText(int col, int row, const QString& value);
    // Any mouse button pressed over the cells.
    void MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    // A key press the grid does not use itself (Ctrl+C, Ctrl+V, Ctrl+X).
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void SetUpColumns();
    void TakeCurrentFromView(const QModelIndex& current);
    void TakeSelectionFromView();
    void ShowCoreCurrent();

    TServiceGrid& grid_;
    TServiceGridModel* model_;
    TkEditCellEditor* nameEditor_;
    TkColumnEditors* columnEditors_;
    QPersistentModelIndex committed_;
    bool syncing_ = false;

public:
    // Ends the cell edit open on the current cell, if any, as Enter does: the
    // typed text goes into the cell and SetEditText is emitted before this
    // returns.
    void CommitOpenEditor();
};

}  // namespace lumora
