// TkEditInplace: the in-place window of the service-name cell editor. It is a
// TkEdit that also decides which keys leave the cell: Up and Down always,
// Left at the start and Right at the end of the text (no selection), Tab and
// Backtab. A leaving key ends the edit and then moves the grid's current cell.
#pragma once

#include "k_edit.h"

namespace lumora {

class TkEditCellEditor;

class TkEditInplace : public TkEdit {
    Q_OBJECT
public:
    TkEditInplace(TkEditCellEditor* cellEditor, QWidget* parent);

    TkEditCellEditor* FCellEditor;

    // Whether `event` ends the edit and moves the grid's current cell.
    bool LeavesEditor(const QKeyEvent* event) const;

signals:
    // Emitted for a key that leaves the editor; the cell editor ends the edit
    // and hands the key on to the grid.
    void LeaveKey(int key, Qt::KeyboardModifiers modifiers);
    // Enter: the edit ends and the grid keeps the current cell.
    void Submitted();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* e) override;
};

}  // namespace lumora
