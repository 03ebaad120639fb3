// Writing interchange text: exact line forms, name cleaning, substituted menu
// values, the file write, and a full-capacity round trip through the reader.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "interchange.h"

namespace lumora {
namespace {

std::unique_ptr<TChannelDatabase> NewDatabase()
{
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    return db;
}

std::unique_ptr<TChannelDatabase> ReadBack(const std::string& text)
{
    auto db = NewDatabase();
    ReadResult result = ReadInterchangeText(text, *db, [](const std::string& m) { ADD_FAILURE() << m; });
    EXPECT_EQ(result.status, ReadStatus::Complete) << result.error;
    return db;
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return lines;
}

std::string Join(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i)
        line += (i ? "\t" : "") + fields[i];
    return line;
}

TEST(InterchangeWriter, NewDocument)
{
    std::vector<std::string> expected = {"[LUMORA V3 FILE]", "[ANTENNA]"};
    for (int n = 0; n < 32; ++n)
        expected.push_back(std::to_string(n) + "\t4294967295\t0\t0\t0\t0\t0\t0\t");
    for (const char* header : {"[TS]", "[NETWORK]", "[PROVIDER]", "[FAVORITE]", "[SERVICE]", "[MENU]"})
        expected.push_back(header);
    std::vector<std::string> menu(44, "0");
    menu[7] = "1";  // STEREO
    menu[9] = "1";  // center
    menu[11] = "5";  // info box time
    menu[19] = "76";  // substituted user date
    menu[20] = "2";
    menu[21] = "22";
    menu[26] = std::to_string(kDefaultPINCode);
    expected.push_back(Join(menu));
    EXPECT_EQ(SplitLines(WriteInterchange(*NewDatabase())), expected);
}

TEST(InterchangeWriter, RecordLineForms)
{
    auto db = NewDatabase();
    db->TSInfo.wTSNum = 1;
    db->TSInfo.Info[0] = {1, 2, 3, -1, {11778, 27500, 9, 1, 2}, 0};
    db->ServiceInfo.wRadioNum = 1;
    TServiceItem& radio = db->ServiceInfo.pServiceInfo[0];
    radio = {};
    radio.ServiceType = kServiceTypeRadio;
    radio.wServiceId = 5;
    radio.wPmtPID = 0x8000 | 300;
    radio.wAudioPID = radio.wPCRPID = 301;
    radio.ServiceKind = 3;
    radio.bParentLock = true;
    radio.pTSIndex = 0;
    radio.pProviderIndex = -1;
    radio.szServiceName = "  Jazz Wave \x01";
    radio.wServiceNumber = 12;
    for (int list = 3; list >= 0; --list) {
        db->FavoriteInfo[1][list] = {1, {list + 10}};
        db->FavoriteInfo[0][list] = {1, {list}};
    }
    db->MenuConfigItem.nUHFOffset = -4;
    db->MenuConfigItem.nTimeOffset = uint32_t(-930);

    std::vector<std::string> lines = SplitLines(WriteInterchange(*db));
    auto at = [&lines](const char* header) { return std::find(lines.begin(), lines.end(), header) - lines.begin(); };
    EXPECT_EQ(lines[at("[TS]") + 1], "3\t-1\t11778\t27500\t1\t2\t1\t2");
    EXPECT_EQ(lines[at("[SERVICE]") + 1], "A\t5\t33068\t0\t301\t301\t3\tTRUE\tFALSE\tFALSE\t0\t-1\tJazz Wave\t12");
    std::vector<std::string> favorites(lines.begin() + at("[FAVORITE]") + 1, lines.begin() + at("[SERVICE]"));
    EXPECT_EQ(favorites, (std::vector<std::string>{"0\t0\t0", "0\t1\t1", "0\t2\t2", "0\t3\t3", "1\t0\t10", "1\t1\t11",
                                                   "1\t2\t12", "1\t3\t13"}));
    std::string menu = lines.back();
    EXPECT_NE(menu.find("\t4294966366\t"), std::string::npos);  // -930 as unsigned
    EXPECT_NE(menu.find("\t-4\t"), std::string::npos);
}

TEST(InterchangeWriter, NamesNeverCarryLineOrFieldBreaks)
{
    auto db = NewDatabase();
    db->AntennaList.AntennaInfo[0].szLNBName = "L\tN\x1A";
    db->NetworkInfo = {};
    db->NetworkInfo.wNetworkNum = 1;
    db->NetworkInfo.Info[0].szNetworkName = "Net\r\nX";
    db->ProviderInfo.wProviderNum = 1;
    db->ProviderInfo.Info[0].szProviderName = "P\x1A"
                                              "Q";
    db->ServiceInfo.wTVNum = 1;
    db->ServiceInfo.pServiceInfo[0].ServiceType = kServiceTypeTV;
    db->ServiceInfo.pServiceInfo[0].szServiceName = "Tab\there\r";
    db->ServiceInfo.pServiceInfo[0].wServiceNumber = 9;

    auto back = ReadBack(WriteInterchange(*db));
    EXPECT_EQ(back->AntennaList.AntennaInfo[0].szLNBName, "L N ");
    EXPECT_EQ(back->NetworkInfo.Info[0].szNetworkName, "Net  X");
    EXPECT_EQ(back->ProviderInfo.Info[0].szProviderName, "P Q");
    EXPECT_EQ(back->ServiceInfo.pServiceInfo[0].szServiceName, "Tab here");
    EXPECT_EQ(back->ServiceInfo.pServiceInfo[0].wServiceNumber, 9);
    EXPECT_EQ(back->ServiceInfo.Count(), 1);
}

TEST(InterchangeWriter, UserDateAndPinAreSubstitutedUnlessAskedToKeepThem)
{
    auto db = NewDatabase();
    db->MenuConfigItem.nUserYear = 99;
    db->MenuConfigItem.nUserMonth = 12;
    db->MenuConfigItem.nUserDay = 31;
    db->MenuConfigItem.nPINCode = 4321;
    const TMenuConfigItem substituted = ReadBack(WriteInterchange(*db))->MenuConfigItem;
    EXPECT_EQ(substituted.nUserYear, 76);
    EXPECT_EQ(substituted.nUserMonth, 2);
    EXPECT_EQ(substituted.nUserDay, 22);
    EXPECT_EQ(substituted.nPINCode, kDefaultPINCode);
    auto kept = ReadBack(WriteInterchange(*db, WriteOptions{.substituteUserDateAndPin = false}));
    EXPECT_EQ(kept->MenuConfigItem, db->MenuConfigItem);
}

// Every table at capacity, every number field filled with pseudo-random bits
// (so unsigned values above 2147483647 and negative indices occur).
class FullDatabaseRoundTrip : public ::testing::Test {
protected:
    uint32_t Next() { return seed_ = seed_ * 1664525u + 1013904223u; }

