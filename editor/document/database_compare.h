// The differences between two channel databases, A (mine) and B (theirs),
// table by table: records added in B, removed from A, changed (each field
// with its old and new value) and the count left unchanged; entries added,
// removed and moved per favorite list; the changed fields of the menu record.
// Records are paired by the identity rules of database_identity.h; favorite
// entries by the service they name under each side's numbering.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "database_identity.h"
#include "records.h"
#include "service_numbering.h"

namespace lumora {

enum class TTable : uint8_t { Antenna, Stream, Network, Provider, Service, Favorite, Menu };
inline constexpr int kTableCount = 7;
// "antenna", "stream", "network", "provider", "service", "favorite", "menu".
const char* TableName(TTable table);

enum class TChange : uint8_t { Added, Removed, Changed, Moved };
// "added", "removed", "changed", "moved".
const char* ChangeName(TChange change);

// One named value of a report; `text` values are quoted when written.
struct TValue {
    std::string name;
    std::string value;
    bool text = false;
};

struct TFieldChange {
    std::string field;
    std::string oldValue;
    std::string newValue;
    bool text = false;
};

struct TDifference {
    TTable table = TTable::Service;
    TChange change = TChange::Added;
    std::vector<TValue> key;  // the identity fields of the record
    std::string name;  // the record's name, where it has one
    std::string place;  // where it is, as the text report shows it
    std::vector<TFieldChange> fields;  // changed: each field that differs
    int32_t indexA = -1;  // the record in A (removed, changed, moved), or -1
    int32_t indexB = -1;  // the record in B (added, changed, moved), or -1
};

struct TTableCounts {
    int32_t added = 0;
    int32_t removed = 0;
    int32_t changed = 0;  // moved favorite entries count here
    int32_t unchanged = 0;
};

struct TCompareReport {
    std::array<TTableCounts, kTableCount> counts{};
    std::vector<TDifference> differences;

    bool Equal() const { return differences.empty(); }
    const TTableCounts& Counts(TTable table) const { return counts[std::size_t(table)]; }
};

// One side of a comparison or merge: the database and how its favorite
// entries name services.
struct TDatabaseSide {
    const TChannelDatabase& db;
    TNumbering numbering;
};

TCompareReport CompareDatabases(const TDatabaseSide& a, const TDatabaseSide& b, const TIdentityRules& rules);

// The report as text, one difference a line: "service changed: "Nova Shows"
// wAudioPID 513 -> 514", one line per changed field.
std::vector<std::string> DifferenceLines(const TDifference& difference);
// The report as one JSON object: equal, counts per table, differences.
std::string CompareReportJson(const TCompareReport& report);

}  // namespace lumora
