#include "database_checks.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "channel_document.h"
#include "service_table_ops.h"

namespace lumora {
namespace {

constexpr int kGenreCount = 16;
constexpr int kHighestPID = 8191;
constexpr const char* kTypeNames[kFavoriteGroups] = {"TV", "radio"};
constexpr const char kListNames[kFavoriteLists] = {'A', 'B', 'C', 'D'};

std::string Counted(int32_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// A name as the editor draws it, on one line: bytes 0x80..0xFF left out,
// control characters as '?'.
std::string ShownName(const std::string& name)
{
    std::string shown;
    for (unsigned char c : name) {
        if (c >= 0x80)
            continue;
        shown += (c < 0x20 || c == 0x7F) ? '?' : char(c);
    }
    return "\"" + shown + "\"";
}

// Control characters: C0, DEL and C1 except the emphasis marks 0x86/0x87,
// which receivers act on and which come with their own channel data. Bytes
// 0xA0..0xFF are letters of the receiver's character set.
bool IsUnshowableByte(unsigned char c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c <= 0x9F && c != 0x86 && c != 0x87);
}

std::string UnshowableBytes(const std::string& name)
{
    std::string listed;
    for (unsigned char c : name) {
        if (!IsUnshowableByte(c))
            continue;
        char hex[8];
        std::snprintf(hex, sizeof hex, " 0x%02X", c);
        if (listed.find(hex) == std::string::npos)
            listed += hex;
    }
    return listed;
}

class Checker {
public:
    Checker(const TChannelDatabase& db, const TNumbering& numbering)
        : db_(db), numbering_(db, numbering), services_(ServiceCount(db)),
          streams_(std::clamp(db.TSInfo.wTSNum, 0, kTSCapacity)),
          networks_(std::clamp(db.NetworkInfo.wNetworkNum, 0, kNetworkCapacity)),
          providers_(std::clamp(db.ProviderInfo.wProviderNum, 0, kProviderCapacity))
    {
    }

    std::vector<TFinding> Run(const std::vector<std::string>& loadErrors)
    {
        CheckCounts();
        for (const std::string& message : loadErrors)
            Add(FindingSeverity::Error, "file", message);
        CheckStreams();
        CheckNames();
        CheckServices();
        CheckFavorites();
        return std::move(findings_);
    }

private:
    TFinding& Add(FindingSeverity severity, std::string where, std::string what)
    {
        TFinding& finding = findings_.emplace_back();
        finding.severity = severity;
        finding.where = std::move(where);
        finding.what = std::move(what);
        return finding;
    }

    void CheckCount(const char* table, int32_t count, int32_t capacity, const char* one, const char* many)
    {
        if (count < 0)
            Add(FindingSeverity::Error, table, "count " + std::to_string(count) + " is negative");
        else if (count > capacity)
            Add(FindingSeverity::Error, table,
                Counted(count, one, many) + " are above the capacity of " + std::to_string(capacity));
    }

    void CheckCounts()
    {
        CheckCount("stream table", db_.TSInfo.wTSNum, kTSCapacity, "stream", "streams");
        CheckCount("network table", db_.NetworkInfo.wNetworkNum, kNetworkCapacity, "network", "networks");
        CheckCount("provider table", db_.ProviderInfo.wProviderNum, kProviderCapacity, "provider", "providers");
        CheckCount("service table", db_.ServiceInfo.Count(), kServiceCapacity, "service", "services");
        for (int g = 0; g < kFavoriteGroups; ++g)
            for (int l = 0; l < kFavoriteLists; ++l)
                CheckCount(ListWhere(g, l).c_str(), db_.FavoriteInfo[g][l].wIndexNum, kFavoriteCapacity, "entry",
                           "entries");
    }

    static std::string ListWhere(int g, int l)
    {
        return std::string(kTypeNames[g]) + " favorite list " + kListNames[l];
    }

    // Services are counted from 1 as the grid's first column shows them in the
    // All Service view of their type: the OP number under fixed numbering,
    // else the position among the services of the type.
    std::string ServiceWhere(int32_t r) const
    {
        const TServiceItem& s = db_.ServiceInfo.pServiceInfo[std::size_t(r)];
        return std::string(kTypeNames[s.ServiceType == kServiceTypeTV ? 0 : 1]) + " service " +
               std::to_string(numbering_.KeyOf(r) + 1) + " " + ShownName(s.szServiceName);
    }

