#include "k_string_grid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include "k_column_editors.h"
#include "k_edit_cell_editor.h"
#include "service_grid_model.h"

namespace lumora {

namespace {
QStringList PickListOf(const TServiceGrid& grid, int col)
{
    QStringList items;
    if (const auto* list = grid.PickList(col))
        for (const std::string& item : *list)
            items << QString::fromLatin1(item.data(), qsizetype(item.size()));
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
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setTabKeyNavigation(true);
    SetUpColumns();

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { TakeCurrentFromView(current); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { TakeSelectionFromView(); });
    connect(model_, &TServiceGridModel::CoreCurrentChanged, this, &TkStringGrid::ShowCoreCurrent);
    connect(model_, &TServiceGridModel::CellEdited, this,
            [this](const QModelIndex& cell) { committed_ = QPersistentModelIndex(cell); });
    ShowCoreCurrent();
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

QModelIndex TkStringGrid::CellIndex(int col, int row) const
{
    return model_->index(row - 1, col);
}

void TkStringGrid::TakeCurrentFromView(const QModelIndex& current)
{
    if (syncing_ || !current.isValid())
        return;
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
    QTableView::mousePressEvent(event);
}

void TkStringGrid::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int key = event->key();
    if (ctrl && (key == Qt::Key_C || key == Qt::Key_V || key == Qt::Key_X)) {
        emit KeyDown(key, event->modifiers());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
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
