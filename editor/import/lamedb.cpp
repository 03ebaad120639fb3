// enigma lamedb, versions 3, 4 and 5, with bouquets.tv/bouquets.radio and the
// userbouquet files they name.
//
// Versions 3 and 4 keep a "transponders" block (a "namespace:tsid:onid" line,
// a tuning line, "/") and a "services" block (a record line, the name, an
// options line), each closed by "end"; version 3 lacks the satellite line's
// flags field. Version 5 writes one record a line: "t:namespace:tsid:onid,s:..."
// and "s:sid:namespace:tsid:onid:type:number:source,"name",options".
//
// Every satellite and cable transponder becomes a stream. A service on a
// transponder that is skipped (DVB-S2, multistream, terrestrial) is counted
// in the transponder's category; so is a skipped transponder that carries no
// service. Bouquet entries are resolved by (sid, tsid, onid, namespace) to
// the services imported; the service type of a lamedb record is decimal,
// while the bouquet reference writes it (and every other id) in hex.
#include <algorithm>
#include <array>
#include <climits>
#include <set>
#include <tuple>

#include "import_formats.h"
#include "service_collector.h"

namespace lumora {
namespace {

constexpr std::size_t kMostFrontendFields = 24;
constexpr uint32_t kLargestPid = 0x1FFF;

using TTransponderKey = std::tuple<uint32_t, uint16_t, uint16_t>;  // namespace, tsid, onid
using TServiceKey = std::tuple<uint16_t, uint16_t, uint16_t, uint32_t>;  // sid, tsid, onid, namespace

struct TTransponder {
    int32_t stream = -1;  // -1: skipped
    TImportCount skipCount = TImportCount::SkippedOther;
    std::string skip;  // why it is skipped
    bool multistream = false;  // a DVB-S2 skip that is also multistream or T2-MI
    std::size_t line = 0;
    int32_t services = 0;
};

struct TOptions {
    std::string_view provider;
    std::array<std::optional<uint32_t>, 17> cachedPids{};
    bool scrambled = false;
    uint32_t flags = 0;
};

enum : std::size_t { kCachedVideo = 0, kCachedAudio = 1, kCachedPcr = 3, kCachedAc3 = 4, kCachedPmt = 16 };

std::optional<std::vector<int64_t>> SignedFields(std::string_view text)
{
    std::vector<int64_t> values;
    for (std::string_view field : SplitFields(text, ':')) {
        const std::optional<int64_t> value = ParseSigned(field);
        if (!value || *value < INT32_MIN || *value > UINT32_MAX || values.size() == kMostFrontendFields)
            return std::nullopt;
        values.push_back(*value);
    }
    return values;
}

// Enum A of the receiver images: 1..5 are 1/2..7/8, 0 is Auto.
uint8_t SatelliteFec(int64_t fec, std::vector<TStreamChange>& changes)
{
    if (fec >= 1 && fec <= 5)
        return uint8_t(fec - 1);
    if (fec != 0)
        changes.push_back({TImportCount::CodeRateChanged, "FEC " + std::to_string(fec) + " stored as Auto"});
    return 5;
}

class TLamedbReader {
public:
    TLamedbReader(std::string_view text, const std::string& name) : lines_(SplitLines(text)), out_(name) {}

    Status Read(const TBouquetFiles& bouquets);
    TImportData Take() { return out_.Take(); }

private:
    Status ReadHeader();
    Status ReadBlocks();
    Status ReadRecords();
    Status ReadTransponder(std::string_view key, std::string_view tuning, std::size_t lineNo);
    Status ReadTuning(char kind, std::string_view fields, std::string_view extras, std::size_t lineNo,
                      TTransponder& transponder, TImportStream& stream, std::vector<TStreamChange>& changes);
    Status ReadSatellite(const std::vector<int64_t>& f, std::string_view extras, std::size_t lineNo,
                         TTransponder& transponder, TImportStream& stream, std::vector<TStreamChange>& changes);
    Status ReadCable(const std::vector<int64_t>& f, std::size_t lineNo, TImportStream& stream,
                     std::vector<TStreamChange>& changes);
    Status ReadService(std::string_view record, std::string_view name, std::string_view options, std::size_t lineNo);
    Status ReadOptions(std::string_view text, std::size_t lineNo, TOptions& options) const;
    void NoteSkip(const TTransponder& transponder, std::size_t line, std::string text);
    void NoteSkippedTransponders();
    // The next line, or a failure when the file ends first.
    Status Next(std::size_t& i, std::string_view& line) const;
    // The next line must be the keyword `word`.
    Status Expect(std::size_t& i, std::string_view word) const;

