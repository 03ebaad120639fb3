// The raw receiver image: layout, round trips and damaged images.
#include <gtest/gtest.h>

#include <random>

#include "crc32.h"
#include "interchange.h"
#include "raw_image.h"
#include "test_support.h"

namespace lumora::conv {
namespace {

constexpr WriteOptions kKeep{.substituteUserDateAndPin = false};
constexpr RawImageInfo kAnt32{3, 4, 1};
constexpr RawImageInfo kAnt16{2, 0, 0};

// The image of a database as it comes from interchange text.
Bytes ImageOf(const TChannelDatabase& db, const RawImageInfo& info)
{
    return EncodeRawImage(*test::ReadText(test::CanonicalText(db)), info);
}

std::unique_ptr<TChannelDatabase> Decode(const Bytes& image, const RawImageInfo& info)
{
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, info.flashType);
    std::string reason;
    EXPECT_TRUE(DecodeRawImage(image, info, *db, reason)) << reason;
    return db;
}

std::string Refusal(const Bytes& image, const RawImageInfo& info = kAnt32)
{
    auto db = std::make_unique<TChannelDatabase>();
    std::string reason;
    EXPECT_FALSE(DecodeRawImage(image, info, *db, reason));
    return reason;
}

void Reseal(Bytes& image)
{
    PutU32At(image, kRawCrcOffset, 0);
    PutU32At(image, kRawCrcOffset, Crc32(image.data(), image.size()));
}

TEST(RawLayout, TablesFitTheImageWithoutOverlap)
{
    std::size_t ends[][2] = {
        {kRawMenuOffset, kRawMenuOffset + 256},
        {kRawAntennaOffset, kRawAntennaOffset + 32 * kRawAntennaRecord},
        {kRawFavoriteOffset, kRawFavoriteOffset + 8 * kFavoriteCapacity * 4},
        {kRawTSOffset, kRawTSOffset + kTSCapacity * kRawTSRecord},
        {kRawNetworkOffset, kRawNetworkOffset + kNetworkCapacity * kRawNameRecord},
        {kRawProviderOffset, kRawProviderOffset + kProviderCapacity * kRawNameRecord},
        {kRawServiceOffset, kRawServiceOffset + kServiceCapacity * kRawServiceRecord},
    };
    for (std::size_t i = 1; i < std::size(ends); ++i)
        EXPECT_LE(ends[i - 1][1], ends[i][0]) << "table " << i;
    EXPECT_LE(ends[std::size(ends) - 1][1], kRawImageSize);
    EXPECT_EQ(kRawImageSize, 0x62000u);
}

TEST(RawLayout, HeaderNamesTheReceiver)
{
    Bytes image = ImageOf(*test::SmallDatabase(), kAnt32);
    ASSERT_EQ(image.size(), kRawImageSize);
    EXPECT_TRUE(std::equal(kRawMagic.begin(), kRawMagic.end(), image.begin()));
    EXPECT_EQ(image[10], 3);  // menu type
    EXPECT_EQ(image[11], 4);  // flash type
    EXPECT_EQ(image[12], 32);  // antenna slots
    EXPECT_EQ(ImageOf(*test::SmallDatabase(), kAnt16)[12], 16);
}

class RawRoundTrip : public ::testing::TestWithParam<RawImageInfo> {};

TEST_P(RawRoundTrip, ImageToTextToImageIsExact)
{
    RawImageInfo info = GetParam();
    Bytes image = ImageOf(*test::FullDatabase(5), info);
    std::string text = WriteInterchange(*Decode(image, info), kKeep);
    EXPECT_EQ(EncodeRawImage(*test::ReadText(text), info), image);
}

INSTANTIATE_TEST_SUITE_P(BothAntennaTables, RawRoundTrip, ::testing::Values(kAnt32, kAnt16));

TEST(RawRoundTrip, KeepsUserDatePinAndSampleData)
{
    std::string sample = test::ReadFile(test::SamplePath());
    auto db = test::ReadText(sample);
    db->MenuConfigItem.nUserYear = 5;
    db->MenuConfigItem.nPINCode = 4321;
    auto back = Decode(EncodeRawImage(*db, kAnt32), kAnt32);
    EXPECT_EQ(back->MenuConfigItem, db->MenuConfigItem);
    EXPECT_EQ(WriteInterchange(*back, kKeep), WriteInterchange(*db, kKeep));
}

TEST(RawRoundTrip, SixteenSlotImageLeavesTheOtherAntennasUniversal)
{
    auto db = test::FullDatabase(9);
    auto back = Decode(EncodeRawImage(*db, kAnt16), kAnt16);
    EXPECT_EQ(back->AntennaList.AntennaInfo[15].dwLNBFreq, db->AntennaList.AntennaInfo[15].dwLNBFreq);
    EXPECT_EQ(back->AntennaList.AntennaInfo[16].dwLNBFreq, kUniversalLNB);
    EXPECT_EQ(back->AntennaList.AntennaInfo[31].szLNBName, "");
}

TEST(RawRoundTrip, LongNamesAreCutToTheirWidths)
{
    auto db = test::SmallDatabase();
    db->NetworkInfo.Info[0].szNetworkName = std::string(40, 'N');
    db->AntennaList.AntennaInfo[1].szLNBName = std::string(25, 'L');
    auto back = Decode(EncodeRawImage(*db, kAnt32), kAnt32);
    EXPECT_EQ(back->NetworkInfo.Info[0].szNetworkName, std::string(kRawNetworkNameWidth, 'N'));
    EXPECT_EQ(back->AntennaList.AntennaInfo[1].szLNBName, std::string(kRawLNBNameWidth, 'L'));
}

TEST(RawRoundTrip, FieldBytesThatWouldBreakTheTextBecomeBlanks)
{
    auto db = test::SmallDatabase();
    db->ProviderInfo.Info[0].szProviderName = "A\tB\rC\x1A";
    auto back = Decode(EncodeRawImage(*db, kAnt32), kAnt32);
    EXPECT_EQ(back->ProviderInfo.Info[0].szProviderName, "A B C ");
}

TEST(RawDamage, WrongSizesAreRefused)
{
    Bytes image = ImageOf(*test::SmallDatabase(), kAnt32);
    for (std::size_t size : {std::size_t{0}, kRawImageSize - 1, kRawImageSize + 1}) {
        Bytes other = image;
        other.resize(size);
        EXPECT_NE(Refusal(other).find(std::to_string(size)), std::string::npos);
    }
}

TEST(RawDamage, WrongMagicVersionAndChecksumAreNamed)
{
    Bytes image = ImageOf(*test::SmallDatabase(), kAnt32);
    Bytes magic = image;
    magic[0] = 'X';
    EXPECT_NE(Refusal(magic).find("magic"), std::string::npos);
    Bytes version = image;
    version[8] = 9;
    Reseal(version);
    EXPECT_NE(Refusal(version).find("layout 9"), std::string::npos);
    Bytes flipped = image;
    flipped[kRawServiceOffset + 40] ^= 0x20;
    EXPECT_NE(Refusal(flipped).find("checksum"), std::string::npos);
}

TEST(RawDamage, RandomByteFlipsAreRefused)
{
    Bytes image = ImageOf(*test::SmallDatabase(), kAnt32);
    std::mt19937 rng(3);
    for (int round = 0; round < 200; ++round) {
        Bytes damaged = image;
        damaged[rng() % damaged.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
        EXPECT_FALSE(Refusal(damaged).empty());
    }
}

TEST(RawDamage, ImageOfAnotherReceiverTypeIsRefused)
{
    Bytes image = ImageOf(*test::SmallDatabase(), kAnt32);
    EXPECT_NE(Refusal(image, {3, 4, 0}).find("16"), std::string::npos);
    EXPECT_NE(Refusal(image, {2, 4, 1}).find("menu type 3"), std::string::npos);
    EXPECT_NE(Refusal(image, {3, 5, 1}).find("flash type 4"), std::string::npos);
}

TEST(RawDamage, HugeCountsAndBadValuesAreRefused)
{
    Bytes image = ImageOf(*test::SmallDatabase(), kAnt32);
    for (std::size_t offset : {14u, 16u, 18u, 20u}) {
        Bytes damaged = image;
        damaged[offset] = damaged[offset + 1] = 0xFF;
        Reseal(damaged);
        EXPECT_NE(Refusal(damaged).find("exceed"), std::string::npos) << offset;
    }
    Bytes favorites = image;
    favorites[22] = 101;
    Reseal(favorites);
    EXPECT_NE(Refusal(favorites).find("favorite"), std::string::npos);
    Bytes slots = image;
    slots[12] = 20;
    Reseal(slots);
    EXPECT_NE(Refusal(slots).find("20 antenna slots"), std::string::npos);
    Bytes type = image;
    type[kRawServiceOffset + 12] = 7;
    Reseal(type);
    EXPECT_NE(Refusal(type).find("type 7"), std::string::npos);
}

}  // namespace
}  // namespace lumora::conv