    static std::string ServiceName(int i)
    {
        std::string name = "Svc " + std::to_string(i);
        if (i % 3 == 0)
            name += "\x87";
        if (i % 5 == 0)
            name += std::string(30, 'x');
        return name;
    }

    void Fill(TChannelDatabase& db)
    {
        for (int n = 0; n < kAntennaCapacity; ++n)
            db.AntennaList.AntennaInfo[n] = {
                Next(),          uint16_t(Next()), uint16_t(Next()), uint8_t(Next()),
                uint8_t(Next()), uint8_t(Next()),  uint8_t(Next()),  "LNB \x86" + std::to_string(n)};
        db.TSInfo.wTSNum = kTSCapacity;
        for (TTSItem& ts : db.TSInfo.Info)
            ts = {uint16_t(Next()),
                  uint16_t(Next()),
                  uint16_t(Next() % 32),
                  int32_t(Next() % 501) - 1,
                  {Next(), Next(), uint16_t(Next()), uint8_t(Next()), uint8_t(Next())},
                  Next()};
        db.NetworkInfo.wNetworkNum = kNetworkCapacity;
        for (int i = 0; i < kNetworkCapacity; ++i)
            db.NetworkInfo.Info[i] = {uint16_t(Next()), 1, "Network \xE9 " + std::to_string(i)};
        db.ProviderInfo.wProviderNum = kProviderCapacity;
        for (int i = 0; i < kProviderCapacity; ++i)
            db.ProviderInfo.Info[i] = {7, "Provider " + std::to_string(i) + " \xFF"};
        for (auto& group : db.FavoriteInfo)
            for (TFavoriteItem& list : group) {
                list.wIndexNum = kFavoriteCapacity;
                for (int32_t& value : list.Index)
                    value = int32_t(Next());
            }
        for (int i = 0; i < kServiceCapacity; ++i) {
            TServiceItem& s = db.ServiceInfo.pServiceInfo[i];
            s = {uint16_t(Next()),
                 uint16_t(Next()),
                 uint16_t(Next()),
                 uint16_t(Next()),
                 uint16_t(Next()),
                 uint16_t(Next()),
                 uint16_t(Next()),
                 uint8_t(i % 7 == 0 ? kServiceTypeRadio : kServiceTypeTV),
                 uint8_t(Next() % 16),
                 bool(Next() & 1),
                 true,
                 bool(Next() & 1),
                 bool(Next() & 1),
                 1,
                 2,
                 uint16_t(Next()),
                 int32_t(Next() % 1001) - 1,
                 int32_t(Next() % 501) - 1,
                 ServiceName(i)};
            ++(s.ServiceType == kServiceTypeTV ? db.ServiceInfo.wTVNum : db.ServiceInfo.wRadioNum);
        }
        TMenuConfigItem& m = db.MenuConfigItem;
        m = {uint16_t(Next()), uint16_t(Next()), uint8_t(Next()), uint8_t(Next()),
             uint8_t(Next()),  uint8_t(Next()),  Next(),          Next()};
        m.nUHFOffset = -4;
        m.nAutoScanMode = Next();
        m.nFrequency = Next();
        m.nSymbolRate = Next();
        m.nAddSymbolRate = {Next(), 300, 255, 0};
        m.nUpgFrequency = Next();
        m.wFakeServiceId = uint16_t(Next());
        m.nLNBPower = uint8_t(Next());
    }

