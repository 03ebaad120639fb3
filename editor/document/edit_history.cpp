#include "edit_history.h"

namespace lumora {

namespace {
// Heap bytes of a string beyond the small-string buffer inside it.
std::size_t HeapBytes(const std::string& text)
{
    const std::size_t inside = std::string().capacity();
    return text.capacity() > inside ? text.capacity() + 1 : 0;
}

template <class Table, class Name>
std::size_t NameBytes(const Table& table, Name name)
{
    std::size_t bytes = 0;
    for (const auto& item : table)
        bytes += HeapBytes(item.*name);
    return bytes;
}

const std::string kNoLabel;
}  // namespace

std::size_t StateBytes(const TDocumentState& state)
{
    const TChannelDatabase& db = state.Data;
    return sizeof(TDocumentState) + NameBytes(db.AntennaList.AntennaInfo, &TAntennaSetting::szLNBName) +
           NameBytes(db.NetworkInfo.Info, &TNetworkItem::szNetworkName) +
           NameBytes(db.ProviderInfo.Info, &TProviderItem::szProviderName) +
           NameBytes(db.ServiceInfo.pServiceInfo, &TServiceItem::szServiceName) + HeapBytes(state.MenuNames.MenuStr) +
           HeapBytes(state.MenuNames.AudioStr) + HeapBytes(state.MenuNames.SubStr);
}

void TEditHistory::Record(std::string label, std::unique_ptr<TDocumentState> before)
{
    for (const Step& step : redo_)
        bytes_ -= step.bytes;
    redo_.clear();
    const std::size_t bytes = StateBytes(*before);
    undo_.push_back({std::move(label), std::move(before), bytes});
    bytes_ += bytes;
    DropBeyondLimits();
}

void TEditHistory::DropBeyondLimits()
{
    while (!undo_.empty() && (undo_.size() > limits_.steps || bytes_ > limits_.bytes)) {
        bytes_ -= undo_.front().bytes;
        undo_.pop_front();
    }
}

const std::string& TEditHistory::UndoLabel() const { return undo_.empty() ? kNoLabel : undo_.back().label; }

const std::string& TEditHistory::RedoLabel() const { return redo_.empty() ? kNoLabel : redo_.back().label; }

std::unique_ptr<TDocumentState> TEditHistory::Move(std::deque<Step>& from, std::deque<Step>& to,
                                                   std::unique_ptr<TDocumentState> current)
{
    if (from.empty())
        return current;
    Step step = std::move(from.back());
    from.pop_back();
    const std::size_t bytes = StateBytes(*current);
    bytes_ = bytes_ - step.bytes + bytes;
    to.push_back({std::move(step.label), std::move(current), bytes});
    return std::move(step.state);
}

std::unique_ptr<TDocumentState> TEditHistory::Undo(std::unique_ptr<TDocumentState> current)
{
    return Move(undo_, redo_, std::move(current));
}

std::unique_ptr<TDocumentState> TEditHistory::Redo(std::unique_ptr<TDocumentState> current)
{
    return Move(redo_, undo_, std::move(current));
}

void TEditHistory::Clear()
{
    undo_.clear();
    redo_.clear();
    bytes_ = 0;
}

}  // namespace lumora
