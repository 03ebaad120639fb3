// The document's data: the edit seam, the undo history and the queries on
// the tables.
#include "document_data.h"

#include <algorithm>

#include "service_numbering.h"
#include "service_table_ops.h"

namespace lumora {

namespace {
constexpr int32_t kNoService = -1;
constexpr int32_t kSeveralServices = -2;

// The one service record that differs; kNoService when none does,
// kSeveralServices when more do or the counts differ.
int32_t ChangedService(const TServiceInfo& a, const TServiceInfo& b)
{
    if (a.wTVNum != b.wTVNum || a.wRadioNum != b.wRadioNum)
        return kSeveralServices;
    int32_t changed = kNoService;
    for (std::size_t i = 0; i < a.pServiceInfo.size(); ++i) {
        if (a.pServiceInfo[i] == b.pServiceInfo[i])
            continue;
        if (changed != kNoService)
            return kSeveralServices;
        changed = int32_t(i);
    }
    return changed;
}

bool SameFavorites(const TChannelDatabase& a, const TChannelDatabase& b)
{
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l)
            if (!(a.FavoriteInfo[g][l] == b.FavoriteInfo[g][l]))
                return false;
    return true;
}
}  // namespace

TDocumentChange ChangeBetween(const TChannelDatabase& a, const TMenuLanguageNames& namesA, const TChannelDatabase& b,
                              const TMenuLanguageNames& namesB)
{
    TDocumentChange change;
    auto mark = [&](bool same, TDocumentChange::Table table) {
        if (!same)
            change.Tables |= table;
    };
    mark(a.AntennaList == b.AntennaList, TDocumentChange::Antennas);
    mark(a.TSInfo == b.TSInfo, TDocumentChange::Streams);
    mark(a.NetworkInfo == b.NetworkInfo, TDocumentChange::Networks);
    mark(a.ProviderInfo == b.ProviderInfo, TDocumentChange::Providers);
    mark(SameFavorites(a, b), TDocumentChange::Favorites);
    mark(a.MenuConfigItem == b.MenuConfigItem && namesA == namesB, TDocumentChange::Menu);
    const int32_t service = ChangedService(a.ServiceInfo, b.ServiceInfo);
    mark(service == kNoService && a.pFixServiceIndex == b.pFixServiceIndex, TDocumentChange::Services);
    if (change.Tables == TDocumentChange::Services && a.pFixServiceIndex == b.pFixServiceIndex)
        change.Service = std::max(service, kNoService);
    return change;
}

TDocumentData::TDocumentData(TApplicationState& app) : app_(app), db_(std::make_unique<TChannelDatabase>())
{
    MarkSaved();
}

TDocumentData::~TDocumentData() = default;

std::unique_ptr<TDocumentState> TDocumentData::CopyState() const
{
    return std::make_unique<TDocumentState>(TDocumentState{*db_, MenuNames});
}

void TDocumentData::Edit(std::string label, const std::function<void()>& change)
{
    if (editDepth_ > 0) {
        change();  // part of the edit already running
        return;
    }
    std::unique_ptr<TDocumentState> before = CopyState();
    editLabel_ = std::move(label);
    auto record = [&] {
        editDepth_ = 0;
        const TDocumentChange change = ChangeBetween(before->Data, before->MenuNames, *db_, MenuNames);
        if (change.Any())
            history_.Record(std::move(editLabel_), std::move(before));
        return change;
    };
    editDepth_ = 1;
    try {
        change();
    } catch (...) {
        // The views are not told: what the person typed stays on screen to
        // be corrected.
        record();
        throw;
    }
    if (const TDocumentChange changed = record(); changed.Any())
        Notify(changed);
}

void TDocumentData::NameEdit(std::string label)
{
    if (editDepth_ > 0)
        editLabel_ = std::move(label);
}

bool TDocumentData::pModifiedFlag() const { return !saved_ || !SameStoredData(saved_->Data, *db_); }

void TDocumentData::MarkSaved()
{
    saved_ = CopyState();
    Notify({.Tables = TDocumentChange::File});
}

void TDocumentData::ForgetHistory(bool saved)
{
    history_.Clear();
    if (saved)
        saved_ = CopyState();
    else
        saved_.reset();
    Notify({.Tables = TDocumentChange::File});
}

bool TDocumentData::UndoData() { return Restore(&TEditHistory::Undo); }

bool TDocumentData::RedoData() { return Restore(&TEditHistory::Redo); }

bool TDocumentData::Restore(std::unique_ptr<TDocumentState> (TEditHistory::*step)(std::unique_ptr<TDocumentState>))
{
    if (step == &TEditHistory::Undo ? !CanUndo() : !CanRedo())
        return false;
    auto current = std::make_unique<TDocumentState>(TDocumentState{std::move(*db_), std::move(MenuNames)});
    const TDocumentState* left = current.get();  // kept by the history for the opposite direction
    std::unique_ptr<TDocumentState> restored = (history_.*step)(std::move(current));
    const TDocumentChange change = ChangeBetween(left->Data, left->MenuNames, restored->Data, restored->MenuNames);
    *db_ = std::move(restored->Data);
    MenuNames = std::move(restored->MenuNames);
    Notify(change);
    return true;
}

void TDocumentData::Notify(const TDocumentChange& change) const
{
    for (const ChangeObserver& observer : observers_)
        observer(change);
}

int32_t TDocumentData::ServiceCount() const { return lumora::ServiceCount(*db_); }

const TTSItem* TDocumentData::StreamOf(int32_t realIndex) const
{
    if (realIndex < 0 || realIndex >= ServiceCount())
        return nullptr;
    int32_t ts = Service(realIndex).pTSIndex;
    if (ts < 0 || ts >= db_->TSInfo.wTSNum || ts >= kTSCapacity)
        return nullptr;
    return &db_->TSInfo.Info[std::size_t(ts)];
}

TServiceNumbering TDocumentData::Numbering() const { return TServiceNumbering(*db_, NumberingOf(*db_, FlashType())); }

bool TDocumentData::IsCable() const { return IsCableModel(app_.Settings.SystemInfo.MODEL); }

bool TDocumentData::IsFixedDisplayedNumber(int32_t number) const { return IsFixedOPNumber(number, FlashType()); }

int32_t TDocumentData::GetPosFromRealIndex(uint8_t mode, int32_t value) const
{
    return Numbering().PositionOf(mode, value);
}

int32_t TDocumentData::GetRealIndex(uint8_t mode, int32_t realIndex) const { return OrdinalOf(*db_, mode, realIndex); }

bool TDocumentData::CheckProviderName(const std::string& name, int32_t except) const
{
    return ProviderNameExists(*db_, name, except);
}

bool TDocumentData::CheckNetworkName(const std::string& name, int32_t except) const
{
    return NetworkNameExists(*db_, name, except);
}

bool TDocumentData::CheckServiceIndexInFavorite(uint8_t type, int32_t list, int32_t value) const
{
    return lumora::CheckServiceIndexInFavorite(*db_, type, list, value);
}

}  // namespace lumora
