// State shared by every document of one running program: the settings and the
// exchange buffers through which dialogs and the service clipboard hand
// records back to a document. The program owns one; tests make their own.
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

struct TBufTSInfo {
    int32_t wTsNum = 0;
    std::array<TTSItem, kTSCapacity> TsInfo{};
};

struct TBufNetworkInfo {
    int32_t wNetworkNum = 0;
    std::array<TNetworkItem, kNetworkCapacity> NetInfo{};
};

// Rows chosen in the service selection dialog: the number shown in its first
// column (minus 1 under fixed numbering) and the service's table index.
struct TServiceSelection {
    int32_t Count = 0;
    std::array<int32_t, kServiceCapacity> ShownNumber{};
    std::array<int32_t, kServiceCapacity> TableIndex{};
};

struct TApplicationState {
    TSettings Settings;
    TBufServiceInfo ServiceClipboard;
    TBufTSInfo TSResult;
    TBufNetworkInfo NetworkResult;
    TAntennaSetting AntennaResult;
    TMenuConfigItem MenuResult;
    TServiceSelection ServiceSelectionResult;
    // Set by the program at start-up: the private directory of the exchange
    // files and the full path of the conversion library (empty: the library
    // beside the running program).
    std::string ExchangeDir;
    std::string ConversionLibraryPath;
};

}  // namespace lumora
