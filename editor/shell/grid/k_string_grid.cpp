#include "k_string_grid.h"

#include <QApplication>
#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

#include "k_column_editors.h"
#include "k_edit_cell_editor.h"
#include "service_grid_model.h"
#include "shell_text.h"

namespace lumora {

namespace {
QStringList PickListOf(const TServiceGrid& grid, int col)
{
    QStringList items;
    if (const auto* list = grid.PickList(col))
        for (const std::string& item : *list)
            items << NameText(item);
    return items;
}
}  // namespace

TkStringGrid::TkStringGrid(TServiceGrid& grid, QWidget* parent)
    : QTableView(parent), grid_(grid), model_(new TServiceGridModel(grid, this)),
      nameEditor_(new TkEditCellEditor(this)),
      columnEditors_(new TkColumnEditors(this, [&grid](int col) { return PickListOf(grid, col); }))
{
    setObjectName(QStringLiteral("SG"));
    setModel(model_);
    setItemDelegate(columnEditors_);
    setItemDelegateForColumn(kColName, nameEditor_);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setTabKeyNavigation(true);
    // By pixel, so that a cell scrolled in under the fixed column can be moved
    // just right of it, and the fixed column can follow row by row.
    setHorizontalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    SetUpColumns();

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { TakeCurrentFromView(current); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { TakeSelectionFromView(); });
    connect(model_, &TServiceGridModel::CoreCurrentChanged, this, &TkStringGrid::ShowCoreCurrent);
    connect(model_, &TServiceGridModel::CellEdited, this,
            [this](const QModelIndex& cell) { committed_ = QPersistentModelIndex(cell); });
    SetUpFixedColumn();
    ShowCoreCurrent();
}

// The fixed column is a second view over the same model and selection that
// shows only column 0 and lies over this view's left edge, so it stays in
// place while the other columns scroll sideways. Its header covers this
// view's "INDEX" header; rows, widths and vertical scrolling follow this view.
void TkStringGrid::SetUpFixedColumn()
{
    fixedColumn_ = new QTableView(this);
    fixedColumn_->setObjectName(QStringLiteral("SGFixedColumn"));
    fixedColumn_->setModel(model_);
    fixedColumn_->setSelectionModel(selectionModel());
    fixedColumn_->setFocusPolicy(Qt::NoFocus);
    fixedColumn_->setFrameShape(QFrame::NoFrame);
    fixedColumn_->setEditTriggers(NoEditTriggers);
    fixedColumn_->setAutoScroll(false);
    fixedColumn_->setWordWrap(false);
    fixedColumn_->setTextElideMode(Qt::ElideNone);
    fixedColumn_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixedColumn_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixedColumn_->setVerticalScrollMode(ScrollPerPixel);
    fixedColumn_->verticalHeader()->hide();
    fixedColumn_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    QHeaderView* header = fixedColumn_->horizontalHeader();
    header->setFont(horizontalHeader()->font());
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setHighlightSections(false);
    header->setSectionsClickable(false);
    header->setSectionResizeMode(QHeaderView::Fixed);
    for (int col = kColIndex + 1; col < kSGColCount; ++col)
        fixedColumn_->setColumnHidden(col, true);
    fixedColumn_->setColumnWidth(kColIndex, columnWidth(kColIndex));
    fixedColumn_->viewport()->installEventFilter(this);
    viewport()->stackUnder(fixedColumn_);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int col, int, int size) {
        if (col != kColIndex)
            return;
        fixedColumn_->setColumnWidth(kColIndex, size);
        PlaceFixedColumn();
    });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int row, int, int size) { fixedColumn_->setRowHeight(row, size); });
    QScrollBar* fixedScroll = fixedColumn_->verticalScrollBar();
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, fixedScroll, &QAbstractSlider::setValue);
    // The fixed view may learn of new rows after this view has scrolled.
    connect(fixedScroll, &QAbstractSlider::rangeChanged, this,
            [this, fixedScroll] { fixedScroll->setValue(verticalScrollBar()->value()); });
    PlaceFixedColumn();
}

