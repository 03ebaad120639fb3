// The fields of the menu record in their stored order, for code that writes or
// reads the record field by field at the fields' own widths.
#pragma once

#include "records.h"

namespace lumora::conv {

template <typename Menu, typename Visit>
void ForEachMenuField(Menu& m, Visit&& f)
{
    f(m.wMenuDataVersion);
    f(m.crc16);
    f(m.nMenuLang);
    f(m.nMainAudioLang);
    f(m.n2ndAudioLang);
    f(m.nSubtitleLang);
    f(m.nTimeOffset);
    f(m.nTimerIndex);
    f(m.nVideoOutput);
    f(m.nAudioOutput);
    f(m.nScreenMode);
    f(m.nDisplayFormat);
    f(m.nInfoboxType);
    f(m.nInfoboxTime);
    f(m.nMenuBackground);
    f(m.nChangeReservedMode);
    f(m.nServiceSelectionMethod);
    f(m.nNetworkIndex);
    f(m.nFavoriteIndex);
    f(m.nGenreIndex);
    f(m.nAlphaIndex);
    f(m.nUserYear);
    f(m.nUserMonth);
    f(m.nUserDay);
    f(m.nUHFChannel);
    f(m.nUHFPAL);
    f(m.nUHFOffset);
    f(m.nCensorShip);
    f(m.nPINCode);
    f(m.nAutoScanMode);
    f(m.nFrequency);
    f(m.nSymbolRate);
    for (auto& rate : m.nAddSymbolRate)
        f(rate);
    f(m.nAntennaId);
    f(m.nPolarization);
    f(m.nFEC);
    f(m.nNetworkSearch);
    f(m.nAutoSkip);
    f(m.nLNBPower);
    f(m.nUpgAntennaId);
    f(m.nUpgFrequency);
    f(m.nUpgSymbolRate);
    f(m.nUpgPolarization);
    f(m.nUpgFEC);
    f(m.nUpgLNBPower);
    f(m.wVideoPID);
    f(m.wAudioPID);
    f(m.wPCRPID);
    f(m.wFakeServiceId);
}

}  // namespace lumora::conv
