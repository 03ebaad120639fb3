// The Linux DVB tools' text tables: dvbv5 channel and initial-tuning files
// ("[name]" sections of "KEY = value" lines), the older one-line tables
// ("S 11778000 V 27500000 3/4") and combined scan files ("[dvb-s/Name-19.2E]"
// sections of one-line entries).
#include <algorithm>
#include <array>
#include <cstdint>
#include <set>
#include <utility>

#include "import_formats.h"
#include "import_text.h"
#include "transponder_entry.h"

namespace lumora {
namespace {

constexpr uint64_t kLargestPid = 0x1FFF;
constexpr uint64_t kLargestServiceId = 0xFFFF;
// libdvbv5 writes this stream id for "no stream id filter".
constexpr uint64_t kNoStreamId = 0xFFFFFFFF;

enum class TSystem : uint8_t { Unknown, DvbS, DvbS2, Cable, Terrestrial, Other };

TSystem SystemFromName(std::string_view name)
{
    static constexpr std::array<std::pair<std::string_view, TSystem>, 20> kSystems{{
        {"DVBS", TSystem::DvbS},          {"DVBS2", TSystem::DvbS2},        {"DVBC/ANNEX_A", TSystem::Cable},
        {"DVBC/ANNEX_C", TSystem::Cable}, {"DVBT", TSystem::Terrestrial},   {"DVBT2", TSystem::Terrestrial},
        {"DVBH", TSystem::Terrestrial},   {"ATSC", TSystem::Terrestrial},   {"ATSCMH", TSystem::Terrestrial},
        {"ISDBT", TSystem::Terrestrial},  {"DTMB", TSystem::Terrestrial},   {"CMMB", TSystem::Terrestrial},
        {"DAB", TSystem::Terrestrial},    {"DVBC/ANNEX_B", TSystem::Other}, {"DVBC2", TSystem::Other},
        {"ISDBS", TSystem::Other},        {"ISDBC", TSystem::Other},        {"DSS", TSystem::Other},
        {"TURBO", TSystem::Other},        {"UNDEFINED", TSystem::Other},
    }};
    for (const auto& [text, system] : kSystems)
        if (SameText(name, text))
            return system;
    return TSystem::Unknown;
}

// Modulation names of dvbv5 ("PSK/8", "QAM/64") and of the one-line tables
// ("8PSK", "QAM64"); none for a name of neither.
std::optional<TModulation> ModulationFromName(std::string_view name)
{
    using M = TModulation;
    static constexpr std::array<std::pair<std::string_view, M>, 30> kModulations{{
        {"QPSK", M::Qpsk},
        {"AUTO", M::Auto},
        {"QAM/AUTO", M::Auto},
        {"PSK/8", M::SecondGeneration},
        {"8PSK", M::SecondGeneration},
        {"APSK/16", M::SecondGeneration},
        {"16APSK", M::SecondGeneration},
        {"APSK/32", M::SecondGeneration},
        {"32APSK", M::SecondGeneration},
        {"APSK/64", M::SecondGeneration},
        {"64APSK", M::SecondGeneration},
        {"APSK/8_L", M::SecondGeneration},
        {"QAM/16", M::Qam16},
        {"QAM16", M::Qam16},
        {"QAM/32", M::Qam32},
        {"QAM32", M::Qam32},
        {"QAM/64", M::Qam64},
        {"QAM64", M::Qam64},
        {"QAM/128", M::Qam128},
        {"QAM128", M::Qam128},
        {"QAM/256", M::Qam256},
        {"QAM256", M::Qam256},
        {"VSB/8", M::Other},
        {"8VSB", M::Other},
        {"VSB/16", M::Other},
        {"16VSB", M::Other},
        {"DQPSK", M::Other},
        {"QAM/4_NR", M::Other},
        {"QAM/1024", M::Other},
        {"QAM/4096", M::Other},
    }};
    for (const auto& [text, modulation] : kModulations)
        if (SameText(name, text))
            return modulation;
    return std::nullopt;
}

bool IsOneOf(std::string_view value, std::initializer_list<std::string_view> names)
{
    for (std::string_view name : names)
        if (SameText(value, name))
            return true;
    return false;
}

// The cable ucFEC of a named modulation, noting one this editor lacks.
uint8_t CableModulation(std::optional<TModulation> modulation, std::string_view name, TCableEntry& entry)
{
    const uint8_t fec = CableFecOf(modulation.value_or(TModulation::Auto));
    if (modulation && fec == kCableAuto && *modulation != TModulation::Auto)
        entry.notes.push_back({TImportCount::CodeRateChanged, "modulation " + std::string(name) + " stored as Auto"});
    return fec;
}

// One "[name]" section of a dvbv5 file, as far as it was read.
struct TDvbv5Entry {
    std::string_view name;
    std::size_t line = 0;
    std::string fault;  // the first value that could not be read
    std::size_t faultLine = 0;
    bool hasSystem = false;
    TSystem system = TSystem::Unknown;
    std::optional<uint64_t> frequency;
    std::size_t frequencyLine = 0;
    std::optional<uint64_t> symbolRate;
    char polarisation = 0;
    std::optional<TCodeRate> codeRate;
    std::string codeRateName;
    std::optional<TModulation> modulation;
    std::string modulationName;
    bool multistream = false;
    std::optional<uint64_t> serviceId;
    std::optional<uint64_t> videoPid;
    std::optional<uint64_t> audioPid;
};

void Fault(TDvbv5Entry& entry, std::size_t line, std::string_view key, std::string_view value)
{
    if (entry.fault.empty()) {
        entry.fault = "unknown " + std::string(key) + " value \"" + std::string(value) + "\", entry skipped";
        entry.faultLine = line;
    }
}

// A number no larger than `largest`; a fault otherwise.
std::optional<uint64_t> NumberValue(TDvbv5Entry& entry, std::size_t line, std::string_view key, std::string_view value,
                                    uint64_t largest)
{
    const std::optional<uint64_t> number = ParseUnsigned(value);
    if (!number || *number > largest) {
        Fault(entry, line, key, value);
        return std::nullopt;
    }
    return number;
}

// The first of a blank-separated PID list.
std::optional<uint64_t> FirstPid(TDvbv5Entry& entry, std::size_t line, std::string_view key, std::string_view value)
{
    const std::size_t end = value.find_first_of(" \t");
    return NumberValue(entry, line, key, value.substr(0, end), kLargestPid);
}

void ApplyTuningKey(TDvbv5Entry& entry, std::size_t line, std::string_view key, std::string_view value)
{
    if (SameText(key, "DELIVERY_SYSTEM")) {
        entry.hasSystem = true;
        entry.system = SystemFromName(value);
        if (entry.system == TSystem::Unknown)
            Fault(entry, line, key, value);
    } else if (SameText(key, "FREQUENCY")) {
        entry.frequency = NumberValue(entry, line, key, value, UINT32_MAX);
        entry.frequencyLine = line;
    } else if (SameText(key, "SYMBOL_RATE")) {
        entry.symbolRate = NumberValue(entry, line, key, value, UINT32_MAX);
    } else if (SameText(key, "POLARIZATION")) {
        entry.polarisation =
            IsOneOf(value, {"HORIZONTAL", "VERTICAL", "LEFT", "RIGHT"}) ? PolarisationLetter(value) : 0;
        if (!entry.polarisation && !SameText(value, "OFF"))
            Fault(entry, line, key, value);
    } else if (SameText(key, "INNER_FEC")) {
        entry.codeRate = CodeRateFromName(value);
        entry.codeRateName = value;
        if (!entry.codeRate)
            Fault(entry, line, key, value);
    } else if (SameText(key, "MODULATION")) {
        entry.modulation = ModulationFromName(value);
        entry.modulationName = value;
        if (!entry.modulation)
            Fault(entry, line, key, value);
    } else if (SameText(key, "STREAM_ID")) {
        const std::optional<uint64_t> id = NumberValue(entry, line, key, value, UINT32_MAX);
        entry.multistream = id && *id != kNoStreamId;
    } else if ((SameText(key, "INVERSION") && !IsOneOf(value, {"OFF", "ON", "AUTO"})) ||
               (SameText(key, "PILOT") && !IsOneOf(value, {"OFF", "ON", "AUTO"})) ||
               (SameText(key, "ROLLOFF") && !IsOneOf(value, {"35", "25", "20", "15", "10", "5", "AUTO"}))) {
        Fault(entry, line, key, value);
    }
}

void ApplyKey(TDvbv5Entry& entry, std::size_t line, std::string_view key, std::string_view value)
{
    if (SameText(key, "SERVICE_ID"))
        entry.serviceId = NumberValue(entry, line, key, value, kLargestServiceId);
    else if (SameText(key, "VIDEO_PID"))
        entry.videoPid = value.empty() ? std::nullopt : FirstPid(entry, line, key, value);
    else if (SameText(key, "AUDIO_PID"))
        entry.audioPid = value.empty() ? std::nullopt : FirstPid(entry, line, key, value);
    else
        ApplyTuningKey(entry, line, key, value);
}

// Reads the entries of one dvbv5 file into `data`.
class TDvbv5Reader {
public:
    TDvbv5Reader(const std::string& name, std::optional<int32_t> position, TImportData& data)
        : streams_(name, data), data_(data), place_{position, name, 0}
    {
    }

