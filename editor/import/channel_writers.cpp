// The dvbv5 channel file and VDR's channels.conf, written from a database.
// Both walk the same list of services: TV and radio in stored order, each
// with its stream, its orbital position and its name in UTF-8.
#include <algorithm>
#include <map>
#include <optional>

#include "export_formats.h"
#include "import_text.h"

namespace lumora {
namespace {

inline constexpr uint8_t kPolarizationAuto = 2;
inline constexpr uint8_t kCodeRateAuto = 5;

struct TExportedService {
    const TServiceItem* service = nullptr;
    const TTSItem* stream = nullptr;
    std::optional<int32_t> position;  // satellite only
    std::string name;  // UTF-8, characters the format cannot hold replaced
    std::string provider;  // UTF-8
};

// How a format spells a name: the characters it replaces.
using NameRule = std::string (*)(std::string name, bool& changed);

std::string ProviderName(const TChannelDatabase& db, const TServiceItem& service)
{
    const int index = service.pProviderIndex;
    if (index < 0 || index >= db.ProviderInfo.wProviderNum || index >= kProviderCapacity)
        return {};
    return std::string(TrimBlanks(Latin1ToUtf8(db.ProviderInfo.Info[index].szProviderName)));
}

const TTSItem* StreamOf(const TChannelDatabase& db, const TServiceItem& service)
{
    const int index = service.pTSIndex;
    if (index < 0 || index >= db.TSInfo.wTSNum || index >= kTSCapacity)
        return nullptr;
    return &db.TSInfo.Info[index];
}

std::optional<int32_t> PositionOfStream(const TTSItem& stream, const TAntennaPositions& positions)
{
    if (stream.wAntennaIndex >= positions.size())
        return std::nullopt;
    return positions[stream.wAntennaIndex];
}

// A name without control characters: C0, DEL and the C1 range that holds
// DVB's emphasis marks, which neither format can hold.
std::string WithoutControls(std::string name, bool& changed)
{
    const auto control = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || (byte >= 0x7F && byte <= 0x9F);
    };
    changed = std::erase_if(name, control) > 0;
    return name;
}

std::string CountOfServices(int count) { return std::to_string(count) + (count == 1 ? " service" : " services"); }

// Collects what both formats write and notes what they leave out.
class TServiceWalk {
public:
    TServiceWalk(const TChannelDatabase& db, bool cable, const TAntennaPositions& positions, NameRule rule)
        : db_(db), cable_(cable), positions_(positions), rule_(rule)
    {
    }

    std::vector<TExportedService> Services()
    {
        std::vector<TExportedService> services;
        const int count = std::min(db_.ServiceInfo.Count(), kServiceCapacity);
        for (int i = 0; i < count; ++i)
            if (std::optional<TExportedService> entry = Take(db_.ServiceInfo.pServiceInfo[i]))
                services.push_back(std::move(*entry));
        return services;
    }

    void Notes(TExportReport& report) const
    {
        for (const auto& [antenna, count] : withoutPosition_)
            report.notes.push_back(CountOfServices(count) + " on antenna " + std::to_string(antenna + 1) +
                                   " left out: its satellite has no orbital position in the position table");
        if (withoutStream_ > 0)
            report.notes.push_back(CountOfServices(withoutStream_) + " without a stream left out");
        if (autoPolarization_ > 0)
            report.notes.push_back(CountOfServices(autoPolarization_) +
                                   " on streams with polarisation Auto, which the format cannot hold: "
                                   "written without polarisation");
        if (renamed_ > 0)
            report.notes.push_back(CountOfServices(renamed_) +
                                   " with characters in the name that the format cannot hold: written replaced or "
                                   "left out");
        if (unnamed_ > 0)
            report.notes.push_back(CountOfServices(unnamed_) + " without a name: written as #<service id>");
    }

private:
    std::optional<TExportedService> Take(const TServiceItem& service)
    {
        const TTSItem* stream = StreamOf(db_, service);
        if (!stream) {
            ++withoutStream_;
            return std::nullopt;
        }
        TExportedService entry{&service, stream, std::nullopt, {}, ProviderName(db_, service)};
        if (!cable_) {
            entry.position = PositionOfStream(*stream, positions_);
            if (!entry.position) {
                ++withoutPosition_[stream->wAntennaIndex];
                return std::nullopt;
            }
            if (stream->SATTSInfo.ucPolarization == kPolarizationAuto)
                ++autoPolarization_;
        }
        bool changed = false;
        entry.name = std::string(TrimBlanks(Latin1ToUtf8(WithoutControls(service.szServiceName, changed))));
        if (entry.name.empty()) {
            entry.name = "#" + std::to_string(service.wServiceId);
            ++unnamed_;
        }
        entry.name = rule_(std::move(entry.name), changed);
        renamed_ += changed ? 1 : 0;
        return entry;
    }

