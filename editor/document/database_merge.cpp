#include "database_merge.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

#include "record_fields.h"

namespace lumora {

const char* PolicyName(TMergePolicy policy)
{
    static constexpr const char* kNames[] = {"fill", "theirs", "mine"};
    return kNames[std::size_t(policy)];
}

const char* PolicyTitle(TMergePolicy policy)
{
    static constexpr const char* kTitles[] = {"fill empty fields only", "take theirs", "keep mine"};
    return kTitles[std::size_t(policy)];
}

namespace {

constexpr int32_t kOverflowed = -2;  // a source record that found no room in the target
constexpr const char* kGroupNames[kFavoriteGroups] = {"TV", "radio"};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool Contains(const std::vector<int32_t>& values, int32_t value)
{
    return std::find(values.begin(), values.end(), value) != values.end();
}

template <class Record, std::size_t N>
void ApplyFields(const std::array<TNumberField<Record>, N>& fields, TMergePolicy policy, Record& mine,
                 const Record& theirs)
{
    for (const TNumberField<Record>& field : fields) {
        const uint32_t value = field.get(theirs);
        if (policy == TMergePolicy::TakeTheirs ||
            (policy == TMergePolicy::FillEmpty && field.canBeEmpty && field.get(mine) == 0 && value != 0))
            field.set(mine, value);
    }
}

// Applies the policy to one table link (network or provider), given the
// names both ends link to: an empty name is an empty link. Links to the same
// name are left alone.
void ApplyLink(TMergePolicy policy, int32_t& mine, const std::string& mineName, const std::string& theirsName,
               const auto& theirs)
{
    if (SameName(mineName, theirsName))
        return;
    if (policy == TMergePolicy::TakeTheirs ||
        (policy == TMergePolicy::FillEmpty && TrimmedName(mineName).empty() && !TrimmedName(theirsName).empty()))
        mine = theirs();
}

class Merger {
public:
    Merger(const TDatabaseSide& target, const TMergeSource& source, const TMergeOptions& options,
           const TIdentityRules& rules)
        : target_(target), source_(source), options_(options), work_(std::make_unique<TChannelDatabase>(target.db)),
          index_(*work_, rules)
    {
        antennaMap_.assign(kAntennaCapacity, -1);
        antennaMapped_.assign(kAntennaCapacity, 0);
        streamMap_.assign(std::size_t(StreamCount(source.db)), -1);
        networkMap_.assign(std::size_t(NetworkCount(source.db)), -1);
        providerMap_.assign(std::size_t(ProviderCount(source.db)), -1);
        serviceMap_.assign(std::size_t(ServiceCount(source.db)), -1);
        streamTouched_.assign(std::size_t(StreamCount(*work_)), 0);
        serviceTouched_.assign(std::size_t(ServiceCount(*work_)), 0);
        networkTaken_.assign(std::size_t(NetworkCount(*work_)), 0);
        providerTaken_.assign(std::size_t(ProviderCount(*work_)), 0);
        virtualCount_ = {0, StreamCount(*work_), NetworkCount(*work_), ProviderCount(*work_), ServiceCount(*work_)};
    }

    TMergeReport Run(TChannelDatabase* result)
    {
        SelectRecords();
        KeepTargetFavorites();
        if (options_.selection.whole) {
            for (int32_t n = 0; n < NetworkCount(source_.db); ++n)
                MapNetwork(n);
            for (int32_t p = 0; p < ProviderCount(source_.db); ++p)
                MapProvider(p);
        }
        for (int32_t t = 0; t < StreamCount(source_.db); ++t)
            if (streamSelected_[std::size_t(t)])
                MergeStream(t);
        for (int32_t r = 0; r < ServiceCount(source_.db); ++r)
            if (serviceSelected_[std::size_t(r)])
                MergeService(r);
        RestoreTargetFavorites();
        if (options_.favorites)
            MergeFavorites();
        ReportOverflows();
        for (const std::string& dropped : source_.dropped)
            report_.notes.push_back(source_.name + ": " + dropped);
        if (result && report_.Fits())
            *result = std::move(*work_);
        return std::move(report_);
    }

private:
    TMergeCounts& Counts(TTable table) { return report_.counts[std::size_t(table)]; }

    bool ServiceWanted(const TServiceItem& s) const
    {
        const TMergeSelection& selection = options_.selection;
        const bool typeWanted = s.ServiceType == kServiceTypeRadio ? selection.radio : selection.tv;
        return typeWanted && !(selection.freeOnly && s.bScrambled);
    }