    void Finish(const TDvbv5Entry& entry)
    {
        streams_.CountEntry();
        const int32_t stream = AddStream(entry);
        if (stream >= 0 && entry.serviceId && entry.name != "CHANNEL")
            AddService(entry, stream);
    }

private:
    int32_t AddStream(const TDvbv5Entry& entry)
    {
        const bool transponderOnly = !entry.serviceId || entry.name == "CHANNEL";
        TEntryPlace place = place_;
        place.line = entry.line;
        if (!entry.fault.empty()) {
            streams_.Note(TImportCount::SkippedOther, entry.faultLine, entry.fault);
            return -1;
        }
        switch (entry.system) {
        case TSystem::DvbS:
        case TSystem::DvbS2: return AddSatellite(entry, place, transponderOnly);
        case TSystem::Cable: return AddCable(entry, place, transponderOnly);
        case TSystem::Terrestrial:
            streams_.Note(TImportCount::SkippedTerrestrial, entry.line, "terrestrial entry skipped");
            return -1;
        case TSystem::Other:
            streams_.Note(TImportCount::SkippedOther, entry.line, "delivery system this editor lacks, entry skipped");
            return -1;
        case TSystem::Unknown: break;
        }
        streams_.Note(TImportCount::SkippedOther, entry.line, "entry without DELIVERY_SYSTEM skipped");
        return -1;
    }

