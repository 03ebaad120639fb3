#include "channel_document.h"

#include <stdexcept>

#include "interchange.h"
#include "service_numbering.h"

namespace lumora {

ChannelDocument::ChannelDocument(TApplicationState& app, UiPort& ui)
    : app_(app), ui_(ui), db_(std::make_unique<TChannelDatabase>())
{
    // A fresh database: empty tables, 32 universal antennas.
    ClearSG();
    InitSGItem();
    MarkSaved();  // nothing to save yet
}

ChannelDocument::~ChannelDocument() = default;

void ChannelDocument::InitAllData()
{
    InitDatabase(*db_, FlashType());
    ForgetHistory(true);  // a fresh, empty database has nothing to save
    PopupMenu2.ChangeTS.clear();
    PopupMenu2.ChangeNetwork.clear();
    PopupMenu2.ChangeProvider.clear();
}

std::optional<FavoriteNumbering> ChannelDocument::ParsingDataFile(const std::string& path)
{
    auto showError = [this](const std::string& message) {
        ui_.MessageBox(MsgKind::Error, message, MsgButtons::Ok);
    };
    ReadResult result = ParseAndDeleteExchangeFile(path, *db_, showError);
    if (result.status != ReadStatus::Complete)
        throw std::runtime_error(result.error);
    return result.numbering;
}

int32_t ChannelDocument::ServiceCount() const
{
    return lumora::ServiceCount(*db_);
}

const TTSItem* ChannelDocument::StreamOf(int32_t realIndex) const
{
    if (realIndex < 0 || realIndex >= ServiceCount())
        return nullptr;
    int32_t ts = Service(realIndex).pTSIndex;
    if (ts < 0 || ts >= db_->TSInfo.wTSNum || ts >= kTSCapacity)
        return nullptr;
    return &db_->TSInfo.Info[std::size_t(ts)];
}

TServiceNumbering ChannelDocument::Numbering() const
{
    return TServiceNumbering(*db_, NumberingOf(*db_, FlashType()));
}

bool ChannelDocument::IsCable() const
{
    return IsCableModel(app_.Settings.SystemInfo.MODEL);
}

bool ChannelDocument::IsFixedDisplayedNumber(int32_t number) const
{
    return IsFixedOPNumber(number, FlashType());
}

TServiceFilter DecodeNodeFilter(uint32_t tag)
{
    TServiceFilter filter;
    uint16_t index = uint16_t(tag & 0xFFFF);
    switch (TagKind(tag)) {
    case kKindAntenna: filter.Antenna = index; break;
    case kKindProvider: filter.Provider = index; break;
    case kKindNetwork: filter.Network = index; break;
    case kKindTS: filter.TS = index; break;
    case kKindGenre: filter.Genre = index; break;
    case kKindFavorite: filter.Favorite = index; break;
    default: break;
    }
    return filter;
}

}  // namespace lumora
