// TkStringGrid: the service grid widget. A table view over the document's
// grid data with the column widths of the column definitions, a bold header,
// centred cells, resizable columns and range selection. Cells are drawn with
// the bytes 0x80..0xFF left out; the "Service Name" column is edited with a
// TkEditCellEditor, the PID columns with plain edits and the list columns
// with drop-down lists. The current cell and selected rows are kept in the
// document's grid data, and the end of every cell edit is reported once.
// Column 0 ("INDEX") is the fixed column: an overlay view keeps it at the
// left while the other columns scroll, and it never holds the current cell.
// Where rows may be moved, selected rows are dragged to a new place: from any
// of their cells when several rows are selected, from the "INDEX" cell for one.
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
    // The view that draws the fixed column over the left edge of this one.
    QTableView* FixedColumnView() const { return fixedColumn_; }
    // Also keeps the cell clear of the fixed column.
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    // Ends the cell edit open on the current cell, if any, as Enter does: the
    // typed text goes into the cell and SetEditText is emitted before this
    // returns.
    void CommitOpenEditor();
    // Whether the rows of the current view may be dragged and moved with
    // Ctrl+Up and Ctrl+Down.
    void SetRowsMovable(bool movable) { rowsMovable_ = movable; }

signals:
    // A cell edit of grid row `row` ended with `value` stored in the cell.
    void SetEditText(int col, int row, const QString& value);
    // Any mouse button pressed over the cells.
    void MouseDown(Qt::MouseButton button, const QPoint& globalPos);
    // A key press the grid does not use itself (Ctrl+C, Ctrl+V, Ctrl+X, and
    // Ctrl+Up and Ctrl+Down where rows may be moved).
    void KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The selected rows were dropped before grid row `beforeRow` (one past
    // the last row: after it).
    void RowsDropped(int beforeRow);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void updateGeometries() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void SetUpColumns();
    void SetUpFixedColumn();
    void PlaceFixedColumn();
    void FixedColumnMousePress(QMouseEvent* event);
    void FixedColumnMouseRelease(const QPoint& pos);
    QPoint FromFixedColumn(const QPoint& pos) const;
    void TakeCurrentFromView(const QModelIndex& current);
    void TakeSelectionFromView();
    void ShowCoreCurrent();
    // Row dragging; positions are in this view's viewport.
    bool InSelectedRows(const QPoint& pos) const;
    void StartRowDrag(const QPoint& pos);
    bool ContinueRowDrag(const QPoint& pos);
    bool FinishRowDrag(const QPoint& pos);
    int DropRowAt(const QPoint& pos) const;

    TServiceGrid& grid_;
    TServiceGridModel* model_;
    TkEditCellEditor* nameEditor_;
    TkColumnEditors* columnEditors_;
    QTableView* fixedColumn_ = nullptr;
    QPersistentModelIndex committed_;
    bool syncing_ = false;
    bool rowsMovable_ = false;
    bool dragPending_ = false;  // pressed on selected rows, not moved far yet
    bool dragging_ = false;
    QPoint dragStart_;
    QWidget* dropLine_ = nullptr;  // where the dragged rows would land
};

}  // namespace lumora
