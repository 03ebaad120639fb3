// When two records of two channel databases are one and the same. Compare and
// merge both decide it here, so the rules exist once:
// - antenna: same satellite (and, for the "User Define" satellite, same name)
//   and same LNB frequency;
// - transport stream: same antenna; then the (original network id, stream id)
//   pair when both sides have a non-zero one, otherwise same polarisation and
//   a frequency within 2 MHz (cable: same frequency);
// - network and provider: same name, trailing blanks ignored;
// - service: same stream, same type (TV/radio) and same service id;
// - favorite entry: the service it names, never its raw number.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "records.h"
#include "settings.h"

namespace lumora {

// What the identity rules need beside the databases.
struct TIdentityRules {
    bool cable = false;  // a cable model: streams match by exact frequency
    // Length of the satellite name list: a ucSatelliteId equal to it is the
    // "User Define" satellite, named by szLNBName; -1: no such entry.
    int32_t satelliteCount = -1;
};

// The rules under the settings' receiver model and satellite list. An empty
// list has no "User Define" entry.
TIdentityRules IdentityRulesOf(const TSettings& settings);

// Largest frequency difference (MHz) of one satellite stream seen twice.
inline constexpr uint32_t kStreamFrequencyTolerance = 2;

// A name without its trailing blanks.
std::string_view TrimmedName(std::string_view name);
bool SameName(std::string_view a, std::string_view b);

bool SameAntenna(const TAntennaSetting& a, const TAntennaSetting& b, const TIdentityRules& rules);
// Whether the ids and tuning of two streams name one stream; their antennas
// are matched separately.
bool SameStreamOnSameAntenna(const TTSItem& a, const TTSItem& b, const TIdentityRules& rules);

// Valid entries of each table, never above its capacity.
int32_t StreamCount(const TChannelDatabase& db);
int32_t NetworkCount(const TChannelDatabase& db);
int32_t ProviderCount(const TChannelDatabase& db);
// The name of network n or provider p; empty for an index outside the table.
std::string NetworkName(const TChannelDatabase& db, int32_t n);
std::string ProviderName(const TChannelDatabase& db, int32_t p);
// The stream of service r, or -1 when its index is outside the table.
int32_t StreamOfService(const TChannelDatabase& db, int32_t r);
// The antenna slot of stream t, or -1 when its index is outside 0..31.
int32_t AntennaOfStream(const TChannelDatabase& db, int32_t t);

// Whether an antenna slot is in use: a stream receives it, or it is set to
// anything but the blank antenna of a new document.
std::vector<bool> AntennasInUse(const TChannelDatabase& db);

// A search over the records of one database by identity. Finding prefers a
// record that `taken` does not mark; `onlyFree` finds none when every match
// is marked. Records appended to the database are added with Add*.
class TIdentityIndex {
public:
    TIdentityIndex(const TChannelDatabase& db, const TIdentityRules& rules);

    const TIdentityRules& Rules() const { return rules_; }

    // A slot of the same antenna, slots in use first; -1 when none.
    int32_t FindAntenna(const TAntennaSetting& antenna) const;
    // A stream of the same identity received by an antenna the same as the
    // one in `antennaSlot` (-1: a stream without antenna).
    int32_t FindStream(int32_t antennaSlot, const TTSItem& item, const std::vector<char>& taken, bool onlyFree) const;
    int32_t FindNetwork(std::string_view name, const std::vector<char>& taken, bool onlyFree) const;
    int32_t FindProvider(std::string_view name, const std::vector<char>& taken, bool onlyFree) const;
    // A service of `type` and `serviceId` on stream `stream` (-1: none).
    int32_t FindService(int32_t stream, uint8_t type, uint16_t serviceId, const std::vector<char>& taken,
                        bool onlyFree) const;

    // Antenna slots were set: slots are grouped again.
    void AntennasChanged();
    void AddStream(int32_t t);
    void AddNetwork(int32_t n);
    void AddProvider(int32_t p);
    void AddService(int32_t r);

private:
    static uint64_t ServiceKey(int32_t stream, uint8_t type, uint16_t serviceId);
    // The first slot of the same antenna as `slot`; -1 for -1.
    int32_t AntennaGroup(int32_t slot) const { return slot < 0 ? -1 : antennaGroup_[std::size_t(slot)]; }

    const TChannelDatabase& db_;
    TIdentityRules rules_;
    std::vector<bool> inUse_;
    std::vector<int32_t> antennaGroup_;
    std::unordered_map<int32_t, std::vector<int32_t>> streamsByAntenna_;
    std::unordered_map<std::string, std::vector<int32_t>> networks_;
    std::unordered_map<std::string, std::vector<int32_t>> providers_;
    std::unordered_map<uint64_t, std::vector<int32_t>> services_;
};

}  // namespace lumora
