// TkEditCellEditor: the cell editor of the "Service Name" column. It edits a
// cell's stored bytes in a TkEditInplace: StartEdit loads the cell and selects
// it all, EndEdit writes the stored bytes back into the cell, which raises the
// grid's set-edit-text event (the row write-back).
#pragma once

#include <QStyledItemDelegate>

class QAbstractItemView;

namespace lumora {

class TkEditInplace;

class TkEditCellEditor : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit TkEditCellEditor(QAbstractItemView* grid);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

    // The in-place window for `parent` (the grid's viewport).
    TkEditInplace* InitEditor(QWidget* parent) const;
    // Cell text -> editor, everything selected.
    static void StartEdit(TkEditInplace* editor, const QModelIndex& index);
    // Editor -> cell.
    static void EndEdit(TkEditInplace* editor, QAbstractItemModel* model, const QModelIndex& index);

protected:
    bool eventFilter(QObject* object, QEvent* event) override;

private:
    void LeaveWith(TkEditInplace* editor, int key, Qt::KeyboardModifiers modifiers);
    void Submit(TkEditInplace* editor);

    QAbstractItemView* FGrid;
};

}  // namespace lumora
