#include "k_edit.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include "shell_text.h"

namespace lumora {

TkEdit::TkEdit(QWidget* parent) : QLineEdit(parent)
{
    setAcceptDrops(true);
    // Edits that the line edit makes on its own (word deletion and similar
    // platform bindings) are merged into the stored bytes.
    connect(this, &QLineEdit::textEdited, this, &TkEdit::OnForeignEdit);
}

void TkEdit::SetText(const std::string& s)
{
    model_.SetText(s);
    undo_.clear();
    redo_.clear();
    ShowModel();
}

std::string TkEdit::GetSelText()
{
    TakeSelectionFromWidget();
    return model_.GetSelText();
}

void TkEdit::TakeSelectionFromWidget()
{
    if (hasSelectedText()) {
        int start = selectionStart();
        model_.SetSel(start + 1, start + int(selectedText().size()) + 1);
    } else {
        model_.SetSel(cursorPosition() + 1, cursorPosition() + 1);
    }
}

void TkEdit::ShowModel()
{
    showing_ = true;
    QLineEdit::setText(NameText(model_.VisibleText()));
    if (model_.HasSelection())
        setSelection(int(model_.SelStart()), int(model_.SelEnd() - model_.SelStart()));
    else
        setCursorPosition(int(model_.SelEnd()));
    showing_ = false;
}

TkEdit::Snapshot TkEdit::Current() const { return Snapshot{model_.GetText(), model_.SelStart(), model_.SelEnd()}; }

void TkEdit::RememberForUndo()
{
    TakeSelectionFromWidget();
    undo_.push_back(Current());
    redo_.clear();
}

void TkEdit::Restore(const Snapshot& s)
{
    model_.SetText(s.text);
    model_.SetSel(int(s.selStart) + 1, int(s.selEnd) + 1);
    ShowModel();
}

void TkEdit::CopyStored()
{
    TakeSelectionFromWidget();
    if (model_.HasSelection())
        QGuiApplication::clipboard()->setText(NameText(model_.Copy()));
}

void TkEdit::CutStored()
{
    RememberForUndo();
    if (!model_.HasSelection())
        return;
    QGuiApplication::clipboard()->setText(NameText(model_.Cut()));
    ShowModel();
}

void TkEdit::PasteStored()
{
    const QString text = QGuiApplication::clipboard()->text();
    RememberForUndo();
    model_.Paste(NameBytes(text));
    ShowModel();
}

void TkEdit::UndoStored()
{
    if (undo_.empty())
        return;
    TakeSelectionFromWidget();
    redo_.push_back(Current());
    Restore(undo_.back());
    undo_.pop_back();
}

void TkEdit::RedoStored()
{
    if (redo_.empty())
        return;
    TakeSelectionFromWidget();
    undo_.push_back(Current());
    Restore(redo_.back());
    redo_.pop_back();
}

void TkEdit::InsertTyped(const QString& text)
{
    RememberForUndo();
    for (QChar c : text)
        if (c.unicode() <= 0xFF)
            model_.KeyPress(static_cast<unsigned char>(c.unicode()));
    ShowModel();
}

bool TkEdit::HandleEditingKey(QKeyEvent* event)
{
    const auto mods = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (mods != Qt::NoModifier)
        return false;
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
        RememberForUndo();
        model_.DeleteStr(event->key() == Qt::Key_Backspace ? EditDeleteKey::Backspace : EditDeleteKey::Delete);
        ShowModel();
        return true;
    }
    const QString text = event->text();
    if (text.isEmpty() || !text.front().isPrint())
        return false;
    InsertTyped(text);
    return true;
}

void TkEdit::keyPressEvent(QKeyEvent* event)
{
    if (event == QKeySequence::Copy)
        CopyStored();
    else if (event == QKeySequence::Cut)
        CutStored();
    else if (event == QKeySequence::Paste)
        PasteStored();
    else if (event == QKeySequence::Undo)
        UndoStored();
    else if (event == QKeySequence::Redo)
        RedoStored();
    else if (!HandleEditingKey(event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
}

void TkEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (event->preeditString().isEmpty() && !event->commitString().isEmpty()) {
        InsertTyped(event->commitString());
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void TkEdit::contextMenuEvent(QContextMenuEvent* event)
{
    TakeSelectionFromWidget();
    const bool selected = model_.HasSelection();
    QMenu menu(this);
    menu.addAction(tr("&Undo"), this, &TkEdit::UndoStored)->setEnabled(!undo_.empty());
    menu.addAction(tr("&Redo"), this, &TkEdit::RedoStored)->setEnabled(!redo_.empty());
    menu.addSeparator();
    menu.addAction(tr("Cu&t"), this, &TkEdit::CutStored)->setEnabled(selected);
    menu.addAction(tr("&Copy"), this, &TkEdit::CopyStored)->setEnabled(selected);
    menu.addAction(tr("&Paste"), this, &TkEdit::PasteStored)
        ->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    menu.addSeparator();
    menu.addAction(tr("Select All"), this, &QLineEdit::selectAll);
    menu.exec(event->globalPos());
}

void TkEdit::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
}

void TkEdit::dragMoveEvent(QDragMoveEvent* event)
{
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
}

void TkEdit::dropEvent(QDropEvent* event)
{
    if (!event->mimeData()->hasText())
        return;
    undo_.push_back(Current());
    redo_.clear();
    const int pos = cursorPositionAt(event->position().toPoint());
    model_.SetSel(pos + 1, pos + 1);
    model_.Paste(NameBytes(event->mimeData()->text()));
    ShowModel();
    event->acceptProposedAction();
    setFocus();
}

void TkEdit::OnForeignEdit(const QString& visible)
{
    if (showing_)
        return;
    // Keep the bytes outside the changed span; take the changed span as typed.
    const std::string before = model_.VisibleText();
    const std::string after = NameBytes(visible);
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix])
        ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix])
        ++suffix;
    undo_.push_back(Current());
    redo_.clear();
    const std::string& org = model_.GetText();
    std::string merged =
        org.substr(0, prefix) + after.substr(prefix, after.size() - prefix - suffix) + org.substr(org.size() - suffix);
    const int caret = cursorPosition();
    model_.SetText(merged);
    model_.SetSel(caret + 1, caret + 1);
    ShowModel();
}

}  // namespace lumora
