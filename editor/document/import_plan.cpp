#include "import_plan.h"

#include <algorithm>
#include <cctype>

#include "import_text.h"
#include "interchange.h"
#include "service_numbering.h"

namespace lumora {
namespace {

bool SameText(std::string_view a, std::string_view b)
{
    a = TrimBlanks(a);
    b = TrimBlanks(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

const char* DeliveryName(TDelivery delivery) { return delivery == TDelivery::Cable ? "cable" : "satellite"; }

TDelivery TargetDelivery(const TImportPlan& plan) { return plan.cable ? TDelivery::Cable : TDelivery::Satellite; }

// The position a satellite stream goes by; streams of a file that names none
// share kNoPosition.
int32_t PositionKey(const TImportStream& stream) { return stream.position.value_or(kNoPosition); }

// The target slot whose antenna already receives `position`: its satellite
// is the table's name for it, or its own name starts with the position.
int32_t AntennaReceiving(int32_t position, const TChannelDatabase& target, const TSettings& settings,
                         const TPositionTable& table)
{
    const std::vector<bool> inUse = AntennasInUse(target);
    const TAntennaPositions positions = AntennaPositions(target, settings, table);
    for (int32_t slot = 0; slot < kAntennaCapacity; ++slot)
        if (inUse[std::size_t(slot)] && positions[std::size_t(slot)] == position)
            return slot;
    return -1;
}

int32_t FreeSlot(const TChannelDatabase& target, const std::vector<TPositionChoice>& taken)
{
    const std::vector<bool> inUse = AntennasInUse(target);
    for (int32_t slot = 0; slot < kAntennaCapacity; ++slot) {
        const bool chosen =
            std::any_of(taken.begin(), taken.end(), [slot](const TPositionChoice& c) { return c.antenna == slot; });
        if (!inUse[std::size_t(slot)] && !chosen)
            return slot;
    }
    return -1;
}

// The antenna a position brings to a slot nothing uses yet: the satellite of
// the settings' list the table names, else "User Define" named after the
// position ("19.2E ASTRA 1").
TAntennaSetting NewAntenna(const TPositionChoice& choice, const TSettings& settings)
{
    TAntennaSetting antenna;
    const TLanguageSet& names = settings.AntennaLanguage;
    const int32_t count = std::clamp(names.wLanguageNum, 0, kLanguageSetCapacity);
    for (int32_t i = 0; i < count; ++i)
        if (!choice.satellite.empty() && SameText(names.Language[std::size_t(i)], choice.satellite)) {
            antenna.ucSatelliteId = uint8_t(i);
            return antenna;
        }
    antenna.ucSatelliteId = uint8_t(count);
    const std::string label = PositionLabel(choice.position) + (choice.satellite.empty() ? "" : " " + choice.satellite);
    antenna.szLNBName = ImportServiceName(label, TSourceText::Utf8).name;
    while (!antenna.szLNBName.empty() && antenna.szLNBName.back() == ' ')
        antenna.szLNBName.pop_back();
    return antenna;
}

// The source database being filled, with the maps from the data's indices.
class SourceBuilder {
public:
    SourceBuilder(const TImportData& data, const TImportPlan& plan, TImportSource& out)
        : data_(data), plan_(plan), db_(*out.db), notes_(out.dropped)
    {
        InitDatabase(db_, 0);
        streamOf_.assign(data.streams.size(), -1);
        serviceOf_.assign(data.services.size(), -1);
    }

    void PlaceAntennas(const std::vector<TPositionChoice>& choices, const TChannelDatabase& target,
                       const TSettings& settings)
    {
        const std::vector<bool> inUse = AntennasInUse(target);
        for (const TPositionChoice& choice : choices) {
            const std::size_t slot = std::size_t(choice.antenna);
            db_.AntennaList.AntennaInfo[slot] =
                inUse[slot] ? target.AntennaList.AntennaInfo[slot] : NewAntenna(choice, settings);
            slotOf_[choice.position] = choice.antenna;
        }
        if (plan_.cable)
            db_.AntennaList.AntennaInfo[0] = target.AntennaList.AntennaInfo[0];
    }

    Status AddStreams()
    {
        int32_t otherDelivery = 0, filtered = 0;
        for (std::size_t i = 0; i < data_.streams.size(); ++i) {
            const TImportStream& stream = data_.streams[i];
            if (stream.delivery != TargetDelivery(plan_)) {
                ++otherDelivery;
            } else if (!PlanTakesStream(plan_, stream)) {
                ++filtered;
            } else {
                if (db_.TSInfo.wTSNum >= kTSCapacity)
                    return Status::Failure("the import does not fit: " + std::to_string(TakenStreams()) +
                                           " streams, a database holds " + std::to_string(kTSCapacity));
                streamOf_[i] = AddStream(stream);
            }
        }
        if (otherDelivery > 0)
            notes_.push_back(std::to_string(otherDelivery) + " " +
                             DeliveryName(plan_.cable ? TDelivery::Satellite : TDelivery::Cable) +
                             " streams left out: the receiver model is a " + DeliveryName(TargetDelivery(plan_)) +
                             " model");
        if (filtered > 0)
            notes_.push_back(std::to_string(filtered) + " streams left out by the choice of satellites or networks");
        if (db_.TSInfo.wTSNum == 0 && !data_.streams.empty())
            return Status::Failure(data_.name + ": no " + DeliveryName(TargetDelivery(plan_)) +
                                   " transponders to import");
        return {};
    }

    Status AddServices()
    {
        for (std::size_t i = 0; i < data_.services.size(); ++i) {
            const TImportService& imported = data_.services[i];
            const int32_t stream = imported.stream >= 0 && std::size_t(imported.stream) < streamOf_.size()
                                       ? streamOf_[std::size_t(imported.stream)]
                                       : -1;
            if (stream < 0)
                continue;
            if (db_.ServiceInfo.Count() >= kServiceCapacity)
                return Status::Failure("the import does not fit: more than " + std::to_string(kServiceCapacity) +
                                       " services, a database holds " + std::to_string(kServiceCapacity));
            TServiceItem service = imported.service;
            service.pTSIndex = stream;
            service.pProviderIndex = ProviderIndex(imported.provider);
            const int32_t r = db_.ServiceInfo.Count();
            db_.ServiceInfo.pServiceInfo[std::size_t(r)] = service;
            ++(service.ServiceType == kServiceTypeRadio ? db_.ServiceInfo.wRadioNum : db_.ServiceInfo.wTVNum);
            serviceOf_[i] = r;
        }
        return {};
    }

    // The first four lists of each type become favorite lists 1..4 of it.
    void AddLists()
    {
        const TServiceNumbering numbering(db_, TNumbering{});
        int used[kFavoriteGroups] = {0, 0};
        for (const TImportList& list : data_.lists) {
            const int group = list.radio ? 1 : 0;
            if (used[group] == kFavoriteLists) {
                notes_.push_back("list \"" + list.name + "\" left out: 4 favorite lists a type");
                continue;
            }
            TFavoriteItem& favorites = db_.FavoriteInfo[group][used[group]++];
            for (int32_t s : list.services) {
                const int32_t r = s >= 0 && std::size_t(s) < serviceOf_.size() ? serviceOf_[std::size_t(s)] : -1;
                if (r < 0 || db_.ServiceInfo.pServiceInfo[std::size_t(r)].ServiceType != group)
                    continue;
                if (favorites.wIndexNum == kFavoriteCapacity) {
                    notes_.push_back("list \"" + list.name + "\": entries after the 100th left out");
                    break;
                }
                favorites.Index[std::size_t(favorites.wIndexNum++)] = numbering.KeyOf(r);
            }
        }
    }

private:
    int32_t TakenStreams() const
    {
        return int32_t(std::count_if(data_.streams.begin(), data_.streams.end(), [this](const TImportStream& s) {
            return s.delivery == TargetDelivery(plan_) && PlanTakesStream(plan_, s);
        }));
    }

    int32_t AddStream(const TImportStream& stream)
    {
        TTSItem item;
        item.wOrgNetworkId = stream.wOrgNetworkId;
        item.wTsId = stream.wTsId;
        item.SATTSInfo = stream.tuning;
        item.wAntennaIndex = uint16_t(plan_.cable ? 0 : slotOf_.at(PositionKey(stream)));
        if (plan_.cable)
            item.pNetworkIndex = NetworkIndex(stream.group);
        const int32_t t = db_.TSInfo.wTSNum++;
        db_.TSInfo.Info[std::size_t(t)] = item;
        return t;
    }

    // A cable stream's network is named after its cable network or file.
    int32_t NetworkIndex(const std::string& group)
    {
        const std::string name = ImportPlainName(group, TSourceText::Utf8).name.substr(0, kServiceNameLength);
        for (int32_t n = 0; n < db_.NetworkInfo.wNetworkNum; ++n)
            if (db_.NetworkInfo.Info[std::size_t(n)].szNetworkName == name)
                return n;
        if (name.empty() || db_.NetworkInfo.wNetworkNum >= kNetworkCapacity)
            return -1;
        db_.NetworkInfo.Info[std::size_t(db_.NetworkInfo.wNetworkNum)].szNetworkName = name;
        return db_.NetworkInfo.wNetworkNum++;
    }

    int32_t ProviderIndex(const std::string& name)
    {
        if (name.empty())
            return -1;
        for (int32_t p = 0; p < db_.ProviderInfo.wProviderNum; ++p)
            if (db_.ProviderInfo.Info[std::size_t(p)].szProviderName == name)
                return p;
        if (db_.ProviderInfo.wProviderNum >= kProviderCapacity)
            return -1;
        db_.ProviderInfo.Info[std::size_t(db_.ProviderInfo.wProviderNum)].szProviderName = name;
        return db_.ProviderInfo.wProviderNum++;
    }

    const TImportData& data_;
    const TImportPlan& plan_;
    TChannelDatabase& db_;
    std::vector<std::string>& notes_;
    std::map<int32_t, int32_t> slotOf_;
    std::vector<int32_t> streamOf_;
    std::vector<int32_t> serviceOf_;
};

Status CheckChoices(const TImportData& data, const TImportPlan& plan, const std::vector<TPositionChoice>& choices)
{
    if (plan.cable)
        return {};
    if (choices.size() > std::size_t(kAntennaCapacity))
        return Status::Failure("the import does not fit: " + std::to_string(choices.size()) +
                               " orbital positions, a database has " + std::to_string(kAntennaCapacity) +
                               " antennas; choose satellites with --only or in the list");
    for (const TImportStream& stream : data.streams) {
        if (stream.delivery != TDelivery::Satellite || !PlanTakesStream(plan, stream))
            continue;
        const auto choice = std::find_if(choices.begin(), choices.end(),
                                         [&](const TPositionChoice& c) { return c.position == PositionKey(stream); });
        if (choice == choices.end() || choice->antenna < 0 || choice->antenna >= kAntennaCapacity)
            return Status::Failure("the import does not fit: no antenna for " + PositionLabel(PositionKey(stream)) +
                                   " (every antenna is in use)");
    }
    return {};
}

}  // namespace

std::string PositionLabel(int32_t position)
{
    return position == kNoPosition ? std::string("unknown") : PositionText(position);
}

bool PlanTakesStream(const TImportPlan& plan, const TImportStream& stream)
{
    if (stream.delivery != TargetDelivery(plan))
        return false;
    if (plan.only.empty())
        return true;
    return std::any_of(plan.only.begin(), plan.only.end(), [&](const std::string& pick) {
        const std::optional<int32_t> position = ParsePosition(pick);
        return position ? stream.position == position : SameText(pick, stream.group);
    });
}

std::vector<TPositionChoice> ProposeAntennas(const TImportData& data, const TImportPlan& plan,
                                             const TChannelDatabase& target, const TSettings& settings,
                                             const TPositionTable& table)
{
    std::vector<TPositionChoice> choices;
    if (plan.cable)
        return choices;
    for (const TImportStream& stream : data.streams) {
        if (!PlanTakesStream(plan, stream))
            continue;
        const int32_t position = PositionKey(stream);
        auto found = std::find_if(choices.begin(), choices.end(),
                                  [position](const TPositionChoice& c) { return c.position == position; });
        if (found == choices.end()) {
            TPositionChoice choice;
            choice.position = position;
            choice.satellite = position == kNoPosition ? std::string() : table.NameOf(position).value_or("");
            choices.push_back(choice);
            found = choices.end() - 1;
        }
        ++found->streams;
    }
    for (TPositionChoice& choice : choices) {
        if (auto chosen = plan.antennaOfPosition.find(choice.position); chosen != plan.antennaOfPosition.end())
            choice.antenna = chosen->second;
        else if (choice.position != kNoPosition)
            choice.antenna = AntennaReceiving(choice.position, target, settings, table);
    }
    for (TPositionChoice& choice : choices)
        if (choice.antenna < 0)
            choice.antenna = FreeSlot(target, choices);
    return choices;
}

Status BuildImportSource(const TImportData& data, const TImportPlan& plan, const std::vector<TPositionChoice>& choices,
                         const TChannelDatabase& target, const TSettings& settings, TImportSource& out)
{
    out.name = data.name;
    out.dropped = ImportReportLines(data.report);
    SourceBuilder builder(data, plan, out);
    return CheckChoices(data, plan, choices)
        .AndThen([&] {
            builder.PlaceAntennas(choices, target, settings);
            return builder.AddStreams();
        })
        .AndThen([&] { return builder.AddServices(); })
        .AndThen([&] {
            builder.AddLists();
            return Status();
        });
}

}  // namespace lumora
