#include "k_edit_inplace.h"

#include <QKeyEvent>

namespace lumora {

TkEditInplace::TkEditInplace(TkEditCellEditor* cellEditor, QWidget* parent) : TkEdit(parent), FCellEditor(cellEditor)
{
    setFrame(false);
    setFocusPolicy(Qt::StrongFocus);
    setObjectName(QStringLiteral("TkEditInplace"));
}

bool TkEditInplace::LeavesEditor(const QKeyEvent* event) const
{
    const bool noSelection = !hasSelectedText();
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return true;
    case Qt::Key_Left: return noSelection && cursorPosition() == 0 && !(event->modifiers() & Qt::ShiftModifier);
    case Qt::Key_Right:
        return noSelection && cursorPosition() == text().size() && !(event->modifiers() & Qt::ShiftModifier);
    default: return false;
    }
}

// Tab and Backtab normally move the focus before keyPressEvent sees them.
bool TkEditInplace::event(QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(e);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return TkEdit::event(e);
}

void TkEditInplace::keyPressEvent(QKeyEvent* event)
{
    if (LeavesEditor(event)) {
        emit LeaveKey(event->key(), event->modifiers());
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit Submitted();
        event->accept();
        return;
    }
    TkEdit::keyPressEvent(event);
}

}  // namespace lumora