    bool StreamChosen(int32_t t) const
    {
        const TMergeSelection& selection = options_.selection;
        return selection.whole || Contains(selection.streams, t) ||
               Contains(selection.antennas, AntennaOfStream(source_.db, t));
    }

    void SelectRecords()
    {
        const TChannelDatabase& db = source_.db;
        streamSelected_.assign(std::size_t(StreamCount(db)), 0);
        serviceSelected_.assign(std::size_t(ServiceCount(db)), 0);
        std::vector<char> hasServices(streamSelected_.size(), 0);
        for (int32_t r = 0; r < ServiceCount(db); ++r) {
            const int32_t t = StreamOfService(db, r);
            if (t >= 0)
                hasServices[std::size_t(t)] = 1;
            const bool chosen = (t >= 0 && StreamChosen(t)) || (t < 0 && options_.selection.whole) ||
                                Contains(options_.selection.services, r);
            if (!chosen || !ServiceWanted(db.ServiceInfo.pServiceInfo[std::size_t(r)]))
                continue;
            serviceSelected_[std::size_t(r)] = 1;
            if (t >= 0)
                streamSelected_[std::size_t(t)] = 1;
        }
        for (int32_t t = 0; t < StreamCount(db); ++t)
            if (!hasServices[std::size_t(t)] && StreamChosen(t))
                streamSelected_[std::size_t(t)] = 1;
    }

    // Adds one record to a table in the simulation; false when the table is
    // full, so the record is only counted towards the overflow.
    bool Room(TTable table, int32_t capacity)
    {
        int32_t& count = virtualCount_[std::size_t(table)];
        ++count;
        return count <= capacity;
    }

    int32_t MapAntenna(int32_t j)
    {
        if (antennaMapped_[std::size_t(j)])
            return antennaMap_[std::size_t(j)];
        antennaMapped_[std::size_t(j)] = 1;
        const TAntennaSetting& antenna = source_.db.AntennaList.AntennaInfo[std::size_t(j)];
        if (source_.antennasInPlace)
            return antennaMap_[std::size_t(j)] = PlaceAntenna(j, antenna);
        int32_t slot = index_.FindAntenna(antenna);
        if (slot >= 0 && Contains(newAntennaSlots_, slot)) {
            report_.notes.push_back("antenna " + std::to_string(j + 1) + " is in the source twice: merged once");
        } else if (slot >= 0) {
            ++Counts(TTable::Antenna).unchanged;
        } else {
            ++Counts(TTable::Antenna).added;
            slot = FreeAntennaSlot(j);
            if (slot < 0) {
                ++missingAntennaSlots_;
                slot = kOverflowed;
            } else {
                work_->AntennaList.AntennaInfo[std::size_t(slot)] = antenna;
                newAntennaSlots_.push_back(slot);
                index_.AntennasChanged();
            }
        }
        antennaMap_[std::size_t(j)] = slot;
        return slot;
    }

    // Slot j itself: kept when the target uses it, else given the source's antenna.
    int32_t PlaceAntenna(int32_t j, const TAntennaSetting& antenna)
    {
        TAntennaSetting& mine = work_->AntennaList.AntennaInfo[std::size_t(j)];
        if (AntennasInUse(*work_)[std::size_t(j)] || mine == antenna) {
            ++Counts(TTable::Antenna).unchanged;
            return j;
        }
        ++Counts(TTable::Antenna).added;
        mine = antenna;
        newAntennaSlots_.push_back(j);
        index_.AntennasChanged();
        return j;
    }

    // A slot that no stream of the target uses and no new antenna took: the
    // source's own slot number when it is blank, else the first blank one,
    // else the first one without streams.
    int32_t FreeAntennaSlot(int32_t preferred)
    {
        std::vector<bool> streamUsed(kAntennaCapacity, false);
        for (int32_t t = 0; t < StreamCount(*work_); ++t)
            if (int32_t slot = AntennaOfStream(*work_, t); slot >= 0)
                streamUsed[std::size_t(slot)] = true;
        const TAntennaSetting blank{};
        auto eligible = [&](int32_t slot, bool blankOnly) {
            return !streamUsed[std::size_t(slot)] && !Contains(newAntennaSlots_, slot) &&
                   (!blankOnly || work_->AntennaList.AntennaInfo[std::size_t(slot)] == blank);
        };
        if (eligible(preferred, true))
            return preferred;
        for (bool blankOnly : {true, false})
            for (int32_t slot = 0; slot < kAntennaCapacity; ++slot)
                if (eligible(slot, blankOnly))
                    return slot;
        return -1;
    }

