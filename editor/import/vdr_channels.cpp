// VDR channels.conf: one channel a line, thirteen ':'-separated fields
// (name, frequency, parameters, source, symbol rate, VPID, APID, TPID, CA,
// SID, NID, TID, RID; as VDR does, the last three may be left out), and
// ":name" or ":@n name" group lines.
//
// Groups become lists: a group's TV services form one list and its radio
// services another, each created when its first service arrives, in file
// order. A list's firstNumber is the number VDR gives that service: channels
// are numbered from 1 in file order, every channel line counts, and ":@n"
// sets the number of the channel that follows.
#include <algorithm>
#include <array>
#include <cctype>
#include <climits>

#include "import_formats.h"
#include "service_collector.h"

namespace lumora {
namespace {

constexpr std::size_t kVdrFields = 13;
constexpr uint32_t kLargestPid = 0x1FFF;

// The parameter field: letters, each followed by its value unless it is a
// polarisation.
struct TVdrParameters {
    char polarisation = 0;
    std::optional<uint32_t> codeRate;
    std::optional<uint32_t> modulation;
    uint32_t system = 0;
    uint32_t streamId = 0;
};

std::optional<TVdrParameters> ParseParameters(std::string_view text, std::string& error)
{
    TVdrParameters result;
    std::size_t i = 0;
    while (i < text.size()) {
        const char key = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i++])));
        if (key == 'H' || key == 'V' || key == 'L' || key == 'R') {
            result.polarisation = key;
            continue;
        }
        if (std::string_view("BCDGIMNOPQSTXY").find(key) == std::string_view::npos) {
            error = "unknown parameter '" + std::string(1, text[i - 1]) + "' in " + Quoted(text);
            return std::nullopt;
        }
        const std::size_t start = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
            ++i;
        const std::optional<uint32_t> value = ParseBounded(text.substr(start, i - start), 100000);
        if (!value) {
            error = "parameter '" + std::string(1, key) + "' without a valid number in " + Quoted(text);
            return std::nullopt;
        }
        if (key == 'C')
            result.codeRate = value;
        else if (key == 'M')
            result.modulation = value;
        else if (key == 'S')
            result.system = *value;
        else if (key == 'P')
            result.streamId = *value;
    }
    return result;
}

// "pid[=lang][@type],...": the first PID, 0 when the list is empty.
std::optional<uint16_t> FirstPid(std::string_view list)
{
    std::optional<uint16_t> first;
    if (list.empty())
        return uint16_t(0);
    for (std::string_view item : SplitFields(list, ',')) {
        const std::optional<uint32_t> pid = ParseBounded(item.substr(0, item.find_first_of("=@")), kLargestPid);
        if (!pid)
            return std::nullopt;
        if (!first)
            first = uint16_t(*pid);
    }
    return first;
}

// The satellite code rate as ucFEC: 1/2..7/8 are 0..4, everything else Auto.
uint8_t SatelliteFec(std::optional<uint32_t> codeRate, std::vector<TStreamChange>& changes)
{
    constexpr std::array<uint32_t, 5> kRates{12, 23, 34, 56, 78};
    for (std::size_t i = 0; i < kRates.size(); ++i)
        if (codeRate == kRates[i])
            return uint8_t(i);
    if (codeRate && *codeRate != 999)
        changes.push_back(
            {TImportCount::CodeRateChanged, "code rate C" + std::to_string(*codeRate) + " stored as Auto"});
    return 5;
}

// The cable modulation as ucFEC: 16..256-QAM are 1..5, everything else Auto.
uint8_t CableQam(std::optional<uint32_t> modulation, std::vector<TStreamChange>& changes)
{
    constexpr std::array<uint32_t, 5> kQam{16, 32, 64, 128, 256};
    for (std::size_t i = 0; i < kQam.size(); ++i)
        if (modulation == kQam[i])
            return uint8_t(i + 1);
    if (modulation && *modulation != 999)
        changes.push_back(
            {TImportCount::CodeRateChanged, "modulation M" + std::to_string(*modulation) + " stored as Auto"});
    return 6;
}

// A cable frequency in MHz, kHz or Hz, as kHz.
uint32_t CableKilohertz(uint32_t written)
{
    uint64_t hertz = written;
    while (hertz != 0 && hertz <= 1000000)
        hertz *= 1000;
    return uint32_t(std::min<uint64_t>(hertz / 1000, UINT32_MAX));
}

class TVdrReader {
public:
    TVdrReader(std::string_view text, const std::string& name) : text_(text), out_(name) {}

    Status Read();
    TImportData Take() { return out_.Take(); }

private:
    struct TGroupList {
        int32_t tv = -1;
        int32_t radio = -1;
    };
    // A channel's fields once they are known to be well formed.
    struct TChannel {
        std::string_view name, provider;
        TImportStream stream;
        std::vector<TStreamChange> changes;
        TServiceItem service;
        std::string skip;  // why it is not imported, when it is not
        TImportCount skipCount = TImportCount::SkippedOther;
    };

