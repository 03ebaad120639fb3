// How the services of one database are numbered: the ordinal of a service
// among the services of its type, its OP number (fixed by wServiceNumber, or
// counted from the automatic base), and the favorite key a list entry holds
// for it. TServiceNumbering computes all of them in one pass, so a grid
// refresh or a favorite fix-up does not recount the table per service.
// It is a snapshot: build it after the tables changed, use it, drop it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "records.h"

namespace lumora {

// How the services of a database are numbered.
struct TNumbering {
    bool fixed = false;  // pFixServiceIndex: favorites hold OP number - 1
    uint8_t flashType = 0;  // FLASHTYPE 3 numbers automatic services from 1000
};

inline TNumbering NumberingOf(const TChannelDatabase& db, uint8_t flashType)
{
    return TNumbering{db.pFixServiceIndex, flashType};
}

// The numbering that a favorite numbering recorded in a file stands for, and
// the other way round: what a file records for `numbering`.
TNumbering NumberingFor(FavoriteNumbering numbering);
FavoriteNumbering FavoriteNumberingOf(const TNumbering& numbering);

// First automatic OP number: 1000 with FLASHTYPE 3, else 101.
int32_t AutoNumberBase(uint8_t flashType);
// Whether a shown OP number is a fixed one: below the automatic base, so up
// to 100 (below 1000 with FLASHTYPE 3). Larger numbers count as automatic.
bool IsFixedOPNumber(int32_t number, uint8_t flashType);

// Number of valid service entries, never above the table's capacity.
int32_t ServiceCount(const TChannelDatabase& db);
// Count of the services of `type` before real index r.
int32_t OrdinalOf(const TChannelDatabase& db, int type, int32_t r);

class TServiceNumbering {
public:
    TServiceNumbering(const TChannelDatabase& db, const TNumbering& numbering);

    const TNumbering& Numbering() const { return numbering_; }

    // The OP number of service r: its fixed number, or the automatic base
    // plus the automatically numbered services of its type before it. 0
    // outside the table.
    int32_t OPNumber(int32_t r) const;
    // Whether service r shows an automatic OP number (fixed numbers at or
    // above the base count as automatic too).
    bool ShowsAutomaticNumber(int32_t r) const { return !IsFixedOPNumber(OPNumber(r), numbering_.flashType); }
    // The favorite key of service r: OP number - 1 under fixed numbering,
    // its ordinal otherwise.
    int32_t KeyOf(int32_t r) const;
    // The service of `type` that favorite key `key` names: the first one
    // with that key, or -1.
    int32_t ServiceOfKey(int type, int32_t key) const;
    // The service of type `mode` that `value` names, as the grid looks it up:
    // an OP number under fixed numbering, an ordinal otherwise. 0 when none.
    int32_t PositionOf(uint8_t mode, int32_t value) const;

    // Whether a service of `type` has a fixed number that is also an
    // automatic one, so that one favorite key could name two services.
    bool FixedNumbersInAutoRange(int type) const;
    // Whether exchanging the services now at a and b in `db` leaves every
    // other service's favorite key unchanged and swaps theirs, so that
    // exchanging the two key values in the lists is enough: same type, and
    // under fixed numbering both automatically numbered with no fixed number
    // of their type in the automatic range. Such an exchange leaves this
    // snapshot valid.
    bool KeysFollowSlots(const TChannelDatabase& db, int32_t a, int32_t b) const;

private:
    struct Slot {
        uint8_t type;
        int32_t ordinal;
        int32_t opNumber;
    };
    // The first service of one type per favorite key, sorted by key.
    using KeyIndex = std::vector<std::pair<int32_t, int32_t>>;
    const KeyIndex& KeyIndexOf(int type) const;

    TNumbering numbering_;
    std::vector<Slot> slots_;
    std::array<bool, 256> fixedInAutoRange_{};
    mutable std::array<std::optional<KeyIndex>, kFavoriteGroups> keyIndex_;
};

}  // namespace lumora
