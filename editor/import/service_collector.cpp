#include "service_collector.h"

#include <climits>

namespace lumora {

TServiceCollector::TServiceCollector(std::string fileName) : fileName_(std::move(fileName)) { data_.name = fileName_; }

std::string TServiceCollector::Origin(std::size_t line) const { return fileName_ + ":" + std::to_string(line); }

void TServiceCollector::Note(TImportCount what, std::size_t line, const std::string& text)
{
    data_.report.Add(what, Origin(line) + ": " + text);
}

Status TServiceCollector::Fail(std::size_t line, const std::string& reason) const
{
    return Status::Failure(Origin(line) + ": " + reason);
}

int32_t TServiceCollector::AddStream(TImportStream stream, std::size_t line, const std::vector<TStreamChange>& changes)
{
    const TSATTSInfo& t = stream.tuning;
    const TStreamKey key{stream.delivery,      stream.position.value_or(INT32_MIN),
                         t.dwFrequency,        t.dwSymbolRate,
                         t.ucPolarization,     t.ucFEC,
                         stream.wOrgNetworkId, stream.wTsId};
    const auto [at, added] = streamIndex_.emplace(key, int32_t(data_.streams.size()));
    if (!added)
        return at->second;
    for (const TStreamChange& change : changes)
        Note(change.what, line, change.text);
    stream.origin = Origin(line);
    data_.streams.push_back(std::move(stream));
    data_.report.Bump(TImportCount::Streams);
    return at->second;
}

std::string TServiceCollector::ProviderName(std::string_view raw, std::size_t line)
{
    // A provider is named on many services: convert and report it once.
    if (const auto known = providers_.find(raw); known != providers_.end())
        return known->second;
    const TImportedName name = ImportPlainName(raw, TSourceText::Utf8);
    if (name.changed)
        Note(TImportCount::NameChanged, line,
             "provider " + Quoted(raw) + " stored as " + Quoted(Latin1ToUtf8(name.name)));
    providers_.emplace(std::string(raw), name.name);
    return name.name;
}

std::optional<int32_t> TServiceCollector::AddService(int32_t stream, TServiceItem service, std::string_view rawName,
                                                     std::string_view rawProvider, std::size_t line)
{
    const TImportedName name = ImportServiceName(rawName, TSourceText::Utf8);
    if (!serviceIds_.emplace(stream, service.wServiceId).second) {
        Note(TImportCount::Duplicates, line,
             Quoted(rawName) + " repeats service id " + std::to_string(service.wServiceId) +
                 " of its stream: imported once");
        return std::nullopt;
    }
    if (name.changed)
        Note(TImportCount::NameChanged, line,
             "name " + Quoted(rawName) + " stored as " + Quoted(Latin1ToUtf8(name.name)));
    if (service.wPmtPID == 0)
        Note(TImportCount::PmtUnknown, line, Quoted(rawName) + " has no PMT PID: stored as 0");
    service.szServiceName = name.name;
    service.bExistService = true;
    TImportService imported;
    imported.stream = stream;
    imported.service = std::move(service);
    imported.provider = rawProvider.empty() ? std::string() : ProviderName(rawProvider, line);
    imported.origin = Origin(line);
    data_.services.push_back(std::move(imported));
    data_.report.Bump(TImportCount::Services);
    return int32_t(data_.services.size() - 1);
}

TImportData TServiceCollector::Take() { return std::move(data_); }

std::string NoteText(std::string_view raw) { return IsValidUtf8(raw) ? std::string(raw) : Latin1ToUtf8(raw); }

std::string Quoted(std::string_view raw)
{
    std::string text(1, '"');
    text += NoteText(raw);
    text += '"';
    return text;
}

std::optional<uint32_t> ParseBounded(std::string_view text, uint32_t limit, int base)
{
    const std::optional<uint64_t> value = ParseUnsigned(text, base);
    if (!value || *value > limit)
        return std::nullopt;
    return uint32_t(*value);
}

}  // namespace lumora
