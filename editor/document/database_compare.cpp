#include "database_compare.h"

#include <algorithm>
#include <memory>

#include "record_fields.h"

namespace lumora {

const char* TableName(TTable table)
{
    static constexpr const char* kNames[kTableCount] = {"antenna", "stream",   "network", "provider",
                                                        "service", "favorite", "menu"};
    return kNames[std::size_t(table)];
}

const char* ChangeName(TChange change)
{
    static constexpr const char* kNames[] = {"added", "removed", "changed", "moved"};
    return kNames[std::size_t(change)];
}

namespace {

constexpr const char* kGroupNames[kFavoriteGroups] = {"TV", "radio"};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

std::string LNBText(uint32_t lnb) { return lnb == kUniversalLNB ? "UNIVERSAL" : std::to_string(lnb & 0xFFFFFFu); }

std::string PolarizationLetter(uint8_t code)
{
    const std::string name = PolarizationName(code);
    return name.empty() ? "P" + std::to_string(code) : name.substr(0, 1);
}

template <class Record, std::size_t N>
void DiffFields(const std::array<TNumberField<Record>, N>& fields, const Record& a, const Record& b,
                std::vector<TFieldChange>& out)
{
    for (const TNumberField<Record>& field : fields) {
        const uint32_t va = field.get(a), vb = field.get(b);
        if (va != vb)
            out.push_back({field.name, FieldText(field, va), FieldText(field, vb)});
    }
}

void DiffText(const char* field, std::string_view a, std::string_view b, std::vector<TFieldChange>& out)
{
    if (a != b)
        out.push_back({field, std::string(a), std::string(b), true});
}

std::vector<TValue> AntennaKey(const TChannelDatabase& db, int32_t slot, const TIdentityRules& rules)
{
    const TAntennaSetting& a = db.AntennaList.AntennaInfo[std::size_t(slot)];
    std::vector<TValue> key = {{"antenna", std::to_string(slot + 1)},
                               {"ucSatelliteId", std::to_string(a.ucSatelliteId)},
                               {"dwLNBFreq", std::to_string(a.dwLNBFreq)}};
    if (a.ucSatelliteId == rules.satelliteCount)
        key.push_back({"szLNBName", std::string(TrimmedName(a.szLNBName)), true});
    return key;
}

std::string AntennaPlace(const TChannelDatabase& db, int32_t slot)
{
    const TAntennaSetting& a = db.AntennaList.AntennaInfo[std::size_t(slot)];
    return "antenna " + std::to_string(slot + 1) + " (satellite " + std::to_string(a.ucSatelliteId) +
           (a.szLNBName.empty() ? "" : " " + Quoted(TrimmedName(a.szLNBName))) + ", LNB " + LNBText(a.dwLNBFreq) + ")";
}

std::vector<TValue> StreamKey(const TChannelDatabase& db, int32_t t)
{
    const TTSItem& ts = db.TSInfo.Info[std::size_t(t)];
    return {{"antenna", std::to_string(AntennaOfStream(db, t) + 1)},
            {"dwFrequency", std::to_string(ts.SATTSInfo.dwFrequency)},
            {"ucPolarization", std::to_string(ts.SATTSInfo.ucPolarization)},
            {"wOrgNetworkId", std::to_string(ts.wOrgNetworkId)},
            {"wTsId", std::to_string(ts.wTsId)}};
}

std::string StreamPlace(const TChannelDatabase& db, int32_t t, const TIdentityRules& rules)
{
    const TTSItem& ts = db.TSInfo.Info[std::size_t(t)];
    std::string place = std::to_string(ts.SATTSInfo.dwFrequency);
    if (!rules.cable)
        place += " " + PolarizationLetter(ts.SATTSInfo.ucPolarization);
    if (ts.wOrgNetworkId != 0 || ts.wTsId != 0)
        place += " (" + std::to_string(ts.wOrgNetworkId) + "/" + std::to_string(ts.wTsId) + ")";
    if (!rules.cable)
        place += " on antenna " + std::to_string(AntennaOfStream(db, t) + 1);
    return place;
}

std::vector<TValue> ServiceKey(const TChannelDatabase& db, int32_t r)
{
    const TServiceItem& s = db.ServiceInfo.pServiceInfo[std::size_t(r)];
    const int32_t t = StreamOfService(db, r);
    std::vector<TValue> key = t >= 0 ? StreamKey(db, t) : std::vector<TValue>();
    key.push_back({"ServiceType", s.ServiceType == kServiceTypeRadio ? "radio" : "TV", true});
    key.push_back({"wServiceId", std::to_string(s.wServiceId)});
    return key;
}

std::string ServicePlace(const TChannelDatabase& db, int32_t r, const TIdentityRules& rules)
{
    const TServiceItem& s = db.ServiceInfo.pServiceInfo[std::size_t(r)];
    const int32_t t = StreamOfService(db, r);
    return Quoted(s.szServiceName) + " (" + (s.ServiceType == kServiceTypeRadio ? "radio" : "TV") + " " +
           std::to_string(s.wServiceId) + (t >= 0 ? " on " + StreamPlace(db, t, rules) : ", no stream") + ")";
}

// Walks B against A table by table; each record of A pairs with at most one
// of B.
class Comparer {
public:
    Comparer(const TDatabaseSide& a, const TDatabaseSide& b, const TIdentityRules& rules)
        : a_(a), b_(b), rules_(rules), index_(a.db, rules)
    {
    }

