#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "ini_file.h"
#include "settings.h"

using namespace lumora;
namespace fs = std::filesystem;

namespace {

class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "lv32-test-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        path_ = (dir_ / "LV32.cfg").string();
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Put(const std::string& text) { std::ofstream(path_, std::ios::binary) << text; }
    std::string Get() const
    {
        std::ostringstream text;
        text << std::ifstream(path_, std::ios::binary).rdbuf();
        return text.str();
    }
    TSettings Loaded(const std::string& path = {})
    {
        const Result<std::optional<TSettings>> read = LoadConfigData(path.empty() ? path_ : path);
        EXPECT_TRUE(read && read.value()) << read.message();
        return read && read.value() ? *read.value() : TSettings{};
    }

    fs::path dir_;
    std::string path_;
};

TSettings SampleSettings()
{
    TSettings s;
    s.SystemInfo = {2, 4, 9, 0, 3, 5, "4C56010B", -1};
    s.MenuLanguage.wLanguageNum = 2;
    s.MenuLanguage.Language[0] = "ENGLISH";
    s.MenuLanguage.Language[1] = "GERMAN";
    s.AntennaLanguage.wLanguageNum = 3;
    s.AntennaLanguage.Language = {"ASTRA 1", "  padded  ", "\"quoted\""};
    return s;
}

}  // namespace

TEST_F(SettingsFile, MissingFileGivesNothingAndEmptyFileGivesDefaults)
{
    const Result<std::optional<TSettings>> missing = LoadConfigData(path_);
    ASSERT_TRUE(missing);
    EXPECT_FALSE(missing.value());
    EXPECT_FALSE(fs::exists(path_));

    Put("");
    EXPECT_EQ(Loaded().SystemInfo, (TSystemInfo{0, 0, 0, 1, 0, 0, "00000000", 0}));
}

TEST_F(SettingsFile, MissingKeysAndBadNumbersTakeTheirDefaults)
{
    Put("[SYSTEMINFO]\nMODEL=9\nPORT=two\nBAUD=\nLANGUAGE=$1F\n");
    const TSettings s = Loaded();
    EXPECT_EQ(s.SystemInfo, (TSystemInfo{0, 0, 9, 1, 0, 0, "00000000", 31}));
    EXPECT_EQ(s.AudioLanguage.wLanguageNum, 0);
}

TEST_F(SettingsFile, ReadsLikeTheWindowsProfileFunctions)
{
    Put("; written by hand\r\n"
        "[main language]\r\n"
        "count = 3\r\n"
        "language 0 =  ENGLISH  \r\n"
        "Language 2=\"  SPACED \"\r\n"
        "; LANGUAGE 1=COMMENTED\r\n"
        "[ SYSTEMINFO ]\r\n"  // blanks inside the brackets make another section
        "MODEL=1\r\n"
        "[SystemInfo]\r\n"
        "Model=260\r\n"
        "SystemId = 'ab12'\r\n"
        "[MAIN LANGUAGE]\r\n"
        "LANGUAGE 1=only the first of two equal sections counts\r\n");
    TSettings s = Loaded();
    ASSERT_EQ(s.MenuLanguage.wLanguageNum, 3);
    EXPECT_EQ(s.MenuLanguage.Language[0], "ENGLISH");
    EXPECT_EQ(s.MenuLanguage.Language[1], "");
    EXPECT_EQ(s.MenuLanguage.Language[2], "  SPACED ");
    EXPECT_EQ(s.SystemInfo.MODEL, 4);  // low 8 bits of 260
    EXPECT_EQ(s.SystemInfo.SYSTEMID, "ab12");
}

