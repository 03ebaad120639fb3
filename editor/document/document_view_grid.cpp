// The view's service grid: its lists, the filtered scan and the refresh.
#include <algorithm>

#include "document_view.h"
#include "service_numbering.h"

namespace lumora {

void TDocumentView::ClearSG()
{
    SG.BeginUpdate();
    for (int col = 0; col < kSGColCount; ++col)
        SG.SetCell(col, 0, kSGColumns[std::size_t(col)].Header);
    for (int row = 1; row < SG.RowCount(); ++row)
        for (int col = 0; col < kSGColCount; ++col)
            SG.SetCell(col, row, std::string());
    SG.EndUpdate();
}

void TDocumentView::InitSGItem()
{
    SG.GenreList.clear();
    for (unsigned kind = 0; kind < 16; ++kind)
        SG.GenreList.push_back(GenreName(Db().CurDisplayServiceMode, kind));
    SG.LockSkipList = {"TRUE", "FALSE"};
    UpdateNetworkCmbCell();
    UpdateProviderCmbCell();
}

void TDocumentView::UpdateNetworkCmbCell()
{
    SG.NetworkList.clear();
    for (int i = 0; i < std::min(Db().NetworkInfo.wNetworkNum, kNetworkCapacity); ++i)
        SG.NetworkList.push_back(Db().NetworkInfo.Info[std::size_t(i)].szNetworkName);
}

void TDocumentView::UpdateProviderCmbCell()
{
    SG.ProviderList.clear();
    for (int i = 0; i < std::min(Db().ProviderInfo.wProviderNum, kProviderCapacity); ++i)
        SG.ProviderList.push_back(Db().ProviderInfo.Info[std::size_t(i)].szProviderName);
}

void TDocumentView::FR1Click(bool tvChecked)
{
    data_.Database().CurDisplayServiceMode = tvChecked ? kServiceTypeTV : kServiceTypeRadio;
    InitSGItem();
    RefreshServiceGrid();
}

bool TDocumentView::CompareAntennaInService(uint16_t antenna, int32_t realIndex) const
{
    if (antenna == kAnyFilter)
        return true;
    const TTSItem* ts = data_.StreamOf(realIndex);
    return ts && ts->wAntennaIndex == antenna;
}

bool TDocumentView::CompareTSInService(uint16_t ts, int32_t realIndex) const
{
    if (ts == kAnyFilter)
        return true;
    // A service with no valid stream belongs to none.
    return data_.StreamOf(realIndex) && uint16_t(data_.Service(realIndex).pTSIndex) == ts;
}

bool TDocumentView::CompareProviderInService(uint16_t provider, int32_t realIndex) const
{
    if (provider == kAnyFilter)
        return true;
    return realIndex >= 0 && realIndex < data_.ServiceCount() && data_.Service(realIndex).pProviderIndex == provider;
}

bool TDocumentView::CompareNetworkInService(uint16_t network, int32_t realIndex) const
{
    if (network == kAnyFilter)
        return true;
    const TTSItem* ts = data_.StreamOf(realIndex);
    return ts && ts->pNetworkIndex == network;
}

bool TDocumentView::CompareGenreInService(uint16_t genre, int32_t realIndex) const
{
    if (genre == kAnyFilter)
        return true;
    return realIndex >= 0 && realIndex < data_.ServiceCount() && data_.Service(realIndex).ServiceKind == genre;
}

bool TDocumentView::CompareFavoriteInService(uint16_t /*favorite*/, int32_t /*realIndex*/) const
{
    return true;  // favorite lists are listed from the lists themselves
}

int32_t TDocumentView::FindFirstService(uint16_t antenna, uint16_t ts, uint16_t provider, uint16_t network,
                                          uint16_t genre, uint16_t favorite, int32_t& count) const
{
    return FindNextService(antenna, ts, provider, network, genre, favorite, 0, count);
}

int32_t TDocumentView::FindNextService(uint16_t antenna, uint16_t ts, uint16_t provider, uint16_t network,
                                         uint16_t genre, uint16_t favorite, int32_t start, int32_t& count) const
{
    int32_t total = data_.ServiceCount();
    for (int32_t i = std::max(start, 0); i < total; ++i) {
        if (data_.Service(i).ServiceType != Db().CurDisplayServiceMode)
            continue;
        ++count;
        if (CompareAntennaInService(antenna, i) && CompareTSInService(ts, i) && CompareProviderInService(provider, i) &&
            CompareNetworkInService(network, i) && CompareGenreInService(genre, i) &&
            CompareFavoriteInService(favorite, i))
            return i;
    }
    return total;
}

std::string TDocumentView::NetworkNameOf(int32_t realIndex) const
{
    const TTSItem* ts = data_.StreamOf(realIndex);
    int32_t networks = std::min(Db().NetworkInfo.wNetworkNum, kNetworkCapacity);
    if (!ts || ts->pNetworkIndex < 0 || ts->pNetworkIndex >= networks)
        return "";
    return Db().NetworkInfo.Info[std::size_t(ts->pNetworkIndex)].szNetworkName;
}

std::string TDocumentView::ProviderNameOf(int32_t realIndex) const
{
    int32_t provider = data_.Service(realIndex).pProviderIndex;
    if (provider < 0 || provider >= std::min(Db().ProviderInfo.wProviderNum, kProviderCapacity))
        return "";
    return Db().ProviderInfo.Info[std::size_t(provider)].szProviderName;
}

void TDocumentView::FillOneRow(int32_t row, int32_t realIndex, int32_t number)
{
    int32_t shown = Db().pFixServiceIndex ? data_.Numbering().OPNumber(realIndex) : number;
    FillRow(row, realIndex, std::to_string(shown));
}

// Writes grid row `row` + 1 from service `realIndex`; a service outside the
// table (an unmatched favorite entry in an empty table) leaves the row empty.
void TDocumentView::FillRow(int32_t row, int32_t realIndex, const std::string& number)
{
    if (realIndex < 0 || realIndex >= data_.ServiceCount())
        return;
    const TServiceItem& s = data_.Service(realIndex);
    int gridRow = row + 1;
    auto boolText = [](bool value) { return value ? "TRUE" : "FALSE"; };
    SG.SetCell(kColIndex, gridRow, number);
    SG.SetCell(kColName, gridRow, s.szServiceName);
    SG.SetCell(kColVideoPID, gridRow, std::to_string(s.wVideoPID));
    SG.SetCell(kColAudioPID, gridRow, std::to_string(s.wAudioPID));
    SG.SetCell(kColPCRPID, gridRow, std::to_string(s.wPCRPID));
    SG.SetCell(kColServiceId, gridRow, std::to_string(s.wServiceId));
    SG.SetCell(kColPmtPID, gridRow, std::to_string(s.wPmtPID & 0x7FFF));
    SG.SetCell(kColGenre, gridRow, s.ServiceKind < SG.GenreList.size() ? SG.GenreList[s.ServiceKind] : std::string());
    SG.SetCell(kColLock, gridRow, boolText(s.bParentLock));
    SG.SetCell(kColSkip, gridRow, boolText(s.bSkipService));
    SG.SetCell(kColNetwork, gridRow, NetworkNameOf(realIndex));
    SG.SetCell(kColProvider, gridRow, ProviderNameOf(realIndex));
    SG.SetCell(kColRI, gridRow, std::to_string(realIndex));
}

std::string TDocumentView::DisplayedNumber(int32_t realIndex, int32_t number,
                                             const TServiceNumbering& numbering) const
{
    return std::to_string(Db().pFixServiceIndex ? numbering.OPNumber(realIndex) : number);
}

void TDocumentView::RefreshServiceGrid()
{
    SG.BeginUpdate();
    int32_t rows = GetTargetCount();
    SG.SetRowCount(std::max(rows + 1, 2));
    ClearSG();
    if (rows > 0) {
        TServiceFilter filter = DecodeNodeFilter(Tree1.Selected()->Tag);
        const TServiceNumbering numbering = data_.Numbering();
        if (filter.Favorite != kAnyFilter)
            FillFavoriteRows(filter.Favorite, numbering);
        else
            FillScannedRows(filter, numbering);
    }
    SG.EndUpdate();
}

// A favorite list is listed in its own order; an entry is an OP number - 1
// under fixed numbering, an ordinal otherwise.
void TDocumentView::FillFavoriteRows(uint16_t list, const TServiceNumbering& numbering)
{
    uint8_t mode = Db().CurDisplayServiceMode;
    const TFavoriteItem& favorites = Db().FavoriteInfo[mode][list];
    bool byOPNumber = IsFixedNumberingFlashType(data_.FlashType());
    int32_t length = std::clamp(favorites.wIndexNum, 0, kFavoriteCapacity);
    for (int32_t k = 0; k < length; ++k) {
        int32_t entry = favorites.Index[std::size_t(k)];
        int32_t key = byOPNumber ? entry + 1 : entry;
        int32_t realIndex = numbering.PositionOf(mode, key);
        FillRow(k, realIndex, DisplayedNumber(realIndex, entry + 1, numbering));
    }
}

void TDocumentView::FillScannedRows(const TServiceFilter& f, const TServiceNumbering& numbering)
{
    int32_t total = data_.ServiceCount();
    int32_t count = 0;
    int32_t row = 0;
    for (int32_t i = FindFirstService(f.Antenna, f.TS, f.Provider, f.Network, f.Genre, f.Favorite, count);
         i < total && row < SG.RowCount() - 1;
         i = FindNextService(f.Antenna, f.TS, f.Provider, f.Network, f.Genre, f.Favorite, i + 1, count), ++row)
        FillRow(row, i, DisplayedNumber(i, count, numbering));
}

}  // namespace lumora