    TCompareReport Run()
    {
        CompareAntennas();
        CompareStreams();
        CompareNamed(TTable::Network);
        CompareNamed(TTable::Provider);
        CompareServices();
        for (int g = 0; g < kFavoriteGroups; ++g)
            for (int l = 0; l < kFavoriteLists; ++l)
                CompareFavoriteList(g, l);
        CompareMenu();
        return std::move(report_);
    }

private:
    TTableCounts& Counts(TTable table) { return report_.counts[std::size_t(table)]; }

    void Add(TDifference difference)
    {
        TTableCounts& counts = Counts(difference.table);
        switch (difference.change) {
        case TChange::Added: ++counts.added; break;
        case TChange::Removed: ++counts.removed; break;
        case TChange::Changed:
        case TChange::Moved: ++counts.changed; break;
        }
        report_.differences.push_back(std::move(difference));
    }

    // A pair that is changed when `fields` is not empty.
    void Pair(TDifference difference)
    {
        if (difference.fields.empty())
            ++Counts(difference.table).unchanged;
        else
            Add(std::move(difference));
    }

    void CompareAntennas()
    {
        const std::vector<bool> usedA = AntennasInUse(a_.db), usedB = AntennasInUse(b_.db);
        std::vector<char> taken(kAntennaCapacity, 0);
        antennaMap_.assign(kAntennaCapacity, -1);
        // Slots in use on B pick first, so that a blank slot of B does not
        // take the antenna of A that a used slot is.
        for (int pass = 0; pass < 2; ++pass)
            for (int j = 0; j < kAntennaCapacity; ++j) {
                if (usedB[std::size_t(j)] != (pass == 0))
                    continue;
                const TAntennaSetting& b = b_.db.AntennaList.AntennaInfo[std::size_t(j)];
                int32_t i = -1;
                for (int k = 0; k < kAntennaCapacity && i < 0; ++k)
                    if (!taken[std::size_t(k)] && usedA[std::size_t(k)] == usedB[std::size_t(j)] &&
                        SameAntenna(a_.db.AntennaList.AntennaInfo[std::size_t(k)], b, rules_))
                        i = k;
                for (int k = 0; k < kAntennaCapacity && i < 0; ++k)
                    if (!taken[std::size_t(k)] && SameAntenna(a_.db.AntennaList.AntennaInfo[std::size_t(k)], b, rules_))
                        i = k;
                if (i >= 0) {
                    taken[std::size_t(i)] = 1;
                    antennaMap_[std::size_t(j)] = i;
                }
                if (!usedB[std::size_t(j)] && (i < 0 || !usedA[std::size_t(i)]))
                    continue;
                if (i < 0)
                    Add({TTable::Antenna,
                         TChange::Added,
                         AntennaKey(b_.db, j, rules_),
                         b.szLNBName,
                         AntennaPlace(b_.db, j),
                         {},
                         -1,
                         j});
                else
                    PairAntennas(i, j);
            }
        for (int i = 0; i < kAntennaCapacity; ++i)
            if (usedA[std::size_t(i)] && !taken[std::size_t(i)])
                Add({TTable::Antenna,
                     TChange::Removed,
                     AntennaKey(a_.db, i, rules_),
                     a_.db.AntennaList.AntennaInfo[std::size_t(i)].szLNBName,
                     AntennaPlace(a_.db, i),
                     {},
                     i,
                     -1});
    }