void TkStringGrid::PlaceFixedColumn()
{
    if (!fixedColumn_)
        return;
    const QRect cells = viewport()->geometry();
    const int headerHeight = horizontalHeader()->height();
    fixedColumn_->horizontalHeader()->setFixedHeight(headerHeight);
    fixedColumn_->setGeometry(cells.left(), cells.top() - headerHeight, std::min(columnWidth(kColIndex), cells.width()),
                              cells.height() + headerHeight);
}

void TkStringGrid::updateGeometries()
{
    QTableView::updateGeometries();
    PlaceFixedColumn();
}

void TkStringGrid::SetUpColumns()
{
    QHeaderView* header = horizontalHeader();
    QFont bold = header->font();
    bold.setBold(true);
    header->setFont(bold);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setDefaultAlignment(Qt::AlignCenter);
    header->setHighlightSections(false);
    for (int col = 0; col < kSGColCount; ++col)
        setColumnWidth(col, kSGColumns[std::size_t(col)].Width * logicalDpiX() / 96);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
}

QAbstractItemDelegate* TkStringGrid::EditorForColumn(int col) const
{
    return col == kColName ? static_cast<QAbstractItemDelegate*>(nameEditor_) : columnEditors_;
}

QModelIndex TkStringGrid::CellIndex(int col, int row) const { return model_->index(row - 1, col); }

void TkStringGrid::TakeCurrentFromView(const QModelIndex& current)
{
    if (syncing_ || !current.isValid())
        return;
    if (current.column() == kColIndex) {
        // The fixed column never holds the current cell: the row moves, the column stays.
        selectionModel()->setCurrentIndex(current.siblingAtColumn(grid_.Col()), QItemSelectionModel::NoUpdate);
        return;
    }
    syncing_ = true;
    grid_.SetCurrent(current.column(), current.row() + 1);
    syncing_ = false;
}

void TkStringGrid::TakeSelectionFromView()
{
    if (syncing_)
        return;
    int top = -1;
    int bottom = -1;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        top = top < 0 ? range.top() : std::min(top, range.top());
        bottom = std::max(bottom, range.bottom());
    }
    if (top < 0)  // nothing selected: the current cell is the selection
        top = bottom = std::max(currentIndex().row(), 0);
    syncing_ = true;
    grid_.SetSelection(top + 1, bottom + 1);
    syncing_ = false;
}

// The document moved the current cell (or rebuilt the grid): show it.
void TkStringGrid::ShowCoreCurrent()
{
    if (syncing_ || model_->rowCount() == 0)
        return;
    syncing_ = true;
    const QModelIndex current = CellIndex(grid_.Col(), grid_.Row());
    selectionModel()->setCurrentIndex(current, QItemSelectionModel::NoUpdate);
    const TGridSelection& rows = grid_.Selection();
    QItemSelection selected(CellIndex(grid_.Col(), rows.Top), CellIndex(grid_.Col(), rows.Bottom));
    selectionModel()->select(selected, QItemSelectionModel::ClearAndSelect);
    syncing_ = false;
}

void TkStringGrid::mousePressEvent(QMouseEvent* event)
{
    emit MouseDown(event->button(), event->globalPosition().toPoint());
    // A right click opens the service menu on the rows already selected.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    const QPoint pos = event->position().toPoint();
    const TGridSelection& rows = grid_.Selection();
    if (event->button() == Qt::LeftButton && event->modifiers() == Qt::NoModifier && rows.Bottom > rows.Top &&
        InSelectedRows(pos)) {
        // Several rows are selected: a press on them may start a drag, so it
        // keeps the selection; a click without a drag selects on release.
        StartRowDrag(pos);
        event->accept();
        return;
    }
    QTableView::mousePressEvent(event);
}

