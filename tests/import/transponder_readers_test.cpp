// Transponder tables of other programs: units, enums and skips on short
// snippets, then the real tables Debian ships in dtv-scan-tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <set>
#include <tuple>

#include "import_formats.h"

namespace lumora {
namespace {

using TReader = std::function<Status(std::string_view, TImportData&)>;

// One entry and what it becomes: the stored tuning {MHz or kHz, kS/s,
// polarisation, ucFEC}, or no stream; and the count it must bump once.
struct EntryCase {
    std::string text;
    std::optional<TSATTSInfo> tuning;
    TImportCount counted;
};

void ExpectEntries(const TReader& read, const std::vector<EntryCase>& cases)
{
    for (const EntryCase& c : cases) {
        TImportData data;
        ASSERT_TRUE(read(c.text, data)) << c.text;
        EXPECT_EQ(data.report.Count(TImportCount::Entries), 1) << c.text;
        EXPECT_EQ(data.report.Count(c.counted), 1) << c.text << "\n" << ::testing::PrintToString(data.report.notes);
        ASSERT_EQ(data.streams.size(), c.tuning ? 1u : 0u) << c.text;
        if (c.tuning) {
            EXPECT_EQ(data.streams[0].tuning, *c.tuning) << c.text;
        }
    }
}

TSATTSInfo Tuned(uint32_t frequency, uint32_t symbolRate, uint8_t polarisation, uint8_t fec)
{
    return {frequency, symbolRate, 0, polarisation, fec};
}

std::string SatellitesXml(const std::string& transponder)
{
    return "<?xml version=\"1.0\"?>\n<satellites>\n<sat name=\"30.0W Hispasat\" position=\"-300\">\n<transponder " +
           transponder + "/>\n</sat>\n</satellites>\n";
}

TEST(TransponderReaders, SatellitesXmlMapping)
{
    const std::string base = "frequency=\"11778000\" symbol_rate=\"27500000\" ";
    const auto read = [](std::string_view text, TImportData& data) { return ReadSatellitesXml(text, "sat.xml", data); };
    ExpectEntries(
        [&](std::string_view t, TImportData& d) { return read(SatellitesXml(std::string(t)), d); },
        {
            {base + "polarization=\"1\" fec_inner=\"3\"", Tuned(11778, 27500, 1, 2), TImportCount::Streams},
            {base + "polarization=\"0\"", Tuned(11778, 27500, 0, 5), TImportCount::Streams},
            {"frequency=\"11778500\" symbol_rate=\"27499600\" polarization=\"0\" fec_inner=\"0\"",
             Tuned(11779, 27500, 0, 5), TImportCount::FrequencyRounded},
            {base + "polarization=\"2\" fec_inner=\"5\"", Tuned(11778, 27500, 0, 4), TImportCount::Circular},
            {base + "polarization=\"3\" fec_inner=\"1\"", Tuned(11778, 27500, 1, 0), TImportCount::Circular},
            {base + "polarization=\"0\" fec_inner=\"9\"", Tuned(11778, 27500, 0, 5), TImportCount::CodeRateChanged},
            {base + "polarization=\"0\" is_id=\"-1\"", Tuned(11778, 27500, 0, 5), TImportCount::Streams},
            {base + "polarization=\"0\" system=\"1\"", {}, TImportCount::SkippedSecondGeneration},
            {base + "polarization=\"0\" modulation=\"2\"", {}, TImportCount::SkippedSecondGeneration},
            {base + "polarization=\"0\" is_id=\"4\"", {}, TImportCount::SkippedSecondGeneration},
            {base + "polarization=\"0\" system=\"1\" t2mi_plp_id=\"0\"", {}, TImportCount::SkippedMultistream},
            {base + "polarization=\"4\"", {}, TImportCount::SkippedOther},
            {"frequency=\"1177x\" symbol_rate=\"27500000\" polarization=\"0\"", {}, TImportCount::SkippedOther},
        });
    TImportData data;
    ASSERT_TRUE(read("<satellites><sat name=\"W\" position=\"3300\"><transponder frequency=\"11778000\" "
                     "symbol_rate=\"27500000\" polarization=\"0\"/></sat><sat name=\"none\"><transponder "
                     "frequency=\"1\" symbol_rate=\"1\" polarization=\"0\"/></sat></satellites>",
                     data));
    ASSERT_EQ(data.streams.size(), 1u);
    EXPECT_EQ(data.streams[0].position, -300);
    EXPECT_EQ(data.streams[0].group, "W");
    EXPECT_EQ(data.report.notes.back(), "sat.xml:1: transponder of a <sat> without name or valid position skipped");
}

TEST(TransponderReaders, CablesXmlMapping)
{
    ExpectEntries(
        [](std::string_view t, TImportData& d) {
            return ReadCablesXml("<cables><cable name=\"Net\"><transponder symbol_rate=\"6900000\" " + std::string(t) +
                                     "/></cable></cables>",
                                 "cables.xml", d);
        },
        {
            {"frequency=\"306000\" modulation=\"5\"", Tuned(306000, 6900, 0, 5), TImportCount::Streams},
            {"frequency=\"306000\"", Tuned(306000, 6900, 0, 3), TImportCount::Streams},  // QAM64 when absent
            {"frequency=\"306000\" modulation=\"0\"", Tuned(306000, 6900, 0, 6), TImportCount::Streams},
            {"frequency=\"306000\" modulation=\"6\"", Tuned(306000, 6900, 0, 6), TImportCount::CodeRateChanged},
            {"frequency=\"306000000\" modulation=\"1\"", Tuned(306000, 6900, 0, 1), TImportCount::FrequencyUnit},
            {"frequency=\"-5\"", {}, TImportCount::SkippedOther},
        });
    TImportData data;
    ASSERT_TRUE(ReadCablesXml("<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<cables><cable name=\"M\xFCnchen\">"
                              "<transponder frequency=\"306000\" symbol_rate=\"6900000\"/></cable></cables>",
                              "cables.xml", data));
    ASSERT_EQ(data.streams.size(), 1u);
    EXPECT_EQ(data.streams[0].group, "M\xC3\xBCnchen");
    EXPECT_EQ(data.streams[0].delivery, TDelivery::Cable);
    EXPECT_FALSE(data.streams[0].position);
}

std::string Dvbv5(const std::string& keys) { return "# table\n[CHANNEL]\n" + keys; }

TEST(TransponderReaders, Dvbv5Mapping)
{
    const std::string s = "DELIVERY_SYSTEM = DVBS\nSYMBOL_RATE = 27500000\n";
    const std::string v = s + "FREQUENCY = 11778000\nPOLARIZATION = VERTICAL\n";
    const std::string c = "DELIVERY_SYSTEM = DVBC/ANNEX_A\nFREQUENCY = 114000000\nSYMBOL_RATE = 6900000\n";
    ExpectEntries(
        [](std::string_view t, TImportData& d) { return ReadDvbv5File(Dvbv5(std::string(t)), "Sat-30.0W", -300, d); },
        {
            {v + "INNER_FEC = 3/4\nINVERSION = AUTO", Tuned(11778, 27500, 1, 2), TImportCount::Streams},
            {"\tfrequency = 11778000\n\tpolarization = horizontal\n" + s, Tuned(11778, 27500, 0, 5),
             TImportCount::Streams},
            {s + "FREQUENCY = 12207\nPOLARIZATION = VERTICAL", Tuned(12207, 27500, 1, 5), TImportCount::FrequencyUnit},
            {s + "FREQUENCY = 11778000\nPOLARIZATION = LEFT", Tuned(11778, 27500, 0, 5), TImportCount::Circular},
            {s + "FREQUENCY = 11778000\nPOLARIZATION = RIGHT", Tuned(11778, 27500, 1, 5), TImportCount::Circular},
            {v + "INNER_FEC = 9/10", Tuned(11778, 27500, 1, 5), TImportCount::CodeRateChanged},
            {v + "INNER_FEC = NONE", Tuned(11778, 27500, 1, 5), TImportCount::CodeRateChanged},
            {v + "MODULATION = QPSK\nUNKNOWN_KEY = 1", Tuned(11778, 27500, 1, 5), TImportCount::Streams},
            {v + "MODULATION = PSK/8", {}, TImportCount::SkippedSecondGeneration},
            {v + "STREAM_ID = 1", {}, TImportCount::SkippedSecondGeneration},
            {"DELIVERY_SYSTEM = DVBS2\nFREQUENCY = 11778000", {}, TImportCount::SkippedSecondGeneration},
            {"DELIVERY_SYSTEM = DVBS2\nSTREAM_ID = 0", {}, TImportCount::SkippedMultistream},
            {"DELIVERY_SYSTEM = DVBT\nFREQUENCY = 474000000", {}, TImportCount::SkippedTerrestrial},
            {v + "ROLLOFF = 40", {}, TImportCount::SkippedOther},
            {s + "FREQUENCY = 11778000\nPOLARIZATION = DIAGONAL", {}, TImportCount::SkippedOther},
            {s + "FREQUENCY = 11.778 GHz\nPOLARIZATION = VERTICAL", {}, TImportCount::SkippedOther},
            {"DELIVERY_SYSTEM = DVBS\nFREQUENCY = 11778000", {}, TImportCount::SkippedOther},
            {c + "MODULATION = QAM/256\nINNER_FEC = NONE", Tuned(114000, 6900, 0, 5), TImportCount::Streams},
            {c + "MODULATION = QAM/AUTO", Tuned(114000, 6900, 0, 6), TImportCount::Streams},
            {c + "MODULATION = VSB/8", Tuned(114000, 6900, 0, 6), TImportCount::CodeRateChanged},
        });
}

TEST(TransponderReaders, Dvbv5ServicesShareTheirStream)
{
    const std::string tuning =
        "DELIVERY_SYSTEM = DVBS\nFREQUENCY = 11494000\nPOLARIZATION = HORIZONTAL\nSYMBOL_RATE = 22000000\n";
    const std::string text = "[Das Erste HD]\nSERVICE_ID = 10301\nVIDEO_PID = 5101\nAUDIO_PID = 5102 5103\n" + tuning +
                             "[Bayern 3]\nSERVICE_ID = 28007\nAUDIO_PID = 601\n" + tuning +
                             "[EPG data]\nSERVICE_ID = 100\n" + tuning +
                             "[Das Erste HD]\nSERVICE_ID = 10301\nVIDEO_PID = 5101\n" + tuning +
                             "[\xD0\x9F\xD0\xB5\xD1\x80\xD0\xB2\xD1\x8B\xD0\xB9]\nSERVICE_ID = 1\nVIDEO_PID = 33\n" +
                             tuning + "[CHANNEL]\nSERVICE_ID = 2\nVIDEO_PID = 34\n" + tuning;
    TImportData data;
    ASSERT_TRUE(ReadDvbv5File(text, "channels.dvbv5", 192, data));
    ASSERT_EQ(data.streams.size(), 1u);
    ASSERT_EQ(data.services.size(), 3u);
    const TServiceItem& tv = data.services[0].service;
    EXPECT_EQ(std::tie(tv.szServiceName, tv.wServiceId, tv.wVideoPID, tv.wAudioPID, tv.wPCRPID, tv.ServiceType),
              std::make_tuple(std::string("Das Erste HD"), uint16_t(10301), uint16_t(5101), uint16_t(5102),
                              uint16_t(5101), uint8_t(kServiceTypeTV)));
    EXPECT_TRUE(tv.bExistService);
    EXPECT_EQ(data.services[1].service.ServiceType, kServiceTypeRadio);
    EXPECT_EQ(data.services[1].service.wPCRPID, 601);
    EXPECT_EQ(data.services[2].service.szServiceName, "??????");
    EXPECT_EQ(data.services[2].origin, "channels.dvbv5:29");
    for (const TImportService& service : data.services)
        EXPECT_EQ(service.stream, 0);
    const auto& r = data.report;
    EXPECT_EQ(std::make_tuple(r.Count(TImportCount::Entries), r.Count(TImportCount::Services),
                              r.Count(TImportCount::Duplicates), r.Count(TImportCount::SkippedOther),
                              r.Count(TImportCount::NameChanged), r.Count(TImportCount::PmtUnknown)),
              std::make_tuple(6, 3, 2, 1, 1, 3));  // the [CHANNEL] again
}

TEST(TransponderReaders, OneLineAndScanFileMapping)
{
    ExpectEntries(
        [](std::string_view t, TImportData& d) { return ReadOneLineFile(t, "Sat-19.2E", 192, d); },
        {
            {"# freq pol sr fec\nS 11778000 V 27500000 3/4", Tuned(11778, 27500, 1, 2), TImportCount::Streams},
            {"S1 12207 h 27500000 AUTO", Tuned(12207, 27500, 0, 5), TImportCount::FrequencyUnit},
            {"S 11778000 R 27500000 8/9", Tuned(11778, 27500, 1, 5), TImportCount::Circular},
            {"S 11778000 V 27500000 3/4 35 QPSK", Tuned(11778, 27500, 1, 2), TImportCount::Streams},
            {"S 11778000 V 27500000 3/4 AUTO 8PSK", {}, TImportCount::SkippedSecondGeneration},
            {"S2 11012000 V 30000000 3/5 AUTO 8PSK 2", {}, TImportCount::SkippedMultistream},
            {"S 11778000 X 27500000 3/4", {}, TImportCount::SkippedOther},
            {"C 114000000 6900000 NONE QAM256", Tuned(114000, 6900, 0, 5), TImportCount::Streams},
            {"C 330000000 6875000 AUTO QAM16", Tuned(330000, 6875, 0, 1), TImportCount::Streams},
            {"T 474000000 8MHz 2/3 NONE QAM16 8k 1/4 NONE", {}, TImportCount::SkippedTerrestrial},
        });
    const std::string scan = "[date]\n2022-03-11\n[dvb-c/de-Berlin]\nC 113000000 6900000 NONE QAM64\n"
                             "[dvb-s/Astra-19.2E]\nS 11229000 V 22000000 2/3\nS 11229000 V 22000000 2/3\n"
                             "[dvb-s/Eutelsat5_5.0W]\nS 11229000 V 22000000 2/3\n[atsc/us-ATSC]\nA 57028615 8VSB\n";
    TImportData data;
    ASSERT_TRUE(ReadScanFile(scan, "scanfile.dvb", data));
    ASSERT_EQ(data.streams.size(), 3u);
    EXPECT_EQ(std::tie(data.streams[0].group, data.streams[0].position),
              std::make_tuple(std::string("de-Berlin"), std::optional<int32_t>()));
    EXPECT_EQ(std::tie(data.streams[1].group, data.streams[1].position),
              std::make_tuple(std::string("Astra-19.2E"), std::optional<int32_t>(192)));
    EXPECT_EQ(data.streams[2].position, -50);
    EXPECT_EQ(data.report.Count(TImportCount::Entries), 5);
    EXPECT_EQ(data.report.Count(TImportCount::Duplicates), 1);
    EXPECT_EQ(data.report.Count(TImportCount::SkippedTerrestrial), 1);
}

// A text that is not of the format fails naming the file and line, and
// leaves what was read before untouched.
TEST(TransponderReaders, DamagedFilesChangeNothing)
{
    const std::string channel = "[CHANNEL]\nDELIVERY_SYSTEM = DVBS\n";
    const std::vector<std::tuple<TReader, std::string, std::string>> cases = {
        {[](auto t, auto& d) { return ReadSatellitesXml(t, "s.xml", d); }, "<satellites>\n<sat>\n<transponder",
         "s.xml:3: "},
        {[](auto t, auto& d) { return ReadSatellitesXml(t, "s.xml", d); }, "<cables/>", "s.xml:1: no <satellites>"},
        {[](auto t, auto& d) { return ReadCablesXml(t, "c.xml", d); }, "<cables>\n<cable>\n</cables>", "c.xml:3: "},
        {[](auto t, auto& d) { return ReadDvbv5File(t, "f", {}, d); }, channel + "junk\n", "f:3: neither"},
        {[](auto t, auto& d) { return ReadDvbv5File(t, "f", {}, d); }, "FREQUENCY = 1\n", "f:1: KEY = value before"},
        {[](auto t, auto& d) { return ReadOneLineFile(t, "o", {}, d); }, "S 1 V 2 3/4\nS 11778000 V 27500000\n",
         "o:2: "},
        {[](auto t, auto& d) { return ReadOneLineFile(t, "o", {}, d); }, "C 1x 6900000 NONE QAM64\n", "o:1: "},
        {[](auto t, auto& d) { return ReadOneLineFile(t, "o", {}, d); }, "X 1 2 3\n", "o:1: not an initial"},
        {[](auto t, auto& d) { return ReadScanFile(t, "scan", d); }, "S 11778000 V 27500000 3/4\n", "scan:1: "},
    };
    for (const auto& [read, text, message] : cases) {
        TImportData data;
        data.streams.resize(1);
        const Status status = read(text, data);
        ASSERT_FALSE(status) << text;
        EXPECT_TRUE(status.message().starts_with(message)) << status.message();
        EXPECT_EQ(data.streams.size(), 1u);
        EXPECT_EQ(data.report.Count(TImportCount::Entries), 0);
    }
}

// The real tables, when dtv-scan-tables is installed.
class ScanTables : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!std::filesystem::is_directory(std::string(LUMORA_DVB_TABLES_DIR) + "/dvb-legacy/dvb-s"))
            GTEST_SKIP() << LUMORA_DVB_TABLES_DIR << " absent: install dtv-scan-tables (./dev.sh does)";
    }

    static TImportData Read(const std::string& path)
    {
        TImportData data;
        const Status status = ReadImportPath(std::string(LUMORA_DVB_TABLES_DIR) + "/" + path, data);
        EXPECT_TRUE(status) << status.message();
        return data;
    }

    // What makes a stream the same in two tables: tuning, position, group.
    static std::set<std::tuple<uint32_t, uint32_t, uint8_t, uint8_t, int32_t, std::string>>
    Tunings(const TImportData& d)
    {
        std::set<std::tuple<uint32_t, uint32_t, uint8_t, uint8_t, int32_t, std::string>> tunings;
        for (const TImportStream& s : d.streams)
            tunings.emplace(s.tuning.dwFrequency, s.tuning.dwSymbolRate, s.tuning.ucPolarization, s.tuning.ucFEC,
                            s.position.value_or(-9999), s.group);
        return tunings;
    }
};