    void PairAntennas(int32_t i, int32_t j)
    {
        const TAntennaSetting& a = a_.db.AntennaList.AntennaInfo[std::size_t(i)];
        const TAntennaSetting& b = b_.db.AntennaList.AntennaInfo[std::size_t(j)];
        TDifference d{TTable::Antenna,
                      TChange::Changed,
                      AntennaKey(a_.db, i, rules_),
                      a.szLNBName,
                      AntennaPlace(a_.db, i),
                      {},
                      i,
                      j};
        DiffFields(kAntennaFields, a, b, d.fields);
        if (a.ucSatelliteId != rules_.satelliteCount)
            DiffText("szLNBName", a.szLNBName, b.szLNBName, d.fields);
        Pair(std::move(d));
    }

    void CompareStreams()
    {
        std::vector<char> taken(std::size_t(StreamCount(a_.db)), 0);
        streamMap_.assign(std::size_t(StreamCount(b_.db)), -1);
        for (int32_t t = 0; t < StreamCount(b_.db); ++t) {
            const int32_t slotB = AntennaOfStream(b_.db, t);
            const int32_t slotA = slotB < 0 ? -1 : antennaMap_[std::size_t(slotB)];
            const int32_t s =
                slotB >= 0 && slotA < 0 ? -1 : index_.FindStream(slotA, b_.db.TSInfo.Info[std::size_t(t)], taken, true);
            if (s < 0) {
                Add({TTable::Stream,
                     TChange::Added,
                     StreamKey(b_.db, t),
                     "",
                     StreamPlace(b_.db, t, rules_),
                     {},
                     -1,
                     t});
                continue;
            }
            taken[std::size_t(s)] = 1;
            streamMap_[std::size_t(t)] = s;
            PairStreams(s, t);
        }
        for (int32_t s = 0; s < StreamCount(a_.db); ++s)
            if (!taken[std::size_t(s)])
                Add({TTable::Stream,
                     TChange::Removed,
                     StreamKey(a_.db, s),
                     "",
                     StreamPlace(a_.db, s, rules_),
                     {},
                     s,
                     -1});
    }

    void PairStreams(int32_t s, int32_t t)
    {
        const TTSItem& a = a_.db.TSInfo.Info[std::size_t(s)];
        const TTSItem& b = b_.db.TSInfo.Info[std::size_t(t)];
        TDifference d{
            TTable::Stream, TChange::Changed, StreamKey(a_.db, s), "", StreamPlace(a_.db, s, rules_), {}, s, t};
        DiffFields(kStreamIdFields, a, b, d.fields);
        DiffFields(kTuningFields, a.SATTSInfo, b.SATTSInfo, d.fields);
        const std::string netA = NetworkName(a_.db, a.pNetworkIndex), netB = NetworkName(b_.db, b.pNetworkIndex);
        if (!SameName(netA, netB))
            DiffText("network", netA, netB, d.fields);
        Pair(std::move(d));
    }