    // The target's network for source network n (-1: none), added when new.
    int32_t MapNetwork(int32_t n)
    {
        if (n < 0 || n >= NetworkCount(source_.db))
            return -1;
        int32_t& mapped = networkMap_[std::size_t(n)];
        if (mapped != -1)
            return mapped == kOverflowed ? -1 : mapped;
        const TNetworkItem& item = source_.db.NetworkInfo.Info[std::size_t(n)];
        mapped =
            MapNamed(TTable::Network, item.szNetworkName, index_.FindNetwork(item.szNetworkName, networkTaken_, false),
                     kNetworkCapacity, [&](int32_t i) {
                         work_->NetworkInfo.Info[std::size_t(i)] = item;
                         work_->NetworkInfo.wNetworkNum = i + 1;
                         index_.AddNetwork(i);
                     });
        return mapped == kOverflowed ? -1 : mapped;
    }

    int32_t MapProvider(int32_t p)
    {
        if (p < 0 || p >= ProviderCount(source_.db))
            return -1;
        int32_t& mapped = providerMap_[std::size_t(p)];
        if (mapped != -1)
            return mapped == kOverflowed ? -1 : mapped;
        const TProviderItem& item = source_.db.ProviderInfo.Info[std::size_t(p)];
        mapped = MapNamed(TTable::Provider, item.szProviderName,
                          index_.FindProvider(item.szProviderName, providerTaken_, false), kProviderCapacity,
                          [&](int32_t i) {
                              work_->ProviderInfo.Info[std::size_t(i)] = item;
                              work_->ProviderInfo.wProviderNum = i + 1;
                              index_.AddProvider(i);
                          });
        return mapped == kOverflowed ? -1 : mapped;
    }

    int32_t MapNamed(TTable table, const std::string& name, int32_t found, int32_t capacity, const auto& append)
    {
        std::vector<int32_t>& added = table == TTable::Network ? addedNetworks_ : addedProviders_;
        std::vector<char>& taken = table == TTable::Network ? networkTaken_ : providerTaken_;
        if (found >= 0 && std::size_t(found) < taken.size())
            taken[std::size_t(found)] = 1;
        if (found >= 0) {
            if (Contains(added, found))
                report_.notes.push_back(std::string(TableName(table)) + " " + Quoted(name) +
                                        " is in the source twice: merged once");
            else
                ++Counts(table).unchanged;
            return found;
        }
        ++Counts(table).added;
        if (!Room(table, capacity))
            return kOverflowed;
        const int32_t i = virtualCount_[std::size_t(table)] - 1;
        append(i);
        added.push_back(i);
        return i;
    }

    void MergeStream(int32_t t)
    {
        const TTSItem& theirs = source_.db.TSInfo.Info[std::size_t(t)];
        const int32_t sourceSlot = AntennaOfStream(source_.db, t);
        const int32_t slot = sourceSlot < 0 ? -1 : MapAntenna(sourceSlot);
        const int32_t s = slot == kOverflowed ? -1 : index_.FindStream(slot, theirs, streamTouched_, false);
        if (s >= 0 && streamTouched_[std::size_t(s)]) {
            report_.notes.push_back("stream " + StreamText(theirs) + " is in the source twice: merged once");
        } else if (s >= 0) {
            streamTouched_[std::size_t(s)] = 1;
            TTSItem& mine = work_->TSInfo.Info[std::size_t(s)];
            const TTSItem before = mine;
            ApplyFields(kStreamIdFields, options_.policy, mine, theirs);
            ApplyFields(kTuningFields, options_.policy, mine.SATTSInfo, theirs.SATTSInfo);
            ApplyLink(options_.policy, mine.pNetworkIndex, NetworkName(*work_, mine.pNetworkIndex),
                      NetworkName(source_.db, theirs.pNetworkIndex), [&] { return MapNetwork(theirs.pNetworkIndex); });
            ++(mine == before ? Counts(TTable::Stream).unchanged : Counts(TTable::Stream).updated);
        }
        if (s >= 0) {
            streamMap_[std::size_t(t)] = s;
            return;
        }
        streamMap_[std::size_t(t)] = AppendStream(theirs, slot);
    }