    uint32_t seed_ = 12345;
};

TEST_F(FullDatabaseRoundTrip, ReaderReproducesTheTablesExceptUncarriedFields)
{
    auto db = NewDatabase();
    Fill(*db);
    auto back = ReadBack(WriteInterchange(*db));

    for (int n = 0; n < kAntennaCapacity; ++n) {
        const TAntennaSetting &a = db->AntennaList.AntennaInfo[n], &b = back->AntennaList.AntennaInfo[n];
        EXPECT_EQ(b.dwLNBFreq, a.dwLNBFreq) << n;
        EXPECT_EQ(std::tie(b.wPosition, b.wMovement, b.ucSatelliteId, b.ucOtherSetting, b.ucMotorControl, b.ucDiseqcCmd,
                           b.szLNBName),
                  std::tie(a.wPosition, a.wMovement, a.ucSatelliteId, a.ucOtherSetting, a.ucMotorControl, a.ucDiseqcCmd,
                           a.szLNBName))
            << n;
    }
    ASSERT_EQ(back->TSInfo.wTSNum, kTSCapacity);
    for (int i = 0; i < kTSCapacity; ++i) {
        const TTSItem &a = db->TSInfo.Info[i], &b = back->TSInfo.Info[i];
        EXPECT_EQ(std::tie(b.wOrgNetworkId, b.wTsId, b.wAntennaIndex, b.pNetworkIndex, b.SATTSInfo.dwFrequency,
                           b.SATTSInfo.dwSymbolRate, b.SATTSInfo.ucPolarization, b.SATTSInfo.ucFEC),
                  std::tie(a.wOrgNetworkId, a.wTsId, a.wAntennaIndex, a.pNetworkIndex, a.SATTSInfo.dwFrequency,
                           a.SATTSInfo.dwSymbolRate, a.SATTSInfo.ucPolarization, a.SATTSInfo.ucFEC))
            << i;
        EXPECT_EQ(b.SATTSInfo.wPosition + b.dwSmaTVDiff, 0u) << i;
    }
    ASSERT_EQ(back->NetworkInfo.wNetworkNum, kNetworkCapacity);
    ASSERT_EQ(back->ProviderInfo.wProviderNum, kProviderCapacity);
    for (int i = 0; i < kNetworkCapacity; ++i) {
        EXPECT_EQ(back->NetworkInfo.Info[i].szNetworkName, db->NetworkInfo.Info[i].szNetworkName);
        EXPECT_EQ(back->NetworkInfo.Info[i].wNetworkId + back->NetworkInfo.Info[i].reserved, 0);
        EXPECT_EQ(back->ProviderInfo.Info[i].szProviderName, db->ProviderInfo.Info[i].szProviderName);
        EXPECT_EQ(back->ProviderInfo.Info[i].nilHeader, 0);
    }
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l) {
            EXPECT_EQ(back->FavoriteInfo[g][l].wIndexNum, kFavoriteCapacity);
            EXPECT_EQ(back->FavoriteInfo[g][l].Index, db->FavoriteInfo[g][l].Index);
        }
    ASSERT_EQ(back->ServiceInfo.wTVNum, db->ServiceInfo.wTVNum);
    ASSERT_EQ(back->ServiceInfo.wRadioNum, db->ServiceInfo.wRadioNum);
    for (int i = 0; i < kServiceCapacity; ++i) {
        const TServiceItem &a = db->ServiceInfo.pServiceInfo[i], &b = back->ServiceInfo.pServiceInfo[i];
        EXPECT_EQ(std::tie(b.wServiceId, b.wPmtPID, b.wVideoPID, b.wAudioPID, b.wPCRPID, b.ServiceType, b.ServiceKind,
                           b.bParentLock, b.bSkipService, b.bScrambled, b.wServiceNumber, b.pTSIndex, b.pProviderIndex),
                  std::tie(a.wServiceId, a.wPmtPID, a.wVideoPID, a.wAudioPID, a.wPCRPID, a.ServiceType, a.ServiceKind,
                           a.bParentLock, a.bSkipService, a.bScrambled, a.wServiceNumber, a.pTSIndex, a.pProviderIndex))
            << i;
        EXPECT_FALSE(b.bExistService);
        EXPECT_EQ(b.wSubtitlePID + b.wTeletextPID + b.ucSubtitleIndex + b.ucTeletextIndex, 0) << i;
        // Names come back cut to 30 characters, or with a blank after a final byte above 127.
        std::string expectedName = a.szServiceName.substr(0, kServiceNameLength);
        if (i % 3 == 0 && i % 5 != 0)
            expectedName += ' ';
        EXPECT_EQ(b.szServiceName, expectedName) << i;
    }
    TMenuConfigItem expectedMenu = db->MenuConfigItem;
    expectedMenu.wMenuDataVersion = expectedMenu.crc16 = 0;
    expectedMenu.nUpgFrequency = 0;
    expectedMenu.nUserYear = 76, expectedMenu.nUserMonth = 2, expectedMenu.nUserDay = 22;
    expectedMenu.nPINCode = kDefaultPINCode;
    for (uint32_t& rate : expectedMenu.nAddSymbolRate)
        rate &= 0xFF;
    EXPECT_EQ(back->MenuConfigItem, expectedMenu);
}