    void ReadGroup(std::string_view line);
    Status ParseChannel(std::string_view line, std::size_t lineNo, TChannel& channel) const;
    Status ParseTuning(const std::vector<std::string_view>& f, std::size_t lineNo, TChannel& channel) const;
    Status ParseService(const std::vector<std::string_view>& f, std::size_t lineNo, TChannel& channel) const;
    void Keep(TChannel& channel, std::size_t lineNo);

    std::string_view text_;
    TServiceCollector out_;
    std::string groupName_;
    TGroupList group_;
    bool inGroup_ = false;
    uint32_t nextNumber_ = 1;
};

Status TVdrReader::Read()
{
    const std::vector<std::string_view> lines = SplitLines(text_);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string_view line = TrimBlanks(lines[i]);
        if (i == 0 && line.starts_with("\xEF\xBB\xBF"))
            line.remove_prefix(3);
        if (line.empty() || line.starts_with('#'))
            continue;
        if (line.starts_with(':')) {
            ReadGroup(line.substr(1));
            continue;
        }
        TChannel channel;
        if (Status status = ParseChannel(line, i + 1, channel); !status)
            return status;
        out_.data().report.Bump(TImportCount::Entries);
        if (channel.skip.empty())
            Keep(channel, i + 1);
        else
            out_.Note(channel.skipCount, i + 1, Quoted(channel.name) + " skipped: " + channel.skip);
        ++nextNumber_;
    }
    return {};
}

void TVdrReader::ReadGroup(std::string_view line)
{
    const std::string_view label = TrimBlanks(line);  // the name of a group that has only a number
    if (line.starts_with('@')) {
        line.remove_prefix(1);
        std::size_t digits = 0;
        while (digits < line.size() && std::isdigit(static_cast<unsigned char>(line[digits])))
            ++digits;
        if (const std::optional<uint32_t> number = ParseBounded(line.substr(0, digits), 65535); number && *number > 0)
            nextNumber_ = *number;
        line.remove_prefix(digits);
    }
    groupName_ = NoteText(TrimBlanks(line).empty() ? label : TrimBlanks(line));
    group_ = {};
    inGroup_ = true;
}

Status TVdrReader::ParseChannel(std::string_view line, std::size_t lineNo, TChannel& channel) const
{
    std::vector<std::string_view> f = SplitFields(line, ':');
    if (f.size() < kFewestVdrFields || f.size() > kVdrFields)
        return out_.Fail(lineNo, "a channel has " + std::to_string(kFewestVdrFields) + " to " +
                                     std::to_string(kVdrFields) + " fields separated by ':', this line " +
                                     std::to_string(f.size()));
    f.resize(kVdrFields, "0");  // older files end without NID, TID or RID
    const std::size_t semicolon = f[0].find(';');
    channel.name = f[0].substr(0, semicolon);
    channel.name = channel.name.substr(0, channel.name.rfind(','));  // the short name follows the last comma
    if (semicolon != std::string_view::npos)
        channel.provider = f[0].substr(semicolon + 1);
    return ParseTuning(f, lineNo, channel).AndThen([&] { return ParseService(f, lineNo, channel); });
}

Status TVdrReader::ParseTuning(const std::vector<std::string_view>& f, std::size_t lineNo, TChannel& channel) const
{
    std::string error;
    const std::optional<TVdrParameters> p = ParseParameters(f[2], error);
    if (!p)
        return out_.Fail(lineNo, error);
    const std::optional<uint32_t> frequency = ParseBounded(f[1], UINT32_MAX);
    const std::optional<uint32_t> symbolRate = ParseBounded(f[4], 1000000);
    if (!frequency || !symbolRate)
        return out_.Fail(lineNo, "frequency and symbol rate are whole numbers");
    const std::string_view source = f[3];
    TImportStream& stream = channel.stream;
    stream.tuning.dwSymbolRate = *symbolRate;
    if (source.starts_with('S')) {
        stream.position = ParsePosition(source.substr(1));
        if (!stream.position)
            return out_.Fail(lineNo, "source " + Quoted(source) + " names no orbital position");
        stream.group = PositionText(*stream.position);
        stream.tuning.dwFrequency = *frequency;
        stream.tuning.ucPolarization = (p->polarisation == 'V' || p->polarisation == 'R') ? 1 : 0;
        if (p->polarisation == 'L' || p->polarisation == 'R')
            channel.changes.push_back({TImportCount::Circular, std::string("polarisation ") + p->polarisation +
                                                                   " stored as " +
                                                                   (p->polarisation == 'L' ? "H" : "V")});
        stream.tuning.ucFEC = SatelliteFec(p->codeRate, channel.changes);
        const uint32_t modulation = p->modulation.value_or(2);
        if (p->system == 1) {
            channel.skip = "DVB-S2";
            channel.skipCount = TImportCount::SkippedSecondGeneration;
        } else if (modulation >= 5 && modulation <= 7) {
            channel.skip = "8PSK/APSK modulation (M" + std::to_string(modulation) + ") is DVB-S2";
            channel.skipCount = TImportCount::SkippedSecondGeneration;
        } else if (p->streamId != 0) {
            channel.skip = "a stream id (P" + std::to_string(p->streamId) + ") is DVB-S2";
            channel.skipCount = TImportCount::SkippedSecondGeneration;
        } else if (modulation != 2 && modulation != 999) {
            channel.changes.push_back(
                {TImportCount::CodeRateChanged, "modulation M" + std::to_string(modulation) + " stored as QPSK"});
        }
    } else if (source == "C") {
        stream.delivery = TDelivery::Cable;
        stream.group = out_.fileName();
        stream.tuning.dwFrequency = CableKilohertz(*frequency);
        stream.tuning.ucFEC = CableQam(p->modulation, channel.changes);
    } else if (source == "T" || source == "A") {
        channel.skip = "terrestrial";
        channel.skipCount = TImportCount::SkippedTerrestrial;
    } else if (!source.empty() && std::isupper(static_cast<unsigned char>(source[0]))) {
        channel.skip = "source " + Quoted(source) + " is neither satellite nor cable";
    } else {
        return out_.Fail(lineNo, "source " + Quoted(source) + " is not a VDR source");
    }
    return {};
}

