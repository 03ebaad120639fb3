// Readers and writers not yet written. Each group goes when its file lands.
#include "export_formats.h"
#include "import_formats.h"
#include "position_table.h"

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

// service readers
Status ReadVdrChannels(std::string_view, const std::string&, TImportData&) { return Pending(); }
Status ReadLamedb(std::string_view, const std::string&, const TBouquetFiles&, TImportData&) { return Pending(); }
// end of service readers

}  // namespace lumora