TEST_F(FullDatabaseRoundTrip, SecondRoundTripWritesTheSameText)
{
    auto db = NewDatabase();
    Fill(*db);
    std::string once = WriteInterchange(*ReadBack(WriteInterchange(*db)));
    EXPECT_EQ(WriteInterchange(*ReadBack(once)), once);
}

class InterchangeFileWrite : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() /
               ("ix_writer_" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    static std::string Contents(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path dir_;
};

TEST_F(InterchangeFileWrite, ReplacesTheFileWholeAndLeavesNothingElse)
{
    auto db = NewDatabase();
    db->NetworkInfo.wNetworkNum = 1;
    db->NetworkInfo.Info[0].szNetworkName = "N";
    std::filesystem::path path = dir_ / "tmp.tmp";
    std::ofstream(path) << std::string(200000, 'z');
    Status status;
    status = MakeDnfRawFile(path.string(), *db);
    ASSERT_TRUE(status.ok()) << status.message();
    EXPECT_EQ(Contents(path), WriteInterchange(*db));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST_F(InterchangeFileWrite, FailureIsReportedWithPathAndReason)
{
    std::string path = (dir_ / "no such dir" / "tmp.tmp").string();
    Status status;
    status = MakeDnfRawFile(path, *NewDatabase());
    EXPECT_FALSE(status.ok());
    EXPECT_EQ(status.message(), path + ": No such file or directory");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 0);
}

}  // namespace
}  // namespace lumora
