// The binary channel-data file: round trips and damaged files.
#include <gtest/gtest.h>

#include <random>

#include "crc32.h"
#include "dnf_format.h"
#include "interchange.h"
#include "test_support.h"

namespace lumora::conv {
namespace {

using test::CanonicalText;
using test::FullDatabase;
using test::ReadText;
using test::SmallDatabase;

constexpr WriteOptions kKeep{.substituteUserDateAndPin = false};

std::string DecodeToText(const Bytes& file)
{
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    std::string reason;
    EXPECT_TRUE(DecodeDnf(file, *db, reason)) << reason;
    return WriteInterchange(*db, kKeep);
}

std::string Refusal(const Bytes& file)
{
    auto db = std::make_unique<TChannelDatabase>();
    std::string reason;
    EXPECT_FALSE(DecodeDnf(file, *db, reason));
    return reason;
}

// Rewrites the trailing CRC after a deliberate change, so that the check
// after the CRC is the one that sees the change.
void Reseal(Bytes& file)
{
    std::size_t body = file.size() - kDnfCrcSize;
    PutU32At(file, body, Crc32(file.data(), body));
}

TEST(Crc32, CatalogueCheckValue)
{
    const std::string text = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text.data()), text.size()), 0xCBF43926u);
}

TEST(DnfRoundTrip, SampleTextComesBackExactly)
{
    std::string sample = test::ReadFile(test::SamplePath());
    ASSERT_FALSE(sample.empty());
    EXPECT_EQ(DecodeToText(EncodeDnf(*ReadText(sample))), CanonicalText(*ReadText(sample)));
}

TEST(DnfRoundTrip, FullCapacityDatabaseComesBackExactly)
{
    std::string text = CanonicalText(*FullDatabase(1));
    EXPECT_EQ(DecodeToText(EncodeDnf(*ReadText(text))), text);
}

TEST(DnfRoundTrip, KeepsFieldsTheInterchangeFileDoesNotCarry)
{
    auto db = SmallDatabase();
    auto& service = db->ServiceInfo.pServiceInfo[0];
    service.wSubtitlePID = 0x1234;
    service.bExistService = true;
    service.ucTeletextIndex = 9;
    db->TSInfo.Info[0].dwSmaTVDiff = 77;
    db->TSInfo.Info[0].SATTSInfo.wPosition = 5;
    db->NetworkInfo.Info[0].wNetworkId = 0x2222;
    db->MenuConfigItem.nUpgFrequency = 0xDEADBEEF;
    db->MenuConfigItem.crc16 = 0xABCD;

    auto back = std::make_unique<TChannelDatabase>();
    std::string reason;
    ASSERT_TRUE(DecodeDnf(EncodeDnf(*db), *back, reason)) << reason;
    EXPECT_EQ(back->ServiceInfo.pServiceInfo[0].wSubtitlePID, 0x1234);
    EXPECT_TRUE(back->ServiceInfo.pServiceInfo[0].bExistService);
    EXPECT_FALSE(back->ServiceInfo.pServiceInfo[1].bExistService);
    EXPECT_EQ(back->ServiceInfo.pServiceInfo[0].ucTeletextIndex, 9);
    EXPECT_EQ(back->TSInfo.Info[0].dwSmaTVDiff, 77u);
    EXPECT_EQ(back->TSInfo.Info[0].SATTSInfo.wPosition, 5);
    EXPECT_EQ(back->NetworkInfo.Info[0].wNetworkId, 0x2222);
    EXPECT_EQ(back->MenuConfigItem, db->MenuConfigItem);
    EXPECT_EQ(back->ServiceInfo.wTVNum, 1);
    EXPECT_EQ(back->ServiceInfo.wRadioNum, 1);
    EXPECT_EQ(back->FavoriteInfo[1][2].wIndexNum, 1);
    EXPECT_EQ(back->FavoriteInfo[1][2].Index[0], 7);
}

TEST(DnfRoundTrip, NamesWithNulAndHighBytesSurvive)
{
    auto db = SmallDatabase();
    db->NetworkInfo.Info[0].szNetworkName = std::string("A\0B\xFF", 4);
    auto back = std::make_unique<TChannelDatabase>();
    std::string reason;
    ASSERT_TRUE(DecodeDnf(EncodeDnf(*db), *back, reason)) << reason;
    EXPECT_EQ(back->NetworkInfo.Info[0].szNetworkName, db->NetworkInfo.Info[0].szNetworkName);
}

