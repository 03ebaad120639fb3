// Placing the data read from other programs' files on the target's antennas
// and turning it into a merge source. Orbital positions go to antennas (one
// antenna a position, at most 32), streams and services become the tables of
// a source database, the file's groups and bouquets its favorite lists; the
// merge engine does the rest (selection, policies, capacities, one edit).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "database_identity.h"
#include "database_merge.h"
#include "import_data.h"
#include "position_table.h"
#include "records.h"
#include "settings.h"
#include "status.h"

namespace lumora {

// The position of satellite streams from a file that names none.
inline constexpr int32_t kNoPosition = 9999;
// "19.2E", or "unknown" for kNoPosition.
std::string PositionLabel(int32_t position);

// One orbital position of the data and the antenna it goes to.
struct TPositionChoice {
    int32_t position = 0;  // tenths of a degree, east positive
    std::string satellite;  // the position table's name, or empty
    int32_t streams = 0;  // streams of the data at this position
    int32_t antenna = -1;  // target antenna slot 0..31; -1: none free
};

// What the target is and what the user chose.
struct TImportPlan {
    bool cable = false;  // the target is a cable model: satellite data is dropped, and the reverse
    // Where each orbital position goes; positions missing here are proposed.
    std::map<int32_t, int32_t> antennaOfPosition;
    // Satellites by position text ("19.2E") or streams by group name (cable
    // network, scan-file section, satellite name); empty: everything.
    std::vector<std::string> only;
};

// Whether a stream passes the plan's --only filter and delivery.
bool PlanTakesStream(const TImportPlan& plan, const TImportStream& stream);

// The positions of the streams the plan takes, in order of first
// appearance, each with its antenna: the plan's choice, else the antenna
// whose satellite the position table names for it, else a free slot (none
// when none is left).
std::vector<TPositionChoice> ProposeAntennas(const TImportData& data, const TImportPlan& plan,
                                             const TChannelDatabase& target, const TSettings& settings,
                                             const TPositionTable& table);

// A merge source built from imported data; `source` refers to `db`.
struct TImportSource {
    std::unique_ptr<TChannelDatabase> db = std::make_unique<TChannelDatabase>();
    std::string name;
    std::vector<std::string> dropped;  // the reader's report and the plan's notes

    TMergeSource Source() const { return TMergeSource{*db, TNumbering{}, name, dropped, true}; }
};

// Builds the source database of `data` under `plan` and `choices` (from
// ProposeAntennas, possibly changed by the user). Fails with the reason when
// the data cannot be placed whole: a position without an antenna, more
// streams or services than a database holds, or nothing of the target's
// delivery at all.
Status BuildImportSource(const TImportData& data, const TImportPlan& plan, const std::vector<TPositionChoice>& choices,
                         const TChannelDatabase& target, const TSettings& settings, TImportSource& out);

}  // namespace lumora
