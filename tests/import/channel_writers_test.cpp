// The dvbv5 and VDR writers on a small hand-built database, and the dvbv5
// export of the sample read by libdvbv5's own converter.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <set>

#include "export_formats.h"
#include "import_text.h"
#include "interchange.h"

namespace lumora {
namespace {

void AddStream(TChannelDatabase& db, uint16_t antenna, TSATTSInfo tuning, uint16_t onid, uint16_t tsid)
{
    db.TSInfo.Info[db.TSInfo.wTSNum++] = TTSItem{onid, tsid, antenna, -1, tuning, 0};
}

void AddService(TChannelDatabase& db, int stream, const char* name, uint16_t sid, uint16_t vpid, uint16_t apid,
                bool radio = false, bool scrambled = false)
{
    const uint8_t type = radio ? kServiceTypeRadio : kServiceTypeTV;  // PMT 100, PCR after the video
    db.ServiceInfo.pServiceInfo[db.ServiceInfo.Count()] =
        TServiceItem{sid, 100, vpid, apid,   0, 0,   uint16_t(vpid + 1), type, 0, false, false, false, scrambled,
                     0,   0,   0,    stream, 0, name};
    ++(radio ? db.ServiceInfo.wRadioNum : db.ServiceInfo.wTVNum);
}

// Antenna 1 at 19.2E on DiSEqC B; antenna 2 without a position.
std::unique_ptr<TChannelDatabase> SatelliteDatabase()
{
    auto db = std::make_unique<TChannelDatabase>();
    db->AntennaList.AntennaInfo[0].ucOtherSetting = 1 << 1;
    db->ProviderInfo = {1, {TProviderItem{0, "ARD: Erste"}}};
    AddStream(*db, 0, {11494, 22000, 0, 0, 1}, 1, 1019);  // H, 2/3
    AddStream(*db, 0, {12188, 27500, 0, 2, 5}, 1, 1101);  // polarisation Auto, FEC Auto
    AddStream(*db, 1, {10744, 22000, 0, 1, 4}, 2, 2);
    AddService(*db, 0, "Das Erste: HD", 10301, 5101, 5102);
    AddService(*db, 1, "\206Caf\351\207]Ost ", 28006, 0, 0, false, true);  // DVB emphasis marks
    AddService(*db, 2, "Elsewhere", 7, 8, 9);
    return db;
}

std::unique_ptr<TChannelDatabase> CableDatabase()
{
    auto db = std::make_unique<TChannelDatabase>();
    AddStream(*db, 0, {346000, 6900, 0, 0, 3}, 61441, 1);  // 64-QAM
    AddStream(*db, 0, {113500, 6875, 0, 0, 6}, 61441, 2);  // Auto
    AddService(*db, 0, "K\xF6ln; Bonn", 1, 101, 102);
    AddService(*db, 1, "Radio", 2, 0, 202, true);
    return db;
}

using Writer = std::string (*)(const TChannelDatabase&, bool, const TAntennaPositions&, TExportReport&);

struct WriterCase {
    Writer write;
    bool cable;
    const char* text;
    int written;
    std::vector<const char*> notes;  // parts of the notes, in order
};

TEST(ChannelWriters, WriteTheMappingOfBothFormats)
{
    const WriterCase cases[] = {
        {&WriteDvbv5Channels,
         false,
         "# dvbv5 channel file\n"
         "[Das Erste: HD]\n\tSERVICE_ID = 10301\n\tVIDEO_PID = 5101\n\tAUDIO_PID = 5102\n\tSAT_NUMBER = 1\n"
         "\tDELIVERY_SYSTEM = DVBS\n\tFREQUENCY = 11494000\n\tPOLARIZATION = HORIZONTAL\n\tSYMBOL_RATE = 22000000\n"
         "\tINNER_FEC = 2/3\n\tMODULATION = QPSK\n\tINVERSION = AUTO\n"
         "[Caf\xC3\xA9)Ost]\n\tSERVICE_ID = 28006\n\tSAT_NUMBER = 1\n\tDELIVERY_SYSTEM = DVBS\n"
         "\tFREQUENCY = 12188000\n\tSYMBOL_RATE = 27500000\n\tINNER_FEC = AUTO\n\tMODULATION = QPSK\n"
         "\tINVERSION = AUTO\n",
         2,
         {"PMT and PCR PIDs", "1 service on antenna 2 left out", "1 service on streams with polarisation Auto",
          "1 service with characters"}},
        {&WriteVdrChannels,
         false,
         "Das Erste| HD;ARD| Erste:11494:HC23M2S0:S19.2E:22000:5101+5102:5102:0:0:10301:1:1019:0\n"
         "Caf\xC3\xA9]Ost;ARD| Erste:12188:C999M2S0:S19.2E:27500:0+1:0:0:FFFF:28006:1:1101:0\n",
         2,
         {"PMT PIDs", "1 service on antenna 2 left out", "1 service on streams with polarisation Auto",
          "2 services with characters"}},
        {&WriteDvbv5Channels,
         true,
         "# dvbv5 channel file\n"
         "[K\xC3\xB6ln; Bonn]\n\tSERVICE_ID = 1\n\tVIDEO_PID = 101\n\tAUDIO_PID = 102\n"
         "\tDELIVERY_SYSTEM = DVBC/ANNEX_A\n\tFREQUENCY = 346000000\n\tSYMBOL_RATE = 6900000\n"
         "\tMODULATION = QAM/64\n\tINVERSION = AUTO\n"
         "[Radio]\n\tSERVICE_ID = 2\n\tAUDIO_PID = 202\n\tDELIVERY_SYSTEM = DVBC/ANNEX_A\n"
         "\tFREQUENCY = 113500000\n\tSYMBOL_RATE = 6875000\n\tMODULATION = QAM/AUTO\n\tINVERSION = AUTO\n",
         2,
         {"PMT and PCR PIDs"}},
        {&WriteVdrChannels,
         true,
         "K\xC3\xB6ln, Bonn,;:346:C0M64:C:6900:101+102:102:0:0:1:61441:1:0\n"
         "Radio;:113500:C0M999:C:6875:0+1:202:0:0:2:61441:2:0\n",
         2,
         {"PMT PIDs", "1 service with characters"}},
    };
    const TAntennaPositions positions{192};
    for (const WriterCase& c : cases) {
        SCOPED_TRACE(c.text);
        const std::unique_ptr<TChannelDatabase> db = c.cable ? CableDatabase() : SatelliteDatabase();
        TExportReport report;
        EXPECT_EQ(c.write(*db, c.cable, positions, report), c.text);
        EXPECT_EQ(report.written, c.written);
        ASSERT_EQ(report.notes.size(), c.notes.size());
        for (std::size_t i = 0; i < c.notes.size(); ++i)
            EXPECT_NE(report.notes[i].find(c.notes[i]), std::string::npos) << report.notes[i];
    }
}

// libdvbv5's converter reads our dvbv5 export of the sample and writes the
// same service names to VDR's format.
TEST(ChannelWriters, Dvbv5ExportOfTheSampleReadsInDvbFormatConvert)
{
    if (::access("/usr/bin/dvb-format-convert", X_OK) != 0)
        GTEST_SKIP() << "dvb-format-convert is not installed (Debian package dvb-tools)";
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    ASSERT_TRUE(ReadInterchangeFile(std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt", *db, {}).error.empty());
    const TAntennaPositions positions{192, 130};
    TExportReport report;
    const std::string dvbv5 = WriteDvbv5Channels(*db, false, positions, report);
    ASSERT_EQ(report.written, db->ServiceInfo.Count());

    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("lv3-dvbv5-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream((dir / "sample.channels").string(), std::ios::binary) << dvbv5;
    const std::string command = "dvb-format-convert -I dvbv5 -O vdr '" + (dir / "sample.channels").string() + "' '" +
                                (dir / "sample.conf").string() + "' >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::ifstream in((dir / "sample.conf").string(), std::ios::binary);
    const std::string vdr((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::filesystem::remove_all(dir);

    std::multiset<std::string> written, expected;
    for (std::size_t at = 0, end; (end = vdr.find('\n', at)) != std::string::npos; at = end + 1)
        written.insert(vdr.substr(at, vdr.find_first_of(":;,\n", at) - at));
    for (int i = 0; i < db->ServiceInfo.Count(); ++i) {
        std::string name = db->ServiceInfo.pServiceInfo[i].szServiceName;
        std::erase_if(name, [](char c) { return c == '\x86' || c == '\x87'; });  // DVB emphasis marks
        expected.insert(Latin1ToUtf8(name.substr(0, name.find_last_not_of(' ') + 1)));
    }
    EXPECT_EQ(written, expected);
}

}  // namespace
}  // namespace lumora
