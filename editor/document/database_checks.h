// Checks of one channel database before it goes to a receiver: links that
// point at nothing, services the receiver cannot tell apart, values it cannot
// use, names it cannot show and tables above their capacity. Each finding
// says what is wrong, where, how to show it in the editor and, where a fix
// cannot lose anything the person meant, how to fix it. The editor and
// lumora-cli share these checks.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "records.h"
#include "service_numbering.h"

namespace lumora {

enum class FindingSeverity { Error, Warning };

enum class FixKind {
    None,
    ClearStreamIndex,  // the service gets no stream (-1)
    ClearProviderIndex,  // the service gets no provider (-1)
    ClearGenre,  // the service gets genre 0
    ClearNetworkIndex,  // the stream gets no network (-1)
    RemoveFavoriteEntry,  // the entry leaves its list
    RemoveRepeatedFavoriteEntry,  // the later of two entries naming one service leaves its list
    RemoveService,  // a later duplicate leaves the table with its favorite entries
};

struct TFindingFix {
    FixKind kind = FixKind::None;
    int32_t index = -1;  // real index of the service, or the stream's index
    int group = 0, list = 0;
    int32_t entry = -1;  // RemoveFavoriteEntry: position in the list
    int32_t value = 0;  // RemoveFavoriteEntry: the value found there
};

struct TFinding {
    FindingSeverity severity = FindingSeverity::Error;
    std::string where;  // e.g. TV service 12 "Nova Kids"
    std::string what;  // e.g. stream index 40 is beyond the 38 streams
    // Where the editor shows it: a tree node tag (0: none), the TV/radio view
    // (-1: keep), the service's real index (-1: none) and, for a favorite
    // entry, its grid row (-1: none).
    uint32_t nodeTag = 0;
    int viewType = -1;
    int32_t service = -1;
    int32_t row = -1;
    TFindingFix fix;

    bool HasFix() const { return fix.kind != FixKind::None; }
};

// Every finding of `db`, in a stable order: tables above capacity, the file's
// own load errors (`loadErrors`, the reader's table-full messages), streams,
// networks, providers, services, favorite lists.
std::vector<TFinding> CheckDatabase(const TChannelDatabase& db, const TNumbering& numbering,
                                    const std::vector<std::string>& loadErrors = {});

// "error: <where>: <what>", as lumora-cli prints it and the editor lists it.
std::string FindingLine(const TFinding& finding);
// The name of a finding's fix for menus and buttons; empty without one.
std::string FixCaption(const TFinding& finding);
bool HasErrors(const std::vector<TFinding>& findings);

// Applies the fixes of `findings`, which were found on `db` as it is now.
// Returns how many fixes were applied.
int ApplyFixes(TChannelDatabase& db, const TNumbering& numbering, const std::vector<TFinding>& findings);

}  // namespace lumora