TEST_F(SettingsFile, CountIsKeptWithinTheSet)
{
    std::string text = "[AUDIO LANGUAGE]\nCOUNT=40\n";
    for (int i = 0; i < 40; ++i)
        text += "LANGUAGE " + std::to_string(i) + "=L" + std::to_string(i) + "\n";
    Put(text + "[SUBTITLE LANGUAGE]\nCOUNT=-3\n[ANTENNA LANGUAGE]\nCOUNT=99999999999\n");
    TSettings s = Loaded();
    EXPECT_EQ(s.AudioLanguage.wLanguageNum, kLanguageSetCapacity);
    EXPECT_EQ(s.AudioLanguage.Language[32], "L32");
    EXPECT_EQ(s.SubtitleLanguage.wLanguageNum, 0);
    EXPECT_EQ(s.AntennaLanguage.wLanguageNum, 0);  // not an integer: the default

    s.AudioLanguage.wLanguageNum = 1000;
    s.MenuLanguage.wLanguageNum = -5;
    ASSERT_TRUE(WriteConfigData(path_, s));
    EXPECT_EQ(Loaded().AudioLanguage.wLanguageNum, kLanguageSetCapacity);
    EXPECT_EQ(Loaded().MenuLanguage.wLanguageNum, 0);
}

TEST_F(SettingsFile, NewFileUsesCrLfAndRoundTripsEveryValue)
{
    TSettings s = SampleSettings();
    s.SubtitleLanguage.wLanguageNum = 1;
    s.SubtitleLanguage.Language[0] = "line\r\nbreak";  // must not split the entry
    ASSERT_TRUE(WriteConfigData(path_, s));
    std::string text = Get();
    EXPECT_TRUE(text.starts_with("[MAIN LANGUAGE]\r\nCOUNT=2\r\nLANGUAGE 0=ENGLISH\r\n")) << text;
    EXPECT_TRUE(text.ends_with("[SYSTEMINFO]\r\nPORT=2\r\nBAUD=4\r\nMODEL=9\r\nMENUTYPE=3\r\nFLASHTYPE=5\r\n"
                               "SYSTEMID=4C56010B\r\nANT32=0\r\nLANGUAGE=-1\r\n"))
        << text;
    s.SubtitleLanguage.Language[0] = "line  break";
    EXPECT_EQ(Loaded(), s);
}

TEST_F(SettingsFile, WriteUpdatesInPlaceAndKeepsEverythingElse)
{
    Put("; comment\n[Other]\nx = 1\n\n[systeminfo]\nmodel = 3\nEXTRA=keep\n\n"
        "[MAIN LANGUAGE]\nCOUNT=3\nLANGUAGE 0=FRENCH\nLANGUAGE 1=GERMAN\nLANGUAGE 2=STALE\n");
    TSettings s = SampleSettings();
    s.AntennaLanguage.wLanguageNum = 0;
    ASSERT_TRUE(WriteConfigData(path_, s));
    EXPECT_EQ(Get(), "; comment\n[Other]\nx = 1\n\n"
                     "[systeminfo]\nmodel =9\nEXTRA=keep\nPORT=2\nBAUD=4\nMENUTYPE=3\nFLASHTYPE=5\n"
                     "SYSTEMID=4C56010B\nANT32=0\nLANGUAGE=-1\n\n"
                     "[MAIN LANGUAGE]\nCOUNT=2\nLANGUAGE 0=ENGLISH\nLANGUAGE 1=GERMAN\nLANGUAGE 2=STALE\n"
                     "[AUDIO LANGUAGE]\nCOUNT=0\n[SUBTITLE LANGUAGE]\nCOUNT=0\n[ANTENNA LANGUAGE]\nCOUNT=0\n");
    EXPECT_EQ(Loaded().MenuLanguage.wLanguageNum, 2);
}

TEST_F(SettingsFile, FailuresNameTheFileAndLeaveTheOldFile)
{
    Put("[SYSTEMINFO]\nMODEL=7\n");
    const Status below = WriteConfigData(path_ + "/LV32.cfg", SampleSettings());
    EXPECT_FALSE(below);
    EXPECT_EQ(below.message(), path_ + "/LV32.cfg: Not a directory");
    EXPECT_EQ(Get(), "[SYSTEMINFO]\nMODEL=7\n");

    std::string directory = (dir_ / "dir.cfg").string();
    fs::create_directory(directory);
    EXPECT_EQ(LoadConfigData(directory).message(), directory + ": Is a directory");
    EXPECT_EQ(WriteConfigData(directory, TSettings{}).message(), directory + ": Is a directory");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);  // no temp left
}

