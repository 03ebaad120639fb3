// lamedb versions 3, 4 and 5 and their bouquets: the same list written in
// each version reads the same, the tuning and option fields map as the
// receiver images define them, and damaged files change nothing.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "import_formats.h"

namespace lumora {
namespace {

// Streams: 11582 MHz rounded, 12603 MHz circular R, DVB-S2, a multistream
// without services, cable 410 MHz 64-QAM, terrestrial. Services: scrambled TV
// with every cached PID, radio with the AC3 PID only and the "don't show"
// flag, UTF-8 TV of type 25, data, DVB-S2, terrestrial, a duplicate.
const char* const kLamedb4 =
    "eDVB services /4/\ntransponders\n"
    "00c00000:0401:0001\n\ts 11582250:22000000:0:2:192:2:0\n/\n"
    "00c00000:03ef:0001\n\ts 12603000:22000000:3:3:192:2:0:0:1:0:2\n/\n"
    "00c00000:0402:0001\n\ts 11494000:22000000:0:9:192:2:0:1:2:0:2\n/\n"
    "01300000:0403:0001\n\ts 12537000:13910000:1:3:130:2:0:1:1:0:2:3:210115:1\n/\n"
    "ffff0000:0001:0002\n\tc 410000:6900000:0:3:0:0:0\n/\n"
    "eeee0000:0001:0003\n\tt 474000000:0:5:5:3:1:4:4:2:0:0:0\n/\n"
    "end\nservices\n"
    "2ee3:00c00000:0401:0001:1:0\nDas Erste\np:ARD,c:001401,c:011402,c:031401,c:160064,C:1702\n"
    "5274:00c00000:03ef:0001:2:0\nRadio, Eins\np:RB,c:04007a,f:2\n"
    "0001:ffff0000:0001:0002:25:0\nK\xC3\xB6ln TV\np:Kabel\n"
    "0002:ffff0000:0001:0002:12:0\nData\np:Kabel\n"
    "0003:00c00000:0402:0001:1:0\nS2 HD\np:X\n"
    "0004:eeee0000:0001:0003:1:0\nTerr\np:X\n"
    "2ee3:00c00000:0401:0001:1:0\nDas Erste again\np:ARD\n"
    "end\nHave a lot of bugs!\n";

const char* const kLamedb5 =
    "eDVB services /5/\n# Transponders: t:dvb_namespace:transport_stream_id:original_network_id,FEPARMS\n"
    "t:00c00000:0401:0001,s:11582250:22000000:0:2:192:2:0\n"
    "t:00c00000:03ef:0001,s:12603000:22000000:3:3:192:2:0:0:1:0:2\n"
    "t:00c00000:0402:0001,s:11494000:22000000:0:9:192:2:0:1:2:0:2\n"
    "t:01300000:0403:0001,s:12537000:13910000:1:3:130:2:0:1:1:0:2,MIS/PLS:3:210115:1\n"
    "t:ffff0000:0001:0002,c:410000:6900000:0:3:0:0:0\n"
    "t:eeee0000:0001:0003,t:474000000:0:5:5:3:1:4:4:2:0:0:0\n"
    "s:2ee3:00c00000:0401:0001:1:0:0,\"Das Erste\",p:ARD,c:001401,c:011402,c:031401,c:1664,C:1702\n"
    "s:5274:00c00000:03ef:0001:2:0:0,\"Radio, Eins\",p:RB,c:047a,f:2\n"
    "s:0001:ffff0000:0001:0002:25:0:0,\"K\xC3\xB6ln TV\",p:Kabel\n"
    "s:0002:ffff0000:0001:0002:12:0:0,\"Data\",p:Kabel\n"
    "s:0003:00c00000:0402:0001:1:0:0,\"S2 HD\",p:X\n"
    "s:0004:eeee0000:0001:0003:1:0:0,\"Terr\",p:X\n"
    "s:2ee3:00c00000:0401:0001:1:0:0,\"Das Erste again\",p:ARD\n"
    "# done. 6 channels and 7 services\n";

// Version 3: the satellite lines lack the flags field.
std::string Lamedb3()
{
    std::string text = kLamedb4;
    const std::pair<const char*, const char*> lines[] = {
        {"/4/", "/3/"},
        {"11582250:22000000:0:2:192:2:0\n", "11582250:22000000:0:2:192:2\n"},
        {"12603000:22000000:3:3:192:2:0:0:1:0:2\n", "12603000:22000000:3:3:192:2:0:1:0:2\n"},
        {"11494000:22000000:0:9:192:2:0:1:2:0:2\n", "11494000:22000000:0:9:192:2:1:2:0:2\n"},
        {"12537000:13910000:1:3:130:2:0:1:1:0:2:3:210115:1", "12537000:13910000:1:3:130:2:1:1:0:2:3:210115:1"},
    };
    for (const auto& [v4, v3] : lines)
        text.replace(text.find(v4), std::string(v4).size(), v3);
    return text;
}

const TBouquetFiles kBouquets = {
    {"bouquets.tv", "#NAME Bouquets (TV)\r\n"
                    "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"userbouquet.fav.tv\" ORDER BY bouquet\r\n"
                    "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"userbouquet.gone.tv\" ORDER BY bouquet\r\n"},
    {"userbouquet.fav.tv", "#NAME Favourites\r\n#SERVICE 1:64:0:0:0:0:0:0:0:0:\r\n#DESCRIPTION --- Cable ---\r\n"
                           "#SERVICE 1:0:19:1:1:2:ffff0000:0:0:0:\r\n#SERVICE 1:0:1:2ee3:401:1:c00000:0:0:0:\r\n"
                           "#SERVICE 4097:0:1:0:0:0:0:0:0:0:http%3a//example.org/tv:IPTV\r\n"
                           "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"subbouquet.x.tv\" ORDER BY bouquet\r\n"
                           "#SERVICE 1:0:1:9999:401:1:c00000:0:0:0:\r\n"},
    {"bouquets.radio", "#SERVICE 1:7:2:0:0:0:0:0:0:0:FROM BOUQUET \"userbouquet.r.radio\" ORDER BY bouquet\n"},
    {"userbouquet.r.radio", "#NAME Radio\n#SERVICE 1:0:a:5274:3ef:1:c00000:0:0:0:\n"},
};

TEST(Lamedb, VersionsThreeFourAndFiveReadTheSame)
{
    TImportData v4;
    ASSERT_TRUE(ReadLamedb(kLamedb4, "lamedb", kBouquets, v4));
    const std::pair<std::string, std::string> others[] = {{kLamedb5, "lamedb5"}, {Lamedb3(), "lamedb3"}};
    for (const auto& [text, name] : others) {
        TImportData other;
        const Status status = ReadLamedb(text, name, kBouquets, other);
        ASSERT_TRUE(status) << status.message();
        EXPECT_EQ(other.report.counts, v4.report.counts) << name;
        ASSERT_EQ(other.streams.size(), v4.streams.size()) << name;
        for (std::size_t i = 0; i < v4.streams.size(); ++i)
            EXPECT_EQ(other.streams[i].tuning, v4.streams[i].tuning) << name;
        ASSERT_EQ(other.services.size(), v4.services.size()) << name;
        for (std::size_t i = 0; i < v4.services.size(); ++i)
            EXPECT_EQ(other.services[i].service, v4.services[i].service) << name;
        EXPECT_EQ(other.lists.size(), v4.lists.size()) << name;
    }
}

TEST(Lamedb, TuningAndServiceFieldsMapAsTheReceiverDefinesThem)
{
    TImportData data;
    ASSERT_TRUE(ReadLamedb(kLamedb4, "lamedb", kBouquets, data));
    const auto count = [&](TImportCount what) { return data.report.Count(what); };
    EXPECT_EQ(count(TImportCount::Entries), 7);
    EXPECT_EQ(count(TImportCount::Services), 3);
    EXPECT_EQ(count(TImportCount::Streams), 3);
    EXPECT_EQ(count(TImportCount::Duplicates), 1);
    EXPECT_EQ(count(TImportCount::SkippedSecondGeneration), 2);  // the multistream one among them
    EXPECT_EQ(count(TImportCount::SkippedMultistream), 1);  // the transponder: it has no services
    EXPECT_EQ(count(TImportCount::SkippedTerrestrial), 1);
    EXPECT_EQ(count(TImportCount::FrequencyRounded), 1);
    EXPECT_EQ(count(TImportCount::Circular), 1);
    EXPECT_EQ(count(TImportCount::PmtUnknown), 2);
    // Data service; marker, IPTV, sub-bouquet, unknown service, missing bouquet.
    EXPECT_EQ(count(TImportCount::SkippedOther), 6);

    ASSERT_EQ(data.streams.size(), 3u);
    EXPECT_EQ(data.streams[0].tuning, (TSATTSInfo{11582, 22000, 0, 0, 1}));
    EXPECT_EQ(data.streams[0].position, 192);
    EXPECT_EQ(data.streams[0].wTsId, 0x401);
    EXPECT_EQ(data.streams[1].tuning, (TSATTSInfo{12603, 22000, 0, 1, 2}));
    EXPECT_EQ(data.streams[2].delivery, TDelivery::Cable);
    EXPECT_EQ(data.streams[2].tuning, (TSATTSInfo{410000, 6900, 0, 0, 3}));
    EXPECT_EQ(data.streams[2].group, "lamedb");

    ASSERT_EQ(data.services.size(), 3u);
    const TServiceItem& tv = data.services[0].service;
    EXPECT_EQ(tv.szServiceName, "Das Erste");
    EXPECT_EQ(tv.wServiceId, 0x2ee3);
    EXPECT_EQ(std::vector<int>({tv.wVideoPID, tv.wAudioPID, tv.wPCRPID, tv.wPmtPID}),
              std::vector<int>({0x1401, 0x1402, 0x1401, 0x64}));
    EXPECT_TRUE(tv.bScrambled);
    EXPECT_FALSE(tv.bSkipService);
    EXPECT_EQ(data.services[0].provider, "ARD");
    const TServiceItem& radio = data.services[1].service;
    EXPECT_EQ(radio.szServiceName, "Radio, Eins");
    EXPECT_EQ(radio.ServiceType, kServiceTypeRadio);
    EXPECT_EQ(radio.wAudioPID, 0x7a);
    EXPECT_TRUE(radio.bSkipService);
    EXPECT_FALSE(radio.bScrambled);
    EXPECT_EQ(data.services[2].service.szServiceName, "K\xF6ln TV");
    EXPECT_EQ(data.services[2].service.ServiceType, kServiceTypeTV);  // decimal 25
    EXPECT_EQ(data.services[2].stream, 2);
}

TEST(Lamedb, BouquetsBecomeListsOfTheImportedServices)
{
    TImportData data;
    ASSERT_TRUE(ReadLamedb(kLamedb4, "lamedb", kBouquets, data));
    ASSERT_EQ(data.lists.size(), 2u);
    EXPECT_EQ(data.lists[0].name, "Favourites");
    EXPECT_FALSE(data.lists[0].radio);
    EXPECT_EQ(data.lists[0].services, (std::vector<int32_t>{2, 0}));
    EXPECT_EQ(data.lists[1].name, "Radio");
    EXPECT_TRUE(data.lists[1].radio);
    EXPECT_EQ(data.lists[1].services, (std::vector<int32_t>{1}));  // type 10 written "a"
}

TEST(Lamedb, DamagedFilesFailNamingFileAndLine)
{
    const std::string v4 = kLamedb4;
    const std::pair<std::string, const char*> damaged[] = {
        {"eDVB services /6/\n", "lamedb:1: "},
        {"transponders\nend\n", "lamedb:1: "},
        {v4.substr(0, v4.find("end\nHave")), "lamedb:43: "},  // truncated
        {std::string(v4).replace(v4.find("00c00000:0401"), 4, "zz00"), "lamedb:3: "},
        {std::string(v4).replace(v4.find("192:2:0\n"), 3, "abc"), "lamedb:4: "},
        {std::string(v4).replace(v4.find("\n/\n"), 3, "\nx\n"), "lamedb:5: "},
        {std::string(v4).replace(v4.find("2ee3"), 4, "2eg3"), "lamedb:23: "},
        {std::string(v4).replace(v4.find("c:001401"), 8, "c:00ffff"), "lamedb:25: "},
        {std::string(kLamedb5) + "junk\n", "lamedb:17: "},
        {std::string(kLamedb5) + "s:1:0:1:1:1:0:0,\"unterminated\n", "lamedb:17: "},
    };
    for (const auto& [text, where] : damaged) {
        TImportData data;
        const Status status = ReadLamedb(text, "lamedb", kBouquets, data);
        EXPECT_FALSE(status) << where;
        EXPECT_TRUE(status.message().starts_with(where)) << status.message();
        EXPECT_TRUE(data.services.empty() && data.streams.empty() && data.report.notes.empty()) << where;
    }
    TBouquetFiles bouquets = kBouquets;
    bouquets["userbouquet.r.radio"] += "1:0:a:5274\n";
    TImportData data;
    const Status status = ReadLamedb(kLamedb4, "lamedb", bouquets, data);
    EXPECT_EQ(status.message(), "userbouquet.r.radio:3: not a bouquet line");
    EXPECT_TRUE(data.services.empty());
}

TEST(Lamedb, AFolderGivesTheLamedbItsBouquetFiles)
{
    const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "enigma2";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "lamedb", std::ios::binary) << kLamedb5;
    for (const auto& [name, text] : kBouquets)
        std::ofstream(folder / name, std::ios::binary) << text;
    TImportData data;
    const Status status = ReadImportPath((folder / "lamedb").string(), data);
    ASSERT_TRUE(status) << status.message();
    EXPECT_EQ(data.services.size(), 3u);
    ASSERT_EQ(data.lists.size(), 2u);
    EXPECT_EQ(data.lists[0].services, (std::vector<int32_t>{2, 0}));
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace lumora
