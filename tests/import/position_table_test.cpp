// The position table: sources.conf text, the user's file and the positions
// of a database's antennas.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "position_table.h"

namespace lumora {
namespace {

TEST(PositionTable, ReadsAndWritesSourcesConfLines)
{
    TPositionTable table;
    table.Set(192, "ASTRA 1");
    table.ReadSourcesConf("# VDR sources\nS19.2E  Astra 1KR/1L\nS0.8W\tThor 5/6/7\r\nC  Cable\nS13E Hot Bird\n"
                          "S200.0E nowhere\nS9.0E\nT Terrestrial\n",
                          true);
    EXPECT_EQ(table.NameOf(192), "ASTRA 1");  // kept: only new positions
    EXPECT_EQ(table.NameOf(-8), "Thor 5/6/7");
    EXPECT_EQ(table.NameOf(130), "Hot Bird");
    EXPECT_EQ(table.PositionOf("  hot bird "), 130);

    TPositionTable again;
    again.ReadSourcesConf(table.SourcesConfText(), false);
    EXPECT_EQ(again.Entries(), table.Entries());
}

TEST(PositionTable, AntennasFindTheirPositionThroughTheirSatelliteName)
{
    TSettings settings;
    settings.AntennaLanguage.wLanguageNum = 2;
    settings.AntennaLanguage.Language[0] = "ASTRA 1";
    settings.AntennaLanguage.Language[1] = " hotbird ";
    auto db = std::make_unique<TChannelDatabase>();
    TAntennaSetting* antennas = db->AntennaList.AntennaInfo.data();
    antennas[0].ucSatelliteId = 0;
    antennas[1].ucSatelliteId = 1;
    antennas[2] = {kUniversalLNB, 0, 0, 2, 0, 0, 0, "28.2E ASTRA 2"};  // "User Define", as an import names it
    antennas[3] = {kUniversalLNB, 0, 0, 2, 0, 0, 0, "THOR"};
    antennas[4] = {kUniversalLNB, 0, 0, 2, 0, 0, 0, "MY DISH"};
    antennas[5] = {kUniversalLNB, 0, 0, 7, 0, 0, 0, "THOR"};  // beyond the list: no satellite

    const TAntennaPositions positions = AntennaPositions(*db, settings, TPositionTable::BuiltIn());
    const std::vector<std::optional<int32_t>> expected = {192, 130, 282, -8, std::nullopt, std::nullopt};
    EXPECT_EQ(std::vector(positions.begin(), positions.begin() + 6), expected);
    EXPECT_EQ(AntennaSatelliteName(antennas[2], settings), "28.2E ASTRA 2");
}

TEST(PositionTable, TheUsersFileReplacesTheBuiltInList)
{
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / ("lv3-pos-" + std::to_string(getpid()));
    ::setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
    EXPECT_EQ(UserPositionTablePath(), (dir / "LumoraV3" / "positions.conf").string());
    EXPECT_EQ(LoadUserPositionTable().NameOf(130), "HOTBIRD");  // no file yet

    TPositionTable mine;
    mine.Set(-300, "HISPASAT 30W");
    ASSERT_TRUE(SaveUserPositionTable(mine).ok());
    EXPECT_EQ(LoadUserPositionTable().Entries(), mine.Entries());
    std::filesystem::remove_all(dir);
    ::unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace lumora