    void CompareNamed(TTable table)
    {
        const bool networks = table == TTable::Network;
        const int32_t countA = networks ? NetworkCount(a_.db) : ProviderCount(a_.db);
        const int32_t countB = networks ? NetworkCount(b_.db) : ProviderCount(b_.db);
        auto name = [networks](const TChannelDatabase& db, int32_t i) {
            return networks ? NetworkName(db, i) : ProviderName(db, i);
        };
        std::vector<char> taken(std::size_t(countA), 0);
        for (int32_t j = 0; j < countB; ++j) {
            const std::string nameB = name(b_.db, j);
            const int32_t i =
                networks ? index_.FindNetwork(nameB, taken, true) : index_.FindProvider(nameB, taken, true);
            if (i < 0) {
                Add({table,
                     TChange::Added,
                     {{"name", std::string(TrimmedName(nameB)), true}},
                     nameB,
                     Quoted(nameB),
                     {},
                     -1,
                     j});
                continue;
            }
            taken[std::size_t(i)] = 1;
            TDifference d{
                table, TChange::Changed, {{"name", std::string(TrimmedName(nameB)), true}}, nameB, Quoted(nameB), {}, i,
                j};
            if (networks)
                DiffFields(std::array{Field<&TNetworkItem::wNetworkId>("wNetworkId", true)},
                           a_.db.NetworkInfo.Info[std::size_t(i)], b_.db.NetworkInfo.Info[std::size_t(j)], d.fields);
            Pair(std::move(d));
        }
        for (int32_t i = 0; i < countA; ++i)
            if (!taken[std::size_t(i)]) {
                const std::string nameA = name(a_.db, i);
                Add({table,
                     TChange::Removed,
                     {{"name", std::string(TrimmedName(nameA)), true}},
                     nameA,
                     Quoted(nameA),
                     {},
                     i,
                     -1});
            }
    }

    void CompareServices()
    {
        std::vector<char> taken(std::size_t(ServiceCount(a_.db)), 0);
        serviceMap_.assign(std::size_t(ServiceCount(b_.db)), -1);
        for (int32_t r = 0; r < ServiceCount(b_.db); ++r) {
            const TServiceItem& b = b_.db.ServiceInfo.pServiceInfo[std::size_t(r)];
            const int32_t t = StreamOfService(b_.db, r);
            const int32_t s = t < 0 ? -1 : streamMap_[std::size_t(t)];
            const int32_t q = t >= 0 && s < 0 ? -1 : index_.FindService(s, b.ServiceType, b.wServiceId, taken, true);
            if (q < 0) {
                Add({TTable::Service,
                     TChange::Added,
                     ServiceKey(b_.db, r),
                     b.szServiceName,
                     ServicePlace(b_.db, r, rules_),
                     {},
                     -1,
                     r});
                continue;
            }
            taken[std::size_t(q)] = 1;
            serviceMap_[std::size_t(r)] = q;
            PairServices(q, r);
        }
        for (int32_t q = 0; q < ServiceCount(a_.db); ++q)
            if (!taken[std::size_t(q)])
                Add({TTable::Service,
                     TChange::Removed,
                     ServiceKey(a_.db, q),
                     a_.db.ServiceInfo.pServiceInfo[std::size_t(q)].szServiceName,
                     ServicePlace(a_.db, q, rules_),
                     {},
                     q,
                     -1});
    }

    void PairServices(int32_t q, int32_t r)
    {
        const TServiceItem& a = a_.db.ServiceInfo.pServiceInfo[std::size_t(q)];
        const TServiceItem& b = b_.db.ServiceInfo.pServiceInfo[std::size_t(r)];
        TDifference d{TTable::Service,
                      TChange::Changed,
                      ServiceKey(a_.db, q),
                      a.szServiceName,
                      Quoted(a.szServiceName),
                      {},
                      q,
                      r};
        DiffText("szServiceName", a.szServiceName, b.szServiceName, d.fields);
        DiffFields(kServiceFields, a, b, d.fields);
        const std::string provA = ProviderName(a_.db, a.pProviderIndex), provB = ProviderName(b_.db, b.pProviderIndex);
        if (!SameName(provA, provB))
            DiffText("provider", provA, provB, d.fields);
        Pair(std::move(d));
    }

    // The entries of one list as tokens that are equal when they name the
    // same service: the service of A, a service only B has, or the raw number
    // of an entry that names no service.
    std::vector<int64_t> FavoriteTokens(const TDatabaseSide& side, const TServiceNumbering& numbering, int g, int l,
                                        bool isB, std::vector<int32_t>& services) const
    {
        const TFavoriteItem& list = side.db.FavoriteInfo[g][l];
        std::vector<int64_t> tokens;
        for (int32_t k = 0; k < std::clamp(list.wIndexNum, 0, kFavoriteCapacity); ++k) {
            const int32_t key = list.Index[std::size_t(k)];
            int32_t r = numbering.ServiceOfKey(g, key);
            services.push_back(r);
            if (r < 0)
                tokens.push_back(-1 - int64_t(key) - (int64_t(1) << 40));
            else if (isB)
                tokens.push_back(serviceMap_[std::size_t(r)] >= 0 ? serviceMap_[std::size_t(r)]
                                                                  : (int64_t(1) << 32) + r);
            else
                tokens.push_back(r);
        }
        return tokens;
    }