    TFinding& AddForService(FindingSeverity severity, int32_t r, std::string what)
    {
        TFinding& finding = Add(severity, ServiceWhere(r), std::move(what));
        finding.nodeTag = MakeTag(kKindAllService, 0);
        finding.viewType = db_.ServiceInfo.pServiceInfo[std::size_t(r)].ServiceType == kServiceTypeTV ? 0 : 1;
        finding.service = r;
        return finding;
    }

    // An optional link (-1 for none) that must name an entry below `count`.
    static bool PointsAtNothing(int32_t index, int32_t count) { return index < -1 || index >= count; }

    static std::string Beyond(const char* field, int32_t index, int32_t count, const char* one, const char* many)
    {
        if (index < 0)
            return std::string(field) + " " + std::to_string(index) + " is negative";
        return std::string(field) + " " + std::to_string(index) + " is beyond the " + Counted(count, one, many);
    }

    void CheckStreams()
    {
        std::vector<bool> carries(std::size_t(streams_), false);
        for (int32_t r = 0; r < services_; ++r) {
            int32_t ts = db_.ServiceInfo.pServiceInfo[std::size_t(r)].pTSIndex;
            if (ts >= 0 && ts < streams_)
                carries[std::size_t(ts)] = true;
        }
        for (int32_t t = 0; t < streams_; ++t) {
            const TTSItem& ts = db_.TSInfo.Info[std::size_t(t)];
            std::string where = "stream " + std::to_string(t + 1);
            uint32_t tag = MakeTag(kKindTS, uint32_t(t));
            if (ts.wAntennaIndex >= kAntennaCapacity)
                Add(FindingSeverity::Error, where,
                    Beyond("antenna index", ts.wAntennaIndex, kAntennaCapacity, "antenna", "antennas"))
                    .nodeTag = tag;
            if (PointsAtNothing(ts.pNetworkIndex, networks_)) {
                TFinding& f = Add(FindingSeverity::Error, where,
                                  Beyond("network index", ts.pNetworkIndex, networks_, "network", "networks"));
                f.nodeTag = tag;
                f.fix = TFindingFix{.kind = FixKind::ClearNetworkIndex, .index = t};
            }
            if (!carries[std::size_t(t)])
                Add(FindingSeverity::Warning, where, "carries no service").nodeTag = tag;
        }
    }

    void CheckName(const std::string& where, const std::string& name, uint32_t tag)
    {
        if (name.empty())
            Add(FindingSeverity::Warning, where, "name is empty").nodeTag = tag;
        else if (std::string bytes = UnshowableBytes(name); !bytes.empty())
            Add(FindingSeverity::Warning, where, "name holds bytes the receiver cannot show:" + bytes).nodeTag = tag;
    }

    void CheckNames()
    {
        for (int32_t n = 0; n < networks_; ++n) {
            const std::string& name = db_.NetworkInfo.Info[std::size_t(n)].szNetworkName;
            CheckName("network " + std::to_string(n + 1) + " " + ShownName(name), name,
                      MakeTag(kKindNetwork, uint32_t(n)));
        }
        for (int32_t p = 0; p < providers_; ++p) {
            const std::string& name = db_.ProviderInfo.Info[std::size_t(p)].szProviderName;
            CheckName("provider " + std::to_string(p + 1) + " " + ShownName(name), name,
                      MakeTag(kKindProvider, uint32_t(p)));
        }
    }

    void CheckServiceLinks(int32_t r, const TServiceItem& s)
    {
        if (s.pTSIndex >= streams_)  // negative: no stream, which the tables allow
            AddForService(FindingSeverity::Error, r, Beyond("stream index", s.pTSIndex, streams_, "stream", "streams"))
                .fix = TFindingFix{.kind = FixKind::ClearStreamIndex, .index = r};
        if (PointsAtNothing(s.pProviderIndex, providers_))
            AddForService(FindingSeverity::Error, r,
                          Beyond("provider index", s.pProviderIndex, providers_, "provider", "providers"))
                .fix = TFindingFix{.kind = FixKind::ClearProviderIndex, .index = r};
        if (s.ServiceKind >= kGenreCount)
            AddForService(FindingSeverity::Error, r, Beyond("genre", s.ServiceKind, kGenreCount, "genre", "genres"))
                .fix = TFindingFix{.kind = FixKind::ClearGenre, .index = r};
    }