Status TVdrReader::ParseService(const std::vector<std::string_view>& f, std::size_t lineNo, TChannel& channel) const
{
    // VPID is "vpid[+pcr][=stream type]", APID "audio;dolby" lists.
    const std::string_view video = f[5].substr(0, f[5].find('='));
    const std::size_t plus = video.find('+');
    const std::optional<uint32_t> vpid = ParseBounded(video.substr(0, plus), kLargestPid);
    const std::optional<uint32_t> pcr =
        plus == std::string_view::npos ? vpid : ParseBounded(video.substr(plus + 1), kLargestPid);
    const std::size_t semicolon = f[6].find(';');
    const std::optional<uint16_t> apid = FirstPid(f[6].substr(0, semicolon));
    const std::optional<uint16_t> dolby =
        semicolon == std::string_view::npos ? uint16_t(0) : FirstPid(f[6].substr(semicolon + 1));
    if (!vpid || !pcr || !apid || !dolby)
        return out_.Fail(lineNo, "video and audio PIDs are numbers from 0 to 8191");
    std::array<std::optional<uint32_t>, 4> ids{};
    for (std::size_t i = 0; i < ids.size(); ++i)
        ids[i] = ParseBounded(f[9 + i], 65535);
    if (!ids[0] || !ids[1] || !ids[2] || !ids[3])
        return out_.Fail(lineNo, "SID, NID, TID and RID are numbers from 0 to 65535");
    bool scrambled = false;
    for (std::string_view ca : SplitFields(f[8], ',')) {
        const std::optional<uint32_t> system = ParseBounded(ca, 0xFFFF, 16);
        if (!system)
            return out_.Fail(lineNo, "CA " + Quoted(f[8]) + " is not a list of hex numbers");
        scrambled = scrambled || *system >= 0x100;
    }
    TServiceItem& s = channel.service;
    s.wVideoPID = uint16_t(*vpid);
    s.wPCRPID = uint16_t(*pcr);
    s.wAudioPID = *apid != 0 ? *apid : *dolby;
    s.ServiceType = s.wVideoPID != 0 ? kServiceTypeTV : kServiceTypeRadio;
    s.bScrambled = scrambled;
    s.wServiceId = uint16_t(*ids[0]);
    channel.stream.wOrgNetworkId = uint16_t(*ids[1]);
    channel.stream.wTsId = uint16_t(*ids[2]);
    if (channel.skip.empty() && s.wVideoPID == 0 && s.wAudioPID == 0)
        channel.skip = "no video or audio PID";
    return {};
}

void TVdrReader::Keep(TChannel& channel, std::size_t lineNo)
{
    // VDR writes a ':' in a name as '|'.
    std::string name(channel.name), provider(channel.provider);
    std::replace(name.begin(), name.end(), '|', ':');
    std::replace(provider.begin(), provider.end(), '|', ':');
    const int32_t stream = out_.AddStream(std::move(channel.stream), lineNo, channel.changes);
    const std::optional<int32_t> service = out_.AddService(stream, channel.service, name, provider, lineNo);
    if (!service || !inGroup_)
        return;
    const bool radio = channel.service.ServiceType == kServiceTypeRadio;
    int32_t& list = radio ? group_.radio : group_.tv;
    std::vector<TImportList>& lists = out_.data().lists;
    if (list < 0) {
        list = int32_t(lists.size());
        lists.push_back({groupName_, radio, {}, uint16_t(nextNumber_ <= 65535 ? nextNumber_ : 0)});
    }
    lists[std::size_t(list)].services.push_back(*service);
}

}  // namespace

Status ReadVdrChannels(std::string_view text, const std::string& name, TImportData& data)
{
    TVdrReader reader(text, name);
    Status status = reader.Read();
    if (status)
        data.Append(reader.Take());
    return status;
}

}  // namespace lumora