    void CompareFavoriteList(int g, int l)
    {
        if (!numberingA_) {
            numberingA_ = std::make_unique<TServiceNumbering>(a_.db, a_.numbering);
            numberingB_ = std::make_unique<TServiceNumbering>(b_.db, b_.numbering);
        }
        std::vector<int32_t> servicesA, servicesB;
        const std::vector<int64_t> tokensA = FavoriteTokens(a_, *numberingA_, g, l, false, servicesA);
        const std::vector<int64_t> tokensB = FavoriteTokens(b_, *numberingB_, g, l, true, servicesB);
        const std::string listName = std::string(kGroupNames[g]) + " list " + char('A' + l);
        auto entry = [&](TChange change, const TDatabaseSide& side, int32_t r, int32_t key, std::string where) {
            TDifference d;
            d.table = TTable::Favorite;
            d.change = change;
            d.key = {{"group", kGroupNames[g], true}, {"list", std::string(1, char('A' + l)), true}};
            if (r >= 0) {
                for (TValue& v : ServiceKey(side.db, r))
                    d.key.push_back(std::move(v));
                d.name = side.db.ServiceInfo.pServiceInfo[std::size_t(r)].szServiceName;
            } else {
                d.key.push_back({"entry", std::to_string(key)});
            }
            d.place = listName + " " + (r >= 0 ? Quoted(d.name) : "entry " + std::to_string(key)) + " " + where;
            (&side == &a_ ? d.indexA : d.indexB) = r;
            return d;
        };
        std::vector<int32_t> common;  // positions in B of entries A has too, in A's order
        for (std::size_t k = 0; k < tokensA.size(); ++k) {
            auto it = std::find(tokensB.begin(), tokensB.end(), tokensA[k]);
            if (it == tokensB.end())
                Add(entry(TChange::Removed, a_, servicesA[k], a_.db.FavoriteInfo[g][l].Index[k],
                          "at " + std::to_string(k + 1)));
            else
                common.push_back(int32_t(it - tokensB.begin()));
        }
        for (std::size_t k = 0; k < tokensB.size(); ++k)
            if (std::find(tokensA.begin(), tokensA.end(), tokensB[k]) == tokensA.end())
                Add(entry(TChange::Added, b_, servicesB[k], b_.db.FavoriteInfo[g][l].Index[k],
                          "at " + std::to_string(k + 1)));
        const std::vector<bool> kept = LongestRising(common);
        for (std::size_t c = 0; c < common.size(); ++c) {
            if (kept[c]) {
                ++Counts(TTable::Favorite).unchanged;
                continue;
            }
            const std::size_t k = std::size_t(common[c]);
            const auto from = std::find(tokensA.begin(), tokensA.end(), tokensB[k]) - tokensA.begin();
            TDifference d = entry(TChange::Moved, b_, servicesB[k], b_.db.FavoriteInfo[g][l].Index[k],
                                  std::to_string(from + 1) + " -> " + std::to_string(k + 1));
            d.indexA = servicesA[std::size_t(from)];
            d.fields.push_back({"position", std::to_string(from + 1), std::to_string(k + 1)});
            Add(std::move(d));
        }
    }

    // Marks the members of one longest rising run (not necessarily
    // contiguous) of `values`: the entries that kept their order.
    static std::vector<bool> LongestRising(const std::vector<int32_t>& values)
    {
        const std::size_t n = values.size();
        std::vector<int32_t> length(n, 1), previous(n, -1);
        std::size_t best = 0;
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = 0; j < i; ++j)
                if (values[j] < values[i] && length[j] + 1 > length[i]) {
                    length[i] = length[j] + 1;
                    previous[i] = int32_t(j);
                }
            if (length[i] > length[best])
                best = i;
        }
        std::vector<bool> kept(n, false);
        for (int32_t i = n ? int32_t(best) : -1; i >= 0; i = previous[std::size_t(i)])
            kept[std::size_t(i)] = true;
        return kept;
    }