    int32_t AddSatellite(const TDvbv5Entry& entry, const TEntryPlace& place, bool transponderOnly)
    {
        const uint64_t frequency = streams_.SatelliteKhz(entry.frequency.value_or(0), entry.frequencyLine);
        const TSatelliteSignal signal{entry.system == TSystem::DvbS2, entry.modulation.value_or(TModulation::Auto),
                                      entry.multistream};
        if (streams_.SkipSatellite(signal, entry.line))
            return -1;
        if (!entry.frequency || !entry.symbolRate || !entry.polarisation) {
            streams_.Note(TImportCount::SkippedOther, entry.line,
                          "satellite entry without FREQUENCY, SYMBOL_RATE or POLARIZATION skipped");
            return -1;
        }
        TSatelliteEntry satellite;
        satellite.frequency = frequency;
        satellite.symbolRate = *entry.symbolRate;
        satellite.polarisation = entry.polarisation;
        satellite.codeRate = entry.codeRate.value_or(TCodeRate::Auto);
        satellite.codeRateName = entry.codeRateName;
        return streams_.AddSatellite(satellite, place, transponderOnly);
    }

    int32_t AddCable(const TDvbv5Entry& entry, const TEntryPlace& place, bool transponderOnly)
    {
        if (!entry.frequency || !entry.symbolRate) {
            streams_.Note(TImportCount::SkippedOther, entry.line,
                          "cable entry without FREQUENCY or SYMBOL_RATE skipped");
            return -1;
        }
        TCableEntry cable;
        cable.frequency = (*entry.frequency + 500) / 1000;  // Hz
        cable.symbolRate = *entry.symbolRate;
        cable.modulation = CableModulation(entry.modulation, entry.modulationName, cable);
        return streams_.AddCable(cable, place, transponderOnly);
    }

    void AddService(const TDvbv5Entry& entry, int32_t stream)
    {
        if (!entry.videoPid && !entry.audioPid) {
            streams_.Note(TImportCount::SkippedOther, entry.line,
                          "service without video or audio (a data service) skipped");
            return;
        }
        if (!services_.emplace(stream, *entry.serviceId).second) {
            streams_.Note(TImportCount::Duplicates, entry.line,
                          "service " + std::to_string(*entry.serviceId) +
                              " again on the same transponder: imported once");
            return;
        }
        TImportService imported;
        imported.stream = stream;
        imported.origin = streams_.Where(entry.line);
        TServiceItem& service = imported.service;
        service.wServiceId = uint16_t(*entry.serviceId);
        service.wVideoPID = uint16_t(entry.videoPid.value_or(0));
        service.wAudioPID = uint16_t(entry.audioPid.value_or(0));
        // A radio service's clock comes with its sound.
        service.wPCRPID = entry.videoPid ? service.wVideoPID : service.wAudioPID;
        service.ServiceType = entry.videoPid ? kServiceTypeTV : kServiceTypeRadio;
        service.bExistService = true;
        const TImportedName name = ImportServiceName(entry.name, TSourceText::Utf8);
        service.szServiceName = name.name;
        if (name.changed)
            streams_.Note(TImportCount::NameChanged, entry.line,
                          "name \"" + std::string(entry.name) + "\" stored as \"" + Latin1ToUtf8(name.name) + "\"");
        streams_.Note(TImportCount::PmtUnknown, entry.line, "the file gives no PMT PID: stored as 0");
        data_.services.push_back(std::move(imported));
        data_.report.Bump(TImportCount::Services);
    }

