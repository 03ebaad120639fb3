// The interchange text reader on any bytes: it must end, report what it drops
// and never read or write outside the tables.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "interchange.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static auto db = std::make_unique<lumora::TChannelDatabase>();
    lumora::InitDatabase(*db, 0);
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    lumora::ReadInterchangeText(text, *db, [](const std::string&) {});
    return 0;
}
