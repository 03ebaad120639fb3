// The VDR channels.conf reader on any text: it must end, and either read the
// channels into data whose indices hold, or fail leaving the data untouched.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lumora::TImportData read;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    if (!lumora::ReadVdrChannels(text, "fuzz.conf", read)) {
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
