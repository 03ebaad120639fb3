// Readers and writers not yet written. Each group goes when its file lands.
#include "export_formats.h"
#include "import_formats.h"
#include "position_table.h"

namespace lumora {
namespace {
Status Pending() { return Status::Failure("not yet available"); }
}  // namespace

// service readers
Status ReadVdrChannels(std::string_view, const std::string&, TImportData&) { return Pending(); }
Status ReadLamedb(std::string_view, const std::string&, const TBouquetFiles&, TImportData&) { return Pending(); }
// end of service readers

// writers
std::string WriteDvbv5Channels(const TChannelDatabase&, bool, const TAntennaPositions&, TExportReport&) { return {}; }
std::string WriteVdrChannels(const TChannelDatabase&, bool, const TAntennaPositions&, TExportReport&) { return {}; }
// end of writers

}  // namespace lumora
