// Writers of two Linux DVB channel formats, so that a list can be
// tune-checked on a PC: a dvbv5 channel file (dvbv5-zap, dvb-format-convert)
// and a VDR channels.conf. TV and radio services in one file, names in
// UTF-8, each in the stored order.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records.h"

namespace lumora {

// The orbital position of each antenna slot; none where it has none.
using TAntennaPositions = std::array<std::optional<int32_t>, kAntennaCapacity>;

struct TExportReport {
    int32_t written = 0;  // services written
    // What the format cannot hold, and services left out and why.
    std::vector<std::string> notes;
};

// `cable`: the database is a cable model's (frequencies in kHz, QAM).
// A satellite service whose stream's antenna has no position is left out
// and noted.
std::string WriteDvbv5Channels(const TChannelDatabase& db, bool cable, const TAntennaPositions& positions,
                               TExportReport& report);
std::string WriteVdrChannels(const TChannelDatabase& db, bool cable, const TAntennaPositions& positions,
                             TExportReport& report);

}  // namespace lumora
