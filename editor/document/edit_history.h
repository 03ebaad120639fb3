// The undo history of one document. Each step keeps a whole copy of the
// document's data as it was before (or, once undone, after) an edit: the
// database is one value of about half a megabyte, so copies are simpler and
// safer than recording every table operation's inverse. The history is
// bounded in steps and in memory; the oldest steps go first.
#pragma once

#include <cstddef>
#include <deque>
#include <memory>
#include <string>

#include "records.h"
#include "ui_port.h"

namespace lumora {

// Everything an edit can change: the tables and the language names the menu
// configuration dialog last chose.
struct TDocumentState {
    TChannelDatabase Data;
    TMenuLanguageNames MenuNames;
};

// Bytes a state occupies, its names' heap storage included.
std::size_t StateBytes(const TDocumentState& state);

class TEditHistory {
public:
    struct Limits {
        std::size_t steps = 100;
        std::size_t bytes = std::size_t(64) << 20;
    };
    TEditHistory() = default;
    explicit TEditHistory(Limits limits) : limits_(limits) {}

    // Records an edit named `label` that changed the state `before`. Clears
    // the redo steps, then drops the oldest steps beyond the limits.
    void Record(std::string label, std::unique_ptr<TDocumentState> before);

    bool CanUndo() const { return !undo_.empty(); }
    bool CanRedo() const { return !redo_.empty(); }
    // Names of the edit the next undo or redo takes back or makes again.
    const std::string& UndoLabel() const;
    const std::string& RedoLabel() const;

    // Takes one step back (or forward): returns the state to restore and
    // keeps `current` for the opposite direction.
    std::unique_ptr<TDocumentState> Undo(std::unique_ptr<TDocumentState> current);
    std::unique_ptr<TDocumentState> Redo(std::unique_ptr<TDocumentState> current);

    void Clear();
    std::size_t UndoSteps() const { return undo_.size(); }
    std::size_t RedoSteps() const { return redo_.size(); }
    // Bytes held by every kept state.
    std::size_t MemoryBytes() const { return bytes_; }

private:
    struct Step {
        std::string label;
        std::unique_ptr<TDocumentState> state;
        std::size_t bytes = 0;
    };
    // Moves the newest step of `from` to `to`, keeping `current` in its place.
    std::unique_ptr<TDocumentState> Move(std::deque<Step>& from, std::deque<Step>& to,
                                         std::unique_ptr<TDocumentState> current);
    void DropBeyondLimits();

    Limits limits_;
    std::deque<Step> undo_;  // newest at the back
    std::deque<Step> redo_;  // next to redo at the back
    std::size_t bytes_ = 0;
};

}  // namespace lumora