    TStreamCollector streams_;
    TImportData& data_;
    TEntryPlace place_;
    std::set<std::pair<int32_t, uint64_t>> services_;
};

std::optional<std::string_view> SectionName(std::string_view line)
{
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        return std::nullopt;
    return line.substr(1, line.size() - 2);
}

Status LineFailure(const std::string& name, std::size_t line, std::string_view reason)
{
    return Status::Failure(name + ":" + std::to_string(line) + ": " + std::string(reason));
}

// The blank-separated fields of a one-line entry.
std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    for (std::size_t at = 0; at < line.size();) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos)
            break;
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        words.push_back(line.substr(start, end - start));
        at = end;
    }
    return words;
}

// Reads one-line entries into `streams`, each counted as an entry.
class TOneLineReader {
public:
    TOneLineReader(const std::string& name, TStreamCollector& streams) : name_(name), streams_(streams) {}

    // "S freq pol sr fec [rolloff mod [stream_id]]", "C freq sr fec mod",
    // "T ..."/"A ..." (skipped). A failure for a line of none of these shapes.
    Status Read(std::string_view line, const TEntryPlace& place)
    {
        const std::vector<std::string_view> words = Words(line);
        const std::string_view kind = words.front();
        if (IsOneOf(kind, {"S", "S1", "S2"}))
            return Satellite(words, place);
        if (kind == "C")
            return Cable(words, place);
        if (IsOneOf(kind, {"T", "T2", "A"})) {
            streams_.CountEntry();
            streams_.Note(TImportCount::SkippedTerrestrial, place.line, "terrestrial entry skipped");
            return {};
        }
        return LineFailure(name_, place.line, "not an initial-tuning entry (S, S2, C, T or A line)");
    }

private:
    Status Satellite(const std::vector<std::string_view>& words, const TEntryPlace& place)
    {
        if (words.size() != 5 && words.size() != 7 && words.size() != 8)
            return LineFailure(name_, place.line, "a satellite entry has 5, 7 or 8 fields");
        const std::optional<uint64_t> frequency = ParseUnsigned(words[1]);
        const std::optional<uint64_t> symbolRate = ParseUnsigned(words[3]);
        const bool streamId = words.size() == 8;
        if (!frequency || !symbolRate || (streamId && !ParseUnsigned(words[7])))
            return LineFailure(name_, place.line, "frequency, symbol rate and stream id are numbers");
        streams_.CountEntry();
        const std::optional<TCodeRate> codeRate = CodeRateFromName(words[4]);
        const std::optional<TModulation> modulation =
            words.size() >= 7 ? ModulationFromName(words[6]) : std::optional(TModulation::Auto);
        const char polarisation = words[2].size() == 1 ? PolarisationLetter(words[2]) : 0;
        const bool rolloff = words.size() < 7 || IsOneOf(words[5], {"35", "25", "20", "AUTO"});
        if (!codeRate || !modulation || !polarisation || !rolloff) {
            streams_.Note(TImportCount::SkippedOther, place.line,
                          "unknown polarisation, code rate, roll-off or modulation, entry skipped");
            return {};
        }
        const uint64_t frequencyKhz = streams_.SatelliteKhz(*frequency, place.line);
        if (streams_.SkipSatellite({words[0] == "S2", *modulation, streamId}, place.line))
            return {};
        const TSatelliteEntry entry{frequencyKhz, *symbolRate, polarisation, *codeRate, std::string(words[4])};
        streams_.AddSatellite(entry, place);
        return {};
    }