void TkStringGrid::mouseMoveEvent(QMouseEvent* event)
{
    if (!ContinueRowDrag(event->position().toPoint()))
        QTableView::mouseMoveEvent(event);
}

void TkStringGrid::mouseReleaseEvent(QMouseEvent* event)
{
    const bool pending = dragPending_;
    if (FinishRowDrag(event->position().toPoint()))
        return;
    if (pending) {  // a plain click on the selected rows
        const QModelIndex clicked = indexAt(event->position().toPoint());
        if (clicked.isValid())
            selectionModel()->setCurrentIndex(clicked, QItemSelectionModel::ClearAndSelect);
        return;
    }
    QTableView::mouseReleaseEvent(event);
}

bool TkStringGrid::InSelectedRows(const QPoint& pos) const
{
    const int row = rowAt(pos.y()) + 1;
    return rowsMovable_ && state() != EditingState && row >= grid_.Selection().Top && row <= grid_.Selection().Bottom &&
           rowAt(pos.y()) >= 0;
}

void TkStringGrid::StartRowDrag(const QPoint& pos)
{
    dragPending_ = true;
    dragging_ = false;
    dragStart_ = pos;
}

// True while the mouse belongs to a row drag.
bool TkStringGrid::ContinueRowDrag(const QPoint& pos)
{
    if (!dragPending_)
        return false;
    if (!dragging_ && (pos - dragStart_).manhattanLength() < QApplication::startDragDistance())
        return true;
    dragging_ = true;
    if (!dropLine_) {
        dropLine_ = new QWidget(viewport());
        dropLine_->setAutoFillBackground(true);
        dropLine_->setBackgroundRole(QPalette::Highlight);
    }
    const int before = DropRowAt(pos);
    const int y = before <= model_->rowCount()
                      ? rowViewportPosition(before - 1)
                      : rowViewportPosition(model_->rowCount() - 1) + rowHeight(model_->rowCount() - 1);
    dropLine_->setGeometry(0, y - 1, viewport()->width(), 3);
    dropLine_->show();
    dropLine_->raise();
    viewport()->setCursor(Qt::DragMoveCursor);
    return true;
}

// Ends a row drag; true when rows were dragged (RowsDropped was emitted).
bool TkStringGrid::FinishRowDrag(const QPoint& pos)
{
    const bool dropped = dragPending_ && dragging_;
    dragPending_ = dragging_ = false;
    if (dropLine_)
        dropLine_->hide();
    viewport()->unsetCursor();
    if (dropped)
        emit RowsDropped(DropRowAt(pos));
    return dropped;
}

// The grid row the dragged rows go before: the row under the pointer, or the
// one after it when the pointer is in its lower half.
int TkStringGrid::DropRowAt(const QPoint& pos) const
{
    const int rows = model_->rowCount();
    if (rows == 0 || pos.y() < 0)
        return 1;
    const int row = rowAt(pos.y());
    if (row < 0)
        return rows + 1;
    const bool lowerHalf = pos.y() >= rowViewportPosition(row) + rowHeight(row) / 2;
    return row + 1 + (lowerHalf ? 1 : 0);
}

