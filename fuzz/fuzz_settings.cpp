// The settings file reader on any text: it must end, and either read the
// settings or refuse the text with a std::runtime_error.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lumora::TSettings settings;
    try {
        lumora::ReadConfigText(std::string(reinterpret_cast<const char*>(data), size), "fuzz.cfg", settings);
    } catch (const std::runtime_error&) {
        return 0;
    }
    for (const auto* set :
         {&settings.MenuLanguage, &settings.AudioLanguage, &settings.SubtitleLanguage, &settings.AntennaLanguage})
        if (set->wLanguageNum < 0 || set->wLanguageNum > lumora::kLanguageSetCapacity)
            __builtin_trap();
    return 0;
}
