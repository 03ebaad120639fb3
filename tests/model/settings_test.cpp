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
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    TSettings Loaded()
    {
        TSettings s;
        EXPECT_TRUE(LoadConfigData(path_, s));
        return s;
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
    s.AntennaLanguage.Language[0] = "ASTRA 1";
    s.AntennaLanguage.Language[1] = "  padded  ";
    s.AntennaLanguage.Language[2] = "\"quoted\"";
    return s;
}

void ExpectSameSettings(const TSettings& a, const TSettings& b)
{
    const TSystemInfo &x = a.SystemInfo, &y = b.SystemInfo;
    EXPECT_EQ(std::tie(x.COMPORT, x.BAUDRATE, x.MODEL, x.ANT32, x.MENUTYPE, x.FLASHTYPE, x.SYSTEMID, x.LangModel),
              std::tie(y.COMPORT, y.BAUDRATE, y.MODEL, y.ANT32, y.MENUTYPE, y.FLASHTYPE, y.SYSTEMID, y.LangModel));
    for (auto set : {&TSettings::MenuLanguage, &TSettings::AudioLanguage, &TSettings::SubtitleLanguage,
                     &TSettings::AntennaLanguage}) {
        ASSERT_EQ((a.*set).wLanguageNum, (b.*set).wLanguageNum);
        for (int i = 0; i < (a.*set).wLanguageNum; ++i)
            EXPECT_EQ((a.*set).Language[i], (b.*set).Language[i]);
    }
}

}  // namespace

TEST_F(SettingsFile, MissingFileChangesNothing)
{
    TSettings s;
    s.MenuLanguage.wLanguageNum = 1;
    EXPECT_FALSE(LoadConfigData(path_, s));
    EXPECT_EQ(s.MenuLanguage.wLanguageNum, 1);
    EXPECT_EQ(s.SystemInfo.ANT32, 0);
    EXPECT_EQ(s.SystemInfo.SYSTEMID, "");
    EXPECT_FALSE(fs::exists(path_));
}

TEST_F(SettingsFile, MissingKeysAndBadNumbersTakeTheirDefaults)
{
    Put("[SYSTEMINFO]\nMODEL=9\nPORT=two\nBAUD=\nLANGUAGE=$1F\n");
    TSettings s;
    s.AudioLanguage.wLanguageNum = 5;
    ASSERT_TRUE(LoadConfigData(path_, s));
    EXPECT_EQ(s.SystemInfo.MODEL, 9);
    EXPECT_EQ(s.SystemInfo.COMPORT, 0);
    EXPECT_EQ(s.SystemInfo.BAUDRATE, 0);
    EXPECT_EQ(s.SystemInfo.ANT32, 1);
    EXPECT_EQ(s.SystemInfo.SYSTEMID, "00000000");
    EXPECT_EQ(s.SystemInfo.LangModel, 31);
    EXPECT_EQ(s.AudioLanguage.wLanguageNum, 0);
    EXPECT_EQ(s.MenuLanguage.wLanguageNum, 0);
}

TEST_F(SettingsFile, ReadsLikeTheWindowsProfileFunctions)
{
    Put("; written by hand\r\n"
        "[main language]\r\n"
        "count = 3\r\n"
        "language 0 =  ENGLISH  \r\n"
        "Language 2=\"  SPACED \"\r\n"
        "; LANGUAGE 1=COMMENTED\r\n"
        "[ SYSTEMINFO ]\r\n"
        "MODEL=1\r\n"
        "[SystemInfo]\r\n"
        "Model=260\r\n"
        "ANT32 = 0\r\n"
        "SystemId = 'ab12'\r\n"
        "[MAIN LANGUAGE]\r\n"
        "LANGUAGE 1=second section is never read\r\n");
    TSettings s = Loaded();
    ASSERT_EQ(s.MenuLanguage.wLanguageNum, 3);
    EXPECT_EQ(s.MenuLanguage.Language[0], "ENGLISH");
    EXPECT_EQ(s.MenuLanguage.Language[1], "");
    EXPECT_EQ(s.MenuLanguage.Language[2], "  SPACED ");
    EXPECT_EQ(s.SystemInfo.MODEL, 4);  // low 8 bits of 260
    EXPECT_EQ(s.SystemInfo.ANT32, 0);
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
    WriteConfigData(path_, s);
    TSettings back = Loaded();
    EXPECT_EQ(back.AudioLanguage.wLanguageNum, kLanguageSetCapacity);
    EXPECT_EQ(back.MenuLanguage.wLanguageNum, 0);
}

