// The tables a full-capacity benchmark database shares: 500 networks and
// providers with distinct names, and 1000 streams spread over them and over
// the 32 antennas. Each benchmark adds its own services and favorites.
#pragma once

#include <string>

#include "records.h"

namespace lumora::bench {

inline void FillNetworksProvidersAndStreams(TChannelDatabase& db)
{
    db.NetworkInfo.wNetworkNum = kNetworkCapacity;
    db.ProviderInfo.wProviderNum = kProviderCapacity;
    for (int i = 0; i < kNetworkCapacity; ++i) {
        db.NetworkInfo.Info[std::size_t(i)].szNetworkName = "Network " + std::to_string(i);
        db.ProviderInfo.Info[std::size_t(i)].szProviderName = "Provider " + std::to_string(i);
    }
    db.TSInfo.wTSNum = kTSCapacity;
    for (int i = 0; i < kTSCapacity; ++i) {
        TTSItem& ts = db.TSInfo.Info[std::size_t(i)];
        ts.wAntennaIndex = uint16_t(i % kAntennaCapacity);
        ts.pNetworkIndex = i % kNetworkCapacity;
        ts.SATTSInfo.dwFrequency = uint32_t(10700 + i);
        ts.SATTSInfo.dwSymbolRate = 27500;
    }
}

}  // namespace lumora::bench
