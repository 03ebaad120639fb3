// The tables a full-capacity benchmark database shares: 500 networks and
// providers with distinct names, and 1000 streams spread over them and over
// the 32 antennas, and the services on them. Each benchmark adds its own
// favorites.
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

// 4000 services, two TV for one radio, four a stream, with distinct ids and
// PIDs; under fixed numbering every 40th of a type has a fixed number.
inline void FillServices(TChannelDatabase& db)
{
    int counts[2] = {0, 0};
    for (int r = 0; r < kServiceCapacity; ++r) {
        TServiceItem& s = db.ServiceInfo.pServiceInfo[std::size_t(r)];
        s.ServiceType = r % 3 == 2 ? kServiceTypeRadio : kServiceTypeTV;
        const int ordinal = counts[s.ServiceType]++;
        s.szServiceName = "Service " + std::to_string(r);
        s.wVideoPID = uint16_t(32 + r);
        s.wAudioPID = uint16_t(4100 + r);
        s.wServiceId = uint16_t(r + 1);
        s.pTSIndex = r / 4;
        s.pProviderIndex = r % kProviderCapacity;
        if (db.pFixServiceIndex && ordinal % 40 == 0 && ordinal / 40 < 100)
            s.wServiceNumber = uint16_t(ordinal / 40 + 1);
    }
    db.ServiceInfo.wTVNum = uint16_t(counts[0]);
    db.ServiceInfo.wRadioNum = uint16_t(counts[1]);
}

}  // namespace lumora::bench