TEST_F(SettingsFile, NewFileRoundTripsEveryValue)
{
    WriteConfigData(path_, SampleSettings());
    std::string text = Get();
    EXPECT_TRUE(text.starts_with("[MAIN LANGUAGE]\r\nCOUNT=2\r\nLANGUAGE 0=ENGLISH\r\n")) << text;
    EXPECT_NE(text.find("[SYSTEMINFO]\r\nPORT=2\r\nBAUD=4\r\nMODEL=9\r\nMENUTYPE=3\r\nFLASHTYPE=5\r\n"
                        "SYSTEMID=4C56010B\r\nANT32=0\r\nLANGUAGE=-1\r\n"),
              std::string::npos)
        << text;
    ExpectSameSettings(Loaded(), SampleSettings());
}

TEST_F(SettingsFile, WriteUpdatesInPlaceAndKeepsEverythingElse)
{
    Put("; comment\n"
        "[Other]\n"
        "x = 1\n"
        "\n"
        "[systeminfo]\n"
        "model = 3\n"
        "EXTRA=keep\n"
        "\n"
        "[MAIN LANGUAGE]\n"
        "COUNT=3\n"
        "LANGUAGE 0=FRENCH\n"
        "LANGUAGE 1=GERMAN\n"
        "LANGUAGE 2=STALE\n");
    TSettings s = SampleSettings();
    s.AntennaLanguage.wLanguageNum = 0;
    WriteConfigData(path_, s);
    EXPECT_EQ(Get(),
              "; comment\n"
              "[Other]\n"
              "x = 1\n"
              "\n"
              "[systeminfo]\n"
              "model =9\n"
              "EXTRA=keep\n"
              "PORT=2\n"
              "BAUD=4\n"
              "MENUTYPE=3\n"
              "FLASHTYPE=5\n"
              "SYSTEMID=4C56010B\n"
              "ANT32=0\n"
              "LANGUAGE=-1\n"
              "\n"
              "[MAIN LANGUAGE]\n"
              "COUNT=2\n"
              "LANGUAGE 0=ENGLISH\n"
              "LANGUAGE 1=GERMAN\n"
              "LANGUAGE 2=STALE\n"
              "[AUDIO LANGUAGE]\n"
              "COUNT=0\n"
              "[SUBTITLE LANGUAGE]\n"
              "COUNT=0\n"
              "[ANTENNA LANGUAGE]\n"
              "COUNT=0\n");
    EXPECT_EQ(Loaded().MenuLanguage.wLanguageNum, 2);
}

TEST_F(SettingsFile, FailedWriteThrowsAndLeavesTheOldFile)
{
    Put("[SYSTEMINFO]\nMODEL=7\n");
    std::string blocked = path_ + "/LV32.cfg";  // its parent is a file
    EXPECT_THROW(WriteConfigData(blocked, SampleSettings()), std::runtime_error);
    EXPECT_EQ(Get(), "[SYSTEMINFO]\nMODEL=7\n");

    fs::create_directory(dir_ / "dir.cfg");
    TSettings s;
    EXPECT_THROW(LoadConfigData((dir_ / "dir.cfg").string(), s), std::runtime_error);
    EXPECT_THROW(WriteConfigData((dir_ / "dir.cfg").string(), s), std::runtime_error);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 2);  // no temp left
}

