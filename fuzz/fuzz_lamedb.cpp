// The lamedb reader on any text. The input is cut at NUL bytes into the
// lamedb, bouquets.tv, userbouquet.a.tv, bouquets.radio and
// userbouquet.b.radio, so that the bouquet files are fuzzed as well. The
// reader must end, and either read data whose indices hold, or fail leaving
// the data untouched.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "import_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::array<const char*, 4> kBouquetNames = {"bouquets.tv", "userbouquet.a.tv", "bouquets.radio",
                                                             "userbouquet.b.radio"};
    std::string_view rest(reinterpret_cast<const char*>(data), size);
    const std::string_view lamedb = rest.substr(0, rest.find('\0'));
    rest.remove_prefix(std::min(rest.size(), lamedb.size() + 1));
    lumora::TBouquetFiles bouquets;
    for (const char* name : kBouquetNames) {
        if (rest.empty())
            break;
        const std::string_view file = rest.substr(0, rest.find('\0'));
        bouquets[name] = std::string(file);
        rest.remove_prefix(std::min(rest.size(), file.size() + 1));
    }
    lumora::TImportData read;
    if (!lumora::ReadLamedb(lamedb, "lamedb", bouquets, read)) {
        if (!read.streams.empty() || !read.services.empty() || !read.report.notes.empty())
            __builtin_trap();
        return 0;
    }
    for (const lumora::TImportService& service : read.services)
        if (service.stream < 0 || std::size_t(service.stream) >= read.streams.size() ||
            service.service.szServiceName.size() > 30)
            __builtin_trap();
    for (const lumora::TImportList& list : read.lists)
        for (int32_t index : list.services)
            if (index < 0 || std::size_t(index) >= read.services.size())
                __builtin_trap();
    return 0;
}
