// Orbital positions and satellite names. The antennas of a database carry a
// satellite name but no position; the files of other programs carry a
// position and rarely a name. This table joins the two; the user edits it and
// it is kept per user in VDR's sources.conf syntax ("S19.2E ASTRA 1").
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "export_formats.h"
#include "records.h"
#include "settings.h"
#include "status.h"

namespace lumora {

struct TSatellitePosition {
    int32_t position = 0;  // tenths of a degree, east positive
    std::string name;  // UTF-8

    bool operator==(const TSatellitePosition&) const = default;
};

class TPositionTable {
public:
    // Our own list of common positions.
    static TPositionTable BuiltIn();

    const std::vector<TSatellitePosition>& Entries() const { return entries_; }
    // Sets the name of a position, adding it when missing; keeps the order
    // by position.
    void Set(int32_t position, std::string name);
    void Remove(int32_t position);

    std::optional<std::string> NameOf(int32_t position) const;
    // The position of a satellite name, ignoring case and surrounding blanks.
    std::optional<int32_t> PositionOf(std::string_view name) const;

    // sources.conf text: "S19.2E name" lines; other lines are skipped.
    // `onlyNew` keeps the names already in the table.
    void ReadSourcesConf(std::string_view text, bool onlyNew);
    std::string SourcesConfText() const;

private:
    std::vector<TSatellitePosition> entries_;
};

// Where the user's table is kept: $XDG_CONFIG_HOME/LumoraV3/positions.conf or
// $HOME/.config/LumoraV3/positions.conf; empty when neither is usable.
std::string UserPositionTablePath();
// VDR's sources.conf in its standard configuration folder.
inline constexpr const char* kVdrSourcesConf = "/etc/vdr/sources.conf";

// The user's table; without one, the built-in list completed by VDR's
// sources.conf when VDR is installed.
TPositionTable LoadUserPositionTable();
Status SaveUserPositionTable(const TPositionTable& table);

// The satellite name an antenna shows: its entry of the settings' satellite
// list, or its own name for "User Define".
std::string AntennaSatelliteName(const TAntennaSetting& antenna, const TSettings& settings);
// The position of each antenna, found through its satellite name.
TAntennaPositions AntennaPositions(const TChannelDatabase& db, const TSettings& settings, const TPositionTable& table);

}  // namespace lumora