    Status ReadBouquetIndex(const TBouquetFiles& bouquets, const std::string& indexName, bool radio);
    Status ReadUserBouquet(const std::string& fileName, const std::string& text, bool radio);
    Status ReadBouquetEntry(std::string_view reference, const std::string& origin, TImportList& list,
                            std::set<int32_t>& listed);

    std::vector<std::string_view> lines_;
    TServiceCollector out_;
    int version_ = 4;
    std::size_t at_ = 0;  // the next line to read
    std::map<TTransponderKey, TTransponder> transponders_;
    std::map<TServiceKey, int32_t> serviceIndex_;
    std::map<std::pair<int32_t, uint16_t>, int32_t> byStream_;
    std::set<std::string> bouquetsRead_;
};

Status TLamedbReader::Read(const TBouquetFiles& bouquets)
{
    Status status = ReadHeader().AndThen([&] { return version_ == 5 ? ReadRecords() : ReadBlocks(); });
    if (!status)
        return status;
    NoteSkippedTransponders();
    return ReadBouquetIndex(bouquets, "bouquets.tv", false).AndThen([&] {
        return ReadBouquetIndex(bouquets, "bouquets.radio", true);
    });
}

Status TLamedbReader::ReadHeader()
{
    for (; at_ < lines_.size(); ++at_) {
        const std::string_view line = TrimBlanks(lines_[at_]);
        if (line.empty() || line.starts_with('#'))
            continue;
        constexpr std::string_view kHeader = "eDVB services /";
        if (!line.starts_with(kHeader))
            break;
        const std::string_view version = line.substr(kHeader.size());
        for (int known : {3, 4, 5})
            if (version == std::to_string(known) + "/") {
                version_ = known;
                ++at_;
                return {};
            }
        return out_.Fail(at_ + 1, "lamedb version " + Quoted(version) + " is not read (3, 4 and 5 are)");
    }
    return out_.Fail(at_ + 1, "a lamedb begins with \"eDVB services /4/\"");
}

Status TLamedbReader::Next(std::size_t& i, std::string_view& line) const
{
    if (i >= lines_.size())
        return out_.Fail(lines_.size(), "the file ends before its \"end\"");
    line = lines_[i++];
    return {};
}

Status TLamedbReader::Expect(std::size_t& i, std::string_view word) const
{
    std::string_view line;
    if (Status status = Next(i, line); !status)
        return status;
    return TrimBlanks(line) == word ? Status() : out_.Fail(i, "\"" + std::string(word) + "\" expected");
}

// Versions 3 and 4: the transponders block, then the services block.
Status TLamedbReader::ReadBlocks()
{
    std::size_t i = at_;
    if (Status status = Expect(i, "transponders"); !status)
        return status;
    for (;;) {
        std::string_view key, tuning, slash;
        if (Status status = Next(i, key); !status)
            return status;
        if (TrimBlanks(key) == "end")
            break;
        const std::size_t keyLine = i;
        if (Status status = Next(i, tuning).AndThen([&] { return Next(i, slash); }); !status)
            return status;
        if (TrimBlanks(slash) != "/")
            return out_.Fail(i, "\"/\" expected after a transponder");
        if (Status status = ReadTransponder(key, TrimBlanks(tuning), keyLine); !status)
            return status;
    }
    if (Status status = Expect(i, "services"); !status)
        return status;
    for (;;) {
        std::string_view record, name, options;
        if (Status status = Next(i, record); !status)
            return status;
        if (TrimBlanks(record) == "end")
            return {};
        const std::size_t recordLine = i;
        if (Status status = Next(i, name).AndThen([&] { return Next(i, options); }); !status)
            return status;
        if (Status status = ReadService(record, name, TrimBlanks(options), recordLine); !status)
            return status;
    }
}

// Version 5: "t:" and "s:" records, '#' comments.
Status TLamedbReader::ReadRecords()
{
    for (std::size_t i = at_; i < lines_.size(); ++i) {
        const std::string_view line = TrimBlanks(lines_[i]);
        const std::size_t comma = line.find(',');
        Status status;
        if (line.empty() || line.starts_with('#'))
            continue;
        if (line.starts_with("t:") && comma != std::string_view::npos) {
            status = ReadTransponder(line.substr(2, comma - 2), line.substr(comma + 1), i + 1);
        } else if (line.starts_with("s:") && comma != std::string_view::npos &&
                   line.substr(comma + 1).starts_with('"')) {
            const std::string_view rest = line.substr(comma + 2);
            const std::size_t quote = rest.find('"');
            const std::string_view after = quote == std::string_view::npos ? "" : rest.substr(quote + 1);
            if (quote == std::string_view::npos || !(after.empty() || after.starts_with(',')))
                return out_.Fail(i + 1, "a service name ends with '\"' and its options follow after a ','");
            status = ReadService(line.substr(2, comma - 2), rest.substr(0, quote), after.substr(after.empty() ? 0 : 1),
                                 i + 1);
        } else {
            return out_.Fail(i + 1, "neither a transponder (\"t:\") nor a service (\"s:...,\"name\"\")");
        }
        if (!status)
            return status;
    }
    return {};
}

Status TLamedbReader::ReadTransponder(std::string_view key, std::string_view tuning, std::size_t lineNo)
{
    const std::vector<std::string_view> ids = SplitFields(TrimBlanks(key), ':');
    std::optional<uint32_t> ns, tsid, onid;
    if (ids.size() == 3) {
        ns = ParseBounded(ids[0], UINT32_MAX, 16);
        tsid = ParseBounded(ids[1], 0xFFFF, 16);
        onid = ParseBounded(ids[2], 0xFFFF, 16);
    }
    if (!ns || !tsid || !onid)
        return out_.Fail(lineNo, "a transponder is named \"namespace:tsid:onid\" in hex");
    // Version 4 writes "s 11582250:...", version 5 "s:11582250:...,MIS/PLS:...".
    if (tuning.size() < 2 || (tuning[1] != ' ' && tuning[1] != ':'))
        return out_.Fail(lineNo + (version_ == 5 ? 0 : 1), "a transponder's tuning line expected");
    const std::size_t comma = tuning.find(',');
    const std::string_view fields = tuning.substr(2, comma == std::string_view::npos ? comma : comma - 2);
    const std::string_view extras = comma == std::string_view::npos ? "" : tuning.substr(comma);
    TTransponder transponder;
    transponder.line = lineNo;
    TImportStream stream;
    stream.wTsId = uint16_t(*tsid);
    stream.wOrgNetworkId = uint16_t(*onid);
    std::vector<TStreamChange> changes;
    const std::size_t tuningLine = lineNo + (version_ == 5 ? 0 : 1);
    if (Status status = ReadTuning(tuning[0], fields, extras, tuningLine, transponder, stream, changes); !status)
        return status;
    const TTransponderKey id{*ns, uint16_t(*tsid), uint16_t(*onid)};
    if (transponders_.contains(id)) {
        out_.Note(TImportCount::Duplicates, lineNo,
                  "transponder " + std::string(TrimBlanks(key)) + " again: read once");
        return {};
    }
    if (transponder.skip.empty())
        transponder.stream = out_.AddStream(std::move(stream), lineNo, changes);
    transponders_.emplace(id, std::move(transponder));
    return {};
}

Status TLamedbReader::ReadTuning(char kind, std::string_view fields, std::string_view extras, std::size_t lineNo,
                                 TTransponder& transponder, TImportStream& stream, std::vector<TStreamChange>& changes)
{
    if (kind == 't' || kind == 'a') {
        transponder.skip = "terrestrial";
        transponder.skipCount = TImportCount::SkippedTerrestrial;
        return {};
    }
    const std::optional<std::vector<int64_t>> f = SignedFields(fields);
    if (!f)
        return out_.Fail(lineNo, "a tuning line holds whole numbers separated by ':'");
    if (kind == 's')
        return ReadSatellite(*f, extras, lineNo, transponder, stream, changes);
    if (kind == 'c')
        return ReadCable(*f, lineNo, stream, changes);
    return out_.Fail(lineNo, std::string("unknown kind of transponder '") + kind + "'");
}

Status TLamedbReader::ReadSatellite(const std::vector<int64_t>& f, std::string_view extras, std::size_t lineNo,
                                    TTransponder& transponder, TImportStream& stream,
                                    std::vector<TStreamChange>& changes)
{
    // Version 3 has no flags field: system and modulation move one ahead.
    const std::size_t flags = version_ == 3 ? 0 : 1;
    const auto field = [&](std::size_t i, int64_t fallback) { return i < f.size() ? f[i] : fallback; };
    if (f.size() < 6 + flags)
        return out_.Fail(lineNo, "a satellite transponder has at least " + std::to_string(6 + flags) + " fields");
    int64_t position = f[4] > 1800 ? f[4] - 3600 : f[4];
    if (f[0] < 0 || f[1] < 0 || f[2] < 0 || f[2] > 3 || position < -1800 || position > 1800)
        return out_.Fail(lineNo, "frequency, symbol rate, polarisation (0-3) or position out of range");
    const int64_t system = field(6 + flags, 0), modulation = field(7 + flags, 0);
    const auto has = [&](std::string_view what) { return extras.find(what) != std::string_view::npos; };
    const bool multistream = field(10 + flags, -1) != -1 || field(13 + flags, -1) != -1 ||
                             (has(",MIS/PLS:") && !has(",MIS/PLS:-1:")) || (has(",T2MI:") && !has(",T2MI:-1:"));
    if (system == 1 || modulation == 2 || modulation == 4 || modulation == 5) {
        transponder.skip = multistream ? "multistream or T2-MI" : "DVB-S2";
        transponder.skipCount = TImportCount::SkippedSecondGeneration;
        transponder.multistream = multistream;
        return {};
    }
    stream.position = int32_t(position);
    stream.group = PositionText(int32_t(position));
    stream.tuning.dwFrequency = uint32_t((f[0] + 500) / 1000);
    if (f[0] % 1000 != 0)
        changes.push_back({TImportCount::FrequencyRounded, "frequency " + std::to_string(f[0]) + " kHz stored as " +
                                                               std::to_string(stream.tuning.dwFrequency) + " MHz"});
    stream.tuning.dwSymbolRate = uint32_t(f[1] / 1000);
    stream.tuning.ucPolarization = uint8_t(f[2] & 1);
    if (f[2] >= 2)
        changes.push_back(
            {TImportCount::Circular, f[2] == 2 ? "polarisation L stored as H" : "polarisation R stored as V"});
    stream.tuning.ucFEC = SatelliteFec(f[3], changes);
    return {};
}

Status TLamedbReader::ReadCable(const std::vector<int64_t>& f, std::size_t lineNo, TImportStream& stream,
                                std::vector<TStreamChange>& changes)
{
    if (f.size() < 5 || f[0] < 0 || f[1] < 0)
        return out_.Fail(lineNo, "a cable transponder has frequency, symbol rate, inversion, modulation and FEC");
    stream.delivery = TDelivery::Cable;
    stream.group = out_.fileName();
    stream.tuning.dwFrequency = uint32_t(f[0]);
    stream.tuning.dwSymbolRate = uint32_t(f[1] / 1000);
    // The cable enum: 1..5 are 16..256-QAM, 0 Auto.
    const int64_t modulation = f[3];
    stream.tuning.ucFEC = modulation >= 1 && modulation <= 5 ? uint8_t(modulation) : 6;
    if (modulation < 0 || modulation > 5)
        changes.push_back(
            {TImportCount::CodeRateChanged, "modulation " + std::to_string(modulation) + " stored as Auto"});
    return {};
}

// A multistream skip counts as DVB-S2 and, within it, as multistream.
void TLamedbReader::NoteSkip(const TTransponder& transponder, std::size_t line, std::string text)
{
    out_.Note(transponder.skipCount, line, std::move(text));
    if (transponder.multistream)
        out_.data().report.Bump(TImportCount::SkippedMultistream);
}

void TLamedbReader::NoteSkippedTransponders()
{
    for (const auto& [key, transponder] : transponders_)
        if (transponder.stream < 0 && transponder.services == 0)
            NoteSkip(transponder, transponder.line, "transponder skipped: " + transponder.skip);
}

Status TLamedbReader::ReadOptions(std::string_view text, std::size_t lineNo, TOptions& options) const
{
    if (text.size() < 2 || text[1] != ':') {  // an old provider-only line
        options.provider = text;
        return {};
    }
    for (std::string_view item : SplitFields(text, ',')) {
        const char key = item.size() >= 2 && item[1] == ':' ? item[0] : 0;
        const std::string_view value = item.substr(std::min<std::size_t>(2, item.size()));
        if (key == 'p') {
            options.provider = value;
        } else if (key == 'c') {
            const std::optional<uint32_t> index = ParseBounded(value.substr(0, 2), 99);
            const std::optional<uint64_t> pid = ParseUnsigned(value.substr(std::min<std::size_t>(2, value.size())), 16);
            if (!index || !pid)
                return out_.Fail(lineNo, "a cached PID is written c:NNxxxx");
            const bool used = *index == kCachedVideo || *index == kCachedAudio || *index == kCachedPcr ||
                              *index == kCachedAc3 || *index == kCachedPmt;
            if (used && *pid > kLargestPid)
                return out_.Fail(lineNo, "cached PID " + NoteText(item) + " above 0x1FFF");
            if (used)
                options.cachedPids[*index] = uint32_t(*pid);
        } else if (key == 'C') {
            if (!ParseUnsigned(value, 16))
                return out_.Fail(lineNo, "a CA system is written C:xxxx");
            options.scrambled = true;
        } else if (key == 'f') {
            const std::optional<uint32_t> flags = ParseBounded(value, UINT32_MAX, 16);
            if (!flags)
                return out_.Fail(lineNo, "flags are written f:x in hex");
            options.flags = *flags;
        }
    }
    return {};
}

Status TLamedbReader::ReadService(std::string_view record, std::string_view name, std::string_view optionText,
                                  std::size_t lineNo)
{
    const std::vector<std::string_view> f = SplitFields(TrimBlanks(record), ':');
    std::array<std::optional<uint32_t>, 6> v{};
    if (f.size() >= 6 && f.size() <= 8) {
        v = {ParseBounded(f[0], 0xFFFF, 16), ParseBounded(f[1], UINT32_MAX, 16), ParseBounded(f[2], 0xFFFF, 16),
             ParseBounded(f[3], 0xFFFF, 16), ParseBounded(f[4], 0xFFFF),         ParseBounded(f[5], UINT32_MAX)};
    }
    if (!v[0] || !v[1] || !v[2] || !v[3] || !v[4] || !v[5])
        return out_.Fail(lineNo, "a service is \"sid:namespace:tsid:onid:type:number\" (hex ids, decimal type)");
    TOptions options;
    if (Status status = ReadOptions(optionText, lineNo + (version_ == 5 ? 0 : 2), options); !status)
        return status;
    out_.data().report.Bump(TImportCount::Entries);
    const std::string quoted = Quoted(name);
    const uint32_t type = *v[4];
    const bool tv = type == 1 || type == 17 || type == 22 || type == 25 || type == 31;
    const bool radio = type == 2 || type == 10;
    const auto transponder = transponders_.find({*v[1], uint16_t(*v[2]), uint16_t(*v[3])});
    if (!tv && !radio) {
        out_.Note(TImportCount::SkippedOther, lineNo, quoted + " skipped: service type " + std::to_string(type));
        return {};
    }
    if (transponder == transponders_.end()) {
        out_.Note(TImportCount::SkippedOther, lineNo, quoted + " skipped: its transponder is not in the file");
        return {};
    }
    if (transponder->second.stream < 0) {
        ++transponder->second.services;
        NoteSkip(transponder->second, lineNo, quoted + " skipped: " + transponder->second.skip);
        return {};
    }
    TServiceItem service;
    const auto pid = [&](std::size_t index) { return uint16_t(options.cachedPids[index].value_or(0)); };
    service.wServiceId = uint16_t(*v[0]);
    service.ServiceType = tv ? kServiceTypeTV : kServiceTypeRadio;
    service.wVideoPID = pid(kCachedVideo);
    service.wAudioPID = options.cachedPids[kCachedAudio] ? pid(kCachedAudio) : pid(kCachedAc3);
    service.wPCRPID = pid(kCachedPcr);
    service.wPmtPID = pid(kCachedPmt);
    service.bScrambled = options.scrambled;
    service.bSkipService = (options.flags & 2) != 0;
    const int32_t stream = transponder->second.stream;
    std::optional<int32_t> index = out_.AddService(stream, std::move(service), name, options.provider, lineNo);
    if (index)
        byStream_.emplace(std::pair(stream, uint16_t(*v[0])), *index);
    else
        index = byStream_.at({stream, uint16_t(*v[0])});
    serviceIndex_.emplace(TServiceKey{uint16_t(*v[0]), uint16_t(*v[2]), uint16_t(*v[3]), *v[1]}, *index);
    return {};
}

// bouquets.tv or bouquets.radio: the userbouquet files, in order.
Status TLamedbReader::ReadBouquetIndex(const TBouquetFiles& bouquets, const std::string& indexName, bool radio)
{
    const auto index = bouquets.find(indexName);
    if (index == bouquets.end())
        return {};
    const std::vector<std::string_view> lines = SplitLines(index->second);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimBlanks(lines[i]);
        const std::string origin = indexName + ":" + std::to_string(i + 1) + ": ";
        if (line.empty() || (line.starts_with('#') && !line.starts_with("#SERVICE")))
            continue;
        if (!line.starts_with("#SERVICE"))
            return Status::Failure(origin + "not a bouquet line");
        constexpr std::string_view kFrom = "FROM BOUQUET \"";
        const std::size_t from = line.find(kFrom);
        const std::size_t end = from == std::string_view::npos ? from : line.find('"', from + kFrom.size());
        if (end == std::string_view::npos) {
            out_.data().report.Add(TImportCount::SkippedOther, origin + "not a user bouquet: skipped");
            continue;
        }
        const std::string fileName(line.substr(from + kFrom.size(), end - from - kFrom.size()));
        const auto file = bouquets.find(fileName);
        if (file == bouquets.end() || !bouquetsRead_.insert(fileName).second) {
            out_.data().report.Add(TImportCount::SkippedOther,
                                   origin + NoteText(fileName) + (file == bouquets.end() ? " is missing" : " again"));
            continue;
        }
        if (Status status = ReadUserBouquet(fileName, file->second, radio); !status)
            return status;
    }
    return {};
}

Status TLamedbReader::ReadUserBouquet(const std::string& fileName, const std::string& text, bool radio)
{
    TImportList list;
    list.radio = radio;
    std::set<int32_t> listed;
    const std::vector<std::string_view> lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimBlanks(lines[i]);
        if (line.starts_with("#NAME ") && list.name.empty()) {
            list.name = NoteText(TrimBlanks(line.substr(6)));
        } else if (line.starts_with("#SERVICE")) {
            std::string_view reference = line.substr(8);
            if (reference.starts_with(':'))
                reference.remove_prefix(1);
            const std::string origin = fileName + ":" + std::to_string(i + 1) + ": ";
            if (Status status = ReadBouquetEntry(TrimBlanks(reference), origin, list, listed); !status)
                return status;
        } else if (!line.empty() && !line.starts_with('#')) {
            return Status::Failure(fileName + ":" + std::to_string(i + 1) + ": not a bouquet line");
        }
    }
    if (list.name.empty())
        list.name = NoteText(fileName);
    out_.data().lists.push_back(std::move(list));
    return {};
}

