#include "k_edit_cell_editor.h"

#include <QAbstractItemView>
#include <QCoreApplication>
#include <QKeyEvent>

#include "k_edit_inplace.h"
#include "shell_text.h"

namespace lumora {

TkEditCellEditor::TkEditCellEditor(QAbstractItemView* grid) : QStyledItemDelegate(grid), FGrid(grid) {}

TkEditInplace* TkEditCellEditor::InitEditor(QWidget* parent) const
{
    auto* self = const_cast<TkEditCellEditor*>(this);
    auto* editor = new TkEditInplace(self, parent);
    connect(editor, &TkEditInplace::LeaveKey, self,
            [self, editor](int key, Qt::KeyboardModifiers mods) { self->LeaveWith(editor, key, mods); });
    connect(editor, &TkEditInplace::Submitted, self, [self, editor] { self->Submit(editor); });
    return editor;
}

QWidget* TkEditCellEditor::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    return InitEditor(parent);
}

void TkEditCellEditor::StartEdit(TkEditInplace* editor, const QModelIndex& index)
{
    editor->SetText(NameBytes(index.data(Qt::EditRole).toString()));
    editor->selectAll();
}

void TkEditCellEditor::EndEdit(TkEditInplace* editor, QAbstractItemModel* model, const QModelIndex& index)
{
    model->setData(index, NameText(editor->GetText()), Qt::EditRole);
}

void TkEditCellEditor::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    if (auto* inplace = qobject_cast<TkEditInplace*>(editor))
        StartEdit(inplace, index);
}

void TkEditCellEditor::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* inplace = qobject_cast<TkEditInplace*>(editor))
        EndEdit(inplace, model, index);
}

void TkEditCellEditor::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                            const QModelIndex&) const
{
    editor->setGeometry(option.rect);
    if (auto* inplace = qobject_cast<TkEditInplace*>(editor))
        inplace->setTextMargins(2, 2, 2, 0);
}

void TkEditCellEditor::Submit(TkEditInplace* editor)
{
    emit commitData(editor);
    emit closeEditor(editor, QAbstractItemDelegate::NoHint);
}

void TkEditCellEditor::LeaveWith(TkEditInplace* editor, int key, Qt::KeyboardModifiers modifiers)
{
    Submit(editor);
    FGrid->setFocus();
    QKeyEvent move(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(FGrid, &move);
}

// Tab, Backtab, Enter and Return are the in-place window's own keys; Escape
// and focus loss keep the standard handling.
bool TkEditCellEditor::eventFilter(QObject* object, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && qobject_cast<TkEditInplace*>(object)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab || key == Qt::Key_Return || key == Qt::Key_Enter)
            return false;
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace lumora
