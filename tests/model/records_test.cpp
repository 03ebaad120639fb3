#include <gtest/gtest.h>

#include <memory>

#include "intparse.h"
#include "records.h"

using namespace lumora;

TEST(Records, InitDatabaseEmptiesTheTablesAndSetsMenuDefaults)
{
    auto db = std::make_unique<TChannelDatabase>();
    db->TSInfo.wTSNum = 7;
    db->FavoriteInfo[1][3].wIndexNum = 5;
    InitDatabase(*db, 4);
    EXPECT_TRUE(db->pFixServiceIndex);
    EXPECT_EQ(db->AntennaList.wAntennaNum, 32);
    EXPECT_EQ(db->AntennaList.AntennaInfo[31].dwLNBFreq, kUniversalLNB);
    EXPECT_EQ(db->TSInfo.wTSNum, 0);
    EXPECT_EQ(db->FavoriteInfo[1][3].wIndexNum, 0);
    TMenuConfigItem expected{};
    expected.nAudioOutput = 1;
    expected.nDisplayFormat = 1;
    expected.nInfoboxTime = 5;
    EXPECT_EQ(db->MenuConfigItem, expected);
    InitDatabase(*db, 6);
    EXPECT_FALSE(db->pFixServiceIndex);
}

TEST(Records, NameTablesAnswerEmptyOutsideTheirRange)
{
    EXPECT_EQ(CodeRateName(3), "5/6");
    EXPECT_EQ(ConstellationName(3), "64-QAM");
    EXPECT_EQ(ConstellationName(0), "");
    EXPECT_EQ(ConstellationName(7), "");
    EXPECT_EQ(PolarizationName(3), "");
    EXPECT_EQ(GenreName(1, 1), "POP");
    EXPECT_EQ(GenreName(0, 1), "MOVIE");
    EXPECT_EQ(GenreName(0, 16), "");
}

TEST(IntegerParsing, PlatformParserAcceptsSignDecimalAndDollarHex)
{
    EXPECT_EQ(StrToInt("123"), 123);
    EXPECT_EQ(StrToInt("-45"), -45);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("$1F"), 31);
    EXPECT_EQ(StrToInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrToInt("$FFFFFFFF"), -1);
    for (const char* bad : {"", " 1", "1 ", "0x10", "12a", "2147483648", "$", "-", "$100000000"}) {
        try {
            StrToInt(bad);
            ADD_FAILURE() << "accepted '" << bad << "'";
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + bad + "' is not a valid integer value");
        }
    }
}

TEST(IntegerParsing, InterchangeRuleAcceptsBlanksAndHexPrefixes)
{
    int32_t v = 0;
    EXPECT_TRUE(ConvertInterchangeNumber("  -12", v));
    EXPECT_EQ(v, -12);
    for (const char* hex : {"$2616", "x2616", "X2616", "0x2616", "0X2616"}) {
        ASSERT_TRUE(ConvertInterchangeNumber(hex, v)) << hex;
        EXPECT_EQ(v, 9750) << hex;
    }
    for (const char* bad : {"", "  ", "12 ", "abc", "4294967295", "0x", "--1"})
        EXPECT_FALSE(ConvertInterchangeNumber(bad, v)) << bad;

    uint32_t u = 0;
    EXPECT_TRUE(ConvertInterchangeUnsigned32("4294966166", u));
    EXPECT_EQ(int32_t(u), -1130);
    EXPECT_TRUE(ConvertInterchangeUnsigned32("-1130", u));
    EXPECT_EQ(int32_t(u), -1130);
    EXPECT_FALSE(ConvertInterchangeUnsigned32("4294967296", u));
}
