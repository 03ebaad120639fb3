#include "service_numbering.h"

#include <algorithm>

namespace lumora {

int32_t ServiceCount(const TChannelDatabase& db)
{
    return std::min<int32_t>(db.ServiceInfo.Count(), kServiceCapacity);
}

TServiceNumbering::TServiceNumbering(const TChannelDatabase& db, uint8_t flashType)
    : db_(db), serviceCount_(ServiceCount(db)), autoBase_(flashType == 3 ? 1000 : 101)
{
    autoBefore_.resize(std::size_t(serviceCount_) + 1);
    int32_t automatic = 0;
    for (int32_t r = 0; r < serviceCount_; ++r) {
        autoBefore_[std::size_t(r)] = automatic;
        const TServiceItem& s = db.ServiceInfo.pServiceInfo[std::size_t(r)];
        if (s.ServiceType == db.CurDisplayServiceMode && s.wServiceNumber == 0)
            ++automatic;
    }
    autoBefore_[std::size_t(serviceCount_)] = automatic;
}

int32_t TServiceNumbering::OPNumber(int32_t r) const
{
    if (r < 0 || r >= serviceCount_)
        return 0;
    const TServiceItem& s = db_.ServiceInfo.pServiceInfo[std::size_t(r)];
    if (s.wServiceNumber != 0)
        return s.wServiceNumber;
    return autoBefore_[std::size_t(r)] + autoBase_;
}

const TServiceNumbering::TypeIndex& TServiceNumbering::IndexOf(uint8_t mode) const
{
    auto& slot = typeIndex_[mode & 1];
    if (!slot) {
        TypeIndex index;
        for (int32_t r = 0; r < serviceCount_; ++r) {
            if (db_.ServiceInfo.pServiceInfo[std::size_t(r)].ServiceType != mode)
                continue;
            index.byOrdinal.push_back(r);
            index.byOPNumber.try_emplace(OPNumber(r), r);  // the first service with a number wins
        }
        slot = std::move(index);
    }
    return *slot;
}

int32_t TServiceNumbering::PositionOf(uint8_t mode, int32_t value, bool byOPNumber) const
{
    if (mode > 1)
        return 0;  // no service has such a type
    const TypeIndex& index = IndexOf(mode);
    if (byOPNumber) {
        auto found = index.byOPNumber.find(value);
        return found == index.byOPNumber.end() ? 0 : found->second;
    }
    if (value < 0 || std::size_t(value) >= index.byOrdinal.size())
        return 0;
    return index.byOrdinal[std::size_t(value)];
}

}  // namespace lumora
