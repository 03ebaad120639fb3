// Reading interchange text: fields and numbers, names, section recognition,
// capacities with their messages, line ends, and files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "interchange.h"

namespace lumora {
namespace {

using namespace std::string_literals;

struct Reading {
    std::unique_ptr<TChannelDatabase> db = std::make_unique<TChannelDatabase>();
    std::vector<std::string> messages;
    ReadResult result;
};

// Reads `text` into a freshly initialised database; lines are ended by CR LF.
Reading Read(const std::string& text)
{
    Reading r;
    InitDatabase(*r.db, 0);
    r.result = ReadInterchangeText(text, *r.db, [&r](const std::string& m) { r.messages.push_back(m); });
    return r;
}

std::string Lines(std::initializer_list<std::string> lines)
{
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::string Repeat(const std::string& line, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += line + "\r\n";
    return text;
}

TEST(InterchangeFields, GetItemFromStringTakesTheFirstFieldAndLeavesTheRest)
{
    std::string text = "a\t\tb";
    EXPECT_EQ(GetItemFromString(text), "a");
    EXPECT_EQ(GetItemFromString(text), "");
    EXPECT_EQ(text, "b");
    EXPECT_EQ(GetItemFromString(text), "b");
    EXPECT_EQ(text, "");
    EXPECT_EQ(GetItemFromString(text), "");
}

TEST(InterchangeFields, NumberRule)
{
    const std::pair<const char*, int32_t> cases[] = {
        {"  +12", 12},     {"-1", -1},
        {"$2616", 9750},   {"x1a", 26},
        {"X1A", 26},       {"0x10", 16},
        {"-$10", -16},     {"", 0},
        {"12a", 0},        {"1 2", 0},
        {" ", 0},          {"2147483647", 2147483647},
        {"2147483648", 0}, {"-2147483648", INT32_MIN},
        {"12 ", 0},        {"0xFFFFFFFF", -1},
    };
    for (const auto& [field, expected] : cases) {
        std::string text = std::string(field) + "\trest";
        EXPECT_EQ(GetItemAndConvert(text), expected) << "field '" << field << "'";
        EXPECT_EQ(text, "rest");
    }
}

TEST(InterchangeFields, UnsignedFieldsAcceptTheWritersUnsignedDecimal)
{
    Reading r = Read(Lines({"[TS]", "0\t-1\t4294967295\t2147483648", "0\t0\t4294967296\t-1", "[MENU]",
                            "0\t0\t0\t0\t4294967196\t3000000000"}));
    EXPECT_EQ(r.db->TSInfo.Info[0].SATTSInfo.dwFrequency, 0xFFFFFFFFu);
    EXPECT_EQ(r.db->TSInfo.Info[0].SATTSInfo.dwSymbolRate, 0x80000000u);
    EXPECT_EQ(r.db->TSInfo.Info[0].pNetworkIndex, -1);
    EXPECT_EQ(r.db->TSInfo.Info[1].SATTSInfo.dwFrequency, 0u);  // beyond 32 bits: does not convert
    EXPECT_EQ(r.db->TSInfo.Info[1].SATTSInfo.dwSymbolRate, 0xFFFFFFFFu);
    EXPECT_EQ(int32_t(r.db->MenuConfigItem.nTimeOffset), -100);
    EXPECT_EQ(r.db->MenuConfigItem.nTimerIndex, 3000000000u);
}

TEST(InterchangeAntenna, FieldsAndLNBFrequencyRule)
{
    Reading r = Read(Lines({"[ANTENNA]", "0\t9750\t1\t2\t3\t66\t5\t6\tMy Sat", "1\t$2616", "2\t4294967295",
                            "3\tnone\t0", "4\t10600\t0\t0\t0\t0\t0\t0\tA\0B"s}));
    ASSERT_EQ(r.result.status, ReadStatus::Complete);
    const auto& a = r.db->AntennaList.AntennaInfo;
    EXPECT_EQ(a[0].dwLNBFreq, 9750u);
    EXPECT_EQ(a[0].wPosition, 1);
    EXPECT_EQ(a[0].wMovement, 2);
    EXPECT_EQ(a[0].ucSatelliteId, 3);
    EXPECT_EQ(a[0].ucOtherSetting, 66);
    EXPECT_EQ(a[0].ucMotorControl, 5);
    EXPECT_EQ(a[0].ucDiseqcCmd, 6);
    EXPECT_EQ(a[0].szLNBName, "My Sat");
    EXPECT_EQ(a[1].dwLNBFreq, 9750u);
    EXPECT_EQ(a[2].dwLNBFreq, kUniversalLNB);
    EXPECT_EQ(a[3].dwLNBFreq, kUniversalLNB);
    EXPECT_EQ(a[4].szLNBName, "AB");
    EXPECT_EQ(r.db->AntennaList.wAntennaNum, 32);
}

TEST(InterchangeAntenna, EntryNumbersOutsideTheTableAreIgnored)
{
    Reading r =
        Read(Lines({"[ANTENNA]", "32\t9750\t1\t1\t1\t1\t1\t1\tX", "-1\t9750\t1\t1\t1\t1\t1\t1\tX", "31\t10600"}));
    EXPECT_EQ(r.result.status, ReadStatus::Complete);
    for (int n = 0; n < 31; ++n)
        EXPECT_EQ(r.db->AntennaList.AntennaInfo[n].dwLNBFreq, kUniversalLNB) << n;
    EXPECT_EQ(r.db->AntennaList.AntennaInfo[31].dwLNBFreq, 10600u);
    EXPECT_TRUE(r.messages.empty());
}

TEST(InterchangeAntenna, BadEntryNumberStopsTheReadingKeepingWhatWasRead)
{
    Reading r = Read(Lines({"[NETWORK]", "first", "[ANTENNA]", "0\t9750", "[TS] ", "1\t10600", "[NETWORK]", "second"}));
    EXPECT_EQ(r.result.status, ReadStatus::Stopped);
    EXPECT_EQ(r.result.error, "'[TS] ' is not a valid integer value");
    EXPECT_EQ(r.db->NetworkInfo.wNetworkNum, 1);
    EXPECT_EQ(r.db->AntennaList.AntennaInfo[0].dwLNBFreq, 9750u);
    EXPECT_EQ(r.db->AntennaList.AntennaInfo[1].dwLNBFreq, kUniversalLNB);

    Reading empty = Read(Lines({"[ANTENNA]", ""}));
    EXPECT_EQ(empty.result.status, ReadStatus::Stopped);
    EXPECT_EQ(empty.result.error, "'' is not a valid integer value");
}

TEST(InterchangeService, FieldsTypeAndBooleans)
{
    Reading r = Read(Lines({"[SERVICE]", "V\t101\t33024\t512\t513\t514\t2\tTRUE\tFALSE\tTRUE\t3\t-1\tNews\t7", "v\t1",
                            "A\t2\t0\t0\t0\t0\t0\ttrue\tTRUE\tFALSE"}));
    const TServiceInfo& s = r.db->ServiceInfo;
    EXPECT_EQ(s.wTVNum, 1);
    EXPECT_EQ(s.wRadioNum, 2);
    const TServiceItem& tv = s.pServiceInfo[0];
    EXPECT_EQ(tv.ServiceType, kServiceTypeTV);
    EXPECT_EQ(tv.wServiceId, 101);
    EXPECT_EQ(tv.wPmtPID, 33024);  // bit 15 kept
    EXPECT_EQ(tv.wVideoPID, 512);
    EXPECT_EQ(tv.wAudioPID, 513);
    EXPECT_EQ(tv.wPCRPID, 514);
    EXPECT_EQ(tv.ServiceKind, 2);
    EXPECT_TRUE(tv.bParentLock);
    EXPECT_FALSE(tv.bSkipService);
    EXPECT_TRUE(tv.bScrambled);
    EXPECT_EQ(tv.pTSIndex, 3);
    EXPECT_EQ(tv.pProviderIndex, -1);
    EXPECT_EQ(tv.szServiceName, "News");
    EXPECT_EQ(tv.wServiceNumber, 7);
    EXPECT_EQ(s.pServiceInfo[1].ServiceType, kServiceTypeRadio);  // lower-case v
    EXPECT_FALSE(s.pServiceInfo[2].bParentLock);  // only "TRUE" is true
    EXPECT_TRUE(s.pServiceInfo[2].bSkipService);
}

std::string ServiceNameRead(const std::string& field)
{
    Reading r = Read(Lines({"[SERVICE]", "V\t1\t0\t0\t0\t0\t0\tFALSE\tFALSE\tFALSE\t0\t0\t" + field + "\t0"}));
    return r.db->ServiceInfo.pServiceInfo[0].szServiceName;
}

TEST(InterchangeService, NameRule)
{
    EXPECT_EQ(ServiceNameRead(std::string(40, 'N')), std::string(30, 'N'));
    EXPECT_EQ(ServiceNameRead("  ABC  "), "ABC");
    EXPECT_EQ(ServiceNameRead("\x01\x1F"
                              "ABC\x7F"),
              "ABC\x7F");
    EXPECT_EQ(ServiceNameRead("\x86News\x87"), "\x86News\x87 ");
    EXPECT_EQ(ServiceNameRead(std::string(29, 'N') + "\x87"), std::string(29, 'N') + "\x87");
    // The cut comes before the trim: blanks at 31.. do not lengthen the name.
    EXPECT_EQ(ServiceNameRead(std::string(28, 'N') + "   XYZ"), std::string(28, 'N'));
    EXPECT_EQ(ServiceNameRead("   "), "");
}

TEST(InterchangeSections, HeadersMatchWholeLinesExactly)
{
    Reading r = Read(Lines({"ignored before any section", "[LUMORA V3 FILE]", "also ignored", "[NETWORK]", "[ts]",
                            "[TS] ", " [TS]", "", "[PROVIDER]", "P1", "[NETWORK]", "again"}));
    ASSERT_EQ(r.db->NetworkInfo.wNetworkNum, 5);
    EXPECT_EQ(r.db->NetworkInfo.Info[0].szNetworkName, "[ts]");
    EXPECT_EQ(r.db->NetworkInfo.Info[1].szNetworkName, "[TS] ");
    EXPECT_EQ(r.db->NetworkInfo.Info[3].szNetworkName, "");
    EXPECT_EQ(r.db->NetworkInfo.Info[4].szNetworkName, "again");
    EXPECT_EQ(r.db->ProviderInfo.wProviderNum, 1);
    EXPECT_EQ(r.db->TSInfo.wTSNum, 0);
}

TEST(InterchangeSections, FileHeaderLineEndsTheCurrentSection)
{
    // A second file appended to the first: the lines between its file header
    // and its first section header are not records of the section before.
    Reading r = Read(Lines({"[NETWORK]", "N1", "[LUMORA V3 FILE]", "stray", "", "[PROVIDER]", "P1"}));
    ASSERT_EQ(r.db->NetworkInfo.wNetworkNum, 1);
    EXPECT_EQ(r.db->NetworkInfo.Info[0].szNetworkName, "N1");
    EXPECT_EQ(r.db->ProviderInfo.wProviderNum, 1);
}

TEST(InterchangeSections, EmptyFileAndEmptySectionsGiveAnInitialisedDocument)
{
    Reading r = Read(Lines(
        {"[LUMORA V3 FILE]", "[ANTENNA]", "[TS]", "[NETWORK]", "[PROVIDER]", "[FAVORITE]", "[SERVICE]", "[MENU]"}));
    EXPECT_EQ(r.result.status, ReadStatus::Complete);
    EXPECT_EQ(r.db->TSInfo.wTSNum + r.db->NetworkInfo.wNetworkNum + r.db->ProviderInfo.wProviderNum, 0);
    EXPECT_EQ(r.db->ServiceInfo.Count(), 0);
    EXPECT_EQ(r.db->MenuConfigItem.nInfoboxTime, 5);
}

TEST(InterchangeSections, EmptyRecordLinesAddZeroRecords)
{
    Reading r = Read(Lines({"[TS]", "", "[SERVICE]", "", "[MENU]", ""}));
    EXPECT_EQ(r.db->TSInfo.wTSNum, 1);
    EXPECT_EQ(r.db->TSInfo.Info[0].pNetworkIndex, 0);
    EXPECT_EQ(r.db->ServiceInfo.wRadioNum, 1);
    EXPECT_EQ(r.db->ServiceInfo.pServiceInfo[0].pProviderIndex, 0);
    EXPECT_EQ(r.db->MenuConfigItem, TMenuConfigItem{});
}

TEST(InterchangeMenu, FieldOrderSignedOffsetAndLowByteOfAddedSymbolRates)
{
    std::string line;
    for (int field = 1; field <= 44; ++field)
        line += (field > 1 ? "\t" : "") + std::to_string(field);
    Reading r = Read(Lines({"[MENU]", line}));
    const TMenuConfigItem& m = r.db->MenuConfigItem;
    EXPECT_EQ(m.nMenuLang, 1);
    EXPECT_EQ(m.nTimeOffset, 5u);
    EXPECT_EQ(m.nUserYear, 20);
    EXPECT_EQ(m.nUHFOffset, 25);
    EXPECT_EQ(m.nPINCode, 27);
    EXPECT_EQ(m.nAddSymbolRate[0], 31u);
    EXPECT_EQ(m.nAddSymbolRate[3], 34u);
    EXPECT_EQ(m.nLNBPower, 40);
    EXPECT_EQ(m.wFakeServiceId, 44);

    Reading wide = Read(Lines({"[MENU]", std::string(24, '\t') + "-3" + std::string(6, '\t') + "300\t4294967295"}));
    EXPECT_EQ(wide.db->MenuConfigItem.nUHFOffset, -3);
    EXPECT_EQ(wide.db->MenuConfigItem.nAddSymbolRate[0], 44u);
    EXPECT_EQ(wide.db->MenuConfigItem.nAddSymbolRate[1], 255u);
}

TEST(InterchangeCapacity, FullStreamTableShowsOneMessageAndReadingGoesOn)
{
    Reading r = Read("[TS]\r\n" + Repeat("0\t0\t11000", kTSCapacity + 5) + "[NETWORK]\r\nafter\r\n");
    EXPECT_EQ(r.result.status, ReadStatus::Complete);
    EXPECT_EQ(r.db->TSInfo.wTSNum, kTSCapacity);
    EXPECT_EQ(r.messages, std::vector<std::string>{"The size of TS data is over. some data is excluded!"});
    EXPECT_EQ(r.db->NetworkInfo.wNetworkNum, 1);
}

TEST(InterchangeCapacity, EachTableHasItsOwnCodeAndEqualCodesInARowShowOnce)
{
    std::string text = "[NETWORK]\r\n" + Repeat("n", kNetworkCapacity + 2) + "[PROVIDER]\r\n" +
                       Repeat("p", kProviderCapacity + 2) + "[NETWORK]\r\nn\r\n[FAVORITE]\r\n" +
                       Repeat("1\t2\t7", kFavoriteCapacity + 1) + "[NETWORK]\r\nn\r\n";
    Reading r = Read(text);
    EXPECT_EQ(r.messages, (std::vector<std::string>{ResultCodeMessage(kNetworkFull), ResultCodeMessage(kProviderFull),
                                                    ResultCodeMessage(kNetworkFull), ResultCodeMessage(kFavoriteFull),
                                                    ResultCodeMessage(kNetworkFull)}));
    EXPECT_EQ(r.db->FavoriteInfo[1][2].wIndexNum, kFavoriteCapacity);
    EXPECT_EQ(r.db->FavoriteInfo[1][2].Index[0], 7);
    EXPECT_EQ(r.db->FavoriteInfo[0][2].wIndexNum, 0);
}

TEST(InterchangeCapacity, ServiceTableCountsBothTypesTogether)
{
    std::string line = "\t1\t0\t0\t0\t0\t0\tFALSE\tFALSE\tFALSE\t0\t0\tS\t0";
    Reading r = Read("[SERVICE]\r\n" + Repeat("V" + line, 3990) + Repeat("A" + line, 10) + "A" + line + "\r\nV" + line +
                     "\r\n");
    EXPECT_EQ(r.db->ServiceInfo.wTVNum, 3990);
    EXPECT_EQ(r.db->ServiceInfo.wRadioNum, 10);
    EXPECT_EQ(r.messages, std::vector<std::string>{"The size of service list is over. some data is excluded!"});
}

TEST(InterchangeCapacity, FavoriteLinesNamingNoListAreIgnored)
{
    Reading r = Read(Lines({"[FAVORITE]", "2\t0\t1", "-1\t0\t1", "0\t4\t1", "0\t-1\t1", "0\t3\t9"}));
    int total = 0;
    for (const auto& group : r.db->FavoriteInfo)
        for (const auto& list : group)
            total += list.wIndexNum;
    EXPECT_EQ(total, 1);
    EXPECT_EQ(r.db->FavoriteInfo[0][3].Index[0], 9);
    EXPECT_TRUE(r.messages.empty());
}

TEST(InterchangeLineEnds, CarriageReturnEndsALineAndLoneLineFeedIsOrdinary)
{
    Reading lf = Read("[NETWORK]\nA\nB\n");
    EXPECT_EQ(lf.db->NetworkInfo.wNetworkNum, 0);  // one line, matching no header

    Reading mixed = Read("[NETWORK]\rA\r\n\nB\rC\r\r\n");
    ASSERT_EQ(mixed.db->NetworkInfo.wNetworkNum, 4);
    EXPECT_EQ(mixed.db->NetworkInfo.Info[0].szNetworkName, "A");
    EXPECT_EQ(mixed.db->NetworkInfo.Info[1].szNetworkName, "\nB");
    EXPECT_EQ(mixed.db->NetworkInfo.Info[2].szNetworkName, "C");
    EXPECT_EQ(mixed.db->NetworkInfo.Info[3].szNetworkName, "");

    Reading last = Read("[NETWORK]\r\nno line end");
    ASSERT_EQ(last.db->NetworkInfo.wNetworkNum, 1);
    EXPECT_EQ(last.db->NetworkInfo.Info[0].szNetworkName, "no line end");
}

TEST(InterchangeLineEnds, EndOfFileMarkEndsTheInput)
{
    Reading r = Read("[NETWORK]\r\nA\x1A"
                     "B\r\nC\r\n");
    ASSERT_EQ(r.db->NetworkInfo.wNetworkNum, 1);
    EXPECT_EQ(r.db->NetworkInfo.Info[0].szNetworkName, "A");

    Reading high = Read("[PROVIDER]\r\n\x80\xFF\x86x\x87\r\n");
    EXPECT_EQ(high.db->ProviderInfo.Info[0].szProviderName, "\x80\xFF\x86x\x87");
}

// Arbitrary bytes, with headers mixed in so every section sees them: the
// reader must stay inside its tables whatever the input.
TEST(InterchangeRobustness, ArbitraryInputStaysInsideTheTables)
{
    const char* pieces[] = {"[ANTENNA]",   "[TS]", "[NETWORK]", "[PROVIDER]", "[FAVORITE]", "[SERVICE]", "[MENU]",
                            "\t",          "\r",   "\n",        "\x1A",       "-1",         "$FFFFFFFF", "4294967295",
                            "99999999999", "V",    "TRUE",      "31",         "32",         "\x87",      "  "};
    uint32_t seed = 7;
    for (int round = 0; round < 200; ++round) {
        std::string text;
        for (int i = 0; i < 400; ++i) {
            seed = seed * 1103515245u + 12345u;
            if (seed % 3 == 0)
                text += char(seed >> 16);
            else
                text += pieces[(seed >> 8) % std::size(pieces)];
        }
        Reading r = Read(text);
        EXPECT_EQ(r.db->AntennaList.wAntennaNum, 32);
        EXPECT_LE(r.db->ServiceInfo.Count(), kServiceCapacity);
    }
    // Tables kept full across the whole input.
    Reading full = Read("[FAVORITE]\r\n" + Repeat("0\t0\t1", 5000) + "[SERVICE]\r\n" + Repeat("V", 5000));
    EXPECT_EQ(full.db->FavoriteInfo[0][0].wIndexNum, kFavoriteCapacity);
    EXPECT_EQ(full.db->ServiceInfo.Count(), kServiceCapacity);
}

class InterchangeFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir_ = std::filesystem::temp_directory_path() /
               ("ix_reader_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
        db_ = std::make_unique<TChannelDatabase>();
        InitDatabase(*db_, 0);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string Write(const std::string& name, const std::string& text)
    {
        std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::filesystem::path dir_;
    std::unique_ptr<TChannelDatabase> db_;
};

TEST_F(InterchangeFiles, ReadingAFileKeepsItAndTheExchangeReadDeletesIt)
{
    std::string path = Write("tmp.tmp", Lines({"[NETWORK]", "N"}));
    EXPECT_EQ(ReadInterchangeFile(path, *db_, nullptr).status, ReadStatus::Complete);
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_EQ(ParseAndDeleteExchangeFile(path, *db_, nullptr).status, ReadStatus::Complete);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(db_->NetworkInfo.wNetworkNum, 2);
}

TEST_F(InterchangeFiles, ExchangeFileIsDeletedAlsoWhenReadingStopped)
{
    std::string path = Write("tmp.tmp", Lines({"[ANTENNA]", "bad"}));
    ReadResult result = ParseAndDeleteExchangeFile(path, *db_, nullptr);
    EXPECT_EQ(result.status, ReadStatus::Stopped);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(InterchangeFiles, MissingFileOrDirectoryReportsPathAndReason)
{
    std::string missing = (dir_ / "missing.tmp").string();
    ReadResult result = ParseAndDeleteExchangeFile(missing, *db_, nullptr);
    EXPECT_EQ(result.status, ReadStatus::OpenFailed);
    EXPECT_EQ(result.error, missing + ": No such file or directory");
    ReadResult directory = ReadInterchangeFile(dir_.string(), *db_, nullptr);
    EXPECT_EQ(directory.status, ReadStatus::OpenFailed);
    EXPECT_EQ(directory.error, dir_.string() + ": Is a directory");
    EXPECT_TRUE(std::filesystem::exists(dir_));
}

}  // namespace
}  // namespace lumora
