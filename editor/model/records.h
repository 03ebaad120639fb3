// Records, tables and capacities of one channel database, and the name tables
// used to show their values. Plain records copied by value; tables are
// fixed-capacity arrays with a separate count.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace lumora {

inline constexpr int kAntennaCapacity = 32;
inline constexpr int kTSCapacity = 1000;
inline constexpr int kNetworkCapacity = 500;
inline constexpr int kProviderCapacity = 500;
inline constexpr int kServiceCapacity = 4000;
inline constexpr int kFavoriteCapacity = 100;
inline constexpr int kFavoriteGroups = 2;  // 0 TV, 1 radio
inline constexpr int kFavoriteLists = 4;

// dwLNBFreq value of a universal LNB.
inline constexpr uint32_t kUniversalLNB = 0xFFFFFFFFu;

struct TAntennaSetting {
    uint32_t dwLNBFreq = kUniversalLNB;
    uint16_t wPosition = 0;
    uint16_t wMovement = 0;
    uint8_t ucSatelliteId = 0;
    uint8_t ucOtherSetting = 0;
    uint8_t ucMotorControl = 0;
    uint8_t ucDiseqcCmd = 0;
    std::string szLNBName;

    bool operator==(const TAntennaSetting&) const = default;
};

struct TAntennaList {
    int32_t wAntennaNum = kAntennaCapacity;
    std::array<TAntennaSetting, kAntennaCapacity> AntennaInfo{};

    bool operator==(const TAntennaList&) const = default;
};

struct TSATTSInfo {
    uint32_t dwFrequency = 0;
    uint32_t dwSymbolRate = 0;
    uint16_t wPosition = 0;
    uint8_t ucPolarization = 0;
    uint8_t ucFEC = 0;

    bool operator==(const TSATTSInfo&) const = default;
};

struct TTSItem {
    uint16_t wOrgNetworkId = 0;
    uint16_t wTsId = 0;
    uint16_t wAntennaIndex = 0;
    int32_t pNetworkIndex = -1;
    TSATTSInfo SATTSInfo{};
    uint32_t dwSmaTVDiff = 0;

    bool operator==(const TTSItem&) const = default;
};

struct TNetworkItem {
    uint16_t wNetworkId = 0;
    uint16_t reserved = 0;
    std::string szNetworkName;

    bool operator==(const TNetworkItem&) const = default;
};

struct TProviderItem {
    uint8_t nilHeader = 0;
    std::string szProviderName;

    bool operator==(const TProviderItem&) const = default;
};

enum : uint8_t { kServiceTypeTV = 0, kServiceTypeRadio = 1 };

struct TServiceItem {
    uint16_t wServiceId = 0;
    uint16_t wPmtPID = 0;
    uint16_t wVideoPID = 0;
    uint16_t wAudioPID = 0;
    uint16_t wSubtitlePID = 0;
    uint16_t wTeletextPID = 0;
    uint16_t wPCRPID = 0;
    uint8_t ServiceType = kServiceTypeTV;
    uint8_t ServiceKind = 0;
    bool bParentLock = false;
    bool bExistService = false;
    bool bSkipService = false;
    bool bScrambled = false;
    uint8_t ucSubtitleIndex = 0;
    uint8_t ucTeletextIndex = 0;
    uint16_t wServiceNumber = 0;
    int32_t pTSIndex = -1;
    int32_t pProviderIndex = -1;
    std::string szServiceName;

    bool operator==(const TServiceItem&) const = default;
};

struct TTSInfo {
    int32_t wTSNum = 0;
    std::array<TTSItem, kTSCapacity> Info{};

    bool operator==(const TTSInfo&) const = default;
};

struct TNetworkInfo {
    int32_t wNetworkNum = 0;
    std::array<TNetworkItem, kNetworkCapacity> Info{};

    bool operator==(const TNetworkInfo&) const = default;
};

struct TProviderInfo {
    int32_t wProviderNum = 0;
    std::array<TProviderItem, kProviderCapacity> Info{};

    bool operator==(const TProviderInfo&) const = default;
};

struct TServiceInfo {
    uint16_t wTVNum = 0;
    uint16_t wRadioNum = 0;
    std::array<TServiceItem, kServiceCapacity> pServiceInfo{};

    int Count() const { return int(wTVNum) + int(wRadioNum); }

    bool operator==(const TServiceInfo&) const = default;
};

struct TFavoriteItem {
    int32_t wIndexNum = 0;
    std::array<int32_t, kFavoriteCapacity> Index{};

    bool operator==(const TFavoriteItem&) const = default;
};