TEST_F(SettingsFile, WriteKeepsTheFileModeAndCreatesMissingDirectories)
{
    Put("[SYSTEMINFO]\n");
    fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    WriteConfigData(path_, SampleSettings());
    EXPECT_EQ(fs::status(path_).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    std::string nested = (dir_ / "config" / "LumoraV3" / "LV32.cfg").string();
    WriteConfigData(nested, SampleSettings());
    TSettings s;
    EXPECT_TRUE(LoadConfigData(nested, s));
    ExpectSameSettings(s, SampleSettings());
}

TEST_F(SettingsFile, FileLivesBesideTheProgramWhenPossible)
{
    EXPECT_EQ(SettingsFilePath(dir_.string()), path_);
    std::string missingDir = (dir_ / "no-such-dir").string();
    const char* old = std::getenv("XDG_CONFIG_HOME");
    std::string saved = old ? old : "";
    ::setenv("XDG_CONFIG_HOME", "/xdg", 1);
    EXPECT_EQ(SettingsFilePath(missingDir), "/xdg/LumoraV3/LV32.cfg");
    old ? ::setenv("XDG_CONFIG_HOME", saved.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
}

TEST(IniFile, LineEndsFollowTheFileAndNewKeysJoinTheirSection)
{
    TIniFile ini;
    ini.WriteString("A", "k", "v");
    ini.WriteString("B", "k", "w");
    ini.WriteString("a", "K2", "x");
    ini.WriteInteger("b", "K", 7);
    EXPECT_EQ(ini.Text(), "[A]\r\nk=v\r\nK2=x\r\n[B]\r\nk=7\r\n");
    EXPECT_EQ(ini.ReadString("a", "k2", "?"), "x");
    EXPECT_EQ(ini.ReadString("C", "k", "?"), "?");
    EXPECT_EQ(ini.ReadInteger("B", "k", -1), 7);
    ini.WriteString("A", "k", "line\r\nbreak");
    EXPECT_EQ(ini.ReadString("A", "k", ""), "line  break");
    EXPECT_EQ(ini.ReadString("B", "k2", "?"), "?");
}

TEST(HexToInt, ReadsHexadecimalAndWrapsLongTexts)
{
    EXPECT_EQ(HexToInt("AB12345600"), 0x123456AB);
    EXPECT_EQ(HexToInt("ff"), 255);
    EXPECT_EQ(HexToInt("1A"), 26);
    EXPECT_EQ(HexToInt("G"), 16);
    EXPECT_EQ(HexToInt("00000000"), 0);
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
    EXPECT_EQ(name, "unchanged");
    GetModelName(-1, name);
    EXPECT_EQ(name, "unchanged");
    GetModelName(27, name);
    EXPECT_EQ(name, "USER DEFINE");
    GetModelName(9, name);
    EXPECT_EQ(name, "MODEL-10");

    const int menu[] = {3, 3, 2, 3, 3, 2, 3, 3, 4, 4, 3, 3, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0, 5, 0, 3, 3, 6};
    const int flash[] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 4, 1, 0, 0, 0, 2, 0, 0, 5, 5, 3, 0, 0, 0, 1, 1, 6};
    std::set<std::string> ids;
    for (int p = 0; p < 27; ++p) {
        TDefaultSet d = GetDefaultSet(p);
        EXPECT_EQ(d.MenuType, menu[p]) << p;
        EXPECT_EQ(d.FlashType, flash[p]) << p;
        EXPECT_EQ(d.SYSTEMID.size(), 8u);
        EXPECT_EQ(d.SYSTEMID.find_first_not_of("0123456789ABCDEF"), std::string::npos);
        ids.insert(d.SYSTEMID);
    }
    EXPECT_EQ(ids.size(), 27u);
    EXPECT_EQ(GetDefaultSet(27).SYSTEMID, GetDefaultSet(0).SYSTEMID);
    EXPECT_EQ(GetDefaultSet(-4).MenuType, 3);
}
