#include "service_numbering.h"

#include <algorithm>
#include <climits>

namespace lumora {

TNumbering NumberingFor(FavoriteNumbering numbering)
{
    switch (numbering) {
    case FavoriteNumbering::OPFrom101: return {true, 4};
    case FavoriteNumbering::OPFrom1000: return {true, 3};
    case FavoriteNumbering::Ordinal: break;
    }
    return {false, 0};
}

FavoriteNumbering FavoriteNumberingOf(const TNumbering& numbering)
{
    if (!numbering.fixed)
        return FavoriteNumbering::Ordinal;
    return AutoNumberBase(numbering.flashType) == 1000 ? FavoriteNumbering::OPFrom1000 : FavoriteNumbering::OPFrom101;
}

int32_t AutoNumberBase(uint8_t flashType) { return flashType == 3 ? 1000 : 101; }

bool IsFixedOPNumber(int32_t number, uint8_t flashType) { return number < AutoNumberBase(flashType); }

int32_t ServiceCount(const TChannelDatabase& db) { return std::min<int32_t>(db.ServiceInfo.Count(), kServiceCapacity); }

int32_t OrdinalOf(const TChannelDatabase& db, int type, int32_t r)
{
    const int32_t end = std::min(r, ServiceCount(db));
    int32_t ordinal = 0;
    for (int32_t i = 0; i < end; ++i)
        if (db.ServiceInfo.pServiceInfo[std::size_t(i)].ServiceType == type)
            ++ordinal;
    return ordinal;
}

TServiceNumbering::TServiceNumbering(const TChannelDatabase& db, const TNumbering& numbering) : numbering_(numbering)
{
    const int32_t n = ServiceCount(db);
    const int32_t base = AutoNumberBase(numbering.flashType);
    // Per service type: the services and the automatically numbered ones so far.
    std::array<int32_t, 256> seen{}, automatic{};
    slots_.reserve(std::size_t(n));
    for (int32_t r = 0; r < n; ++r) {
        const TServiceItem& s = db.ServiceInfo.pServiceInfo[std::size_t(r)];
        const int32_t op = s.wServiceNumber != 0 ? s.wServiceNumber : base + automatic[s.ServiceType]++;
        slots_.push_back({s.ServiceType, seen[s.ServiceType]++, op});
        if (s.wServiceNumber >= base)
            fixedInAutoRange_[s.ServiceType] = true;
    }
}

int32_t TServiceNumbering::OPNumber(int32_t r) const
{
    if (r < 0 || r >= int32_t(slots_.size()))
        return 0;
    return slots_[std::size_t(r)].opNumber;
}

int32_t TServiceNumbering::KeyOf(int32_t r) const
{
    const Slot& slot = slots_[std::size_t(r)];
    return numbering_.fixed ? slot.opNumber - 1 : slot.ordinal;
}

const TServiceNumbering::KeyIndex& TServiceNumbering::KeyIndexOf(int type) const
{
    auto& index = keyIndex_[std::size_t(type)];
    if (index)
        return *index;
    index.emplace();
    for (int32_t r = 0; r < int32_t(slots_.size()); ++r)
        if (slots_[std::size_t(r)].type == type)
            index->emplace_back(KeyOf(r), r);
    // A key names the first service that has it; the sort is stable, so the
    // first of equal keys is the lowest real index.
    std::stable_sort(index->begin(), index->end(), [](const auto& x, const auto& y) { return x.first < y.first; });
    auto sameKey = [](const auto& x, const auto& y) { return x.first == y.first; };
    index->erase(std::unique(index->begin(), index->end(), sameKey), index->end());
    return *index;
}

int32_t TServiceNumbering::ServiceOfKey(int type, int32_t key) const
{
    if (type < 0 || type >= kFavoriteGroups)
        return -1;
    const KeyIndex& byKey = KeyIndexOf(type);
    auto it =
        std::lower_bound(byKey.begin(), byKey.end(), key, [](const auto& entry, int32_t k) { return entry.first < k; });
    return it != byKey.end() && it->first == key ? it->second : -1;
}

int32_t TServiceNumbering::PositionOf(uint8_t mode, int32_t value) const
{
    if (numbering_.fixed && value == INT32_MIN)
        return 0;  // no OP number is that small
    const int32_t r = ServiceOfKey(mode, numbering_.fixed ? value - 1 : value);
    return r < 0 ? 0 : r;
}

bool TServiceNumbering::FixedNumbersInAutoRange(int type) const
{
    return type >= 0 && type < int(fixedInAutoRange_.size()) && fixedInAutoRange_[std::size_t(type)];
}

bool TServiceNumbering::KeysFollowSlots(const TChannelDatabase& db, int32_t a, int32_t b) const
{
    const TServiceItem& x = db.ServiceInfo.pServiceInfo[std::size_t(a)];
    const TServiceItem& y = db.ServiceInfo.pServiceInfo[std::size_t(b)];
    if (x.ServiceType != y.ServiceType || x.ServiceType >= kFavoriteGroups)
        return false;
    if (!numbering_.fixed)
        return true;
    return x.wServiceNumber == 0 && y.wServiceNumber == 0 && !FixedNumbersInAutoRange(x.ServiceType);
}

}  // namespace lumora