    const TChannelDatabase& db_;
    bool cable_;
    const TAntennaPositions& positions_;
    NameRule rule_;
    std::map<int, int> withoutPosition_;
    int withoutStream_ = 0;
    int autoPolarization_ = 0;
    int renamed_ = 0;
    int unnamed_ = 0;
};

std::string Replaced(std::string text, char from, char to, bool& changed)
{
    if (text.find(from) != std::string::npos) {
        std::ranges::replace(text, from, to);
        changed = true;
    }
    return text;
}

// --- dvbv5 -------------------------------------------------------------------

// libdvbv5 writes a name as it is, and its reader ends the name at the first
// ']': a ']' becomes ')', which reads back whole.
std::string Dvbv5Name(std::string name, bool& changed) { return Replaced(std::move(name), ']', ')', changed); }

const char* Dvbv5CodeRate(uint8_t ucFEC)
{
    constexpr const char* kRates[] = {"1/2", "2/3", "3/4", "5/6", "7/8"};
    return ucFEC < std::size(kRates) ? kRates[ucFEC] : "AUTO";
}

const char* Dvbv5Modulation(uint8_t ucFEC)
{
    constexpr const char* kModulations[] = {"QAM/16", "QAM/32", "QAM/64", "QAM/128", "QAM/256"};
    return ucFEC >= 1 && ucFEC <= std::size(kModulations) ? kModulations[ucFEC - 1] : "QAM/AUTO";
}

// The antenna's DiSEqC input A..D as libdvbv5's satellite number 0..3.
std::optional<int> SatelliteNumber(const TChannelDatabase& db, const TTSItem& stream)
{
    if (stream.wAntennaIndex >= kAntennaCapacity)
        return std::nullopt;
    const int input = (db.AntennaList.AntennaInfo[stream.wAntennaIndex].ucOtherSetting >> 1) & 0x0F;
    return input <= 3 ? std::optional<int>(input) : std::nullopt;
}

void AppendKey(std::string& out, const char* key, const std::string& value)
{
    out += '\t';
    out += key;
    out += " = ";
    out += value;
    out += '\n';
}

std::string Dvbv5Entry(const TChannelDatabase& db, const TExportedService& entry, bool cable)
{
    const TServiceItem& service = *entry.service;
    const TSATTSInfo& tuning = entry.stream->SATTSInfo;
    std::string out = "[" + entry.name + "]\n";
    AppendKey(out, "SERVICE_ID", std::to_string(service.wServiceId));
    if (service.ServiceType != kServiceTypeRadio && service.wVideoPID != 0)
        AppendKey(out, "VIDEO_PID", std::to_string(service.wVideoPID));
    if (service.wAudioPID != 0)
        AppendKey(out, "AUDIO_PID", std::to_string(service.wAudioPID));
    if (cable) {
        AppendKey(out, "DELIVERY_SYSTEM", "DVBC/ANNEX_A");
        AppendKey(out, "FREQUENCY", std::to_string(uint64_t(tuning.dwFrequency) * 1000));  // kHz to Hz
        AppendKey(out, "SYMBOL_RATE", std::to_string(uint64_t(tuning.dwSymbolRate) * 1000));
        AppendKey(out, "MODULATION", Dvbv5Modulation(tuning.ucFEC));
    } else {
        if (const std::optional<int> number = SatelliteNumber(db, *entry.stream))
            AppendKey(out, "SAT_NUMBER", std::to_string(*number));
        AppendKey(out, "DELIVERY_SYSTEM", "DVBS");
        AppendKey(out, "FREQUENCY", std::to_string(uint64_t(tuning.dwFrequency) * 1000));  // MHz to kHz
        if (tuning.ucPolarization < kPolarizationAuto)
            AppendKey(out, "POLARIZATION", tuning.ucPolarization == 0 ? "HORIZONTAL" : "VERTICAL");
        AppendKey(out, "SYMBOL_RATE", std::to_string(uint64_t(tuning.dwSymbolRate) * 1000));
        AppendKey(out, "INNER_FEC", Dvbv5CodeRate(tuning.ucFEC));
        AppendKey(out, "MODULATION", "QPSK");
    }
    AppendKey(out, "INVERSION", "AUTO");
    return out;
}

// --- VDR ---------------------------------------------------------------------

// The placeholder CA value of a scrambled service: a CA system id (0x100 and
// above) tells VDR the service needs a CAM; VDR replaces it with the real
// systems from the stream once it tunes there.
inline constexpr const char* kScrambledCa = "FFFF";

// VDR writes a ':' in a name as '|'. A ';' would start the provider and a ','
// the short name: a ';' is written as ',', and a name with a ',' ends with one
// more, which leaves VDR an empty short name and the whole name.
std::string VdrName(std::string name, bool& changed)
{
    name = Replaced(Replaced(std::move(name), ':', '|', changed), ';', ',', changed);
    if (name.find(',') != std::string::npos)
        name += ',';
    return name;
}

std::string VdrFrequency(const TSATTSInfo& tuning, bool cable)
{
    if (cable && tuning.dwFrequency % 1000 != 0)
        return std::to_string(tuning.dwFrequency);  // kHz: VDR scales it to Hz
    return std::to_string(cable ? tuning.dwFrequency / 1000 : tuning.dwFrequency);
}

std::string VdrParameters(const TSATTSInfo& tuning, bool cable)
{
    if (cable) {
        constexpr const char* kQam[] = {"16", "32", "64", "128", "256"};
        const bool known = tuning.ucFEC >= 1 && tuning.ucFEC <= std::size(kQam);
        return std::string("C0M") + (known ? kQam[tuning.ucFEC - 1] : "999");
    }
    constexpr const char* kRates[] = {"12", "23", "34", "56", "78"};
    std::string parameters = tuning.ucPolarization == 0 ? "H" : tuning.ucPolarization == 1 ? "V" : "";
    parameters += "C";
    parameters += tuning.ucFEC < std::size(kRates) ? kRates[tuning.ucFEC] : "999";
    return parameters + "M2S0";
}

std::string VdrVideo(const TServiceItem& service)
{
    // A radio service keeps its PCR PID after the 0, as VDR writes it.
    if (service.ServiceType == kServiceTypeRadio || service.wVideoPID == 0)
        return service.wPCRPID == 0 ? "0" : "0+" + std::to_string(service.wPCRPID);
    std::string video = std::to_string(service.wVideoPID);
    if (service.wPCRPID != 0 && service.wPCRPID != service.wVideoPID)
        video += "+" + std::to_string(service.wPCRPID);
    return video;
}

std::string VdrTeletext(const TServiceItem& service)
{
    std::string text = std::to_string(service.wTeletextPID);
    if (service.wSubtitlePID != 0)
        text += ";" + std::to_string(service.wSubtitlePID);
    return text;
}

std::string VdrLine(const TExportedService& entry, bool cable)
{
    const TServiceItem& service = *entry.service;
    const TSATTSInfo& tuning = entry.stream->SATTSInfo;
    std::string provider = entry.provider;
    bool ignored = false;
    provider = Replaced(std::move(provider), ':', '|', ignored);
    const std::string fields[] = {
        entry.name + ";" + provider,
        VdrFrequency(tuning, cable),
        VdrParameters(tuning, cable),
        cable ? "C" : "S" + PositionText(*entry.position),
        std::to_string(tuning.dwSymbolRate),
        VdrVideo(service),
        std::to_string(service.wAudioPID),
        VdrTeletext(service),
        service.bScrambled ? kScrambledCa : "0",
        std::to_string(service.wServiceId),
        std::to_string(entry.stream->wOrgNetworkId),
        std::to_string(entry.stream->wTsId),
        "0",
    };
    std::string line;
    for (const std::string& field : fields)
        line += (line.empty() ? "" : ":") + field;
    return line + "\n";
}

}  // namespace

