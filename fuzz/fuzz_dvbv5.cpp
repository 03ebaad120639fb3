// The Linux DVB tools' tables (dvbv5, one-line, scan file) on any bytes: the
// readers must end, fail without touching the data, and give streams and
// services that point at each other and that the report counts.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import_formats.h"

namespace {

bool Consistent(const lumora::TImportData& data)
{
    for (const lumora::TImportService& service : data.services)
        if (service.stream < 0 || std::size_t(service.stream) >= data.streams.size())
            return false;
    return int32_t(data.streams.size()) == data.report.Count(lumora::TImportCount::Streams) &&
           int32_t(data.services.size()) == data.report.Count(lumora::TImportCount::Services);
}

void Check(const lumora::Status& status, const lumora::TImportData& data)
{
    if (status ? !Consistent(data) : !(data.streams.empty() && data.report.notes.empty()))
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    const lumora::TImportFormat format = lumora::DetectImportFormat(text);
    const std::optional<int32_t> position =
        format == lumora::TImportFormat::Unknown ? std::nullopt : std::optional<int32_t>(192);
    lumora::TImportData dvbv5, oneLine, scan;
    Check(lumora::ReadDvbv5File(text, "fuzz", position, dvbv5), dvbv5);
    Check(lumora::ReadOneLineFile(text, "fuzz", position, oneLine), oneLine);
    Check(lumora::ReadScanFile(text, "fuzz", scan), scan);
    return 0;
}