// "type:flags:d0:...:d7[:path[:name]]", type and flags decimal, d0..d7 hex.
Status TLamedbReader::ReadBouquetEntry(std::string_view reference, const std::string& origin, TImportList& list,
                                       std::set<int32_t>& listed)
{
    const std::vector<std::string_view> f = SplitFields(reference, ':');
    const Status damaged = Status::Failure(origin + "a service reference is \"type:flags:d0:...:d7\"");
    if (f.size() < 10)
        return damaged;
    const std::optional<uint32_t> type = ParseBounded(f[0], UINT32_MAX);
    const std::optional<uint32_t> flags = ParseBounded(f[1], UINT32_MAX);
    if (!type || !flags)
        return damaged;
    if (*type != 1 || *flags != 0) {
        const char* what = *type != 1                      ? "IPTV or other reference"
                           : *flags == 64 || *flags == 832 ? "marker"
                           : *flags == 7                   ? "sub-bouquet"
                           : *flags == 134                 ? "group of alternatives"
                                                           : "entry";
        out_.data().report.Add(TImportCount::SkippedOther, origin + what + " (type " + std::to_string(*type) +
                                                               ", flags " + std::to_string(*flags) + ") skipped");
        return {};
    }
    std::array<uint32_t, 5> d{};
    for (std::size_t i = 0; i < d.size(); ++i) {
        const std::optional<uint32_t> value = ParseBounded(f[2 + i], i == 4 ? UINT32_MAX : 0xFFFF, 16);
        if (!value)
            return damaged;
        d[i] = *value;
    }
    const auto service = serviceIndex_.find({uint16_t(d[1]), uint16_t(d[2]), uint16_t(d[3]), d[4]});
    if (service == serviceIndex_.end()) {
        out_.data().report.Add(TImportCount::SkippedOther, origin + "service " + NoteText(reference.substr(0, 40)) +
                                                               " is not among the services imported");
        return {};
    }
    if (listed.insert(service->second).second)
        list.services.push_back(service->second);
    return {};
}

}  // namespace

Status ReadLamedb(std::string_view text, const std::string& name, const TBouquetFiles& bouquets, TImportData& data)
{
    TLamedbReader reader(text, name);
    Status status = reader.Read(bouquets);
    if (status)
        data.Append(reader.Take());
    return status;
}

}  // namespace lumora