TEST(DnfLayout, HeaderHoldsMagicVersionSizeAndCounts)
{
    Bytes file = EncodeDnf(*SmallDatabase());
    EXPECT_TRUE(std::equal(kDnfMagic.begin(), kDnfMagic.end(), file.begin()));
    EXPECT_EQ(file[8] | file[9] << 8, kDnfVersion);
    EXPECT_EQ(GetU32At(file, 12), file.size());
    EXPECT_EQ(GetU32At(file, 16), 32u);  // antennas
    EXPECT_EQ(GetU32At(file, 20), 2u);  // streams
    EXPECT_EQ(GetU32At(file, 32), 2u);  // services
    // Favorite counts: group 1, list 2 is the seventh of eight.
    EXPECT_EQ(GetU32At(file, 36 + 6 * 4), 1u);
}

TEST(DnfDamage, EveryTruncationIsRefused)
{
    Bytes file = EncodeDnf(*SmallDatabase());
    for (std::size_t n = 0; n < file.size(); ++n) {
        Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
        EXPECT_FALSE(Refusal(cut).empty()) << "length " << n;
    }
}

TEST(DnfDamage, TruncationAfterTheHeaderIsNamedAsSuch)
{
    Bytes file = EncodeDnf(*SmallDatabase());
    file.resize(file.size() - 1);
    EXPECT_NE(Refusal(file).find("truncated"), std::string::npos);
}

TEST(DnfDamage, RandomByteFlipsAreRefused)
{
    Bytes file = EncodeDnf(*SmallDatabase());
    std::mt19937 rng(7);
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = file;
        int flips = 1 + round % 3;
        for (int i = 0; i < flips; ++i)
            damaged[rng() % damaged.size()] ^= static_cast<uint8_t>(1 + rng() % 255);
        EXPECT_FALSE(Refusal(damaged).empty()) << "round " << round;
    }
}

TEST(DnfDamage, ResealedByteChangesNeverReadOutsideTheFile)
{
    // With a valid CRC only the structural checks stand between a damaged
    // file and the reader; whatever they let through must stay in bounds.
    Bytes file = EncodeDnf(*SmallDatabase());
    std::mt19937 rng(11);
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = file;
        damaged[16 + rng() % (damaged.size() - 20)] = static_cast<uint8_t>(rng());
        Reseal(damaged);
        auto db = std::make_unique<TChannelDatabase>();
        std::string reason;
        if (!DecodeDnf(damaged, *db, reason)) {
            EXPECT_FALSE(reason.empty());
        }
        EXPECT_LE(db->ServiceInfo.Count(), kServiceCapacity);
    }
}

TEST(DnfDamage, WrongMagicIsNamed)
{
    Bytes text = test::ToBytes("[LUMORA V3 FILE]\r\n[ANTENNA]\r\n");
    EXPECT_NE(Refusal(text).find("magic"), std::string::npos);
    EXPECT_NE(Refusal({}).find("truncated"), std::string::npos);
}

TEST(DnfDamage, UnknownVersionIsNamed)
{
    Bytes file = EncodeDnf(*SmallDatabase());
    file[8] = 3;
    Reseal(file);
    EXPECT_NE(Refusal(file).find("version 3"), std::string::npos);
}

TEST(DnfDamage, BadChecksumIsNamed)
{
    Bytes file = EncodeDnf(*SmallDatabase());
    file[100] ^= 1;
    EXPECT_NE(Refusal(file).find("checksum"), std::string::npos);
}

TEST(DnfDamage, CountsBeyondTheCapacitiesAreRefused)
{
    for (std::size_t offset : {20u, 24u, 28u, 32u, 36u, 64u}) {
        Bytes file = EncodeDnf(*SmallDatabase());
        PutU32At(file, offset, 0xFFFFFFF0u);
        Reseal(file);
        EXPECT_NE(Refusal(file).find("more than"), std::string::npos) << "offset " << offset;
    }
    Bytes file = EncodeDnf(*SmallDatabase());
    PutU32At(file, 16, 31);
    Reseal(file);
    EXPECT_NE(Refusal(file).find("antennas"), std::string::npos);
}

