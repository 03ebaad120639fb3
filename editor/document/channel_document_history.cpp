// The edit seam and the undo history: every change of the document's data
// runs through Edit, which records the data as they were before it.
#include "channel_document.h"

namespace lumora {

std::unique_ptr<TDocumentState> ChannelDocument::CopyState() const
{
    return std::make_unique<TDocumentState>(TDocumentState{*db_, {MenuStr, AudioStr, SubStr}});
}

void ChannelDocument::Edit(std::string label, const std::function<void()>& change)
{
    if (editDepth_ > 0) {
        change();  // part of the edit already running
        return;
    }
    std::unique_ptr<TDocumentState> before = CopyState();
    editLabel_ = std::move(label);
    auto record = [&] {
        editDepth_ = 0;
        // The display type is a view setting: switching it is no edit.
        before->Data.CurDisplayServiceMode = db_->CurDisplayServiceMode;
        if (before->Data == *db_ && before->MenuNames == TMenuLanguageNames{MenuStr, AudioStr, SubStr})
            return;
        history_.Record(std::move(editLabel_), std::move(before));
    };
    editDepth_ = 1;
    try {
        change();
    } catch (...) {
        record();
        throw;
    }
    record();
}

void ChannelDocument::NameEdit(std::string label)
{
    if (editDepth_ > 0)
        editLabel_ = std::move(label);
}

bool ChannelDocument::pModifiedFlag() const
{
    return !saved_ || !SameStoredData(saved_->Data, *db_);
}

void ChannelDocument::MarkSaved() { saved_ = CopyState(); }

// A document opened, made new or read from an upload starts a fresh history.
void ChannelDocument::ForgetHistory(bool saved)
{
    history_.Clear();
    if (saved)
        MarkSaved();
    else
        saved_.reset();
}

void ChannelDocument::Undo() { Restore(&TEditHistory::Undo); }

void ChannelDocument::Redo() { Restore(&TEditHistory::Redo); }

void ChannelDocument::Restore(std::unique_ptr<TDocumentState> (TEditHistory::*step)(std::unique_ptr<TDocumentState>))
{
    if (step == &TEditHistory::Undo ? !CanUndo() : !CanRedo())
        return;
    const TViewPlace place = CurrentPlace();
    const uint8_t mode = db_->CurDisplayServiceMode;
    auto current = std::make_unique<TDocumentState>(TDocumentState{std::move(*db_), {MenuStr, AudioStr, SubStr}});
    std::unique_ptr<TDocumentState> restored = (history_.*step)(std::move(current));
    *db_ = std::move(restored->Data);
    db_->CurDisplayServiceMode = mode;
    MenuStr = std::move(restored->MenuNames.MenuStr);
    AudioStr = std::move(restored->MenuNames.AudioStr);
    SubStr = std::move(restored->MenuNames.SubStr);
    ShowPlace(place);
}

ChannelDocument::TViewPlace ChannelDocument::CurrentPlace() const
{
    TViewPlace place;
    if (const TTreeNode* node = Tree1.Selected()) {
        place.onRoot = node->Level() == 0;
        place.rootRow = Tree1.RowOf(place.onRoot ? node : node->Parent());
        place.tag = node->Tag;
    }
    place.col = SG.Col();
    place.row = SG.Row();
    place.selection = SG.Selection();
    return place;
}

// Rebuilds tree and grid from the tables and goes back to the node that was
// selected when it still exists (else to its branch), and to the same rows.
void ChannelDocument::ShowPlace(const TViewPlace& place)
{
    TTreeNode* node = BuildTree();
    if (place.rootRow >= 0 && place.rootRow < Tree1.RootCount()) {
        node = Tree1.Root(place.rootRow);
        if (!place.onRoot)
            for (int i = 0; i < node->ChildCount(); ++i)
                if (node->Child(i)->Tag == place.tag) {
                    node = node->Child(i);
                    break;
                }
    }
    SelectNode(node);
    SG.SetCurrent(place.col, place.row);
    SG.SetSelection(place.selection.Top, place.selection.Bottom);
}

}  // namespace lumora