std::string WriteDvbv5Channels(const TChannelDatabase& db, bool cable, const TAntennaPositions& positions,
                               TExportReport& report)
{
    TServiceWalk walk(db, cable, positions, &Dvbv5Name);
    std::string out = "# dvbv5 channel file\n";
    for (const TExportedService& entry : walk.Services()) {
        out += Dvbv5Entry(db, entry, cable);
        ++report.written;
    }
    report.notes.push_back(
        "PMT and PCR PIDs, teletext and subtitle PIDs, network and stream ids, providers, service numbers, genres, "
        "lock and skip flags and the scrambled mark are not part of a dvbv5 channel file");
    walk.Notes(report);
    return out;
}

std::string WriteVdrChannels(const TChannelDatabase& db, bool cable, const TAntennaPositions& positions,
                             TExportReport& report)
{
    TServiceWalk walk(db, cable, positions, &VdrName);
    std::string out;
    for (const TExportedService& entry : walk.Services()) {
        out += VdrLine(entry, cable);
        ++report.written;
    }
    report.notes.push_back(
        "PMT PIDs, service numbers, genres, lock and skip flags are not part of VDR's channels.conf; scrambled "
        "services carry the placeholder CA value FFFF, as their CA systems are not known");
    walk.Notes(report);
    return out;
}

}  // namespace lumora
