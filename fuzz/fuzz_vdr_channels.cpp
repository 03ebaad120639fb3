// The VDR channels.conf reader on any text: it must end, and either read the
// channels into data whose indices hold, or fail leaving the data untouched.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import_checks.h"
#include "import_formats.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    lumora::TImportData read;
    const lumora::Status status = lumora::ReadVdrChannels(text, "fuzz.conf", read);
    CheckImportResult(status, read);
    return 0;
}
