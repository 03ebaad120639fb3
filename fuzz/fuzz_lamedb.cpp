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

#include "import_checks.h"
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
    const lumora::Status status = lumora::ReadLamedb(lamedb, "lamedb", bouquets, read);
    CheckImportResult(status, read);
    return 0;
}
