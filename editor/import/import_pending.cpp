// Readers and writers not yet written. Each group goes when its file lands.
#include "export_formats.h"
#include "import_formats.h"
#include "position_table.h"
#include "import_text.h"

namespace lumora {
namespace {
Status Pending() { return Status::Failure("not yet available"); }
}  // namespace

// transponder readers
Status ReadSatellitesXml(std::string_view, const std::string&, TImportData&) { return Pending(); }
Status ReadCablesXml(std::string_view, const std::string&, TImportData&) { return Pending(); }
Status ReadDvbv5File(std::string_view, const std::string&, std::optional<int32_t>, TImportData&) { return Pending(); }
Status ReadOneLineFile(std::string_view, const std::string&, std::optional<int32_t>, TImportData&) { return Pending(); }
Status ReadScanFile(std::string_view, const std::string&, TImportData&) { return Pending(); }
// end of transponder readers

// writers
std::string WriteDvbv5Channels(const TChannelDatabase&, bool, const TAntennaPositions&, TExportReport&) { return {}; }
std::string WriteVdrChannels(const TChannelDatabase&, bool, const TAntennaPositions&, TExportReport&) { return {}; }
// end of writers

// position table (mine, until the position table lands)
TPositionTable TPositionTable::BuiltIn() { return {}; }
void TPositionTable::Set(int32_t position, std::string name) { entries_.push_back({position, std::move(name)}); }
std::optional<std::string> TPositionTable::NameOf(int32_t position) const
{
    for (const auto& e : entries_)
        if (e.position == position)
            return e.name;
    return std::nullopt;
}
TAntennaPositions AntennaPositions(const TChannelDatabase& db, const TSettings& settings, const TPositionTable& table)
{
    TAntennaPositions positions;
    for (int i = 0; i < kAntennaCapacity; ++i) {
        const std::string name = AntennaSatelliteName(db.AntennaList.AntennaInfo[std::size_t(i)], settings);
        for (const auto& e : table.Entries())
            if (e.name == name)
                positions[std::size_t(i)] = e.position;
        if (!positions[std::size_t(i)])
            positions[std::size_t(i)] = ParsePosition(name.substr(0, name.find(' ')));
    }
    return positions;
}
TPositionTable LoadUserPositionTable() { return TPositionTable::BuiltIn(); }
Status SaveUserPositionTable(const TPositionTable&) { return {}; }
std::string AntennaSatelliteName(const TAntennaSetting& a, const TSettings& s)
{
    return a.ucSatelliteId < s.AntennaLanguage.wLanguageNum ? s.AntennaLanguage.Language[a.ucSatelliteId] : a.szLNBName;
}
// end of position table

}  // namespace lumora
