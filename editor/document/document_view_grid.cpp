// The view's service grid: its lists, the filtered scan and the refresh.
#include <algorithm>

#include "document_view.h"
#include "service_cleanup.h"
#include "service_numbering.h"

namespace lumora {

void TDocumentView::ClearSG()
{
    gridRows_.clear();
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
        SG.GenreList.push_back(GenreName(displayMode_, kind));
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
    displayMode_ = tvChecked ? kServiceTypeTV : kServiceTypeRadio;
    InitSGItem();
    RefreshServiceGrid();
}

int32_t TDocumentView::ConvertNonOPIndex(int32_t value) const
{
    // `value` is an OP number - 1.
    const int32_t firstAutomaticKey = AutoNumberBase(data_.FlashType()) - 1;
    bool fixedNumber = value < firstAutomaticKey;
    int32_t k = 0;
    int32_t result = 0;
    if (fixedNumber) {
        for (int32_t i = 0; i < data_.ServiceCount(); ++i) {
            if (data_.Service(i).ServiceType != displayMode_)
                continue;
            if (data_.Service(i).wServiceNumber == value)
                return k;
            result = k++;
        }
        return result;
    }
    int32_t target = value - firstAutomaticKey;
    int32_t automatic = 0;
    for (int32_t i = 0; i < data_.ServiceCount(); ++i) {
        if (data_.Service(i).ServiceType != displayMode_)
            continue;
        if (automatic == target)
            return k;
        result = automatic;
        if (data_.Service(i).wServiceNumber == 0)
            ++automatic;
        ++k;
    }
    return result;
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
        if (data_.Service(i).ServiceType != displayMode_)
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
    FillRow(row, {realIndex, shown, -1});
}

// Writes grid row `row` + 1 from service `listed.RealIndex`; a service outside
// the table (an unmatched favorite entry in an empty table) leaves the row empty.
void TDocumentView::FillRow(int32_t row, const TGridRow& listed)
{
    if (row >= 0 && std::size_t(row) >= gridRows_.size())
        gridRows_.resize(std::size_t(row) + 1);
    if (row >= 0)
        gridRows_[std::size_t(row)] = listed;
    const int32_t realIndex = listed.RealIndex;
    if (realIndex < 0 || realIndex >= data_.ServiceCount())
        return;
    const TServiceItem& s = data_.Service(realIndex);
    int gridRow = row + 1;
    auto boolText = [](bool value) { return value ? "TRUE" : "FALSE"; };
    SG.SetCell(kColIndex, gridRow, std::to_string(listed.Number));
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

int32_t TDocumentView::DisplayedNumber(int32_t realIndex, int32_t number, const TServiceNumbering& numbering) const
{
    return Db().pFixServiceIndex ? numbering.OPNumber(realIndex) : number;
}

// The grid lists the rows of the current view that pass the filter box; the
// favorite list entry of each row is kept, since row k no longer shows entry
// k - 1 once rows are filtered out.
void TDocumentView::RefreshServiceGrid()
{
    const std::vector<TGridRow> rows = ListedRows(viewRowCount_);
    shownRowCount_ = int32_t(rows.size());
    SG.BeginUpdate();
    SG.SetRowCount(std::max(shownRowCount_ + 1, 2));
    ClearSG();
    gridRows_.reserve(rows.size());
    for (std::size_t k = 0; k < rows.size(); ++k)
        FillRow(int32_t(k), rows[k]);
    SG.EndUpdate();
    for (const std::function<void()>& observer : gridObservers_)
        observer();
}

void TDocumentView::RefreshService(int32_t realIndex)
{
    int32_t viewRows = 0;
    const std::vector<TGridRow> rows = ListedRows(viewRows);
    if (rows != gridRows_ || viewRows != viewRowCount_) {
        RefreshServiceGrid();
        return;
    }
    for (std::size_t k = 0; k < rows.size(); ++k)
        if (rows[k].RealIndex == realIndex)
            FillRow(int32_t(k), rows[k]);
}

std::vector<TGridRow> TDocumentView::ListedRows(int32_t& viewRows) const
{
    std::vector<TGridRow> rows = ViewRows(data_.Numbering());
    viewRows = int32_t(rows.size());
    const TRowFilter filter(filterText_);
    if (filter.Active())
        std::erase_if(rows, [&](const TGridRow& row) {
            return row.RealIndex < 0 || row.RealIndex >= data_.ServiceCount() ||
                   !filter.Matches(data_.Service(row.RealIndex), std::to_string(row.Number));
        });
    return rows;
}

std::vector<TGridRow> TDocumentView::ViewRows(const TServiceNumbering& numbering) const
{
    std::vector<TGridRow> rows;
    const TTreeNode* node = Tree1.Selected();
    if (!node || (node->Level() == 0 && TagKind(node->Tag) != kKindAllService))
        return rows;
    const TServiceFilter filter = DecodeNodeFilter(node->Tag);
    if (filter.Favorite == kAnyFilter)
        ListScannedRows(filter, numbering, rows);
    else if (filter.Favorite < kFavoriteLists && displayMode_ < kFavoriteGroups)
        ListFavoriteRows(filter.Favorite, numbering, rows);
    return rows;
}

// A favorite list is listed in its own order; an entry is an OP number - 1
// under fixed numbering, an ordinal otherwise.
void TDocumentView::ListFavoriteRows(uint16_t list, const TServiceNumbering& numbering,
                                     std::vector<TGridRow>& rows) const
{
    uint8_t mode = displayMode_;
    const TFavoriteItem& favorites = Db().FavoriteInfo[mode][list];
    bool byOPNumber = IsFixedNumberingFlashType(data_.FlashType());
    int32_t length = std::clamp(favorites.wIndexNum, 0, kFavoriteCapacity);
    for (int32_t k = 0; k < length; ++k) {
        int32_t entry = favorites.Index[std::size_t(k)];
        int32_t key = byOPNumber ? entry + 1 : entry;
        int32_t realIndex = numbering.PositionOf(mode, key);
        rows.push_back({realIndex, DisplayedNumber(realIndex, entry + 1, numbering), k});
    }
}

void TDocumentView::ListScannedRows(const TServiceFilter& f, const TServiceNumbering& numbering,
                                    std::vector<TGridRow>& rows) const
{
    int32_t total = data_.ServiceCount();
    int32_t count = 0;
    for (int32_t i = FindFirstService(f.Antenna, f.TS, f.Provider, f.Network, f.Genre, f.Favorite, count); i < total;
         i = FindNextService(f.Antenna, f.TS, f.Provider, f.Network, f.Genre, f.Favorite, i + 1, count))
        rows.push_back({i, DisplayedNumber(i, count, numbering), -1});
}

int32_t TDocumentView::RowService(int32_t row) const
{
    if (row < 1 || row > int32_t(gridRows_.size()))
        return -1;
    const int32_t r = gridRows_[std::size_t(row - 1)].RealIndex;
    return r >= 0 && r < data_.ServiceCount() ? r : -1;
}

std::vector<int32_t> TDocumentView::RowServices(int32_t top, int32_t bottom) const
{
    std::vector<int32_t> services;
    for (int32_t row = top; row <= bottom; ++row)
        if (const int32_t r = RowService(row); r >= 0)
            services.push_back(r);
    return services;
}

int32_t TDocumentView::RowNumber(int32_t row) const
{
    return RowService(row) < 0 ? -1 : gridRows_[std::size_t(row - 1)].Number;
}

int32_t TDocumentView::RowListEntry(int32_t row) const
{
    if (row < 1 || row > int32_t(gridRows_.size()))
        return -1;
    return gridRows_[std::size_t(row - 1)].ListEntry;
}

void TDocumentView::SetFilterText(const std::string& text)
{
    filterText_ = text;
    RefreshServiceGrid();
}

bool TDocumentView::FilterActive() const { return TRowFilter(filterText_).Active(); }

std::string TDocumentView::LabelText() const
{
    if (!FilterActive())
        return Label1Caption;
    return Label1Caption + " (" + std::to_string(shownRowCount_) + " of " + std::to_string(viewRowCount_) + " shown)";
}

}  // namespace lumora
