// The document's data: the edit seam, the undo history and the queries on
// the tables.
#include "document_data.h"

#include "service_numbering.h"
#include "service_table_ops.h"

namespace lumora {

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
        // The display type is a view setting: switching it is no edit.
        before->Data.CurDisplayServiceMode = db_->CurDisplayServiceMode;
        if (before->Data == *db_ && before->MenuNames == MenuNames)
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

void TDocumentData::NameEdit(std::string label)
{
    if (editDepth_ > 0)
        editLabel_ = std::move(label);
}

bool TDocumentData::pModifiedFlag() const { return !saved_ || !SameStoredData(saved_->Data, *db_); }

void TDocumentData::MarkSaved() { saved_ = CopyState(); }

void TDocumentData::ForgetHistory(bool saved)
{
    history_.Clear();
    if (saved)
        MarkSaved();
    else
        saved_.reset();
}

bool TDocumentData::UndoData() { return Restore(&TEditHistory::Undo); }

bool TDocumentData::RedoData() { return Restore(&TEditHistory::Redo); }

bool TDocumentData::Restore(std::unique_ptr<TDocumentState> (TEditHistory::*step)(std::unique_ptr<TDocumentState>))
{
    if (step == &TEditHistory::Undo ? !CanUndo() : !CanRedo())
        return false;
    const uint8_t mode = db_->CurDisplayServiceMode;
    auto current = std::make_unique<TDocumentState>(TDocumentState{std::move(*db_), std::move(MenuNames)});
    std::unique_ptr<TDocumentState> restored = (history_.*step)(std::move(current));
    *db_ = std::move(restored->Data);
    db_->CurDisplayServiceMode = mode;
    MenuNames = std::move(restored->MenuNames);
    return true;
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

int32_t TDocumentData::ConvertNonOPIndex(int32_t value) const
{
    // `value` is an OP number - 1.
    const int32_t firstAutomaticKey = AutoNumberBase(FlashType()) - 1;
    bool fixedNumber = value < firstAutomaticKey;
    int32_t k = 0;
    int32_t result = 0;
    if (fixedNumber) {
        for (int32_t i = 0; i < ServiceCount(); ++i) {
            if (Service(i).ServiceType != db_->CurDisplayServiceMode)
                continue;
            if (Service(i).wServiceNumber == value)
                return k;
            result = k++;
        }
        return result;
    }
    int32_t target = value - firstAutomaticKey;
    int32_t automatic = 0;
    for (int32_t i = 0; i < ServiceCount(); ++i) {
        if (Service(i).ServiceType != db_->CurDisplayServiceMode)
            continue;
        if (automatic == target)
            return k;
        result = automatic;
        if (Service(i).wServiceNumber == 0)
            ++automatic;
        ++k;
    }
    return result;
}

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
