// Application settings, the settings file "LV32.cfg", the receiver model table
// and the per-model defaults.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "status.h"

namespace lumora {

inline constexpr int kLanguageSetCapacity = 33;
inline constexpr int kModelCount = 28;
inline constexpr const char* kSettingsFileName = "LV32.cfg";

struct TSystemInfo {
    uint8_t COMPORT = 0;
    uint8_t BAUDRATE = 0;
    uint8_t MODEL = 0;
    uint8_t ANT32 = 0;
    uint8_t MENUTYPE = 0;
    uint8_t FLASHTYPE = 0;
    std::string SYSTEMID;
    int32_t LangModel = 0;
    bool operator==(const TSystemInfo&) const = default;
};

struct TLanguageSet {
    int32_t wLanguageNum = 0;
    std::array<std::string, kLanguageSetCapacity> Language{};
    bool operator==(const TLanguageSet&) const = default;
};

struct TDefaultSet {
    uint8_t MenuType = 0;
    uint8_t FlashType = 0;
    std::string SYSTEMID;
};

// The settings of the whole program, as held in memory.
struct TSettings {
    TSystemInfo SystemInfo;
    TLanguageSet MenuLanguage;  // section "MAIN LANGUAGE"
    TLanguageSet AudioLanguage;  // section "AUDIO LANGUAGE"
    TLanguageSet SubtitleLanguage;  // section "SUBTITLE LANGUAGE"
    TLanguageSet AntennaLanguage;  // section "ANTENNA LANGUAGE" (satellite names)
    bool operator==(const TSettings&) const = default;
};

// Reads the settings file at `path`: nothing when the file does not exist; a
// failure (path and reason) when it exists but cannot be read or is no
// settings file at all (see TIniFile::Load), so that a later write cannot
// replace it with defaults. A "COUNT" above 33 keeps the first 33 names; a
// negative one reads as an empty list.
Result<std::optional<TSettings>> LoadConfigData(const std::string& path);

// The settings in `text`, the content of a settings file named `origin` in
// failures; a failure like LoadConfigData's for a text that is no settings
// file.
Result<TSettings> ReadConfigText(std::string text, const std::string& origin);

// Writes all settings into the file at `path`, creating it when missing and
// keeping every other section, key and comment, and creating its directory
// when missing. The file is replaced atomically. A failure (path and reason)
// when the file cannot be read or written.
Status WriteConfigData(const std::string& path, const TSettings& settings);

// The user's own settings file: $XDG_CONFIG_HOME/LumoraV3/LV32.cfg, or
// $HOME/.config/LumoraV3/LV32.cfg; empty when neither variable is usable.
std::string UserSettingsFilePath();

// Where the settings are read at start and written at close.
struct TSettingsFiles {
    std::string readFrom;
    std::string writeTo;
    // Where they are written instead when `readFrom` exists but cannot be read.
    std::string userFile;
};

// The settings files of a program in `programDir`: "LV32.cfg" beside the
// program when its directory is writable (a portable copy); otherwise the
// user's own file, which starts from an installed "LV32.cfg" beside the
// program while it does not exist yet.
TSettingsFiles LocateSettingsFiles(const std::string& programDir);

// Sets `name` to the model name at `position` 0..27; leaves it unchanged otherwise.
void GetModelName(int position, std::string& name);

// The system id text read as hexadecimal, wrapping modulo 2^32.
int32_t HexToInt(const std::string& text);

// The default menu type, flash type and system id of model `position` 0..26;
// every other position (27 is "USER MODEL") gets those of position 0.
TDefaultSet GetDefaultSet(int position);

}  // namespace lumora
