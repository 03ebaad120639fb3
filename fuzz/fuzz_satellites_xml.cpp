// satellites.xml and cables.xml on any bytes: the readers must end, fail
// without touching the data, and give streams that the report counts.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import_formats.h"

namespace {

void Check(const lumora::Status& status, const lumora::TImportData& data)
{
    const bool consistent = status ? int32_t(data.streams.size()) == data.report.Count(lumora::TImportCount::Streams)
                                   : data.streams.empty() && data.report.notes.empty();
    if (!consistent)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(bytes), size);
    for (auto read : {lumora::ReadSatellitesXml, lumora::ReadCablesXml}) {
        lumora::TImportData data;
        Check(read(text, "fuzz.xml", data), data);
    }
    return 0;
}