    void CompareMenu()
    {
        const TMenuConfigItem& a = a_.db.MenuConfigItem;
        const TMenuConfigItem& b = b_.db.MenuConfigItem;
        TDifference d{TTable::Menu, TChange::Changed, {}, "", "", {}, 0, 0};
        DiffFields(kMenuFields, a, b, d.fields);
        for (std::size_t k = 0; k < a.nAddSymbolRate.size(); ++k)
            if (a.nAddSymbolRate[k] != b.nAddSymbolRate[k])
                d.fields.push_back({"nAddSymbolRate[" + std::to_string(k) + "]", std::to_string(a.nAddSymbolRate[k]),
                                    std::to_string(b.nAddSymbolRate[k])});
        Pair(std::move(d));
    }

    const TDatabaseSide& a_;
    const TDatabaseSide& b_;
    TIdentityRules rules_;
    TIdentityIndex index_;
    std::vector<int32_t> antennaMap_, streamMap_, serviceMap_;
    std::unique_ptr<TServiceNumbering> numberingA_, numberingB_;
    TCompareReport report_;
};

std::string JsonString(std::string_view text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c >= 0x80) {
            // Names are single bytes of a code page: bytes above 0x7F are
            // written as the Latin-1 characters of the same number.
            static constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string JsonValue(const std::string& value, bool text) { return text ? JsonString(value) : value; }

}  // namespace

TCompareReport CompareDatabases(const TDatabaseSide& a, const TDatabaseSide& b, const TIdentityRules& rules)
{
    return Comparer(a, b, rules).Run();
}

std::vector<std::string> DifferenceLines(const TDifference& difference)
{
    const std::string head = std::string(TableName(difference.table)) + " " + ChangeName(difference.change) + ":" +
                             (difference.place.empty() ? "" : " " + difference.place);
    if (difference.change != TChange::Changed)
        return {head};
    std::vector<std::string> lines;
    for (const TFieldChange& f : difference.fields)
        lines.push_back(head + " " + f.field + " " + (f.text ? Quoted(f.oldValue) : f.oldValue) + " -> " +
                        (f.text ? Quoted(f.newValue) : f.newValue));
    return lines;
}

std::string CompareReportJson(const TCompareReport& report)
{
    std::string out = std::string("{\"equal\": ") + (report.Equal() ? "true" : "false") + ", \"counts\": {";
    for (int t = 0; t < kTableCount; ++t) {
        const TTableCounts& c = report.counts[std::size_t(t)];
        out += (t ? ", " : "") + JsonString(TableName(TTable(t))) + ": {\"added\": " + std::to_string(c.added) +
               ", \"removed\": " + std::to_string(c.removed) + ", \"changed\": " + std::to_string(c.changed) +
               ", \"unchanged\": " + std::to_string(c.unchanged) + "}";
    }
    out += "}, \"differences\": [";
    for (std::size_t i = 0; i < report.differences.size(); ++i) {
        const TDifference& d = report.differences[i];
        out += std::string(i ? ", " : "") + "{\"table\": " + JsonString(TableName(d.table)) +
               ", \"change\": " + JsonString(ChangeName(d.change)) + ", \"key\": {";
        for (std::size_t k = 0; k < d.key.size(); ++k)
            out += (k ? ", " : "") + JsonString(d.key[k].name) + ": " + JsonValue(d.key[k].value, d.key[k].text);
        out += "}, \"name\": " + JsonString(d.name) + ", \"fields\": [";
        for (std::size_t k = 0; k < d.fields.size(); ++k) {
            const TFieldChange& f = d.fields[k];
            out += (k ? ", " : "") + std::string("{\"field\": ") + JsonString(f.field) +
                   ", \"old\": " + JsonValue(f.oldValue, f.text) + ", \"new\": " + JsonValue(f.newValue, f.text) + "}";
        }
        out += "]}";
    }
    return out + "]}";
}

}  // namespace lumora
