// Navigation tree, its labels and the information menu.
#include <algorithm>

#include "channel_document.h"

namespace lumora {

namespace {
constexpr const char* kGenreNodeCaptions[16] = {
    "ETC:GENERAL", "MOVIE:POP",          "NEWS:ROCK",           "SHOW:COUNTRY", "SPORTS:CLASSIC", "CHILDREN:JAZZ",
    "MUSIC:FOLK",  "ART:NEWS",           "EDUCATION:SHOW",      "LEISURE:SPORTS",
    "SHOPPING:EDUCATION", "ADULT:ENTERTAINMENT", "USER A", "USER B", "USER C", "USER D"};
constexpr const char* kFavoriteNodeCaptions[kFavoriteLists] = {"A", "B", "C", "D"};

constexpr const char* kCloseQueryText = "This data is modified.\rDo you really exit?";

std::string Field(const std::string& text) { return text + " | "; }
}  // namespace

void ChannelDocument::LoadTreeValue() { SelectNode(BuildTree()); }

// Builds the tree and the grid's lists from the tables; returns the "All
// Service" node.
TTreeNode* ChannelDocument::BuildTree()
{
    const TChannelDatabase& db = *db_;
    Tree1.Clear();
    TTreeNode* allServices = Tree1.Add(nullptr, "All Service", MakeTag(kKindAllService, 0));

    if (!IsCable()) {
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
        Tree1.Add(providers, db.ProviderInfo.Info[std::size_t(i)].szProviderName,
                  MakeTag(kKindProvider, uint32_t(i)));
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

void ChannelDocument::UpdateTree()
{
    LoadTreeValue();
    RefreshServiceGrid();
}

void ChannelDocument::SelectNode(TTreeNode* node)
{
    Tree1.SetSelected(node);
    Tree1Change(node);
}

void ChannelDocument::Tree1Change(TTreeNode* node)
{
    Label1Caption = node ? node->Caption : std::string();
    RefreshServiceGrid();
}

bool ChannelDocument::Tree1MouseDown(bool rightButton)
{
    CheckPopup1Menu();
    return rightButton;
}

void ChannelDocument::CheckPopup1Menu()
{
    const TTreeNode* node = Tree1.Selected();
    if (!node)
        return;
    PopupMenu1 = TInfoMenuState{false, false, false};
    bool belowRoot = node->Level() > 0;
    switch (TagKind(node->Tag)) {
    case kKindAntenna:
        PopupMenu1.Edit = belowRoot;
        break;
    case kKindProvider:
    case kKindNetwork:
    case kKindTS:
        PopupMenu1.AddInformation = true;
        PopupMenu1.Edit = belowRoot;
        PopupMenu1.DeleteInformation = belowRoot;
        break;
    default:
        break;
    }
}

int32_t ChannelDocument::GetTargetCount() const
{
    const TTreeNode* node = Tree1.Selected();
    if (!node)
        return 0;
    TServiceFilter filter = DecodeNodeFilter(node->Tag);
    if (node->Level() == 0 && TagKind(node->Tag) != kKindAllService)
        return 0;
    if (filter.Favorite != kAnyFilter) {
        if (filter.Favorite >= kFavoriteLists || db_->CurDisplayServiceMode >= kFavoriteGroups)
            return 0;
        int32_t length = db_->FavoriteInfo[db_->CurDisplayServiceMode][filter.Favorite].wIndexNum;
        return std::clamp(length, 0, kFavoriteCapacity);
    }
    return CountServices(filter);
}

int32_t ChannelDocument::CountServices(const TServiceFilter& f) const
{
    int32_t rows = 0;
    int32_t count = 0;
    int32_t total = ServiceCount();
    for (int32_t i = FindFirstService(f.Antenna, f.TS, f.Provider, f.Network, f.Genre, f.Favorite, count);
         i < total; i = FindNextService(f.Antenna, f.TS, f.Provider, f.Network, f.Genre, f.Favorite, i + 1, count))
        ++rows;
    return rows;
}

void ChannelDocument::FormCloseQuery(bool& CanClose)
{
    if (!pModifiedFlag())
        return;
    CanClose = ui_.MessageBox(MsgKind::Confirmation, kCloseQueryText, MsgButtons::OkCancel) == MsgResult::Ok;
}

std::string ChannelDocument::GetAntennaString(int32_t index) const
{
    if (index < 0 || index >= kAntennaCapacity)
        return "";
    const TAntennaSetting& antenna = db_->AntennaList.AntennaInfo[std::size_t(index)];
    const TLanguageSet& satellites = app_.Settings.AntennaLanguage;
    int32_t n = std::clamp(satellites.wLanguageNum, 0, kLanguageSetCapacity);
    std::string satellite = "(Unknown)";
    if (n > 0 && antenna.ucSatelliteId == n)
        satellite = antenna.szLNBName;  // one past the list: the user-defined satellite
    else if (antenna.ucSatelliteId < n)
        satellite = satellites.Language[antenna.ucSatelliteId];
    return " | " + Field(std::to_string(index + 1)) + Field(satellite) + Field(GetLNBFrequency(antenna.dwLNBFreq)) +
           Field(GetDiseqc(antenna.ucOtherSetting));
}

std::string ChannelDocument::GetLNBFrequency(uint32_t value)
{
    if (value == kUniversalLNB)
        return "UNIVERSAL";
    return std::to_string(value & 0xFFFFFF);
}

std::string ChannelDocument::GetDiseqc(uint8_t setting)
{
    static constexpr const char* kNames[] = {"DiSEqC A", "DiSEqC B",     "DiSEqC C",    "DiSEqC D",
                                             "DISABLE",  "Tone Burst A", "Tone Burst B"};
    unsigned code = (setting >> 1) & 0x0F;
    return code < std::size(kNames) ? kNames[code] : "";
}

std::string ChannelDocument::GetTSString(int32_t index) const
{
    if (index < 0 || index >= std::min(db_->TSInfo.wTSNum, kTSCapacity))
        return "";
    const TTSItem& ts = db_->TSInfo.Info[std::size_t(index)];
    const TSATTSInfo& tuning = ts.SATTSInfo;
    std::string frequencyAndRate = Field(std::to_string(tuning.dwFrequency)) + Field(std::to_string(tuning.dwSymbolRate));
    if (IsCable())
        return " | " + frequencyAndRate + Field(ConstellationName(tuning.ucFEC));
    // An antenna number outside the 32 slots names no antenna: its field stays empty.
    std::string antenna = ts.wAntennaIndex < kAntennaCapacity ? std::to_string(ts.wAntennaIndex + 1) : "";
    return " | " + Field(antenna) + frequencyAndRate + Field(PolarizationName(tuning.ucPolarization)) +
           Field(CodeRateName(tuning.ucFEC));
}

}  // namespace lumora
