// The numberings of the services of one database, computed in one pass so a
// grid refresh does not recount the table for every row and favorite entry.
// A snapshot: build it after the tables changed, use it, drop it.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "records.h"

namespace lumora {

class TServiceNumbering {
public:
    // OP numbers count the automatically numbered services of the database's
    // current display type; `flashType` 3 starts them at 1000, others at 101.
    TServiceNumbering(const TChannelDatabase& db, uint8_t flashType);

    // The OP number of service r (its fixed number, or the automatic one).
    int32_t OPNumber(int32_t r) const;
    // The service of type `mode` whose favorite key is `value`: its OP number
    // when `byOPNumber`, its ordinal otherwise. 0 when none matches.
    int32_t PositionOf(uint8_t mode, int32_t value, bool byOPNumber) const;

private:
    struct TypeIndex {
        std::vector<int32_t> byOrdinal;                    // ordinal -> real index
        std::unordered_map<int32_t, int32_t> byOPNumber;   // OP number -> first real index
    };
    const TypeIndex& IndexOf(uint8_t mode) const;

    const TChannelDatabase& db_;
    int32_t serviceCount_;
    int32_t autoBase_;
    std::vector<int32_t> autoBefore_;  // automatic services of the display type before r
    mutable std::array<std::optional<TypeIndex>, 2> typeIndex_;
};

// Number of valid service entries, never above the table's capacity.
int32_t ServiceCount(const TChannelDatabase& db);

}  // namespace lumora
