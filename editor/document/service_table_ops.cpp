#include "service_table_ops.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace lumora {

namespace {

// Counts as the tables can hold them: a damaged count never reaches past an array.
int ClampedCount(const TFavoriteItem& list) { return std::clamp(list.wIndexNum, 0, kFavoriteCapacity); }
int StreamTotal(const TChannelDatabase& db) { return std::clamp(db.TSInfo.wTSNum, 0, kTSCapacity); }

TFavoriteItem& ListOf(TChannelDatabase& db, int type, int list) { return db.FavoriteInfo[type][list]; }

bool ValidType(int type) { return type >= 0 && type < kFavoriteGroups; }

void RaiseCount(TServiceInfo& info, uint8_t type, int by)
{
    if (type == kServiceTypeTV)
        info.wTVNum = uint16_t(info.wTVNum + by);
    else
        info.wRadioNum = uint16_t(info.wRadioNum + by);
}

// Adds `by` to every entry >= `from` in the four lists of `type`.
void ShiftFavoriteEntries(TChannelDatabase& db, int type, int32_t from, int by)
{
    for (int l = 0; l < kFavoriteLists; ++l) {
        TFavoriteItem& list = ListOf(db, type, l);
        for (int k = 0; k < ClampedCount(list); ++k)
            if (list.Index[k] >= from)
                list.Index[k] += by;
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Favorite keys and the tracker

TFavoriteTracker::TFavoriteTracker(const TChannelDatabase& db, const TNumbering& numbering)
    : TFavoriteTracker(db, TServiceNumbering(db, numbering))
{
}

TFavoriteTracker::TFavoriteTracker(const TChannelDatabase& db, const TServiceNumbering& numbering)
    : numbering_(numbering.Numbering())
{
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l) {
            const TFavoriteItem& list = db.FavoriteInfo[g][l];
            for (int k = 0; k < ClampedCount(list); ++k)
                lists_[g][l].push_back({list.Index[k], numbering.ServiceOfKey(g, list.Index[k])});
        }
}

void TFavoriteTracker::Apply(TChannelDatabase& db, const std::function<int(int)>& newIndexOf) const
{
    Apply(db, newIndexOf, numbering_);
}

int TFavoriteTracker::Apply(TChannelDatabase& db, const std::function<int(int)>& newIndexOf,
                            const TNumbering& target) const
{
    int dropped = 0;
    const TServiceNumbering keys(db, target);
    for (int g = 0; g < kFavoriteGroups; ++g) {
        for (int l = 0; l < kFavoriteLists; ++l) {
            TFavoriteItem& list = ListOf(db, g, l);
            int count = 0;
            auto present = [&](int32_t v) {
                return std::find(list.Index.begin(), list.Index.begin() + count, v) != list.Index.begin() + count;
            };
            for (const Entry& entry : lists_[g][l]) {
                int32_t value = entry.value;
                if (entry.service >= 0) {
                    const int now = newIndexOf(entry.service);
                    if (now < 0)
                        continue;  // its service was deleted
                    value = keys.KeyOf(now);
                    if (keys.ServiceOfKey(g, value) != now)
                        continue;  // the key now names an earlier service
                } else if (keys.ServiceOfKey(g, value) >= 0) {
                    continue;  // would start naming a service it never named
                }
                if (present(value))
                    continue;
                list.Index[count++] = value;
            }
            dropped += int(lists_[g][l].size()) - count;
            list.wIndexNum = count;
        }
    }
    return dropped;
}

int RenumberFavorites(TChannelDatabase& db, const TNumbering& from, const TNumbering& to)
{
    return TFavoriteTracker(db, from).Apply(
        db, [](int r) { return r; }, to);
}

// ---------------------------------------------------------------------------
// Favorite list primitives

bool CheckServiceIndexInFavorite(const TChannelDatabase& db, int type, int list, int32_t value)
{
    if (!ValidType(type) || list < 0 || list >= kFavoriteLists)
        return false;
    const TFavoriteItem& item = db.FavoriteInfo[type][list];
    return std::find(item.Index.begin(), item.Index.begin() + ClampedCount(item), value) !=
           item.Index.begin() + ClampedCount(item);
}

void DeleteFavoriteValue(TChannelDatabase& db, int type, int32_t value)
{
    if (!ValidType(type))
        return;
    for (int l = 0; l < kFavoriteLists; ++l) {
        TFavoriteItem& list = ListOf(db, type, l);
        auto end = std::remove(list.Index.begin(), list.Index.begin() + ClampedCount(list), value);
        list.wIndexNum = int32_t(end - list.Index.begin());
    }
}

void DeleteFavoriteAfterOrdinalDelete(TChannelDatabase& db, int type, int32_t ordinal)
{
    if (!ValidType(type))
        return;
    DeleteFavoriteValue(db, type, ordinal);
    ShiftFavoriteEntries(db, type, ordinal + 1, -1);
}

// ---------------------------------------------------------------------------
// Service deletion, insertion and exchange

int DeleteServices(TChannelDatabase& db, const TNumbering& numbering, std::vector<int> realIndices)
{
    const int n = ServiceCount(db);
    std::erase_if(realIndices, [n](int r) { return r < 0 || r >= n; });
    std::sort(realIndices.begin(), realIndices.end());
    realIndices.erase(std::unique(realIndices.begin(), realIndices.end()), realIndices.end());
    if (realIndices.empty())
        return 0;

    // Under fixed numbering a deletion renumbers the automatic services after
    // it, so the entries are resolved against the old table first.
    std::optional<TFavoriteTracker> tracker;
    if (numbering.fixed)
        tracker.emplace(db, numbering);

    auto& services = db.ServiceInfo.pServiceInfo;
    std::vector<int> newIndex(std::size_t(n), -1);
    int ordinals[kFavoriteGroups] = {0, 0};
    int deletedOfType[kFavoriteGroups] = {0, 0};
    int write = 0;
    std::size_t next = 0;
    for (int r = 0; r < n; ++r) {
        const int type = services[std::size_t(r)].ServiceType;
        const bool known = ValidType(type);
        if (next < realIndices.size() && realIndices[next] == r) {
            ++next;
            RaiseCount(db.ServiceInfo, uint8_t(type), -1);
            if (known && !numbering.fixed) {
                // Earlier deletions of this type have already lowered its ordinal.
                DeleteFavoriteAfterOrdinalDelete(db, type, ordinals[type] - deletedOfType[type]);
                ++deletedOfType[type];
            }
            if (known)
                ++ordinals[type];
            continue;
        }
        if (known)
            ++ordinals[type];
        newIndex[std::size_t(r)] = write;
        if (write != r)
            services[std::size_t(write)] = std::move(services[std::size_t(r)]);
        ++write;
    }
    if (tracker)
        tracker->Apply(db, [&](int old) { return newIndex[std::size_t(old)]; });
    return n - write;
}

int InsertServices(TChannelDatabase& db, const TNumbering& numbering, int p, std::span<const TServiceItem> items)
{
    const int n = ServiceCount(db);
    const int m = std::min(int(items.size()), std::max(0, kServiceCapacity - n));
    if (m <= 0)
        return 0;
    p = std::clamp(p, 0, n);

    std::optional<TFavoriteTracker> tracker;
    if (numbering.fixed)
        tracker.emplace(db, numbering);
    else
        for (int g = 0; g < kFavoriteGroups; ++g) {
            // Every service of type g inserted at p takes the ordinal that the
            // service at p had; the entries from there on move up.
            const int inserted = int(std::count_if(items.begin(), items.begin() + m,
                                                   [g](const TServiceItem& s) { return s.ServiceType == g; }));
            if (inserted > 0)
                ShiftFavoriteEntries(db, g, OrdinalOf(db, g, p), inserted);
        }

    auto& services = db.ServiceInfo.pServiceInfo;
    std::move_backward(services.begin() + p, services.begin() + n, services.begin() + n + m);
    // Each item goes in at p in turn, pushing the earlier ones up: the block
    // ends in reverse order.
    for (int k = 0; k < m; ++k) {
        services[std::size_t(p + m - 1 - k)] = items[std::size_t(k)];
        RaiseCount(db.ServiceInfo, items[std::size_t(k)].ServiceType, 1);
    }
    if (tracker)
        tracker->Apply(db, [&](int old) { return old < p ? old : old + m; });
    return m;
}

void SwapFavoriteValues(TChannelDatabase& db, int type, int32_t a, int32_t b)
{
    if (!ValidType(type) || a == b)
        return;
    for (int l = 0; l < kFavoriteLists; ++l) {
        TFavoriteItem& list = ListOf(db, type, l);
        for (int k = 0; k < ClampedCount(list); ++k) {
            if (list.Index[k] == a)
                list.Index[k] = b;
            else if (list.Index[k] == b)
                list.Index[k] = a;
        }
    }
}

void ExchangeServices(TChannelDatabase& db, const TNumbering& numbering, int a, int b)
{
    const int n = ServiceCount(db);
    if (a < 0 || b < 0 || a >= n || b >= n || a == b)
        return;
    auto& services = db.ServiceInfo.pServiceInfo;
    const TServiceNumbering keys(db, numbering);
    if (keys.KeysFollowSlots(db, a, b)) {
        SwapFavoriteValues(db, services[std::size_t(a)].ServiceType, keys.KeyOf(a), keys.KeyOf(b));
        std::swap(services[std::size_t(a)], services[std::size_t(b)]);
        return;
    }
    const TFavoriteTracker tracker(db, keys);
    std::swap(services[std::size_t(a)], services[std::size_t(b)]);
    tracker.Apply(db, [a, b](int old) { return old == a ? b : old == b ? a : old; });
}

// ---------------------------------------------------------------------------
// Cascades

void DeleteTSEntry(TChannelDatabase& db, const TNumbering& numbering, int t)
{
    TTSInfo& ts = db.TSInfo;
    if (t < 0 || t >= StreamTotal(db))
        return;
    ts.wTSNum = StreamTotal(db);
    std::move(ts.Info.begin() + t + 1, ts.Info.begin() + ts.wTSNum, ts.Info.begin() + t);
    --ts.wTSNum;

    std::vector<int> onStream;
    const int n = ServiceCount(db);
    for (int r = 0; r < n; ++r)
        if (db.ServiceInfo.pServiceInfo[std::size_t(r)].pTSIndex == t)
            onStream.push_back(r);
    DeleteServices(db, numbering, std::move(onStream));

    for (int r = 0; r < ServiceCount(db); ++r) {
        int32_t& index = db.ServiceInfo.pServiceInfo[std::size_t(r)].pTSIndex;
        if (index >= t)
            --index;
    }
}

void DeleteNetworkEntry(TChannelDatabase& db, int k)
{
    TNetworkInfo& nets = db.NetworkInfo;
    if (k < 0 || k >= std::min(nets.wNetworkNum, kNetworkCapacity))
        return;
    nets.wNetworkNum = std::min(nets.wNetworkNum, kNetworkCapacity);
    std::move(nets.Info.begin() + k + 1, nets.Info.begin() + nets.wNetworkNum, nets.Info.begin() + k);
    --nets.wNetworkNum;
    for (int t = 0; t < StreamTotal(db); ++t) {
        int32_t& index = db.TSInfo.Info[std::size_t(t)].pNetworkIndex;
        if (index == k)
            index = -1;
        else if (index > k)
            --index;
    }
}

void DeleteProviderEntry(TChannelDatabase& db, int p)
{
    TProviderInfo& providers = db.ProviderInfo;
    if (p < 0 || p >= std::min(providers.wProviderNum, kProviderCapacity))
        return;
    providers.wProviderNum = std::min(providers.wProviderNum, kProviderCapacity);
    std::move(providers.Info.begin() + p + 1, providers.Info.begin() + providers.wProviderNum,
              providers.Info.begin() + p);
    --providers.wProviderNum;
    for (int r = 0; r < ServiceCount(db); ++r) {
        int32_t& index = db.ServiceInfo.pServiceInfo[std::size_t(r)].pProviderIndex;
        if (index == p)
            index = -1;
        else if (index > p)
            --index;
    }
}

bool NetworkNameExists(const TChannelDatabase& db, const std::string& name, int except)
{
    for (int i = 0; i < std::min(db.NetworkInfo.wNetworkNum, kNetworkCapacity); ++i)
        if (i != except && db.NetworkInfo.Info[std::size_t(i)].szNetworkName == name)
            return true;
    return false;
}

bool ProviderNameExists(const TChannelDatabase& db, const std::string& name, int except)
{
    for (int i = 0; i < std::min(db.ProviderInfo.wProviderNum, kProviderCapacity); ++i)
        if (i != except && db.ProviderInfo.Info[std::size_t(i)].szProviderName == name)
            return true;
    return false;
}

bool PrepareServicesForDownload(TChannelDatabase& db)
{
    if (ServiceCount(db) == 0)
        return true;
    if (db.ProviderInfo.wProviderNum <= 0 || db.NetworkInfo.wNetworkNum <= 0)
        return false;
    for (int t = 0; t < StreamTotal(db); ++t)
        if (db.TSInfo.Info[std::size_t(t)].pNetworkIndex == -1)
            db.TSInfo.Info[std::size_t(t)].pNetworkIndex = 0;
    for (int r = 0; r < ServiceCount(db); ++r)
        if (db.ServiceInfo.pServiceInfo[std::size_t(r)].pProviderIndex == -1)
            db.ServiceInfo.pServiceInfo[std::size_t(r)].pProviderIndex = 0;
    return true;
}

// ---------------------------------------------------------------------------
// Grid quicksort

void GridQuickSort(int L, int R, const std::function<int(int, int)>& compare,
                   const std::function<void(int, int)>& exchange)
{
    // Every call partitions its range, even a single row (which is then
    // exchanged with itself).
    for (;;) {
        int I = L, J = R, P = (L + R) / 2;
        do {
            // The bounds never stop a scan for a consistent comparison; they
            // keep an inconsistent one inside the rows.
            while (I < R && compare(I, P) < 0)
                ++I;
            while (J > L && compare(J, P) > 0)
                --J;
            if (I <= J) {
                exchange(I, J);
                if (P == I)
                    P = J;
                else if (P == J)
                    P = I;
                ++I;
                --J;
            }
        } while (I <= J);
        // Recurse into the smaller part and loop on the other, which keeps
        // the depth logarithmic; the two parts are disjoint, so their order
        // does not change the result.
        const bool left = L < J, right = I < R;
        if (left && right) {
            if (J - L < R - I) {
                GridQuickSort(L, J, compare, exchange);
                L = I;
            } else {
                GridQuickSort(I, R, compare, exchange);
                R = J;
            }
        } else if (left) {
            R = J;
        } else if (right) {
            L = I;
        } else {
            return;
        }
    }
}

}  // namespace lumora
