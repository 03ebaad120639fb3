// The sample exported as dvbv5 and as VDR channels.conf and read back with
// our own readers gives the same records, up to what each format holds.
#include <gtest/gtest.h>

#include <memory>

#include "export_formats.h"
#include "import_formats.h"
#include "import_text.h"
#include "interchange.h"

namespace lumora {
namespace {

struct Format {
    const char* name;
    std::string (*write)(const TChannelDatabase&, bool, const TAntennaPositions&, TExportReport&);
    Status (*read)(std::string_view, const std::string&, TImportData&);
    bool carriesPositionsAndProviders;
};

Status ReadDvbv5(std::string_view text, const std::string& name, TImportData& data)
{
    return ReadDvbv5File(text, name, std::nullopt, data);
}

TEST(ExportRoundTrip, OurReadersGetBackWhatOurWritersWrote)
{
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    ASSERT_EQ(ReadInterchangeFile(LUMORA_EXAMPLES_DIR "/sample.txt", *db, {}).status, ReadStatus::Complete);
    const TAntennaPositions positions{160, 420};
    const Format formats[] = {{"dvbv5", WriteDvbv5Channels, ReadDvbv5, false},
                              {"vdr", WriteVdrChannels, ReadVdrChannels, true}};
    for (const Format& format : formats) {
        SCOPED_TRACE(format.name);
        TExportReport report;
        const std::string text = format.write(*db, false, positions, report);
        ASSERT_EQ(report.written, db->ServiceInfo.Count());
        TImportData data;
        ASSERT_TRUE(format.read(text, format.name, data));
        ASSERT_EQ(int(data.services.size()), report.written);
        for (int r = 0; r < report.written; ++r) {
            const TServiceItem& mine = db->ServiceInfo.pServiceInfo[std::size_t(r)];
            const TImportService& back = data.services[std::size_t(r)];
            const TImportStream& stream = data.streams[std::size_t(back.stream)];
            const TTSItem& ts = db->TSInfo.Info[std::size_t(mine.pTSIndex)];
            // Names pass through UTF-8; the DVB emphasis bytes of the sample are dropped.
            EXPECT_EQ(back.service.szServiceName,
                      ImportServiceName(Latin1ToUtf8(mine.szServiceName), TSourceText::Utf8).name);
            EXPECT_EQ(back.service.wServiceId, mine.wServiceId);
            EXPECT_EQ(back.service.ServiceType, mine.ServiceType);
            EXPECT_EQ(back.service.wAudioPID, mine.wAudioPID);
            if (mine.ServiceType == kServiceTypeTV) {
                EXPECT_EQ(back.service.wVideoPID, mine.wVideoPID) << mine.szServiceName;
            }
            EXPECT_EQ(stream.tuning.dwFrequency, ts.SATTSInfo.dwFrequency);
            EXPECT_EQ(stream.tuning.ucPolarization, ts.SATTSInfo.ucPolarization);
            // Without positions, two antennas' streams on one frequency are one
            // stream to a dvbv5 reader (the sample has such a pair).
            if (!format.carriesPositionsAndProviders)
                continue;
            EXPECT_EQ(stream.tuning.dwSymbolRate, ts.SATTSInfo.dwSymbolRate);
            EXPECT_EQ(stream.tuning.ucFEC, ts.SATTSInfo.ucFEC);
            EXPECT_EQ(stream.position, positions[ts.wAntennaIndex]);
            EXPECT_EQ(back.service.wPCRPID, mine.wPCRPID);
            EXPECT_EQ(back.service.bScrambled, mine.bScrambled);
            EXPECT_EQ(back.provider, mine.pProviderIndex < 0
                                         ? std::string()
                                         : db->ProviderInfo.Info[std::size_t(mine.pProviderIndex)].szProviderName);
            EXPECT_EQ(stream.wOrgNetworkId, ts.wOrgNetworkId);
            EXPECT_EQ(stream.wTsId, ts.wTsId);
        }
    }
}

}  // namespace
}  // namespace lumora
