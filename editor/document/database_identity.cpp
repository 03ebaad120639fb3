#include "database_identity.h"

#include <algorithm>

#include "service_numbering.h"

namespace lumora {

std::string_view TrimmedName(std::string_view name)
{
    const std::size_t end = name.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : name.substr(0, end + 1);
}

bool SameName(std::string_view a, std::string_view b) { return TrimmedName(a) == TrimmedName(b); }

TIdentityRules IdentityRulesOf(const TSettings& settings)
{
    const int32_t satellites = settings.AntennaLanguage.wLanguageNum;
    return TIdentityRules{IsCableModel(settings.SystemInfo.MODEL), satellites > 0 ? satellites : -1};
}

bool SameAntenna(const TAntennaSetting& a, const TAntennaSetting& b, const TIdentityRules& rules)
{
    if (a.ucSatelliteId != b.ucSatelliteId || a.dwLNBFreq != b.dwLNBFreq)
        return false;
    return a.ucSatelliteId != rules.satelliteCount || SameName(a.szLNBName, b.szLNBName);
}

bool SameStreamOnSameAntenna(const TTSItem& a, const TTSItem& b, const TIdentityRules& rules)
{
    const bool bothIdentified = (a.wOrgNetworkId != 0 || a.wTsId != 0) && (b.wOrgNetworkId != 0 || b.wTsId != 0);
    if (bothIdentified)
        return a.wOrgNetworkId == b.wOrgNetworkId && a.wTsId == b.wTsId;
    const uint32_t fa = a.SATTSInfo.dwFrequency, fb = b.SATTSInfo.dwFrequency;
    if (rules.cable)
        return fa == fb;
    const uint32_t distance = fa > fb ? fa - fb : fb - fa;
    return a.SATTSInfo.ucPolarization == b.SATTSInfo.ucPolarization && distance <= kStreamFrequencyTolerance;
}

int32_t StreamCount(const TChannelDatabase& db) { return std::clamp(db.TSInfo.wTSNum, 0, kTSCapacity); }

int32_t NetworkCount(const TChannelDatabase& db) { return std::clamp(db.NetworkInfo.wNetworkNum, 0, kNetworkCapacity); }

int32_t ProviderCount(const TChannelDatabase& db)
{
    return std::clamp(db.ProviderInfo.wProviderNum, 0, kProviderCapacity);
}

std::string NetworkName(const TChannelDatabase& db, int32_t n)
{
    return n >= 0 && n < NetworkCount(db) ? db.NetworkInfo.Info[std::size_t(n)].szNetworkName : std::string();
}

std::string ProviderName(const TChannelDatabase& db, int32_t p)
{
    return p >= 0 && p < ProviderCount(db) ? db.ProviderInfo.Info[std::size_t(p)].szProviderName : std::string();
}

int32_t StreamOfService(const TChannelDatabase& db, int32_t r)
{
    const int32_t t = db.ServiceInfo.pServiceInfo[std::size_t(r)].pTSIndex;
    return t >= 0 && t < StreamCount(db) ? t : -1;
}

int32_t AntennaOfStream(const TChannelDatabase& db, int32_t t)
{
    const int32_t slot = db.TSInfo.Info[std::size_t(t)].wAntennaIndex;
    return slot < kAntennaCapacity ? slot : -1;
}

std::vector<bool> AntennasInUse(const TChannelDatabase& db)
{
    std::vector<bool> used(kAntennaCapacity, false);
    const TAntennaSetting blank{};
    for (int i = 0; i < kAntennaCapacity; ++i)
        used[std::size_t(i)] = !(db.AntennaList.AntennaInfo[std::size_t(i)] == blank);
    for (int32_t t = 0; t < StreamCount(db); ++t)
        if (int32_t slot = AntennaOfStream(db, t); slot >= 0)
            used[std::size_t(slot)] = true;
    return used;
}

namespace {

bool Free(const std::vector<char>& taken, int32_t i)
{
    return std::size_t(i) >= taken.size() || !taken[std::size_t(i)];
}

// The first candidate that `matches` and is not taken; else, unless
// `onlyFree`, the first that matches.
template <class Matches>
int32_t FirstMatch(const std::vector<int32_t>& candidates, const std::vector<char>& taken, bool onlyFree,
                   Matches matches)
{
    int32_t firstTaken = -1;
    for (int32_t i : candidates) {
        if (!matches(i))
            continue;
        if (Free(taken, i))
            return i;
        if (firstTaken < 0)
            firstTaken = i;
    }
    return onlyFree ? -1 : firstTaken;
}

const std::vector<int32_t>& Candidates(const auto& map, const auto& key)
{
    static const std::vector<int32_t> none;
    auto it = map.find(key);
    return it == map.end() ? none : it->second;
}

}  // namespace

TIdentityIndex::TIdentityIndex(const TChannelDatabase& db, const TIdentityRules& rules) : db_(db), rules_(rules)
{
    AntennasChanged();
    for (int32_t t = 0; t < StreamCount(db); ++t)
        AddStream(t);
    for (int32_t n = 0; n < NetworkCount(db); ++n)
        AddNetwork(n);
    for (int32_t p = 0; p < ProviderCount(db); ++p)
        AddProvider(p);
    for (int32_t r = 0; r < ServiceCount(db); ++r)
        AddService(r);
}

void TIdentityIndex::AntennasChanged()
{
    inUse_ = AntennasInUse(db_);
    antennaGroup_.assign(kAntennaCapacity, -1);
    const auto& antennas = db_.AntennaList.AntennaInfo;
    for (int i = 0; i < kAntennaCapacity; ++i) {
        int j = 0;
        while (!SameAntenna(antennas[std::size_t(j)], antennas[std::size_t(i)], rules_))
            ++j;
        antennaGroup_[std::size_t(i)] = j;
    }
    // Streams are grouped by antenna group: regroup the ones present.
    streamsByAntenna_.clear();
    for (int32_t t = 0; t < StreamCount(db_); ++t)
        AddStream(t);
}

int32_t TIdentityIndex::FindAntenna(const TAntennaSetting& antenna) const
{
    int32_t unused = -1;
    for (int i = 0; i < kAntennaCapacity; ++i) {
        if (!SameAntenna(db_.AntennaList.AntennaInfo[std::size_t(i)], antenna, rules_))
            continue;
        if (inUse_[std::size_t(i)])
            return i;
        if (unused < 0)
            unused = i;
    }
    return unused;
}

int32_t TIdentityIndex::FindStream(int32_t antennaSlot, const TTSItem& item, const std::vector<char>& taken,
                                   bool onlyFree) const
{
    return FirstMatch(Candidates(streamsByAntenna_, AntennaGroup(antennaSlot)), taken, onlyFree, [&](int32_t t) {
        return SameStreamOnSameAntenna(db_.TSInfo.Info[std::size_t(t)], item, rules_);
    });
}

int32_t TIdentityIndex::FindNetwork(std::string_view name, const std::vector<char>& taken, bool onlyFree) const
{
    return FirstMatch(Candidates(networks_, std::string(TrimmedName(name))), taken, onlyFree,
                      [](int32_t) { return true; });
}

int32_t TIdentityIndex::FindProvider(std::string_view name, const std::vector<char>& taken, bool onlyFree) const
{
    return FirstMatch(Candidates(providers_, std::string(TrimmedName(name))), taken, onlyFree,
                      [](int32_t) { return true; });
}

int32_t TIdentityIndex::FindService(int32_t stream, uint8_t type, uint16_t serviceId, const std::vector<char>& taken,
                                    bool onlyFree) const
{
    return FirstMatch(Candidates(services_, ServiceKey(stream, type, serviceId)), taken, onlyFree,
                      [](int32_t) { return true; });
}

void TIdentityIndex::AddStream(int32_t t)
{
    streamsByAntenna_[AntennaGroup(AntennaOfStream(db_, t))].push_back(t);
    if (int32_t slot = AntennaOfStream(db_, t); slot >= 0)
        inUse_[std::size_t(slot)] = true;
}

void TIdentityIndex::AddNetwork(int32_t n)
{
    networks_[std::string(TrimmedName(db_.NetworkInfo.Info[std::size_t(n)].szNetworkName))].push_back(n);
}

void TIdentityIndex::AddProvider(int32_t p)
{
    providers_[std::string(TrimmedName(db_.ProviderInfo.Info[std::size_t(p)].szProviderName))].push_back(p);
}

void TIdentityIndex::AddService(int32_t r)
{
    const TServiceItem& s = db_.ServiceInfo.pServiceInfo[std::size_t(r)];
    services_[ServiceKey(StreamOfService(db_, r), s.ServiceType, s.wServiceId)].push_back(r);
}

uint64_t TIdentityIndex::ServiceKey(int32_t stream, uint8_t type, uint16_t serviceId)
{
    return (uint64_t(uint32_t(stream + 1)) << 24) | (uint64_t(type) << 16) | serviceId;
}

}  // namespace lumora