TEST_F(ScanTables, HotbirdKeepsItsDvbSTransponders)
{
    const TImportData data = Read("dvb-s/Hotbird-13.0E");
    EXPECT_EQ(data.report.Count(TImportCount::Entries), 95);
    EXPECT_EQ(data.report.Count(TImportCount::Streams), 91);
    EXPECT_EQ(data.report.Count(TImportCount::SkippedSecondGeneration), 4);
    EXPECT_EQ(data.streams.front().origin, "Hotbird-13.0E:3");
    EXPECT_EQ(data.streams.front().position, 130);
    EXPECT_EQ(data.streams.front().tuning, Tuned(10719, 27500, 1, 2));
}

TEST_F(ScanTables, EverySatelliteTableInBothSyntaxes)
{
    const TImportData dvbv5 = Read("dvb-s");
    const TImportData legacy = Read("dvb-legacy/dvb-s");
    for (const TImportData* data : {&dvbv5, &legacy}) {
        EXPECT_EQ(data->report.Count(TImportCount::Entries), 9498);
        EXPECT_EQ(data->report.Count(TImportCount::FrequencyUnit), 2);
    }
    const auto& r = dvbv5.report;
    EXPECT_EQ(std::make_tuple(r.Count(TImportCount::Streams), r.Count(TImportCount::SkippedSecondGeneration),
                              r.Count(TImportCount::SkippedMultistream), r.Count(TImportCount::Duplicates)),
              std::make_tuple(4753, 4409, 83, 336));
    EXPECT_EQ(std::count_if(r.notes.begin(), r.notes.end(),
                            [](const std::string& n) {
                                return n == "Hispasat-30.0W:182: frequency 12207 is MHz, not kHz: read as MHz" ||
                                       n == "SES3_C-103.0W:96: frequency 4090 is MHz, not kHz: read as MHz";
                            }),
              2);
    // The one-line tables lost the modulation of 93 DVB-S entries that are
    // 8PSK: they keep those, and every other transponder is the same.
    const auto inDvbv5 = Tunings(dvbv5);
    const auto inLegacy = Tunings(legacy);
    EXPECT_TRUE(std::includes(inLegacy.begin(), inLegacy.end(), inDvbv5.begin(), inDvbv5.end()));
    EXPECT_EQ(inLegacy.size() - inDvbv5.size(), 92u);
}

TEST_F(ScanTables, CableTablesInBothSyntaxes)
{
    const TImportData dvbv5 = Read("dvb-c");
    EXPECT_EQ(dvbv5.report.Count(TImportCount::Entries), 1070);
    EXPECT_EQ(dvbv5.report.Count(TImportCount::Streams), 1063);
    EXPECT_EQ(dvbv5.report.Count(TImportCount::Duplicates), 7);
    EXPECT_EQ(Tunings(dvbv5), Tunings(Read("dvb-legacy/dvb-c")));
}

}  // namespace
}  // namespace lumora
