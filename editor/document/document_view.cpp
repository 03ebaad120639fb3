// The view's navigation tree and its labels, the two popup menus, and the
// place in tree and grid that undo and redo go back to.
#include <algorithm>

#include "document_view.h"

namespace lumora {

namespace {
constexpr const char* kGenreNodeCaptions[16] = {
    "ETC:GENERAL", "MOVIE:POP", "NEWS:ROCK",      "SHOW:COUNTRY",   "SPORTS:CLASSIC",     "CHILDREN:JAZZ",
    "MUSIC:FOLK",  "ART:NEWS",  "EDUCATION:SHOW", "LEISURE:SPORTS", "SHOPPING:EDUCATION", "ADULT:ENTERTAINMENT",
    "USER A",      "USER B",    "USER C",         "USER D"};
constexpr const char* kFavoriteNodeCaptions[kFavoriteLists] = {"A", "B", "C", "D"};

std::string Field(const std::string& text) { return text + " | "; }
}  // namespace

TDocumentView::TDocumentView(TDocumentData& data) : data_(data)
{
    ClearSG();
    InitSGItem();
}

void TDocumentView::LoadTreeValue() { SelectNode(BuildTree()); }

// Builds the tree and the grid's lists from the tables; returns the "All
// Service" node.
TTreeNode* TDocumentView::BuildTree()
{
    const TChannelDatabase& db = Db();
    Tree1.Clear();
    TTreeNode* allServices = Tree1.Add(nullptr, "All Service", MakeTag(kKindAllService, 0));

    if (!data_.IsCable()) {
        TTreeNode* antennas = Tree1.Add(nullptr, "Antenna", MakeTag(kKindAntenna, 0));
        for (int i = 0; i < kAntennaCapacity; ++i)
            Tree1.Add(antennas, GetAntennaString(i), MakeTag(kKindAntenna, uint32_t(i)));
    }
    TTreeNode* streams = Tree1.Add(nullptr, "Transport Stream", MakeTag(kKindTS, 0));
    for (int i = 0; i < std::min(db.TSInfo.wTSNum, kTSCapacity); ++i)
        Tree1.Add(streams, GetTSString(i), MakeTag(kKindTS, uint32_t(i)));
    TTreeNode* networks = Tree1.Add(nullptr, "Network", MakeTag(kKindNetwork, 0));
    for (int i = 0; i < std::min(db.NetworkInfo.wNetworkNum, kNetworkCapacity); ++i)
        Tree1.Add(networks, db.NetworkInfo.Info[std::size_t(i)].szNetworkName, MakeTag(kKindNetwork, uint32_t(i)));
    TTreeNode* providers = Tree1.Add(nullptr, "Provider", MakeTag(kKindProvider, 0));
    for (int i = 0; i < std::min(db.ProviderInfo.wProviderNum, kProviderCapacity); ++i)
        Tree1.Add(providers, db.ProviderInfo.Info[std::size_t(i)].szProviderName, MakeTag(kKindProvider, uint32_t(i)));
    TTreeNode* genres = Tree1.Add(nullptr, "Genre", 0);
    for (uint32_t i = 0; i < 16; ++i)
        Tree1.Add(genres, kGenreNodeCaptions[i], MakeTag(kKindGenre, i));
    TTreeNode* favorites = Tree1.Add(nullptr, "Favorite", 0);
    for (uint32_t i = 0; i < kFavoriteLists; ++i)
        Tree1.Add(favorites, kFavoriteNodeCaptions[i], MakeTag(kKindFavorite, i));

    UpdateNetworkCmbCell();
    UpdateProviderCmbCell();
    return allServices;
}

void TDocumentView::FollowChange(const TDocumentChange& change)
{
    using Change = TDocumentChange;
    if (change.Touches(Change::Antennas | Change::Streams | Change::Networks | Change::Providers))
        FollowTree();
    else if (change.Service >= 0)
        RefreshService(change.Service);
    else if (change.Touches(Change::Services | Change::Favorites))
        RefreshServiceGrid();
}

void TDocumentView::FollowTree()
{
    const TChannelDatabase& db = Db();
    TTreeNode* replacement = nullptr;
    auto keep = [&replacement](TTreeNode* node) {
        if (node)
            replacement = node;
    };
    keep(FollowBranch(kKindAntenna, kAntennaCapacity, [this](int i) { return GetAntennaString(i); }));
    keep(FollowBranch(kKindTS, std::min(db.TSInfo.wTSNum, kTSCapacity), [this](int i) { return GetTSString(i); }));
    keep(FollowBranch(kKindNetwork, std::min(db.NetworkInfo.wNetworkNum, kNetworkCapacity),
                      [&db](int i) { return db.NetworkInfo.Info[std::size_t(i)].szNetworkName; }));
    keep(FollowBranch(kKindProvider, std::min(db.ProviderInfo.wProviderNum, kProviderCapacity),
                      [&db](int i) { return db.ProviderInfo.Info[std::size_t(i)].szProviderName; }));
    UpdateNetworkCmbCell();
    UpdateProviderCmbCell();
    if (replacement)
        SelectNode(replacement);
    else if (Tree1.Selected())
        Tree1Change(Tree1.Selected());  // its caption may be new; the grid follows
    else
        RefreshServiceGrid();
}

TTreeNode* TDocumentView::FollowBranch(uint32_t kind, int count, const std::function<std::string(int)>& caption)
{
    TTreeNode* branch = Tree1.Find([kind](const TTreeNode& n) { return n.Level() == 0 && TagKind(n.Tag) == kind; });
    if (!branch)
        return nullptr;
    bool selectedRemoved = false;
    while (branch->ChildCount() > count) {
        TTreeNode* last = branch->Child(branch->ChildCount() - 1);
        selectedRemoved = selectedRemoved || Tree1.Selected() == last;
        Tree1.Remove(last);
    }
    for (int i = 0; i < count; ++i) {
        std::string text = caption(i);
        if (i >= branch->ChildCount()) {
            Tree1.Add(branch, std::move(text), MakeTag(kind, uint32_t(i)));
        } else if (TTreeNode* node = branch->Child(i); node->Caption != text) {
            node->Caption = std::move(text);
            Tree1.NodeChanged(node);
        }
    }
    // As the tree view does when its selected item goes: the previous
    // sibling, else the parent.
    if (!selectedRemoved)
        return nullptr;
    return branch->ChildCount() > 0 ? branch->Child(branch->ChildCount() - 1) : branch;
}

void TDocumentView::UpdateTree()
{
    LoadTreeValue();
    RefreshServiceGrid();
}

void TDocumentView::SelectNode(TTreeNode* node)
{
    Tree1.SetSelected(node);
    Tree1Change(node);
}

void TDocumentView::Tree1Change(TTreeNode* node)
{
    Label1Caption = node ? node->Caption : std::string();
    RefreshServiceGrid();
}

bool TDocumentView::Tree1MouseDown(bool rightButton)
{
    CheckPopup1Menu();
    return rightButton;
}

void TDocumentView::CheckPopup1Menu()
{
    const TTreeNode* node = Tree1.Selected();
    if (!node)
        return;
    PopupMenu1 = TInfoMenuState{false, false, false};
    bool belowRoot = node->Level() > 0;
    switch (TagKind(node->Tag)) {
    case kKindAntenna: PopupMenu1.Edit = belowRoot; break;
    case kKindProvider:
    case kKindNetwork:
    case kKindTS:
        PopupMenu1.AddInformation = true;
        PopupMenu1.Edit = belowRoot;
        PopupMenu1.DeleteInformation = belowRoot;
        break;
    default: break;
    }
}

int32_t TDocumentView::GetTargetCount() const
{
    const TTreeNode* node = Tree1.Selected();
    if (!node)
        return 0;
    TServiceFilter filter = DecodeNodeFilter(node->Tag);
    if (node->Level() == 0 && TagKind(node->Tag) != kKindAllService)
        return 0;
    if (filter.Favorite != kAnyFilter) {
        if (filter.Favorite >= kFavoriteLists || displayMode_ >= kFavoriteGroups)
            return 0;
        int32_t length = Db().FavoriteInfo[displayMode_][filter.Favorite].wIndexNum;
        return std::clamp(length, 0, kFavoriteCapacity);
    }
    return CountServices(filter);
}

int32_t TDocumentView::CountServices(const TServiceFilter& f) const
{
    int32_t rows = 0;
    int32_t count = 0;
    int32_t total = data_.ServiceCount();
    for (int32_t i = FindFirstService(f.Antenna, f.TS, f.Provider, f.Network, f.Genre, f.Favorite, count); i < total;
         i = FindNextService(f.Antenna, f.TS, f.Provider, f.Network, f.Genre, f.Favorite, i + 1, count))
        ++rows;
    return rows;
}

std::string TDocumentView::GetAntennaString(int32_t index) const
{
    if (index < 0 || index >= kAntennaCapacity)
        return "";
    const TAntennaSetting& antenna = Db().AntennaList.AntennaInfo[std::size_t(index)];
    const TLanguageSet& satellites = data_.Settings().AntennaLanguage;
    int32_t n = std::clamp(satellites.wLanguageNum, 0, kLanguageSetCapacity);
    std::string satellite = "(Unknown)";
    if (n > 0 && antenna.ucSatelliteId == n)
        satellite = antenna.szLNBName;  // one past the list: the user-defined satellite
    else if (antenna.ucSatelliteId < n)
        satellite = satellites.Language[antenna.ucSatelliteId];
    return " | " + Field(std::to_string(index + 1)) + Field(satellite) + Field(GetLNBFrequency(antenna.dwLNBFreq)) +
           Field(GetDiseqc(antenna.ucOtherSetting));
}

std::string TDocumentView::GetLNBFrequency(uint32_t value)
{
    if (value == kUniversalLNB)
        return "UNIVERSAL";
    return std::to_string(value & 0xFFFFFF);
}

std::string TDocumentView::GetDiseqc(uint8_t setting)
{
    static constexpr const char* kNames[] = {"DiSEqC A", "DiSEqC B",     "DiSEqC C",    "DiSEqC D",
                                             "DISABLE",  "Tone Burst A", "Tone Burst B"};
    unsigned code = (setting >> 1) & 0x0F;
    return code < std::size(kNames) ? kNames[code] : "";
}

std::string TDocumentView::GetTSString(int32_t index) const
{
    if (index < 0 || index >= std::min(Db().TSInfo.wTSNum, kTSCapacity))
        return "";
    const TTSItem& ts = Db().TSInfo.Info[std::size_t(index)];
    const TSATTSInfo& tuning = ts.SATTSInfo;
    std::string frequencyAndRate =
        Field(std::to_string(tuning.dwFrequency)) + Field(std::to_string(tuning.dwSymbolRate));
    if (data_.IsCable())
        return " | " + frequencyAndRate + Field(ConstellationName(tuning.ucFEC));
    // An antenna number outside the 32 slots names no antenna: its field stays empty.
    std::string antenna = ts.wAntennaIndex < kAntennaCapacity ? std::to_string(ts.wAntennaIndex + 1) : "";
    return " | " + Field(antenna) + frequencyAndRate + Field(PolarizationName(tuning.ucPolarization)) +
           Field(CodeRateName(tuning.ucFEC));
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

bool TDocumentView::SGMouseDown(bool rightButton)
{
    const bool allowed = PrepareServiceMenu();
    if (Tree1.Selected())
        BuildChangeSubmenus();
    return allowed && rightButton;
}

TServiceCommandState TDocumentView::ServiceCommands()
{
    TServiceCommandState state;
    state.SelectAll = RowService(1) >= 0;
    if (!PrepareServiceMenu())
        return state;
    const bool serviceShown = RowService(SG.Selection().Top) >= 0;
    state.Cut = state.Copy = state.Delete = serviceShown;
    state.Paste = PopupMenu2.Paste;
    return state;
}

bool TDocumentView::PrepareServiceMenu()
{
    const TTreeNode* node = Tree1.Selected();
    if (!node)
        return false;
    PopupMenu2.AddInformation = true;
    PopupMenu2.Paste = false;
    uint32_t kind = TagKind(node->Tag);
    if (node->Level() == 0)
        PopupMenu2.AddInformation = false;
    if (kind == kKindAllService)
        PopupMenu2.Paste = true;
    if (kind >= kKindAntenna && kind <= kKindNetwork)
        PopupMenu2.AddInformation = false;
    PopupMenu2.AddInformationCaption = "Add Information";

    if (Db().pFixServiceIndex) {
        const int32_t top = SG.Selection().Top;
        if (RowService(top) >= 0 && data_.IsFixedDisplayedNumber(RowNumber(top)))
            return false;  // fixed-numbered services get no menu
    }
    return true;
}

void TDocumentView::BuildChangeSubmenus()
{
    PopupMenu2.ChangeTS.clear();
    PopupMenu2.ChangeNetwork.clear();
    PopupMenu2.ChangeProvider.clear();
    for (int i = 0; i < std::min(Db().TSInfo.wTSNum, kTSCapacity); ++i)
        PopupMenu2.ChangeTS.push_back({"A" + std::to_string(i), GetTSString(i)});
    for (int i = 0; i < std::min(Db().NetworkInfo.wNetworkNum, kNetworkCapacity); ++i)
        PopupMenu2.ChangeNetwork.push_back(
            {"B" + std::to_string(i), Db().NetworkInfo.Info[std::size_t(i)].szNetworkName});
    for (int i = 0; i < std::min(Db().ProviderInfo.wProviderNum, kProviderCapacity); ++i)
        PopupMenu2.ChangeProvider.push_back(
            {"C" + std::to_string(i), Db().ProviderInfo.Info[std::size_t(i)].szProviderName});
}

ServiceClipboardCommand TDocumentView::SGKeyDown(int key, bool ctrl)
{
    if (!ctrl)
        return ServiceClipboardCommand::None;
    switch (key) {
    case 'C':
    case 'c': return ServiceClipboardCommand::Copy;
    case 'V':
    case 'v': return ServiceClipboardCommand::Paste;
    case 'X':
    case 'x': return ServiceClipboardCommand::Cut;
    default: return ServiceClipboardCommand::None;
    }
}

}  // namespace lumora
