// Readers of the channel files of the open-source DVB world. Each reads a
// whole file's text and appends what it holds to `data`, counting and noting
// every entry it drops or changes ("name:line: ..."). A text that is not of
// its format, or is damaged beyond a single entry, gives a failure naming the
// file and line, and `data` is left as it was.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "import_data.h"
#include "status.h"

namespace lumora {

enum class TImportFormat : uint8_t {
    Unknown,
    SatellitesXml,  // <satellites><sat position=...><transponder .../>
    CablesXml,  // <cables><cable name=...><transponder .../>
    Dvbv5,  // [name] sections of KEY = value lines: channel and initial-tuning files
    OneLine,  // "S 11778000 V 27500000 3/4" initial-tuning lines
    ScanFile,  // [dvb-s/name] sections of one-line entries, several tables in one file
    VdrChannels,  // VDR channels.conf
    Lamedb,  // enigma lamedb version 4 or 5
};

// The format of a file's content; the name is never consulted.
TImportFormat DetectImportFormat(std::string_view text);
// "satellites.xml", "dvbv5", "VDR channels.conf", ...
const char* ImportFormatName(TImportFormat format);

// The orbital position a dtv-scan-tables file name ends in
// ("Hotbird-13.0E", "Eutelsat5_5.0W"); none when it ends in none.
std::optional<int32_t> PositionFromFileName(std::string_view fileName);

// satellites.xml and cables.xml (an XML parser, never by hand).
Status ReadSatellitesXml(std::string_view text, const std::string& name, TImportData& data);
Status ReadCablesXml(std::string_view text, const std::string& name, TImportData& data);

// dvbv5 channel and initial-tuning files. `position` is the orbital position
// of every satellite entry (the file has none; dtv-scan-tables name it).
Status ReadDvbv5File(std::string_view text, const std::string& name, std::optional<int32_t> position,
                     TImportData& data);
// One-line initial-tuning tables ("S freq pol sr fec", "C freq sr fec mod").
Status ReadOneLineFile(std::string_view text, const std::string& name, std::optional<int32_t> position,
                       TImportData& data);
// A combined scan file: "[dvb-s/Astra-19.2E]" and "[dvb-c/...]" sections of
// one-line entries; each section is a group, its position from its name.
Status ReadScanFile(std::string_view text, const std::string& name, TImportData& data);

// Fields of the shortest channel line VDR reads (up to the SID; no NID, TID
// or RID); it writes 13.
inline constexpr std::size_t kFewestVdrFields = 10;

// VDR channels.conf: services, streams and providers; ":@n" group lines
// become lists (with their first numbers).
Status ReadVdrChannels(std::string_view text, const std::string& name, TImportData& data);

// The bouquet files beside a lamedb, by file name ("bouquets.tv",
// "userbouquet.favourites.tv", ...), each file's whole text.
using TBouquetFiles = std::map<std::string, std::string>;

// lamedb version 4 or 5; bouquets.tv/bouquets.radio and the userbouquet
// files they name become lists, in their order.
Status ReadLamedb(std::string_view text, const std::string& name, const TBouquetFiles& bouquets, TImportData& data);

// Reads one file, or every regular file of a folder (initial-tuning tables),
// recognising each file's format from its content. A lamedb brings the
// bouquet files of its folder. Fails, leaving `data` as it was, when a file
// cannot be read or is of no known format.
Status ReadImportPath(const std::string& path, TImportData& data);

}  // namespace lumora
