// The fields of the menu record in their stored order: the one list by which
// the binary channel-data file, the raw receiver image and the interchange
// text write and read the record field by field.
#pragma once

#include "records.h"

namespace lumora {

// Which files carry a field of the menu record.
enum class MenuFieldCarried {
    // The version, checksum and upgrade fields: the binary channel-data file
    // only.
    BinaryOnly,
    // Every file, at the field's own width.
    Everywhere,
    // A small number in a 32-bit field: the binary file keeps all 32 bits, the
    // raw image and the interchange reader only the low byte.
    LowByte,
};

// Calls f(field, carried) for each field of `m` (const or not) in stored order.
template <typename Menu, typename Visit>
void ForEachMenuField(Menu& m, Visit&& f)
{
    using enum MenuFieldCarried;
    f(m.wMenuDataVersion, BinaryOnly);
    f(m.crc16, BinaryOnly);
    f(m.nMenuLang, Everywhere);
    f(m.nMainAudioLang, Everywhere);
    f(m.n2ndAudioLang, Everywhere);
    f(m.nSubtitleLang, Everywhere);
    f(m.nTimeOffset, Everywhere);
    f(m.nTimerIndex, Everywhere);
    f(m.nVideoOutput, Everywhere);
    f(m.nAudioOutput, Everywhere);
    f(m.nScreenMode, Everywhere);
    f(m.nDisplayFormat, Everywhere);
    f(m.nInfoboxType, Everywhere);
    f(m.nInfoboxTime, Everywhere);
    f(m.nMenuBackground, Everywhere);
    f(m.nChangeReservedMode, Everywhere);
    f(m.nServiceSelectionMethod, Everywhere);
    f(m.nNetworkIndex, Everywhere);
    f(m.nFavoriteIndex, Everywhere);
    f(m.nGenreIndex, Everywhere);
    f(m.nAlphaIndex, Everywhere);
    f(m.nUserYear, Everywhere);
    f(m.nUserMonth, Everywhere);
    f(m.nUserDay, Everywhere);
    f(m.nUHFChannel, Everywhere);
    f(m.nUHFPAL, Everywhere);
    f(m.nUHFOffset, Everywhere);
    f(m.nCensorShip, Everywhere);
    f(m.nPINCode, Everywhere);
    f(m.nAutoScanMode, Everywhere);
    f(m.nFrequency, Everywhere);
    f(m.nSymbolRate, Everywhere);
    for (auto& rate : m.nAddSymbolRate)
        f(rate, LowByte);
    f(m.nAntennaId, Everywhere);
    f(m.nPolarization, Everywhere);
    f(m.nFEC, Everywhere);
    f(m.nNetworkSearch, Everywhere);
    f(m.nAutoSkip, Everywhere);
    f(m.nLNBPower, Everywhere);
    f(m.nUpgAntennaId, BinaryOnly);
    f(m.nUpgFrequency, BinaryOnly);
    f(m.nUpgSymbolRate, BinaryOnly);
    f(m.nUpgPolarization, BinaryOnly);
    f(m.nUpgFEC, BinaryOnly);
    f(m.nUpgLNBPower, BinaryOnly);
    f(m.wVideoPID, Everywhere);
    f(m.wAudioPID, Everywhere);
    f(m.wPCRPID, Everywhere);
    f(m.wFakeServiceId, Everywhere);
}

// As ForEachMenuField, for the 44 fields that the interchange text and the
// raw image carry.
template <typename Menu, typename Visit>
void ForEachCarriedMenuField(Menu& m, Visit&& f)
{
    ForEachMenuField(m, [&f](auto& field, MenuFieldCarried carried) {
        if (carried != MenuFieldCarried::BinaryOnly)
            f(field, carried);
    });
}

}  // namespace lumora
