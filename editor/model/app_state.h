// State shared by every document of one running program: the settings and the
// service clipboard. The program owns one; tests make their own.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "records.h"
#include "settings.h"

namespace lumora {

struct TBufServiceInfo {
    int32_t wServiceNum = 0;
    std::array<TServiceItem, kServiceCapacity> ServiceInfo{};
};

struct TApplicationState {
    TSettings Settings;
    TBufServiceInfo ServiceClipboard;
    // Set by the program at start-up: the private directory of the exchange
    // files and the full path of the conversion library (empty: the library
    // beside the running program).
    std::string ExchangeDir;
    std::string ConversionLibraryPath;
};

}  // namespace lumora
