// The data of one open channel document: the tables, the menu language names
// and their undo history. Every change a person makes runs through Edit, which
// records the data as they were before it; the modified flag compares the data
// with the ones last opened or saved.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app_state.h"
#include "edit_history.h"
#include "records.h"

namespace lumora {

class TServiceNumbering;

// What one edit, undo or redo changed: the tables, and for an edit of one
// service record alone, which service.
struct TDocumentChange {
    enum Table : uint32_t {
        Antennas = 1u << 0,
        Streams = 1u << 1,
        Networks = 1u << 2,
        Providers = 1u << 3,
        Services = 1u << 4,  // the service table and how it is numbered
        Favorites = 1u << 5,
        Menu = 1u << 6,  // the menu record and the menu language names
        // Not a table: the document was opened, made new or saved, so its
        // name or the data counted as saved may be new.
        File = 1u << 7,
    };
    uint32_t Tables = 0;
    int32_t Service = -1;  // the one service changed when Tables is Services; else -1

    bool Any() const { return Tables != 0; }
    bool Touches(uint32_t tables) const { return (Tables & tables) != 0; }
};

// The difference between two states of a document's data.
TDocumentChange ChangeBetween(const TChannelDatabase& a, const TMenuLanguageNames& namesA, const TChannelDatabase& b,
                              const TMenuLanguageNames& namesB);

class TDocumentData {
public:
    // An empty database, counted as saved: there is nothing to save yet.
    explicit TDocumentData(TApplicationState& app);
    ~TDocumentData();
    TDocumentData(const TDocumentData&) = delete;
    TDocumentData& operator=(const TDocumentData&) = delete;

    const TChannelDatabase& Database() const { return *db_; }
    // The tables as loaders and test fixtures fill them. Writes through this
    // are not edits: every change a person makes goes through Edit.
    TChannelDatabase& Database() { return *db_; }
    TApplicationState& App() { return app_; }
    const TApplicationState& App() const { return app_; }
    const TSettings& Settings() const { return app_.Settings; }

    // The one way a command changes the document's data. `change` asks the
    // person first, then changes the tables; when the data differ afterwards,
    // the change becomes one step of the history, named `label` or what the
    // change names it with NameEdit once it knows what it did. An edit run by
    // another is part of it. A change that fails with an exception keeps what
    // it did before failing, as one step, and the exception goes on; the
    // observers are told of a change that completes.
    void Edit(std::string label, const std::function<void()>& change);
    void NameEdit(std::string label);

    // Called once after every edit that changed the data, after every undo
    // and redo, and when the document is opened, made new or saved (File),
    // with what changed: views and windows follow the data from here.
    using ChangeObserver = std::function<void(const TDocumentChange&)>;
    void OnChanged(ChangeObserver observer) { observers_.push_back(std::move(observer)); }

    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    const std::string& UndoLabel() const { return history_.UndoLabel(); }
    const std::string& RedoLabel() const { return history_.RedoLabel(); }
    const TEditHistory& History() const { return history_; }
    // Restore the data exactly as the step before or after them. Return false
    // when there is no such step.
    bool UndoData();
    bool RedoData();

    // Unsaved changes: the data differ from the ones last opened or saved (a
    // document made from an upload has none saved).
    bool pModifiedFlag() const;
    // The current data are the ones last opened or saved.
    void MarkSaved();

    TMenuLanguageNames MenuNames;  // language names the menu dialog last chose

    int32_t ServiceCount() const;
    TServiceItem& Service(int32_t realIndex) { return db_->ServiceInfo.pServiceInfo[std::size_t(realIndex)]; }
    const TServiceItem& Service(int32_t realIndex) const
    {
        return db_->ServiceInfo.pServiceInfo[std::size_t(realIndex)];
    }
    // The stream of a service; null when its stream index is outside the table.
    const TTSItem* StreamOf(int32_t realIndex) const;
    // The numberings of the services as the tables stand now.
    TServiceNumbering Numbering() const;
    bool IsCable() const;
    uint8_t FlashType() const { return app_.Settings.SystemInfo.FLASHTYPE; }
    // A displayed number counts as fixed up to 100 (below 1000 with FLASHTYPE 3).
    bool IsFixedDisplayedNumber(int32_t number) const;
    int32_t GetPosFromRealIndex(uint8_t mode, int32_t value) const;
    int32_t GetRealIndex(uint8_t mode, int32_t realIndex) const;

    // Whether an entry other than `except` has exactly this name (0xFFFF: all).
    bool CheckProviderName(const std::string& name, int32_t except) const;
    bool CheckNetworkName(const std::string& name, int32_t except) const;
    bool CheckServiceIndexInFavorite(uint8_t type, int32_t list, int32_t value) const;

protected:
    // A document opened, made new or read from an upload starts a fresh
    // history; `saved` tells whether its data are in a file.
    void ForgetHistory(bool saved);

private:
    std::unique_ptr<TDocumentState> CopyState() const;
    void Notify(const TDocumentChange& change) const;
    bool Restore(std::unique_ptr<TDocumentState> (TEditHistory::*step)(std::unique_ptr<TDocumentState>));

    TApplicationState& app_;
    std::unique_ptr<TChannelDatabase> db_;
    TEditHistory history_;
    std::unique_ptr<TDocumentState> saved_;  // null: nothing saved yet
    int editDepth_ = 0;
    std::string editLabel_;
    std::vector<ChangeObserver> observers_;
};

}  // namespace lumora
