#include "records.h"

#include <algorithm>

namespace lumora {

namespace {
// Whether the first `count` entries (clamped into the table) are equal.
template <class Table>
bool SameEntries(const Table& a, const Table& b, int32_t countA, int32_t countB)
{
    if (countA != countB)
        return false;
    const auto n = std::size_t(std::clamp<int32_t>(countA, 0, int32_t(a.size())));
    return std::equal(a.begin(), a.begin() + std::ptrdiff_t(n), b.begin());
}
}  // namespace

bool SameStoredData(const TChannelDatabase& a, const TChannelDatabase& b)
{
    if (a.pFixServiceIndex != b.pFixServiceIndex || !(a.MenuConfigItem == b.MenuConfigItem) ||
        !(a.AntennaList == b.AntennaList))
        return false;
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l) {
            const TFavoriteItem& x = a.FavoriteInfo[g][l];
            const TFavoriteItem& y = b.FavoriteInfo[g][l];
            if (!SameEntries(x.Index, y.Index, x.wIndexNum, y.wIndexNum))
                return false;
        }
    return SameEntries(a.TSInfo.Info, b.TSInfo.Info, a.TSInfo.wTSNum, b.TSInfo.wTSNum) &&
           SameEntries(a.NetworkInfo.Info, b.NetworkInfo.Info, a.NetworkInfo.wNetworkNum, b.NetworkInfo.wNetworkNum) &&
           SameEntries(a.ProviderInfo.Info, b.ProviderInfo.Info, a.ProviderInfo.wProviderNum,
                       b.ProviderInfo.wProviderNum) &&
           a.ServiceInfo.wTVNum == b.ServiceInfo.wTVNum &&
           SameEntries(a.ServiceInfo.pServiceInfo, b.ServiceInfo.pServiceInfo, a.ServiceInfo.Count(),
                       b.ServiceInfo.Count());
}

void InitDatabase(TChannelDatabase& db, uint8_t flashType)
{
    db.pFixServiceIndex = IsFixedNumberingFlashType(flashType);
    db.AntennaList.wAntennaNum = kAntennaCapacity;
    db.NetworkInfo.wNetworkNum = 0;
    db.ProviderInfo.wProviderNum = 0;
    db.TSInfo.wTSNum = 0;
    db.ServiceInfo.wTVNum = 0;
    db.ServiceInfo.wRadioNum = 0;
    for (auto& group : db.FavoriteInfo)
        for (auto& list : group)
            list.wIndexNum = 0;
    db.MenuConfigItem.nAudioOutput = 1;  // STEREO
    db.MenuConfigItem.nDisplayFormat = 1;  // center
    db.MenuConfigItem.nInfoboxTime = 5;
}

bool IsFixedNumberingFlashType(uint8_t flashType) { return flashType >= 3 && flashType <= 5; }

bool IsCableModel(uint8_t model) { return model == 8 || model == 9; }

namespace {
template <std::size_t N>
std::string NameAt(const std::array<const char*, N>& table, unsigned code)
{
    return code < N ? table[code] : "";
}
}  // namespace

std::string PolarizationName(unsigned code) { return NameAt(kPolarizationNames, code); }
std::string CodeRateName(unsigned code) { return NameAt(kCodeRateNames, code); }
std::string ConstellationName(unsigned ucFEC) { return ucFEC == 0 ? "" : NameAt(kConstellationNames, ucFEC - 1); }

std::string GenreName(unsigned serviceType, unsigned serviceKind)
{
    if (serviceType > 1 || serviceKind > 15)
        return "";
    return kGenreNames[serviceType * 16 + serviceKind];
}

}  // namespace lumora