    int32_t AppendStream(const TTSItem& theirs, int32_t slot)
    {
        ++Counts(TTable::Stream).added;
        if (slot == kOverflowed || !Room(TTable::Stream, kTSCapacity))
            return kOverflowed;
        const int32_t s = virtualCount_[std::size_t(TTable::Stream)] - 1;
        TTSItem& mine = work_->TSInfo.Info[std::size_t(s)];
        mine = theirs;
        if (slot >= 0)
            mine.wAntennaIndex = uint16_t(slot);
        mine.pNetworkIndex = MapNetwork(theirs.pNetworkIndex);
        work_->TSInfo.wTSNum = s + 1;
        index_.AddStream(s);
        streamTouched_.push_back(1);
        return s;
    }

    std::string StreamText(const TTSItem& ts) const
    {
        return std::to_string(ts.SATTSInfo.dwFrequency) +
               (ts.wOrgNetworkId || ts.wTsId
                    ? " (" + std::to_string(ts.wOrgNetworkId) + "/" + std::to_string(ts.wTsId) + ")"
                    : std::string());
    }

    void MergeService(int32_t r)
    {
        const TServiceItem& theirs = source_.db.ServiceInfo.pServiceInfo[std::size_t(r)];
        const int32_t t = StreamOfService(source_.db, r);
        const int32_t s = t < 0 ? -1 : streamMap_[std::size_t(t)];
        if (t < 0 || s == kOverflowed) {
            if (t < 0) {
                ++Counts(TTable::Service).refused;
                report_.notes.push_back("service " + Quoted(theirs.szServiceName) +
                                        " names no transport stream: refused");
            } else {
                ++Counts(TTable::Service).added;
                Room(TTable::Service, kServiceCapacity);
            }
            return;
        }
        const int32_t q = index_.FindService(s, theirs.ServiceType, theirs.wServiceId, serviceTouched_, false);
        if (q >= 0 && serviceTouched_[std::size_t(q)]) {
            report_.notes.push_back("service " + Quoted(theirs.szServiceName) + " (" +
                                    std::to_string(theirs.wServiceId) + ") is in the source twice: merged once");
            serviceMap_[std::size_t(r)] = q;
        } else if (q >= 0) {
            serviceTouched_[std::size_t(q)] = 1;
            serviceMap_[std::size_t(r)] = q;
            UpdateService(q, theirs);
        } else {
            serviceMap_[std::size_t(r)] = AppendService(theirs, s);
        }
    }

    void UpdateService(int32_t q, const TServiceItem& theirs)
    {
        TServiceItem& mine = work_->ServiceInfo.pServiceInfo[std::size_t(q)];
        const TServiceItem before = mine;
        ApplyFields(kServiceFields, options_.policy, mine, theirs);
        const bool nameEmpty = TrimmedName(mine.szServiceName).empty();
        if (options_.policy == TMergePolicy::TakeTheirs ||
            (options_.policy == TMergePolicy::FillEmpty && nameEmpty && !TrimmedName(theirs.szServiceName).empty()))
            mine.szServiceName = theirs.szServiceName;
        ApplyLink(options_.policy, mine.pProviderIndex, ProviderName(*work_, mine.pProviderIndex),
                  ProviderName(source_.db, theirs.pProviderIndex), [&] { return MapProvider(theirs.pProviderIndex); });
        if (mine.wServiceNumber != before.wServiceNumber && !TakeFixedNumber(q, before.wServiceNumber))
            mine.wServiceNumber = before.wServiceNumber;
        if (mine == before) {
            ++Counts(TTable::Service).unchanged;
        } else {
            ++Counts(TTable::Service).updated;
            report_.touchedServices.push_back(q);
        }
    }

    int32_t AppendService(const TServiceItem& theirs, int32_t s)
    {
        ++Counts(TTable::Service).added;
        if (!Room(TTable::Service, kServiceCapacity))
            return kOverflowed;
        const int32_t q = virtualCount_[std::size_t(TTable::Service)] - 1;
        TServiceItem& mine = work_->ServiceInfo.pServiceInfo[std::size_t(q)];
        mine = theirs;
        mine.pTSIndex = s;
        mine.pProviderIndex = MapProvider(theirs.pProviderIndex);
        ++(mine.ServiceType == kServiceTypeRadio ? work_->ServiceInfo.wRadioNum : work_->ServiceInfo.wTVNum);
        if (mine.wServiceNumber != 0 && !TakeFixedNumber(q, 0))
            mine.wServiceNumber = 0;
        index_.AddService(q);
        serviceTouched_.push_back(1);
        report_.touchedServices.push_back(q);
        return q;
    }

