// The settings file reader on any text: it must end, and either read the
// settings or refuse the text with a failure that says why.
#include <cstddef>
#include <cstdint>
#include <string>

#include "settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const lumora::Result<lumora::TSettings> read =
        lumora::ReadConfigText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.cfg");
    if (!read) {
        if (read.message().empty())
            __builtin_trap();
        return 0;
    }
    const lumora::TSettings& settings = read.value();
    for (const auto* set :
         {&settings.MenuLanguage, &settings.AudioLanguage, &settings.SubtitleLanguage, &settings.AntennaLanguage})
        if (set->wLanguageNum < 0 || set->wLanguageNum > lumora::kLanguageSetCapacity)
            __builtin_trap();
    return 0;
}
