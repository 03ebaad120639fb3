// Operations on the tables of one channel database that keep the links
// between them intact: deleting, inserting and exchanging services with their
// favorite entries, the cascades of deleting a transport stream, network or
// provider, the check before a download, and the grid's quicksort.
//
// Favorite entries name services indirectly (by ordinal, or by OP number - 1
// under fixed numbering), so any change of the service table can change what
// an entry names. Every service operation here therefore resolves the
// entries to services first and writes them back for the changed table.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "records.h"
#include "service_numbering.h"

namespace lumora {

// Every favorite entry of both types, resolved to the service it names. After
// the service table changed, Apply writes the entries back for the new table.
class TFavoriteTracker {
public:
    TFavoriteTracker(const TChannelDatabase& db, const TNumbering& numbering);
    // The same with the numbering of `db` already at hand.
    TFavoriteTracker(const TChannelDatabase& db, const TServiceNumbering& numbering);

    // `newIndexOf(old real index)` is the service's new real index, or -1 when
    // it was deleted. Entries of deleted services are dropped. An entry whose
    // service can no longer be named (its key now names an earlier service of
    // the same type, or is already in the list) is dropped too. An entry that
    // named no service is kept while it still names none, else dropped.
    void Apply(TChannelDatabase& db, const std::function<int(int)>& newIndexOf) const;
    // As above, writing the entries in the numbering `target`. Returns how
    // many entries were dropped.
    int Apply(TChannelDatabase& db, const std::function<int(int)>& newIndexOf, const TNumbering& target) const;

private:
    struct Entry {
        int32_t value;
        int service;  // -1: the entry named no service
    };
    std::vector<Entry> lists_[kFavoriteGroups][kFavoriteLists];
    TNumbering numbering_;
};

// Rewrites every favorite entry, written in numbering `from`, in numbering
// `to`, so that it names the same service. Entries that cannot name their
// service under `to` (it shares its key with an earlier service) are dropped,
// as are entries that named no service and would now name one. Returns how
// many entries were dropped.
int RenumberFavorites(TChannelDatabase& db, const TNumbering& from, const TNumbering& to);

// Deletes the services at the given real indices (any order, duplicates and
// indices outside the table ignored), closes the gaps, lowers the counts and
// drops or renumbers favorite entries. Returns how many were deleted.
int DeleteServices(TChannelDatabase& db, const TNumbering& numbering, std::vector<int> realIndices);

// Inserts copies of `items` at real index p (clamped into the table), items[0]
// first; stops silently at capacity. Each service raises the count of its own
// type. Returns how many were inserted.
int InsertServices(TChannelDatabase& db, const TNumbering& numbering, int p, std::span<const TServiceItem> items);

// Exchanges the service records at real indices a and b and keeps every
// favorite entry on its service.
void ExchangeServices(TChannelDatabase& db, const TNumbering& numbering, int a, int b);

// Favorite list primitives.
bool CheckServiceIndexInFavorite(const TChannelDatabase& db, int type, int list, int32_t value);
// Every entry a becomes b and every b becomes a, in the four lists of `type`.
void SwapFavoriteValues(TChannelDatabase& db, int type, int32_t a, int32_t b);
// Removes `value` from the four lists of `type`; other entries stay.
void DeleteFavoriteValue(TChannelDatabase& db, int type, int32_t value);
// After deleting the service of `type` with this ordinal (ordinary numbering):
// removes its entries and lowers the greater ones.
void DeleteFavoriteAfterOrdinalDelete(TChannelDatabase& db, int type, int32_t ordinal);

// Cascades. Each removes one table entry and repairs every link to it.
// Transport stream: its services are deleted (with their favorites).
void DeleteTSEntry(TChannelDatabase& db, const TNumbering& numbering, int t);
// Network: streams on it lose their network.
void DeleteNetworkEntry(TChannelDatabase& db, int k);
// Provider: services of it lose their provider.
void DeleteProviderEntry(TChannelDatabase& db, int p);

// Whether some entry other than `except` has exactly this name (0xFFFF: check all).
bool NetworkNameExists(const TChannelDatabase& db, const std::string& name, int except);
bool ProviderNameExists(const TChannelDatabase& db, const std::string& name, int except);

// The part of the download check that changes the tables: false when services
// exist but there are no providers or networks; otherwise gives every stream
// without network network 0 and every service without provider provider 0.
bool PrepareServicesForDownload(TChannelDatabase& db);

// The grid's quicksort of rows L..R driven by a row comparison (negative: the
// first row goes first) and a row exchange. Rows are exchanged even when both
// positions are the same; the pivot row follows its contents.
void GridQuickSort(int L, int R, const std::function<int(int, int)>& compare,
                   const std::function<void(int, int)>& exchange);

}  // namespace lumora
