#include "records.h"

namespace lumora {

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
    db.MenuConfigItem.nAudioOutput = 1;    // STEREO
    db.MenuConfigItem.nDisplayFormat = 1;  // center
    db.MenuConfigItem.nInfoboxTime = 5;
}

bool IsFixedNumberingFlashType(uint8_t flashType)
{
    return flashType >= 3 && flashType <= 5;
}

bool IsCableModel(uint8_t model)
{
    return model == 8 || model == 9;
}

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