    void CheckPIDs(int32_t r, const TServiceItem& s)
    {
        const std::pair<const char*, int> pids[] = {{"video PID", s.wVideoPID},
                                                    {"audio PID", s.wAudioPID},
                                                    {"PCR PID", s.wPCRPID},
                                                    {"PMT PID", s.wPmtPID & 0x7FFF}};
        for (const auto& [field, pid] : pids)
            if (pid > kHighestPID)
                AddForService(FindingSeverity::Error, r,
                              std::string(field) + " " + std::to_string(pid) + " is above " +
                                  std::to_string(kHighestPID));
    }

    // The first service with the same key: `r` itself when it is the first.
    static int32_t FirstWithKey(std::unordered_map<uint64_t, int32_t>& firsts, uint64_t key, int32_t r)
    {
        return firsts.try_emplace(key, r).first->second;
    }

    void CheckRepeats(int32_t r, const TServiceItem& s)
    {
        std::string stream = " on stream " + std::to_string(s.pTSIndex + 1);
        bool onStream = s.pTSIndex >= 0 && s.pTSIndex < streams_;
        uint64_t ts = uint64_t(uint32_t(s.pTSIndex));
        if (int32_t first = onStream ? FirstWithKey(serviceIds_, ts << 16 | s.wServiceId, r) : r; first != r)
            AddForService(FindingSeverity::Error, r,
                          "service id " + std::to_string(s.wServiceId) + stream + " repeats " + ServiceWhere(first))
                .fix = TFindingFix{.kind = FixKind::RemoveService, .index = r};
        bool hasPIDs = s.wVideoPID != 0 || s.wAudioPID != 0;
        uint64_t pair = ts << 32 | uint64_t(s.wVideoPID) << 16 | s.wAudioPID;
        if (int32_t first = onStream && hasPIDs ? FirstWithKey(pidPairs_, pair, r) : r; first != r)
            AddForService(FindingSeverity::Warning, r,
                          "video PID " + std::to_string(s.wVideoPID) + " and audio PID " + std::to_string(s.wAudioPID) +
                              stream + " repeat " + ServiceWhere(first));
        if (!numbering_.Numbering().fixed)
            return;
        uint64_t number = uint64_t(s.ServiceType) << 32 | uint32_t(numbering_.OPNumber(r));
        if (int32_t first = FirstWithKey(programNumbers_, number, r); first != r)
            AddForService(FindingSeverity::Error, r,
                          "program number " + std::to_string(numbering_.OPNumber(r)) + " repeats " +
                              ServiceWhere(first));
    }

    void CheckServices()
    {
        for (int32_t r = 0; r < services_; ++r) {
            const TServiceItem& s = db_.ServiceInfo.pServiceInfo[std::size_t(r)];
            CheckServiceLinks(r, s);
            CheckRepeats(r, s);
            CheckPIDs(r, s);
            if (s.szServiceName.empty())
                AddForService(FindingSeverity::Warning, r, "name is empty");
            else if (std::string bytes = UnshowableBytes(s.szServiceName); !bytes.empty())
                AddForService(FindingSeverity::Warning, r, "name holds bytes the receiver cannot show:" + bytes);
        }
    }

    void CheckFavorites()
    {
        for (int g = 0; g < kFavoriteGroups; ++g)
            for (int l = 0; l < kFavoriteLists; ++l) {
                const TFavoriteItem& list = db_.FavoriteInfo[g][l];
                // A list above its capacity is reported as such; its repeats would only bury that.
                const bool checkRepeats = list.wIndexNum <= kFavoriteCapacity;
                std::unordered_map<int32_t, int32_t> firstEntryOf;  // service -> its first entry
                for (int32_t e = 0; e < std::clamp(list.wIndexNum, 0, kFavoriteCapacity); ++e) {
                    const int32_t value = list.Index[std::size_t(e)];
                    const int32_t service = numbering_.ServiceOfKey(g, value);
                    if (service < 0)
                        AddFavoriteEntry(g, l, e, FixKind::RemoveFavoriteEntry,
                                         "value " + std::to_string(value) + " names no " + kTypeNames[g] + " service");
                    else if (auto [first, isNew] = firstEntryOf.emplace(service, e); !isNew && checkRepeats)
                        AddFavoriteEntry(g, l, e, FixKind::RemoveRepeatedFavoriteEntry,
                                         "names " + ServiceWhere(service) + " again, as entry " +
                                             std::to_string(first->second + 1) + " does");
                }
            }
    }

