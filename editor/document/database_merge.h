// Merging a chosen part of one channel database (the source) into another
// (the target). The merge is a pure function: it reads both databases and
// returns the merged database with a report, or only the report (a dry run).
// A merge that does not fit the target's capacities is refused whole.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "database_compare.h"
#include "database_identity.h"
#include "records.h"
#include "service_numbering.h"

namespace lumora {

// What to do with a stream or service that both databases hold.
enum class TMergePolicy : uint8_t {
    FillEmpty,  // "fill empty fields only": a known value is never replaced
    TakeTheirs,  // "take theirs"
    KeepMine,  // "keep mine"
};

// Which records of the source the merge brings. A service is brought when
// it passes the TV/radio and free-to-air filters and the whole source, its
// antenna, its stream or itself is selected. A stream is brought with its
// brought services, and an empty stream (no service at all) when the whole
// source, its antenna or itself is selected.
struct TMergeSelection {
    bool whole = true;
    std::vector<int32_t> antennas;  // source antenna slots 0..31
    std::vector<int32_t> streams;  // source stream indices
    std::vector<int32_t> services;  // source service indices
    bool tv = true;
    bool radio = true;
    bool freeOnly = false;  // only services that are not scrambled
};

struct TMergeOptions {
    TMergeSelection selection;
    TMergePolicy policy = TMergePolicy::FillEmpty;
    bool favorites = false;  // bring the source's favorite entries of brought services
};

// A source: its database, how its favorite entries name services, its name
// (for the edit's label and the report) and what its reader had to drop.
struct TMergeSource {
    const TChannelDatabase& db;
    TNumbering numbering;
    std::string name;
    std::vector<std::string> dropped;
    // The source's antenna j is the target's slot j (an import has placed
    // them): its streams go there, and a slot the target does not use yet
    // takes the source's antenna.
    bool antennasInPlace = false;
};

struct TMergeCounts {
    int32_t added = 0;
    int32_t updated = 0;
    int32_t unchanged = 0;
    int32_t refused = 0;
};

struct TMergeReport {
    // Per table (antennas, streams, networks, providers, services, favorite
    // entries; the menu record is never merged).
    std::array<TMergeCounts, kTableCount> counts{};
    // Why the merge does not fit, one a table; empty when it fits.
    std::vector<std::string> overflows;
    // Records refused and why, duplicates of the source merged once, fixed
    // numbers left automatic, and what the source's reader dropped.
    std::vector<std::string> notes;
    // Target services the merge added or updated, for showing them.
    std::vector<int32_t> touchedServices;

    bool Fits() const { return overflows.empty(); }
    const TMergeCounts& Counts(TTable table) const { return counts[std::size_t(table)]; }
    // Services added or updated.
    int32_t ServicesMerged() const { return Counts(TTable::Service).added + Counts(TTable::Service).updated; }
};

// Merges `source` into `target` under `options`. With `result`, and only when
// the merge fits, `*result` becomes the merged database; with a null
// `result` the call is a dry run giving the same report.
TMergeReport MergeDatabases(const TDatabaseSide& target, const TMergeSource& source, const TMergeOptions& options,
                            const TIdentityRules& rules, TChannelDatabase* result);

// The report as text: one line of counts a table, then the overflows, then
// the notes.
std::vector<std::string> MergeReportLines(const TMergeReport& report);

// "fill", "theirs", "mine" and the policy names the editor shows.
const char* PolicyName(TMergePolicy policy);
const char* PolicyTitle(TMergePolicy policy);

}  // namespace lumora