TEST_F(SettingsFile, WriteKeepsTheModeAndCreatesMissingDirectories)
{
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    Put("[SYSTEMINFO]\n");
    fs::permissions(path_, mode);
    ASSERT_TRUE(WriteConfigData(path_, SampleSettings()));
    EXPECT_EQ(fs::status(path_).permissions(), mode);

    std::string nested = (dir_ / "config" / "LumoraV3" / "LV32.cfg").string();
    ASSERT_TRUE(WriteConfigData(nested, SampleSettings()));
    EXPECT_EQ(Loaded(nested), SampleSettings());
}

TEST_F(SettingsFile, FileLivesBesideTheProgramWhenPossible)
{
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(LocateSettingsFiles(dir_.string()).readFrom, path_);
    EXPECT_EQ(LocateSettingsFiles(dir_.string()).writeTo, path_);
    EXPECT_EQ(LocateSettingsFiles((dir_ / "no-such-dir").string()).writeTo, "/xdg/LumoraV3/LV32.cfg");
    old ? ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
}

TEST(IniFile, NewKeysJoinTheirSection)
{
    TIniFile ini;
    ini.WriteString("A", "k", "v");
    ini.WriteString("B", "k", "w");
    ini.WriteString("a", "K2", "x");
    ini.WriteInteger("b", "K", 7);
    EXPECT_EQ(ini.Text(), "[A]\r\nk=v\r\nK2=x\r\n[B]\r\nk=7\r\n");
    EXPECT_EQ(ini.ReadString("B", "k2", "?"), "?");
}

TEST(HexToInt, ReadsHexadecimalAndWrapsLongTexts)
{
    EXPECT_EQ(HexToInt("AB12345600"), 0x123456AB);
    EXPECT_EQ(HexToInt("ff"), 255);
    EXPECT_EQ(HexToInt("1A"), 26);
    EXPECT_EQ(HexToInt("G"), 16);
    EXPECT_EQ(HexToInt(""), 0);
    EXPECT_EQ(HexToInt("FFFFFFFF"), -1);
    EXPECT_EQ(HexToInt("4c56010b"), 0x4C56010B);
    EXPECT_EQ(HexToInt(" 1"), 1);  // characters below '0' count as 0
    EXPECT_EQ(HexToInt("\xFF"), 0xFF - 48 - 7);
}

TEST(ModelTable, NamesAndDefaults)
{
    std::string name = "unchanged";
    GetModelName(28, name);
    GetModelName(-1, name);
    EXPECT_EQ(name, "unchanged");
    GetModelName(27, name);
    EXPECT_EQ(name, "USER DEFINE");

    const int menu[] = {3, 3, 2, 3, 3, 2, 3, 3, 4, 4, 3, 3, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 5, 0, 3, 3, 6};
    const int flash[] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 1, 0, 0, 0, 2, 0, 0, 5, 5, 3, 0, 0, 0, 1, 1, 6};
    std::set<std::string> ids;
    for (int p = 0; p < 27; ++p) {
        TDefaultSet d = GetDefaultSet(p);
        EXPECT_EQ(std::pair(int{d.MenuType}, int{d.FlashType}), std::pair(menu[p], flash[p])) << p;
        EXPECT_EQ(d.SYSTEMID.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        EXPECT_EQ(d.SYSTEMID.size(), 8u);
        ids.insert(d.SYSTEMID);
    }
    EXPECT_EQ(ids.size(), 27u);
    EXPECT_EQ(GetDefaultSet(27).SYSTEMID, GetDefaultSet(0).SYSTEMID);
    EXPECT_EQ(GetDefaultSet(-4).SYSTEMID, GetDefaultSet(0).SYSTEMID);
}
