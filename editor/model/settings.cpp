#include "settings.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include <unistd.h>

#include "ini_file.h"

namespace lumora {

namespace {

constexpr const char* kSystemSection = "SYSTEMINFO";
constexpr const char* kDefaultSystemId = "00000000";

struct NamedSet {
    const char* section;
    TLanguageSet TSettings::*set;
};

constexpr NamedSet kLanguageSections[] = {
    {"MAIN LANGUAGE", &TSettings::MenuLanguage},
    {"AUDIO LANGUAGE", &TSettings::AudioLanguage},
    {"SUBTITLE LANGUAGE", &TSettings::SubtitleLanguage},
    {"ANTENNA LANGUAGE", &TSettings::AntennaLanguage},
};

std::string NameKey(int i) { return "LANGUAGE " + std::to_string(i); }

// A count as stored in a set: never below 0 nor above the set's capacity.
int32_t ClampedCount(int32_t count) { return std::clamp(count, 0, kLanguageSetCapacity); }

void ReadLanguageSet(const TIniFile& ini, const char* section, TLanguageSet& set)
{
    set.wLanguageNum = ClampedCount(ini.ReadInteger(section, "COUNT", 0));
    for (int i = 0; i < set.wLanguageNum; ++i)
        set.Language[i] = ini.ReadString(section, NameKey(i), "");
}

void WriteLanguageSet(TIniFile& ini, const char* section, const TLanguageSet& set)
{
    int32_t count = ClampedCount(set.wLanguageNum);
    ini.WriteInteger(section, "COUNT", count);
    for (int i = 0; i < count; ++i)
        ini.WriteString(section, NameKey(i), set.Language[i]);
}

// The file keeps the numbers whole; the record keeps their low 8 bits.
uint8_t ReadByte(const TIniFile& ini, const char* key, int32_t def)
{
    return static_cast<uint8_t>(ini.ReadInteger(kSystemSection, key, def));
}

TSettings ReadSettings(const TIniFile& ini)
{
    TSettings settings;
    for (const NamedSet& named : kLanguageSections)
        ReadLanguageSet(ini, named.section, settings.*named.set);

    TSystemInfo& info = settings.SystemInfo;
    info.COMPORT = ReadByte(ini, "PORT", 0);
    info.BAUDRATE = ReadByte(ini, "BAUD", 0);
    info.MODEL = ReadByte(ini, "MODEL", 0);
    info.MENUTYPE = ReadByte(ini, "MENUTYPE", 0);
    info.FLASHTYPE = ReadByte(ini, "FLASHTYPE", 0);
    info.SYSTEMID = ini.ReadString(kSystemSection, "SYSTEMID", kDefaultSystemId);
    info.ANT32 = ReadByte(ini, "ANT32", 1);
    info.LangModel = ini.ReadInteger(kSystemSection, "LANGUAGE", 0);
    return settings;
}

}  // namespace

Result<std::optional<TSettings>> LoadConfigData(const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return std::optional<TSettings>();
    Result<TIniFile> ini = TIniFile::Load(path);
    if (!ini)
        return ini.status();
    return std::optional<TSettings>(ReadSettings(ini.value()));
}

Result<TSettings> ReadConfigText(std::string text, const std::string& origin)
{
    Result<TIniFile> ini = TIniFile::FromText(std::move(text), origin);
    if (!ini)
        return ini.status();
    return ReadSettings(ini.value());
}

Status WriteConfigData(const std::string& path, const TSettings& settings)
{
    Result<TIniFile> read = TIniFile::Load(path);
    if (!read)
        return read.status();
    TIniFile& ini = read.value();
    for (const NamedSet& named : kLanguageSections)
        WriteLanguageSet(ini, named.section, settings.*named.set);

    const TSystemInfo& info = settings.SystemInfo;
    ini.WriteInteger(kSystemSection, "PORT", info.COMPORT);
    ini.WriteInteger(kSystemSection, "BAUD", info.BAUDRATE);
    ini.WriteInteger(kSystemSection, "MODEL", info.MODEL);
    ini.WriteInteger(kSystemSection, "MENUTYPE", info.MENUTYPE);
    ini.WriteInteger(kSystemSection, "FLASHTYPE", info.FLASHTYPE);
    ini.WriteString(kSystemSection, "SYSTEMID", info.SYSTEMID);
    ini.WriteInteger(kSystemSection, "ANT32", info.ANT32);
    ini.WriteInteger(kSystemSection, "LANGUAGE", info.LangModel);

    // The fallback location under the user's configuration directory may not exist yet.
    std::filesystem::path parent = std::filesystem::path(path).parent_path();
    std::error_code ec;
    if (!parent.empty())
        std::filesystem::create_directories(parent, ec);
    return ini.Save(path);
}

std::string UserSettingsFilePath()
{
    namespace fs = std::filesystem;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    fs::path configHome;
    if (xdg && fs::path(xdg).is_absolute())
        configHome = xdg;
    else if (home && *home)
        configHome = fs::path(home) / ".config";
    else
        return {};
    return (configHome / "LumoraV3" / kSettingsFileName).string();
}

TSettingsFiles LocateSettingsFiles(const std::string& programDir)
{
    namespace fs = std::filesystem;
    const std::string beside = (fs::path(programDir) / kSettingsFileName).string();
    std::string user = UserSettingsFilePath();
    if (user.empty())
        user = beside;  // nowhere better to go; writing will report the failure
    if (::access(programDir.c_str(), W_OK) == 0)
        return {beside, beside, user};  // a portable copy keeps its settings with it
    std::error_code ec;
    if (fs::exists(fs::symlink_status(user, ec)) || !fs::exists(fs::symlink_status(beside, ec)))
        return {user, user, user};
    return {beside, user, user};  // an installed default, until the user's own file exists
}

void GetModelName(int position, std::string& name)
{
    static constexpr const char* kModelNames[kModelCount] = {
        "MODEL-01", "MODEL-02", "MODEL-03", "MODEL-04", "MODEL-05", "MODEL-06", "MODEL-07",
        "MODEL-08", "MODEL-09", "MODEL-10", "MODEL-11", "MODEL-12", "MODEL-13", "MODEL-14",
        "MODEL-15", "MODEL-16", "MODEL-17", "MODEL-18", "MODEL-19", "MODEL-20", "MODEL-21",
        "MODEL-22", "MODEL-23", "MODEL-24", "MODEL-25", "MODEL-26", "MODEL-27", "USER DEFINE",
    };
    if (position >= 0 && position < kModelCount)
        name = kModelNames[position];
}

int32_t HexToInt(const std::string& text)
{
    const std::size_t n = text.size();
    uint32_t result = 0;
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 32);
        int v = c - '0';
        if (v < 0)
            v = 0;
        else if (v > 9)
            v -= 7;
        // Shift counts wrap at 32, so digits before the last eight fold back into the low bits.
        result += static_cast<uint32_t>(v) << (((n - 1 - i) * 4) % 32);
    }
    return static_cast<int32_t>(result);
}

TDefaultSet GetDefaultSet(int position)
{
    // Menu type digit, flash type digit, 8-digit system id, one per model position.
    static constexpr const char* kDefaults[kModelCount - 1] = {
        "314C560101", "314C560102", "214C560103", "314C560104", "314C560105", "214C560106", "314C560107",
        "314C560108", "414C560209", "414C56020A", "344C56010B", "314C56010C", "104C56030D", "004C56030E",
        "104C56030F", "124C560310", "104C560311", "104C560312", "154C560413", "054C560414", "034C560415",
        "004C560316", "504C560317", "004C560318", "314C560119", "314C56011A", "664C56051B",
    };
    if (position < 0 || position >= kModelCount - 1)
        position = 0;  // "USER MODEL" and anything unknown take the first model's defaults
    const std::string entry = kDefaults[position];
    return TDefaultSet{static_cast<uint8_t>(entry[0] - '0'), static_cast<uint8_t>(entry[1] - '0'), entry.substr(2)};
}

}  // namespace lumora