    // Under fixed numbering, whether service q may hold its new fixed number:
    // no other service of its type has it. A clash is reported; the caller
    // puts the number back.
    bool TakeFixedNumber(int32_t q, uint16_t previous)
    {
        if (!target_.numbering.fixed)
            return true;
        const TServiceItem& service = work_->ServiceInfo.pServiceInfo[std::size_t(q)];
        const uint16_t number = service.wServiceNumber;
        if (!IsFixedOPNumber(number, target_.numbering.flashType))
            return true;
        auto& owners = FixedOwners(service.ServiceType);
        auto it = owners.find(number);
        if (it != owners.end() && it->second != q) {
            report_.notes.push_back(
                "fixed number " + std::to_string(number) + " of " + Quoted(service.szServiceName) + " is taken by " +
                Quoted(work_->ServiceInfo.pServiceInfo[std::size_t(it->second)].szServiceName) + ": left " +
                (previous ? "at " + std::to_string(previous) : std::string("automatic")));
            return false;
        }
        if (auto old = owners.find(previous); previous != 0 && old != owners.end() && old->second == q)
            owners.erase(old);
        owners[number] = q;
        return true;
    }

    std::unordered_map<uint16_t, int32_t>& FixedOwners(uint8_t type)
    {
        if (!fixedOwnersBuilt_) {
            fixedOwnersBuilt_ = true;
            for (int32_t q = 0; q < ServiceCount(target_.db); ++q) {
                const TServiceItem& s = work_->ServiceInfo.pServiceInfo[std::size_t(q)];
                if (s.wServiceNumber != 0 && IsFixedOPNumber(s.wServiceNumber, target_.numbering.flashType))
                    fixedOwners_[s.ServiceType == kServiceTypeRadio].emplace(s.wServiceNumber, q);
            }
        }
        return fixedOwners_[type == kServiceTypeRadio];
    }

    // The target's favorite entries as the services they name, so that they
    // follow their services when the merge changes fixed numbers.
    void KeepTargetFavorites()
    {
        if (!target_.numbering.fixed)
            return;
        const TServiceNumbering numbering(target_.db, target_.numbering);
        for (int g = 0; g < kFavoriteGroups; ++g)
            for (int l = 0; l < kFavoriteLists; ++l) {
                const TFavoriteItem& list = target_.db.FavoriteInfo[g][l];
                for (int32_t k = 0; k < std::clamp(list.wIndexNum, 0, kFavoriteCapacity); ++k)
                    favoriteServices_[g][l].push_back(numbering.ServiceOfKey(g, list.Index[std::size_t(k)]));
            }
    }

    void RestoreTargetFavorites()
    {
        if (!target_.numbering.fixed)
            return;
        const TServiceNumbering numbering(*work_, target_.numbering);
        for (int g = 0; g < kFavoriteGroups; ++g)
            for (int l = 0; l < kFavoriteLists; ++l)
                for (std::size_t k = 0; k < favoriteServices_[g][l].size(); ++k)
                    if (int32_t r = favoriteServices_[g][l][k]; r >= 0)
                        work_->FavoriteInfo[g][l].Index[k] = numbering.KeyOf(r);
    }

    void MergeFavorites()
    {
        const TServiceNumbering theirs(source_.db, source_.numbering);
        const TServiceNumbering mine(*work_, target_.numbering);
        for (int g = 0; g < kFavoriteGroups; ++g)
            for (int l = 0; l < kFavoriteLists; ++l)
                MergeFavoriteList(g, l, theirs, mine);
    }

