// VDR channels.conf: the mapping of each field, groups as lists, damaged
// lines, and VDR's own example files.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "import_formats.h"

namespace lumora {
namespace {

struct VdrCase {
    const char* line;
    TImportCount counted;  // Services when the channel is kept
    uint32_t frequency = 0;
    uint8_t polarisationOrQam = 0, fec = 0;
    uint16_t video = 0, pcr = 0, audio = 0;
    const char* name = "";
    const char* provider = "";
};

TEST(VdrChannels, FieldsMapOntoStreamsAndServices)
{
    const VdrCase cases[] = {
        {"RTL Television,RTL;CBC:12187:HC34M2S0:S19.2E:27500:163=2:104=deu@3;106=deu@106:105;110=deu:0:12003:1:1089:0",
         TImportCount::Services, 12187, 0, 2, 163, 163, 104, "RTL Television", "CBC"},
        {"A|B,AB;P|1:11000:VC56:S13E:27500:200+210=27:;300:0:1800:1:2:3:0", TImportCount::Services, 11000, 1, 3, 200,
         210, 300, "A:B", "P:1"},
        {"Radio:11000:RC78:S19.2E:27500:0:400=deu:0:0:5:1:2:0", TImportCount::Circular, 11000, 1, 4, 0, 0, 400, "Radio",
         ""},
        {"Nine Ten:11000:HC910M2S0:S19.2E:27500:10:11:0:0:5:1:2:0", TImportCount::CodeRateChanged, 11000, 0, 5, 10, 10,
         11, "Nine Ten", ""},
        {"M\xFCnchen:11000:H:S19.2E:27500:10:11:0:0:5:1:2:0", TImportCount::Services, 11000, 0, 5, 10, 10, 11,
         "M\xFCnchen", ""},
        {"MHz:410:M64:C:6900:10:11:0:0:5:1:2:0", TImportCount::Services, 410000, 0, 3, 10, 10, 11, "MHz", ""},
        {"kHz:410000:M256:C:6900:10:11:0:0:5:1:2:0", TImportCount::Services, 410000, 0, 5, 10, 10, 11, "kHz", ""},
        {"Hz:410000000:M999:C:6900:10:11:0:0:5:1:2:0", TImportCount::Services, 410000, 0, 6, 10, 10, 11, "Hz", ""},
        {"S2:11493:HC23M5O35P0S1:S19.2E:22000:10:11:0:0:5:1:2:0", TImportCount::SkippedSecondGeneration},
        {"8PSK:11493:HC23M5S0:S19.2E:22000:10:11:0:0:5:1:2:0", TImportCount::SkippedSecondGeneration},
        {"Stream id:11493:HC23P4S0:S19.2E:22000:10:11:0:0:5:1:2:0", TImportCount::SkippedSecondGeneration},
        {"Terr:522000:B8C23D12G8M16S0T8Y0:T:27500:10:11:0:0:5:1:2:0", TImportCount::SkippedTerrestrial},
        {"Data:11000:H:S19.2E:27500:0:0:0:0:5:1:2:0", TImportCount::SkippedOther},
    };
    for (const VdrCase& c : cases) {
        SCOPED_TRACE(c.line);
        TImportData data;
        ASSERT_TRUE(ReadVdrChannels(c.line, "c.conf", data));
        EXPECT_EQ(data.report.Count(TImportCount::Entries), 1);
        EXPECT_EQ(data.report.Count(c.counted), 1);
        if (data.services.empty()) {
            EXPECT_NE(c.counted, TImportCount::Services);
            continue;
        }
        const TImportStream& stream = data.streams.at(0);
        const TServiceItem& s = data.services[0].service;
        EXPECT_EQ(stream.tuning.dwFrequency, c.frequency);
        EXPECT_EQ(stream.tuning.ucPolarization, c.polarisationOrQam);
        EXPECT_EQ(stream.tuning.ucFEC, c.fec);
        EXPECT_EQ(s.wVideoPID, c.video);
        EXPECT_EQ(s.wPCRPID, c.pcr);
        EXPECT_EQ(s.wAudioPID, c.audio);
        EXPECT_EQ(s.ServiceType, c.video ? kServiceTypeTV : kServiceTypeRadio);
        EXPECT_EQ(s.szServiceName, c.name);
        EXPECT_EQ(data.services[0].provider, c.provider);
        EXPECT_TRUE(s.bExistService);
        EXPECT_EQ(data.report.Count(TImportCount::PmtUnknown), 1);
    }
}

TEST(VdrChannels, IdsScramblingAndPositionComeFromTheirFields)
{
    TImportData data;
    ASSERT_TRUE(ReadVdrChannels("X:12000:V:S30W:27500:10:11:0:1800,5:301:2:3:0\n"
                                "Y:12000:V:S30W:27500:10:11:0:ff,0:302:2:3:0\n",
                                "c.conf", data));
    ASSERT_EQ(data.streams.size(), 1u);
    EXPECT_EQ(data.streams[0].position, -300);
    EXPECT_EQ(data.streams[0].group, "30.0W");
    EXPECT_EQ(data.streams[0].wOrgNetworkId, 2);
    EXPECT_EQ(data.streams[0].wTsId, 3);
    ASSERT_EQ(data.services.size(), 2u);
    EXPECT_EQ(data.services[0].service.wServiceId, 301);
    EXPECT_TRUE(data.services[0].service.bScrambled);  // CA 0x1800
    EXPECT_FALSE(data.services[1].service.bScrambled);  // CA 0xFF: a device number
}

TEST(VdrChannels, GroupsBecomeListsPerTypeAndDuplicatesAreImportedOnce)
{
    TImportData data;
    ASSERT_TRUE(ReadVdrChannels("Outside:410:M64:C:6900:10:11:0:0:1:0:0:0\n"
                                ":@201 News\n"
                                "TV1:410:M64:C:6900:10:11:0:0:2:0:0:0\n"
                                "Radio1:410:M64:C:6900:0:12:0:0:3:0:0:0\n"
                                "TV2:410:M64:C:6900:20:21:0:0:4:0:0:0\n"
                                "TV1 again:410:M64:C:6900:10:11:0:0:2:0:0:1\n"
                                ":Empty\n"
                                ":Music\n"
                                "Radio2:410:M64:C:6900:0:13:0:0:5:0:0:0\n",
                                "cable.conf", data));
    EXPECT_EQ(data.report.Count(TImportCount::Entries), 6);
    EXPECT_EQ(data.report.Count(TImportCount::Services), 5);
    EXPECT_EQ(data.report.Count(TImportCount::Duplicates), 1);
    EXPECT_EQ(data.streams.at(0).group, "cable.conf");
    ASSERT_EQ(data.lists.size(), 3u);
    EXPECT_EQ(data.lists[0].name, "News");
    EXPECT_FALSE(data.lists[0].radio);
    EXPECT_EQ(data.lists[0].services, (std::vector<int32_t>{1, 3}));
    EXPECT_EQ(data.lists[0].firstNumber, 201);
    EXPECT_TRUE(data.lists[1].radio);
    EXPECT_EQ(data.lists[1].services, (std::vector<int32_t>{2}));
    EXPECT_EQ(data.lists[1].firstNumber, 202);
    EXPECT_EQ(data.lists[2].name, "Music");
    EXPECT_EQ(data.lists[2].firstNumber, 205);
}

TEST(VdrChannels, DamagedLinesFailTheFileNamingTheLine)
{
    const char* damaged[] = {
        "A:11000:H:S19.2E:27500:10:11:0:0\n",  // 9 fields
        "A:11000:H:S19.2E:27500:10:11:0:0:x5:1:2:0\n",  // SID
        "A:11000:H:S99.9X:27500:10:11:0:0:5:1:2:0\n",  // position
        "A:11000:HZ9:S19.2E:27500:10:11:0:0:5:1:2:0\n",  // parameter
        "A:11000:HC:S19.2E:27500:10:11:0:0:5:1:2:0\n",  // parameter without value
        "A:11000:H:S19.2E:27500:9000:11:0:0:5:1:2:0\n",  // PID above 8191
        "A:11000:H:S19.2E:27500:10:11:0:G:5:1:2:0\n",  // CA
        "A:11000:H:S19.2E:27500:10:11:0:0:70000:1:2:0\n",  // SID above 65535
        "A:eleven:H:S19.2E:27500:10:11:0:0:5:1:2:0\n",
        "A:11000:H::27500:10:11:0:0:5:1:2:0\n",
    };
    for (const char* text : damaged) {
        TImportData data;
        const Status status =
            ReadVdrChannels(std::string("Good:11000:H:S19.2E:27500:10:11:0:0:5:1:2:0\n") + text, "bad.conf", data);
        EXPECT_FALSE(status) << text;
        EXPECT_TRUE(status.message().starts_with("bad.conf:2: ")) << status.message();
        EXPECT_TRUE(data.services.empty() && data.streams.empty() && data.report.notes.empty()) << text;
    }
}

std::string VdrExample(const char* name)
{
    std::ifstream in(std::string(LUMORA_VDR_DIR) + "/usr/share/vdr/channels.conf-examples/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return in ? std::move(text).str() : std::string();
}

TEST(VdrChannels, VdrSatelliteExampleKeepsTheDvbSChannels)
{
    const std::string text = VdrExample("channels.conf.sat");
    if (text.empty())
        GTEST_SKIP() << "VDR's examples are not unpacked in " LUMORA_VDR_DIR " (./dev.sh does it)";
    TImportData data;
    ASSERT_TRUE(ReadVdrChannels(text, "channels.conf.sat", data));
    EXPECT_EQ(data.report.Count(TImportCount::Entries), 147);
    EXPECT_EQ(data.report.Count(TImportCount::Services), 53);
    EXPECT_EQ(data.report.Count(TImportCount::SkippedSecondGeneration), 94);
    EXPECT_EQ(data.report.Count(TImportCount::Duplicates), 0);
    EXPECT_EQ(data.report.Count(TImportCount::PmtUnknown), 53);
    for (const TImportStream& stream : data.streams)
        EXPECT_EQ(stream.position, 192);
}

TEST(VdrChannels, VdrLatin1CableExampleReportsItsDuplicates)
{
    const std::string text = VdrExample("channels.conf.cable");
    if (text.empty())
        GTEST_SKIP() << "VDR's examples are not unpacked in " LUMORA_VDR_DIR " (./dev.sh does it)";
    TImportData data;
    ASSERT_TRUE(ReadVdrChannels(text, "channels.conf.cable", data));
    int radio = 0;
    for (const TImportService& service : data.services)
        radio += service.service.ServiceType == kServiceTypeRadio;
    EXPECT_EQ(data.report.Count(TImportCount::Entries), 151);
    // "Test-R" three times on 410 MHz with SID 28130, told apart by VDR's RID only.
    EXPECT_EQ(data.report.Count(TImportCount::Duplicates), 2);
    EXPECT_EQ(data.report.Count(TImportCount::Services), 149);
    EXPECT_EQ(radio, 45);
    EXPECT_EQ(data.services.at(0).service.szServiceName, "Das Erste");
    EXPECT_EQ(data.streams.at(0).tuning.dwFrequency, 410000u);
}

TEST(VdrChannels, VdrTerrestrialExampleIsReadAndSkipped)
{
    const std::string text = VdrExample("channels.conf.terr");
    if (text.empty())
        GTEST_SKIP() << "VDR's examples are not unpacked in " LUMORA_VDR_DIR " (./dev.sh does it)";
    TImportData data;
    const Status status = ReadVdrChannels(text, "channels.conf.terr", data);
    ASSERT_TRUE(status) << status.message();  // 15 of its lines end without the RID
    EXPECT_EQ(data.report.Count(TImportCount::Entries), 175);
    EXPECT_EQ(data.report.Count(TImportCount::SkippedTerrestrial), 175);
}

}  // namespace
}  // namespace lumora
