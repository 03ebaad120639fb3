// The fields of the records that compare and merge look at one by one, by
// name, with whether a value can count as empty ("fill empty fields only":
// ids, PIDs, frequencies and symbol rates of 0; flags and genre never).
// Identity fields, table links and names are handled by their users.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <type_traits>

#include "records.h"

namespace lumora {

template <class Record>
struct TNumberField {
    const char* name;
    uint32_t (*get)(const Record&);
    void (*set)(Record&, uint32_t);
    bool canBeEmpty;
    bool isSigned;
};

namespace detail {
template <auto member>
struct MemberTraits;
template <class Record, class Value, Value Record::*member>
struct MemberTraits<member> {
    using RecordType = Record;
    using ValueType = Value;
};
}  // namespace detail

// A field's value as a report shows it: signed fields with their sign.
template <class Record>
std::string FieldText(const TNumberField<Record>& field, uint32_t value)
{
    return field.isSigned ? std::to_string(int32_t(value)) : std::to_string(value);
}

template <auto member>
constexpr TNumberField<typename detail::MemberTraits<member>::RecordType> Field(const char* name, bool canBeEmpty,
                                                                                bool holdsSigned = false)
{
    using Record = typename detail::MemberTraits<member>::RecordType;
    using Value = typename detail::MemberTraits<member>::ValueType;
    return {name, [](const Record& r) { return uint32_t(r.*member); },
            [](Record& r, uint32_t v) { r.*member = static_cast<Value>(v); }, canBeEmpty,
            holdsSigned || std::is_signed_v<Value>};
}

inline constexpr std::array kServiceFields = {
    Field<&TServiceItem::wPmtPID>("wPmtPID", true),
    Field<&TServiceItem::wVideoPID>("wVideoPID", true),
    Field<&TServiceItem::wAudioPID>("wAudioPID", true),
    Field<&TServiceItem::wPCRPID>("wPCRPID", true),
    Field<&TServiceItem::wSubtitlePID>("wSubtitlePID", true),
    Field<&TServiceItem::wTeletextPID>("wTeletextPID", true),
    Field<&TServiceItem::ServiceKind>("ServiceKind", false),
    Field<&TServiceItem::bParentLock>("bParentLock", false),
    Field<&TServiceItem::bSkipService>("bSkipService", false),
    Field<&TServiceItem::bScrambled>("bScrambled", false),
    Field<&TServiceItem::wServiceNumber>("wServiceNumber", true),
};

inline constexpr std::array kStreamIdFields = {
    Field<&TTSItem::wOrgNetworkId>("wOrgNetworkId", true),
    Field<&TTSItem::wTsId>("wTsId", true),
};

inline constexpr std::array kTuningFields = {
    Field<&TSATTSInfo::dwFrequency>("dwFrequency", true),
    Field<&TSATTSInfo::dwSymbolRate>("dwSymbolRate", true),
    Field<&TSATTSInfo::ucPolarization>("ucPolarization", false),
    Field<&TSATTSInfo::ucFEC>("ucFEC", false),
};

inline constexpr std::array kAntennaFields = {
    Field<&TAntennaSetting::wPosition>("wPosition", false),
    Field<&TAntennaSetting::wMovement>("wMovement", false),
    Field<&TAntennaSetting::ucOtherSetting>("ucOtherSetting", false),
    Field<&TAntennaSetting::ucMotorControl>("ucMotorControl", false),
    Field<&TAntennaSetting::ucDiseqcCmd>("ucDiseqcCmd", false),
};

inline constexpr std::array kMenuFields = {
    Field<&TMenuConfigItem::wMenuDataVersion>("wMenuDataVersion", false),
    Field<&TMenuConfigItem::crc16>("crc16", false),
    Field<&TMenuConfigItem::nMenuLang>("nMenuLang", false),
    Field<&TMenuConfigItem::nMainAudioLang>("nMainAudioLang", false),
    Field<&TMenuConfigItem::n2ndAudioLang>("n2ndAudioLang", false),
    Field<&TMenuConfigItem::nSubtitleLang>("nSubtitleLang", false),
    Field<&TMenuConfigItem::nTimeOffset>("nTimeOffset", false, true),  // a signed ±HHMM
    Field<&TMenuConfigItem::nTimerIndex>("nTimerIndex", false),
    Field<&TMenuConfigItem::nVideoOutput>("nVideoOutput", false),
    Field<&TMenuConfigItem::nAudioOutput>("nAudioOutput", false),
    Field<&TMenuConfigItem::nScreenMode>("nScreenMode", false),
    Field<&TMenuConfigItem::nDisplayFormat>("nDisplayFormat", false),
    Field<&TMenuConfigItem::nInfoboxType>("nInfoboxType", false),
    Field<&TMenuConfigItem::nInfoboxTime>("nInfoboxTime", false),
    Field<&TMenuConfigItem::nMenuBackground>("nMenuBackground", false),
    Field<&TMenuConfigItem::nChangeReservedMode>("nChangeReservedMode", false),
    Field<&TMenuConfigItem::nServiceSelectionMethod>("nServiceSelectionMethod", false),
    Field<&TMenuConfigItem::nNetworkIndex>("nNetworkIndex", false),
    Field<&TMenuConfigItem::nFavoriteIndex>("nFavoriteIndex", false),
    Field<&TMenuConfigItem::nGenreIndex>("nGenreIndex", false),
    Field<&TMenuConfigItem::nAlphaIndex>("nAlphaIndex", false),
    Field<&TMenuConfigItem::nUserYear>("nUserYear", false),
    Field<&TMenuConfigItem::nUserMonth>("nUserMonth", false),
    Field<&TMenuConfigItem::nUserDay>("nUserDay", false),
    Field<&TMenuConfigItem::nUHFChannel>("nUHFChannel", false),
    Field<&TMenuConfigItem::nUHFPAL>("nUHFPAL", false),
    Field<&TMenuConfigItem::nUHFOffset>("nUHFOffset", false),
    Field<&TMenuConfigItem::nCensorShip>("nCensorShip", false),
    Field<&TMenuConfigItem::nPINCode>("nPINCode", false),
    Field<&TMenuConfigItem::nAutoScanMode>("nAutoScanMode", false),
    Field<&TMenuConfigItem::nFrequency>("nFrequency", false),
    Field<&TMenuConfigItem::nSymbolRate>("nSymbolRate", false),
    Field<&TMenuConfigItem::nAntennaId>("nAntennaId", false),
    Field<&TMenuConfigItem::nPolarization>("nPolarization", false),
    Field<&TMenuConfigItem::nFEC>("nFEC", false),
    Field<&TMenuConfigItem::nNetworkSearch>("nNetworkSearch", false),
    Field<&TMenuConfigItem::nAutoSkip>("nAutoSkip", false),
    Field<&TMenuConfigItem::nLNBPower>("nLNBPower", false),
    Field<&TMenuConfigItem::nUpgAntennaId>("nUpgAntennaId", false),
    Field<&TMenuConfigItem::nUpgFrequency>("nUpgFrequency", false),
    Field<&TMenuConfigItem::nUpgSymbolRate>("nUpgSymbolRate", false),
    Field<&TMenuConfigItem::nUpgPolarization>("nUpgPolarization", false),
    Field<&TMenuConfigItem::nUpgFEC>("nUpgFEC", false),
    Field<&TMenuConfigItem::nUpgLNBPower>("nUpgLNBPower", false),
    Field<&TMenuConfigItem::wVideoPID>("wVideoPID", false),
    Field<&TMenuConfigItem::wAudioPID>("wAudioPID", false),
    Field<&TMenuConfigItem::wPCRPID>("wPCRPID", false),
    Field<&TMenuConfigItem::wFakeServiceId>("wFakeServiceId", false),
};

}  // namespace lumora