    void MergeFavoriteList(int g, int l, const TServiceNumbering& theirs, const TServiceNumbering& mine)
    {
        const TFavoriteItem& from = source_.db.FavoriteInfo[g][l];
        TFavoriteItem& to = work_->FavoriteInfo[g][l];
        int32_t overflow = 0;
        for (int32_t k = 0; k < std::clamp(from.wIndexNum, 0, kFavoriteCapacity); ++k) {
            const int32_t r = theirs.ServiceOfKey(g, from.Index[std::size_t(k)]);
            if (r < 0) {
                ++Counts(TTable::Favorite).refused;
                report_.notes.push_back("favorite " + ListName(g, l) + " entry " +
                                        std::to_string(from.Index[std::size_t(k)]) + " names no service: refused");
                continue;
            }
            const int32_t q = serviceMap_[std::size_t(r)];
            if (q < 0)
                continue;  // the service is not brought (or found no room)
            const int32_t key = mine.KeyOf(q);
            const auto end = to.Index.begin() + std::clamp(to.wIndexNum, 0, kFavoriteCapacity);
            if (std::find(to.Index.begin(), end, key) != end) {
                ++Counts(TTable::Favorite).unchanged;
            } else if (to.wIndexNum >= kFavoriteCapacity) {
                ++Counts(TTable::Favorite).added;
                ++overflow;
            } else {
                ++Counts(TTable::Favorite).added;
                to.Index[std::size_t(to.wIndexNum++)] = key;
            }
        }
        if (overflow > 0)
            report_.overflows.push_back("favorite list " + ListName(g, l) + ": " + std::to_string(overflow) +
                                        " over the capacity of " + std::to_string(kFavoriteCapacity));
    }

    static std::string ListName(int g, int l) { return std::string(kGroupNames[g]) + " " + char('A' + l); }

    void ReportOverflows()
    {
        if (missingAntennaSlots_ > 0)
            report_.overflows.insert(report_.overflows.begin(),
                                     "antennas: " + std::to_string(missingAntennaSlots_) +
                                         " more than the free slots (a new antenna needs a slot no stream uses)");
        const std::pair<TTable, int32_t> tables[] = {{TTable::Stream, kTSCapacity},
                                                     {TTable::Network, kNetworkCapacity},
                                                     {TTable::Provider, kProviderCapacity},
                                                     {TTable::Service, kServiceCapacity}};
        static constexpr const char* kPlural[] = {"antennas", "transport streams", "networks", "providers", "services"};
        for (auto [table, capacity] : tables)
            if (int32_t over = virtualCount_[std::size_t(table)] - capacity; over > 0)
                report_.overflows.push_back(std::string(kPlural[std::size_t(table)]) + ": " + std::to_string(over) +
                                            " over the capacity of " + std::to_string(capacity));
    }

    const TDatabaseSide& target_;
    const TMergeSource& source_;
    const TMergeOptions& options_;
    std::unique_ptr<TChannelDatabase> work_;
    TIdentityIndex index_;
    TMergeReport report_;
    std::vector<char> streamSelected_, serviceSelected_;
    std::vector<int32_t> antennaMap_, streamMap_, networkMap_, providerMap_, serviceMap_;
    // Records of the target already paired: a source record prefers another.
    std::vector<char> antennaMapped_, streamTouched_, serviceTouched_, networkTaken_, providerTaken_;
    std::vector<int32_t> newAntennaSlots_, addedNetworks_, addedProviders_;
    int32_t missingAntennaSlots_ = 0;
    // Records each table would hold, those without room included (antennas unused).
    std::array<int32_t, 5> virtualCount_{};
    bool fixedOwnersBuilt_ = false;
    std::unordered_map<uint16_t, int32_t> fixedOwners_[kFavoriteGroups];
    std::vector<int32_t> favoriteServices_[kFavoriteGroups][kFavoriteLists];
};

}  // namespace

TMergeReport MergeDatabases(const TDatabaseSide& target, const TMergeSource& source, const TMergeOptions& options,
                            const TIdentityRules& rules, TChannelDatabase* result)
{
    return Merger(target, source, options, rules).Run(result);
}

std::vector<std::string> MergeReportLines(const TMergeReport& report)
{
    static constexpr const char* kTitles[] = {"antennas",  "transport streams", "networks",
                                              "providers", "services",          "favorite entries"};
    std::vector<std::string> lines;
    for (int t = 0; t < kTableCount - 1; ++t) {
        const TMergeCounts& c = report.counts[std::size_t(t)];
        lines.push_back(std::string(kTitles[t]) + ": " + std::to_string(c.added) + " added, " +
                        std::to_string(c.updated) + " updated, " + std::to_string(c.unchanged) + " unchanged, " +
                        std::to_string(c.refused) + " refused");
    }
    for (const std::string& overflow : report.overflows)
        lines.push_back("does not fit: " + overflow);
    lines.insert(lines.end(), report.notes.begin(), report.notes.end());
    return lines;
}

}  // namespace lumora