struct TMenuConfigItem {
    uint16_t wMenuDataVersion = 0;
    uint16_t crc16 = 0;
    uint8_t nMenuLang = 0;
    uint8_t nMainAudioLang = 0;
    uint8_t n2ndAudioLang = 0;
    uint8_t nSubtitleLang = 0;
    uint32_t nTimeOffset = 0;
    uint32_t nTimerIndex = 0;
    uint8_t nVideoOutput = 0;
    uint8_t nAudioOutput = 0;
    uint8_t nScreenMode = 0;
    uint8_t nDisplayFormat = 0;
    uint8_t nInfoboxType = 0;
    uint8_t nInfoboxTime = 0;
    uint8_t nMenuBackground = 0;
    uint8_t nChangeReservedMode = 0;
    uint8_t nServiceSelectionMethod = 0;
    uint8_t nNetworkIndex = 0;
    uint8_t nFavoriteIndex = 0;
    uint8_t nGenreIndex = 0;
    uint8_t nAlphaIndex = 0;
    uint8_t nUserYear = 0;
    uint8_t nUserMonth = 0;
    uint8_t nUserDay = 0;
    uint8_t nUHFChannel = 0;
    uint8_t nUHFPAL = 0;
    int16_t nUHFOffset = 0;
    uint8_t nCensorShip = 0;
    int16_t nPINCode = 0;
    uint32_t nAutoScanMode = 0;
    uint32_t nFrequency = 0;
    uint32_t nSymbolRate = 0;
    std::array<uint32_t, 4> nAddSymbolRate{};
    uint8_t nAntennaId = 0;
    uint8_t nPolarization = 0;
    uint8_t nFEC = 0;
    uint8_t nNetworkSearch = 0;
    uint8_t nAutoSkip = 0;
    uint8_t nLNBPower = 0;
    uint8_t nUpgAntennaId = 0;
    uint32_t nUpgFrequency = 0;
    uint32_t nUpgSymbolRate = 0;
    uint8_t nUpgPolarization = 0;
    uint8_t nUpgFEC = 0;
    uint8_t nUpgLNBPower = 0;
    uint16_t wVideoPID = 0;
    uint16_t wAudioPID = 0;
    uint16_t wPCRPID = 0;
    uint16_t wFakeServiceId = 0;

    bool operator==(const TMenuConfigItem&) const = default;
};

// The whole channel database of one document: the tables and how they are to
// be read (pFixServiceIndex). Large (about half a megabyte): keep it on the heap.
struct TChannelDatabase {
    TAntennaList AntennaList;
    TFavoriteItem FavoriteInfo[kFavoriteGroups][kFavoriteLists]{};
    TMenuConfigItem MenuConfigItem{};
    bool pFixServiceIndex = false;
    TNetworkInfo NetworkInfo;
    TProviderInfo ProviderInfo;
    TTSInfo TSInfo;
    TServiceInfo ServiceInfo;

    bool operator==(const TChannelDatabase&) const = default;
};

// Whether two databases hold the same data as a file stores it: the tables up
// to their counts, the favorite lists up to their lengths, the antennas, the
// menu record and the numbering. Records beyond the counts do not count.
bool SameStoredData(const TChannelDatabase& a, const TChannelDatabase& b);

// Prepares a database for a fresh load or a new document. Records beyond the
// counts are deliberately left as they are.
void InitDatabase(TChannelDatabase& db, uint8_t flashType);

// FLASHTYPE 3, 4 and 5 number services by their fixed program numbers.
bool IsFixedNumberingFlashType(uint8_t flashType);

// What the favorite entries of a database mean, as the flash type decides:
// the service's ordinal, or its OP number - 1 with the automatic numbers
// starting at 101 or (FLASHTYPE 3) at 1000. Files record it, so that a file
// opened under another flash type can have its favorites renumbered. The
// values are those stored in channel-data files.
enum class FavoriteNumbering : uint8_t { Ordinal = 1, OPFrom101 = 2, OPFrom1000 = 3 };

// Receiver model positions 8 and 9 are the cable (QAM) tuners.
bool IsCableModel(uint8_t model);

// Name tables. Each lookup returns an empty text for a code outside its table,
// so values taken from files never index outside them.
inline constexpr std::array<const char*, 3> kPolarizationNames = {"Horizontal", "Vertical", "Auto"};
inline constexpr std::array<const char*, 6> kCodeRateNames = {"1/2", "2/3", "3/4", "5/6", "7/8", "Auto"};
inline constexpr std::array<const char*, 6> kConstellationNames = {"16-QAM",  "32-QAM",  "64-QAM",
                                                                   "128-QAM", "256-QAM", "AUTO"};
inline constexpr std::array<const char*, 32> kGenreNames = {
    "ETC",       "MOVIE",   "NEWS",      "SHOW",          "SPORTS",  "CHILDREN", "MUSIC",  "ART",
    "EDUCATION", "LEISURE", "SHOPPING",  "ADULT",         "USER A",  "USER B",   "USER C", "USER D",
    "GENERAL",   "POP",     "ROCK",      "COUNTRY",       "CLASSIC", "JAZZ",     "FOLK",   "NEWS",
    "SHOW",      "SPORTS",  "EDUCATION", "ENTERTAINMENT", "USER A",  "USER B",   "USER C", "USER D"};

std::string PolarizationName(unsigned code);
std::string CodeRateName(unsigned code);
// Cable constellation names are looked up with ucFEC - 1 (1 = "16-QAM").
std::string ConstellationName(unsigned ucFEC);
// Genre of a service of the given type (0 TV, 1 radio) and kind 0..15.
std::string GenreName(unsigned serviceType, unsigned serviceKind);

}  // namespace lumora