void TkStringGrid::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int key = event->key();
    const bool moveKey = rowsMovable_ && (key == Qt::Key_Up || key == Qt::Key_Down);
    const bool deleteKey = key == Qt::Key_Delete && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (deleteKey || (ctrl && (key == Qt::Key_C || key == Qt::Key_V || key == Qt::Key_X || moveKey))) {
        emit KeyDown(key, event->modifiers());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// Presses on the fixed column select the row; the view under it never sees them.
bool TkStringGrid::eventFilter(QObject* watched, QEvent* event)
{
    if (!fixedColumn_ || watched != fixedColumn_->viewport())
        return QTableView::eventFilter(watched, event);
    // A drag of one row or more starts on its "INDEX" cell.
    const auto viewportPos = [this, event] {
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        return FromFixedColumn(pos);
    };
    switch (event->type()) {
    case QEvent::MouseButtonPress: FixedColumnMousePress(static_cast<QMouseEvent*>(event)); return true;
    case QEvent::MouseButtonRelease: FixedColumnMouseRelease(viewportPos()); return true;
    case QEvent::MouseMove: ContinueRowDrag(viewportPos()); return true;
    case QEvent::MouseButtonDblClick: return true;
    case QEvent::Wheel: QCoreApplication::sendEvent(viewport(), event); return true;
    default: return QTableView::eventFilter(watched, event);
    }
}

void TkStringGrid::FixedColumnMousePress(QMouseEvent* event)
{
    emit MouseDown(event->button(), event->globalPosition().toPoint());
    const QModelIndex pressed = fixedColumn_->indexAt(event->position().toPoint());
    if (event->button() != Qt::LeftButton || !pressed.isValid())
        return;
    setFocus(Qt::MouseFocusReason);
    const QPoint pos = FromFixedColumn(event->position().toPoint());
    if (event->modifiers() == Qt::NoModifier && InSelectedRows(pos)) {
        StartRowDrag(pos);
        return;
    }
    selectionModel()->setCurrentIndex(pressed.siblingAtColumn(grid_.Col()), QItemSelectionModel::ClearAndSelect);
}

// The fixed column's view is no ancestor of this viewport: map through the screen.
QPoint TkStringGrid::FromFixedColumn(const QPoint& pos) const
{
    return viewport()->mapFromGlobal(fixedColumn_->viewport()->mapToGlobal(pos));
}

// A press on the selected rows that did not become a drag selects its row.
void TkStringGrid::FixedColumnMouseRelease(const QPoint& pos)
{
    const bool pending = dragPending_;
    if (FinishRowDrag(pos) || !pending)
        return;
    if (const int row = rowAt(pos.y()); row >= 0)
        selectionModel()->setCurrentIndex(model_->index(row, grid_.Col()), QItemSelectionModel::ClearAndSelect);
}

// Keys that would reach the fixed column stop at the first column after it;
// Shift+Tab there goes on to the end of the row above.
QModelIndex TkStringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex next = QTableView::moveCursor(action, modifiers);
    if (!next.isValid() || next.column() != kColIndex)
        return next;
    if (action == MovePrevious && next.row() > 0)
        return model_->index(next.row() - 1, kSGColCount - 1);
    return next.siblingAtColumn(kColName);
}

void TkStringGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    const int sideways = horizontalScrollBar()->value();
    QTableView::scrollTo(index, hint);
    if (!fixedColumn_ || !index.isValid())
        return;
    if (index.column() == kColIndex) {  // always in view: only the rows scroll
        horizontalScrollBar()->setValue(sideways);
        return;
    }
    // A cell that came to lie under the fixed column is moved just right of it.
    const int covered = fixedColumn_->width() - columnViewportPosition(index.column());
    if (covered > 0)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() - covered);
}

// The edit is written back only after the editor is gone, because the
// write-back rebuilds the grid.
void TkStringGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    const bool moveOn = hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem;
    QTableView::closeEditor(editor, moveOn ? QAbstractItemDelegate::NoHint : hint);
    if (committed_.isValid()) {
        const QModelIndex cell = committed_;
        committed_ = QPersistentModelIndex();
        emit SetEditText(cell.column(), cell.row() + 1, cell.data(Qt::EditRole).toString());
    }
    if (moveOn) {
        QKeyEvent tab(QEvent::KeyPress, hint == QAbstractItemDelegate::EditNextItem ? Qt::Key_Tab : Qt::Key_Backtab,
                      Qt::NoModifier);
        QTableView::keyPressEvent(&tab);
    }
}

void TkStringGrid::CommitOpenEditor()
{
    if (state() != QAbstractItemView::EditingState)
        return;
    if (QWidget* editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

}  // namespace lumora