TEST(DnfDamage, CountsThatDoNotMatchTheSizeAreRefused)
{
    Bytes file = EncodeDnf(*SmallDatabase());
    PutU32At(file, 20, 3);  // one stream more than the file holds
    Reseal(file);
    EXPECT_NE(Refusal(file).find("do not add up"), std::string::npos);
}

TEST(DnfDamage, NameOutsideTheNameAreaIsRefused)
{
    Bytes file = EncodeDnf(*SmallDatabase());
    // The length of antenna 0's name (empty) becomes huge.
    PutU32At(file, kDnfHeaderSize + 16, 0x7FFFFFFF);
    Reseal(file);
    EXPECT_NE(Refusal(file).find("name"), std::string::npos);
}

TEST(DnfDamage, UnknownServiceTypeIsRefused)
{
    Bytes file = EncodeDnf(*SmallDatabase());
    std::size_t services = kDnfHeaderSize + 32 * kDnfAntennaRecord + 2 * kDnfTSRecord + kDnfNetworkRecord +
                           kDnfProviderRecord + kDnfFavoriteRecord;
    file[services + 14] = 2;
    Reseal(file);
    EXPECT_NE(Refusal(file).find("type 2"), std::string::npos);
}

// A file whose every name reference points at one long name: a small file
// that, read without the order check, expands to a great deal of text. The
// database has the 32 antennas, one network holding the long name and
// `services` services; all other tables are empty.
Bytes SharedNameFile(uint32_t services, uint32_t nameLength)
{
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    db->NetworkInfo.wNetworkNum = 1;
    db->NetworkInfo.Info[0].szNetworkName.assign(nameLength, 'N');
    db->ServiceInfo.wTVNum = static_cast<int32_t>(services);
    for (uint32_t i = 0; i < services; ++i)
        db->ServiceInfo.pServiceInfo[i].szServiceName.clear();
    Bytes file = EncodeDnf(*db);
    auto pointAtTheName = [&file, nameLength](std::size_t reference) {
        PutU32At(file, reference, 0);
        PutU32At(file, reference + 4, nameLength);
    };
    const std::size_t antennas = kDnfHeaderSize, network = antennas + 32 * kDnfAntennaRecord;
    const std::size_t firstService = network + kDnfNetworkRecord;
    for (std::size_t i = 0; i < 32; ++i)
        pointAtTheName(antennas + i * kDnfAntennaRecord + 12);
    pointAtTheName(network + 4);
    for (std::size_t i = 0; i < services; ++i)
        pointAtTheName(firstService + i * kDnfServiceRecord + 32);
    Reseal(file);
    return file;
}

TEST(DnfDamage, NamesThatDoNotFollowOneAnotherAreRefusedNamingTheRecord)
{
    Bytes crafted = SharedNameFile(kServiceCapacity, 20000);
    ASSERT_LT(crafted.size(), 200u * 1024);

    Bytes gap = EncodeDnf(*SmallDatabase());  // service 1's name one byte later
    const std::size_t firstService = kDnfHeaderSize + 32 * kDnfAntennaRecord + 2 * kDnfTSRecord + kDnfNetworkRecord +
                                     kDnfProviderRecord + kDnfFavoriteRecord;
    const std::size_t service1Name = firstService + kDnfServiceRecord + 32;
    PutU32At(gap, service1Name, GetU32At(gap, service1Name) + 1);
    Reseal(gap);

    Bytes unusedTail = EncodeDnf(*SmallDatabase());  // the last name one byte shorter
    const std::size_t lastLength = service1Name + 4;
    PutU32At(unusedTail, lastLength, GetU32At(unusedTail, lastLength) - 1);
    Reseal(unusedTail);

    struct Case {
        const char* what;
        Bytes file;
        std::string reason;
    };
    const Case cases[] = {
        {"every name at offset 0", crafted, "the name of antenna 1 starts at byte 0 of the name area"},
        {"a gap between two names", gap, "the name of service 1 starts at byte"},
        {"name bytes after the last name", unusedTail, "the name area holds 1 bytes after the last name"},
    };
    for (const Case& c : cases)
        EXPECT_NE(Refusal(c.file).find(c.reason), std::string::npos) << c.what << ": " << Refusal(c.file);
}

}  // namespace
}  // namespace lumora::conv
