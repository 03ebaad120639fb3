// TkEdit: the single-line edit box for service names. It keeps the stored
// bytes (extended bytes 0x80..0xFF included) in its text model and shows each
// extended byte as a blank. Every change of the text - typing, Backspace and
// Delete, cut, copy, paste, undo, redo and drops - goes through the model, so
// the stored bytes survive editing exactly.
#pragma once

#include <QLineEdit>
#include <string>
#include <vector>

#include "edit_text.h"

namespace lumora {

class TkEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TkEdit(QWidget* parent = nullptr);

    // OrgText: the stored bytes.
    std::string GetText() const { return model_.GetText(); }
    void SetText(const std::string& s);
    // The selected part of the stored bytes.
    std::string GetSelText();

    // Clipboard commands on the stored bytes (the clipboard carries each byte
    // as the character of the same code).
    void CopyStored();
    void CutStored();
    void PasteStored();
    void UndoStored();
    void RedoStored();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // Backspace/Delete and typed characters; false when the key is not one of them.
    bool HandleEditingKey(QKeyEvent* event);

private:
    struct Snapshot {
        std::string text;
        std::size_t selStart = 0;
        std::size_t selEnd = 0;
    };

    void TakeSelectionFromWidget();
    void ShowModel();
    void RememberForUndo();
    void Restore(const Snapshot& s);
    Snapshot Current() const;
    void InsertTyped(const QString& text);
    void OnForeignEdit(const QString& visible);

    TkEditText model_;
    std::vector<Snapshot> undo_;
    std::vector<Snapshot> redo_;
    bool showing_ = false;
};

}  // namespace lumora