    Status Cable(const std::vector<std::string_view>& words, const TEntryPlace& place)
    {
        if (words.size() != 5)
            return LineFailure(name_, place.line, "a cable entry has 5 fields");
        const std::optional<uint64_t> frequency = ParseUnsigned(words[1]);
        const std::optional<uint64_t> symbolRate = ParseUnsigned(words[2]);
        if (!frequency || !symbolRate || *frequency > UINT32_MAX)
            return LineFailure(name_, place.line, "frequency and symbol rate are numbers");
        streams_.CountEntry();
        const std::optional<TModulation> modulation = ModulationFromName(words[4]);
        if (!CodeRateFromName(words[3]) || !modulation) {
            streams_.Note(TImportCount::SkippedOther, place.line, "unknown code rate or modulation, entry skipped");
            return {};
        }
        TCableEntry entry;
        entry.frequency = (*frequency + 500) / 1000;  // Hz
        entry.symbolRate = *symbolRate;
        entry.modulation = CableModulation(modulation, words[4], entry);
        streams_.AddCable(entry, place);
        return {};
    }

    const std::string& name_;
    TStreamCollector& streams_;
};

bool IsComment(std::string_view line) { return line.empty() || line.starts_with('#'); }

enum class TSection : uint8_t { None, Date, Transponders, Terrestrial, Other };

TSection SectionKind(std::string_view section)
{
    if (SameText(section, "date"))
        return TSection::Date;
    const std::string_view kind = section.substr(0, section.find('/'));
    if (IsOneOf(kind, {"dvb-s", "dvb-c"}))
        return TSection::Transponders;
    if (IsOneOf(kind, {"dvb-t", "atsc", "isdb-t"}))
        return TSection::Terrestrial;
    return TSection::Other;
}

}  // namespace

Status ReadDvbv5File(std::string_view text, const std::string& name, std::optional<int32_t> position, TImportData& data)
{
    TImportData read;
    read.name = name;
    TDvbv5Reader reader(name, position, read);
    std::optional<TDvbv5Entry> entry;
    const std::vector<std::string_view> lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimBlanks(lines[i]);
        if (IsComment(line))
            continue;
        if (const std::optional<std::string_view> section = SectionName(line)) {
            if (entry)
                reader.Finish(*entry);
            entry = TDvbv5Entry{};
            entry->name = *section;
            entry->line = i + 1;
            continue;
        }
        const std::size_t equals = line.find('=');
        const std::string_view key = TrimBlanks(line.substr(0, equals));
        if (equals == std::string_view::npos || key.empty())
            return LineFailure(name, i + 1, "neither a [section], a comment nor KEY = value");
        if (!entry)
            return LineFailure(name, i + 1, "KEY = value before the first [section]");
        ApplyKey(*entry, i + 1, key, TrimBlanks(line.substr(equals + 1)));
    }
    if (entry)
        reader.Finish(*entry);
    data.Append(std::move(read));
    return {};
}

Status ReadOneLineFile(std::string_view text, const std::string& name, std::optional<int32_t> position,
                       TImportData& data)
{
    TImportData read;
    read.name = name;
    TStreamCollector streams(name, read);
    TOneLineReader reader(name, streams);
    const std::vector<std::string_view> lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimBlanks(lines[i]);
        if (IsComment(line))
            continue;
        if (Status status = reader.Read(line, {position, name, i + 1}); !status)
            return status;
    }
    data.Append(std::move(read));
    return {};
}

Status ReadScanFile(std::string_view text, const std::string& name, TImportData& data)
{
    TImportData read;
    read.name = name;
    TStreamCollector streams(name, read);
    TOneLineReader reader(name, streams);
    TSection kind = TSection::None;
    TEntryPlace place;
    const std::vector<std::string_view> lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimBlanks(lines[i]);
        place.line = i + 1;
        if (IsComment(line)) {
            continue;
        } else if (const std::optional<std::string_view> section = SectionName(line)) {
            kind = SectionKind(*section);
            const std::size_t slash = section->find('/');
            place.group = std::string(slash == std::string_view::npos ? *section : section->substr(slash + 1));
            place.position = PositionFromFileName(place.group);
        } else if (kind == TSection::None) {
            return LineFailure(name, i + 1, "entry before the first [section]");
        } else if (kind == TSection::Terrestrial || kind == TSection::Other) {
            streams.CountEntry();
            streams.Note(kind == TSection::Terrestrial ? TImportCount::SkippedTerrestrial : TImportCount::SkippedOther,
                         i + 1, "entry of section " + place.group + " skipped");
        } else if (kind == TSection::Transponders) {
            if (Status status = reader.Read(line, place); !status)
                return status;
        }
    }
    data.Append(std::move(read));
    return {};
}

}  // namespace lumora