    // A list holds each service once; a repeated entry's later copy can go
    // without the service leaving the list.
    void AddFavoriteEntry(int g, int l, int32_t e, FixKind fix, const std::string& what)
    {
        const int32_t value = db_.FavoriteInfo[g][l].Index[std::size_t(e)];
        TFinding& f = Add(FindingSeverity::Error, ListWhere(g, l) + " entry " + std::to_string(e + 1), what);
        f.nodeTag = MakeTag(kKindFavorite, uint32_t(l));
        f.viewType = g;
        f.row = e + 1;
        f.fix = TFindingFix{fix, -1, g, l, e, value};
    }

    const TChannelDatabase& db_;
    TServiceNumbering numbering_;
    int32_t services_, streams_, networks_, providers_;
    std::unordered_map<uint64_t, int32_t> serviceIds_, pidPairs_, programNumbers_;
    std::vector<TFinding> findings_;
};

void RemoveFavoriteEntries(TChannelDatabase& db, std::vector<TFindingFix> removals)
{
    // Later entries first, so the positions of the earlier ones stay valid.
    std::sort(removals.begin(), removals.end(),
              [](const TFindingFix& a, const TFindingFix& b) { return a.entry > b.entry; });
    for (const TFindingFix& fix : removals) {
        TFavoriteItem& list = db.FavoriteInfo[fix.group][fix.list];
        if (fix.entry >= list.wIndexNum || list.Index[std::size_t(fix.entry)] != fix.value)
            continue;
        std::copy(list.Index.begin() + fix.entry + 1, list.Index.begin() + list.wIndexNum,
                  list.Index.begin() + fix.entry);
        --list.wIndexNum;
    }
}

}  // namespace

std::vector<TFinding> CheckDatabase(const TChannelDatabase& db, const TNumbering& numbering,
                                    const std::vector<std::string>& loadErrors)
{
    return Checker(db, numbering).Run(loadErrors);
}

std::string FindingLine(const TFinding& finding)
{
    return std::string(finding.severity == FindingSeverity::Error ? "error: " : "warning: ") + finding.where + ": " +
           finding.what;
}

std::string FixCaption(const TFinding& finding)
{
    switch (finding.fix.kind) {
    case FixKind::ClearStreamIndex: return "Clear the stream index";
    case FixKind::ClearProviderIndex: return "Clear the provider index";
    case FixKind::ClearGenre: return "Set the genre to 0";
    case FixKind::ClearNetworkIndex: return "Clear the network index";
    case FixKind::RemoveFavoriteEntry: return "Remove the favorite entry";
    case FixKind::RemoveRepeatedFavoriteEntry: return "Remove the later entry";
    case FixKind::RemoveService: return "Remove the duplicate service";
    case FixKind::None: break;
    }
    return {};
}

bool HasErrors(const std::vector<TFinding>& findings)
{
    return std::any_of(findings.begin(), findings.end(),
                       [](const TFinding& f) { return f.severity == FindingSeverity::Error; });
}

int ApplyFixes(TChannelDatabase& db, const TNumbering& numbering, const std::vector<TFinding>& findings)
{
    int applied = 0;
    std::vector<TFindingFix> favoriteRemovals;
    std::vector<int> serviceRemovals;
    for (const TFinding& finding : findings) {
        const TFindingFix& fix = finding.fix;
        TServiceItem* service = fix.index >= 0 && fix.index < ServiceCount(db)
                                    ? &db.ServiceInfo.pServiceInfo[std::size_t(fix.index)]
                                    : nullptr;
        applied += fix.kind != FixKind::None;
        if (fix.kind == FixKind::ClearStreamIndex && service)
            service->pTSIndex = -1;
        else if (fix.kind == FixKind::ClearProviderIndex && service)
            service->pProviderIndex = -1;
        else if (fix.kind == FixKind::ClearGenre && service)
            service->ServiceKind = 0;
        else if (fix.kind == FixKind::ClearNetworkIndex && fix.index < db.TSInfo.wTSNum)
            db.TSInfo.Info[std::size_t(fix.index)].pNetworkIndex = -1;
        else if (fix.kind == FixKind::RemoveFavoriteEntry || fix.kind == FixKind::RemoveRepeatedFavoriteEntry)
            favoriteRemovals.push_back(fix);
        else if (fix.kind == FixKind::RemoveService)
            serviceRemovals.push_back(fix.index);
    }
    RemoveFavoriteEntries(db, std::move(favoriteRemovals));
    DeleteServices(db, numbering, std::move(serviceRemovals));
    return applied;
}

}  // namespace lumora
