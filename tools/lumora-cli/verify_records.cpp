#include "verify_records.h"

#include <algorithm>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

#include "menu_fields.h"

namespace lumora::cli {
namespace {

// A record's fields by name, its values as text.
using FieldList = std::vector<std::pair<const char*, std::string>>;

template <typename T>
std::string Text(const T& value)
{
    if constexpr (std::is_same_v<T, std::string>)
        return "\"" + value + "\"";
    else
        return std::to_string(static_cast<long long>(value));
}

#define LUMORA_FIELD(record, name)                                                                                     \
    {                                                                                                                  \
#name, Text(record.name)                                                                                       \
    }

FieldList Fields(const TServiceItem& s)
{
    return {LUMORA_FIELD(s, szServiceName),   LUMORA_FIELD(s, wServiceId),     LUMORA_FIELD(s, wPmtPID),
            LUMORA_FIELD(s, wVideoPID),       LUMORA_FIELD(s, wAudioPID),      LUMORA_FIELD(s, wSubtitlePID),
            LUMORA_FIELD(s, wTeletextPID),    LUMORA_FIELD(s, wPCRPID),        LUMORA_FIELD(s, ServiceType),
            LUMORA_FIELD(s, ServiceKind),     LUMORA_FIELD(s, bParentLock),    LUMORA_FIELD(s, bExistService),
            LUMORA_FIELD(s, bSkipService),    LUMORA_FIELD(s, bScrambled),     LUMORA_FIELD(s, ucSubtitleIndex),
            LUMORA_FIELD(s, ucTeletextIndex), LUMORA_FIELD(s, wServiceNumber), LUMORA_FIELD(s, pTSIndex),
            LUMORA_FIELD(s, pProviderIndex)};
}

FieldList Fields(const TTSItem& t)
{
    return {LUMORA_FIELD(t, wOrgNetworkId),         LUMORA_FIELD(t, wTsId),
            LUMORA_FIELD(t, wAntennaIndex),         LUMORA_FIELD(t, pNetworkIndex),
            LUMORA_FIELD(t.SATTSInfo, dwFrequency), LUMORA_FIELD(t.SATTSInfo, dwSymbolRate),
            LUMORA_FIELD(t.SATTSInfo, wPosition),   LUMORA_FIELD(t.SATTSInfo, ucPolarization),
            LUMORA_FIELD(t.SATTSInfo, ucFEC),       LUMORA_FIELD(t, dwSmaTVDiff)};
}

FieldList Fields(const TNetworkItem& n) { return {LUMORA_FIELD(n, szNetworkName), LUMORA_FIELD(n, wNetworkId)}; }

FieldList Fields(const TProviderItem& p) { return {LUMORA_FIELD(p, szProviderName)}; }

FieldList Fields(const TAntennaSetting& a)
{
    return {LUMORA_FIELD(a, szLNBName),      LUMORA_FIELD(a, dwLNBFreq),     LUMORA_FIELD(a, wPosition),
            LUMORA_FIELD(a, wMovement),      LUMORA_FIELD(a, ucSatelliteId), LUMORA_FIELD(a, ucOtherSetting),
            LUMORA_FIELD(a, ucMotorControl), LUMORA_FIELD(a, ucDiseqcCmd)};
}

#undef LUMORA_FIELD

// The menu record's fields that the raw image carries, in stored order; the
// date, which the receiver sets itself, reads as empty on both sides.
FieldList MenuFields(const TMenuConfigItem& menu)
{
    FieldList fields;
    ForEachCarriedMenuField(menu, [&](const auto& field, MenuFieldCarried) {
        const void* at = &field;
        const bool date = at == &menu.nUserYear || at == &menu.nUserMonth || at == &menu.nUserDay;
        fields.emplace_back("", date ? std::string() : Text(field));
    });
    return fields;
}

// "<what> <number> <name> <field> <got>, sent <sent>" for the first field
// that differs between two records; nothing when none does.
std::optional<std::string> CompareRecord(const char* what, int index, const FieldList& sent, const FieldList& got)
{
    for (std::size_t f = 0; f < sent.size() && f < got.size(); ++f) {
        if (sent[f].second == got[f].second)
            continue;
        std::string text = std::string(what) + ' ' + std::to_string(index + 1);
        // A name identifies the record for the person reading; it is shown
        // unless the name is the field that differs.
        if (f != 0 && sent[0].second.front() == '"')
            text += ' ' + got[0].second;
        return text + ' ' + sent[f].first + ' ' + got[f].second + ", sent " + sent[f].second;
    }
    return std::nullopt;
}

template <typename Table>
std::optional<std::string> CompareTable(const char* what, const Table& sent, int sentCount, const Table& got,
                                        int gotCount)
{
    sentCount = std::clamp(sentCount, 0, static_cast<int>(sent.size()));
    gotCount = std::clamp(gotCount, 0, static_cast<int>(got.size()));
    if (sentCount != gotCount)
        return std::string(what) + " count " + std::to_string(gotCount) + ", sent " + std::to_string(sentCount);
    for (int i = 0; i < sentCount; ++i)
        if (auto difference = CompareRecord(what, i, Fields(sent[i]), Fields(got[i])))
            return difference;
    return std::nullopt;
}

std::optional<std::string> CompareFavorites(const TChannelDatabase& sent, const TChannelDatabase& got)
{
    for (int group = 0; group < kFavoriteGroups; ++group)
        for (int list = 0; list < kFavoriteLists; ++list) {
            const TFavoriteItem& a = sent.FavoriteInfo[group][list];
            const TFavoriteItem& b = got.FavoriteInfo[group][list];
            const bool same =
                a.wIndexNum == b.wIndexNum &&
                std::equal(a.Index.begin(), a.Index.begin() + std::clamp(a.wIndexNum, 0, kFavoriteCapacity),
                           b.Index.begin());
            if (!same)
                return "favorite list " + std::to_string(group * kFavoriteLists + list + 1) + " differs";
        }
    return std::nullopt;
}

std::optional<std::string> CompareMenu(const TChannelDatabase& sent, const TChannelDatabase& got)
{
    const FieldList a = MenuFields(sent.MenuConfigItem);
    const FieldList b = MenuFields(got.MenuConfigItem);
    for (std::size_t f = 0; f < a.size(); ++f)
        if (a[f].second != b[f].second)
            return "menu record field " + std::to_string(f + 1) + ' ' + b[f].second + ", sent " + a[f].second;
    return std::nullopt;
}

}  // namespace

std::optional<std::string> FirstDifference(const conv::Bytes& sent, const conv::Bytes& got,
                                           const conv::RawImageInfo& info)
{
    auto a = std::make_unique<TChannelDatabase>();
    auto b = std::make_unique<TChannelDatabase>();
    std::string reason;
    if (!conv::DecodeRawImage(sent, info, *a, reason))
        return "the image sent cannot be read back: " + reason;
    if (!conv::DecodeRawImage(got, info, *b, reason))
        return "the receiver's channel data cannot be read: " + reason;
    const TServiceInfo& sa = a->ServiceInfo;
    const TServiceInfo& sb = b->ServiceInfo;
    for (auto difference :
         {CompareTable("service", sa.pServiceInfo, sa.Count(), sb.pServiceInfo, sb.Count()),
          CompareTable("transponder", a->TSInfo.Info, a->TSInfo.wTSNum, b->TSInfo.Info, b->TSInfo.wTSNum),
          CompareTable("network", a->NetworkInfo.Info, a->NetworkInfo.wNetworkNum, b->NetworkInfo.Info,
                       b->NetworkInfo.wNetworkNum),
          CompareTable("provider", a->ProviderInfo.Info, a->ProviderInfo.wProviderNum, b->ProviderInfo.Info,
                       b->ProviderInfo.wProviderNum),
          CompareTable("antenna", a->AntennaList.AntennaInfo, a->AntennaList.wAntennaNum, b->AntennaList.AntennaInfo,
                       b->AntennaList.wAntennaNum),
          CompareFavorites(*a, *b), CompareMenu(*a, *b)})
        if (difference)
            return difference;
    return std::nullopt;
}

}  // namespace lumora::cli
