// Imported data placed on the target's antennas and merged: proposals,
// new antennas, refusals, lists as favorites, and a second import that
// brings nothing new.
#include <gtest/gtest.h>

#include <memory>

#include "import_plan.h"

namespace lumora {
namespace {

TSettings SatelliteNames()
{
    TSettings settings;
    settings.AntennaLanguage.wLanguageNum = 3;
    settings.AntennaLanguage.Language[0] = "ASTRA 1";
    settings.AntennaLanguage.Language[1] = "HOTBIRD";
    settings.AntennaLanguage.Language[2] = "THOR";
    return settings;
}

TPositionTable Positions()
{
    TPositionTable table;
    table.Set(192, "ASTRA 1");
    table.Set(130, "HOTBIRD");
    table.Set(282, "ASTRA 2");
    return table;
}

// A target whose antenna 1 receives ASTRA 1 through one stream.
std::unique_ptr<TChannelDatabase> Target()
{
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    db->AntennaList.AntennaInfo[0].ucSatelliteId = 0;
    db->AntennaList.AntennaInfo[0].dwLNBFreq = 9750;
    db->TSInfo.Info[0] = TTSItem{1, 1101, 0, -1, {11836, 27500, 0, 0, 2}, 0};
    db->TSInfo.wTSNum = 1;
    return db;
}

TImportData Data(std::initializer_list<std::pair<int32_t, uint32_t>> streams)
{
    TImportData data;
    data.name = "table";
    for (const auto& [position, frequency] : streams) {
        TImportStream stream;
        stream.position = position;
        stream.group = "sat " + std::to_string(position);
        stream.tuning = {frequency, 27500, 0, 1, 3};
        data.streams.push_back(stream);
        TImportService service;
        service.stream = int32_t(data.streams.size()) - 1;
        service.service.wServiceId = uint16_t(frequency);
        service.service.szServiceName = "S" + std::to_string(frequency);
        data.services.push_back(service);
    }
    return data;
}

TEST(ImportPlan, PositionsGoToTheirSatelliteElseToFreeSlots)
{
    const auto target = Target();
    const TImportData data = Data({{192, 11000}, {130, 11100}, {192, 11200}, {282, 11300}});
    TImportPlan plan;
    plan.antennaOfPosition[282] = 7;
    const auto choices = ProposeAntennas(data, plan, *target, SatelliteNames(), Positions());
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_EQ(choices[0].position, 192);
    EXPECT_EQ(choices[0].streams, 2);
    EXPECT_EQ(choices[0].antenna, 0);  // antenna 1 already receives ASTRA 1
    EXPECT_EQ(choices[1].antenna, 1);  // the first free slot
    EXPECT_EQ(choices[2].antenna, 7);  // the user's choice

    TImportSource source;
    ASSERT_TRUE(BuildImportSource(data, plan, choices, *target, SatelliteNames(), source));
    const TChannelDatabase& db = *source.db;
    EXPECT_EQ(db.AntennaList.AntennaInfo[0], target->AntennaList.AntennaInfo[0]);
    EXPECT_EQ(db.AntennaList.AntennaInfo[1].ucSatelliteId, 1);  // HOTBIRD is in the settings' list
    EXPECT_EQ(db.AntennaList.AntennaInfo[7].ucSatelliteId, 3);  // "User Define"
    EXPECT_EQ(db.AntennaList.AntennaInfo[7].szLNBName, "28.2E ASTRA 2");
    EXPECT_EQ(db.TSInfo.wTSNum, 4);
    EXPECT_EQ(db.TSInfo.Info[3].wAntennaIndex, 7);
    EXPECT_EQ(db.ServiceInfo.pServiceInfo[3].pTSIndex, 3);

    // Merged twice, the second import brings nothing new.
    const TIdentityRules rules = IdentityRulesOf(SatelliteNames());
    auto once = std::make_unique<TChannelDatabase>();
    const TMergeReport first = MergeDatabases({*target, {}}, source.Source(), {}, rules, once.get());
    ASSERT_TRUE(first.Fits());
    EXPECT_EQ(first.Counts(TTable::Service).added, 4);
    EXPECT_EQ(first.Counts(TTable::Stream).added, 4);
    const auto again = ProposeAntennas(data, plan, *once, SatelliteNames(), Positions());
    EXPECT_EQ(again[1].antenna, 1);  // HOTBIRD now has its antenna
    TImportSource second;
    ASSERT_TRUE(BuildImportSource(data, plan, again, *once, SatelliteNames(), second));
    const TMergeReport repeat = MergeDatabases({*once, {}}, second.Source(), {}, rules, nullptr);
    EXPECT_EQ(repeat.Counts(TTable::Service).added, 0);
    EXPECT_EQ(repeat.Counts(TTable::Stream).added, 0);
}

TEST(ImportPlan, WhatCannotBePlacedIsRefusedWhole)
{
    const auto target = Target();
    const TSettings settings = SatelliteNames();
    struct Case {
        const char* what;
        TImportData data;
        TImportPlan plan;
        const char* reason;
    };
    TImportData many;
    for (int32_t p = 0; p < 33; ++p)
        many.Append(Data({{p * 10, 11000}}));
    TImportData full;
    for (uint32_t f = 0; f < 1001; ++f)
        full.Append(Data({{192, 10000 + f}}));
    TImportData cable = Data({{0, 306000}});
    cable.streams[0].delivery = TDelivery::Cable;
    TImportPlan onlyHotbird;
    onlyHotbird.only = {"13.0E"};
    Case cases[] = {
        {"33 positions", many, {}, "33 orbital positions"},
        {"1,001 streams", full, {}, "1001 streams, a database holds 1000"},
        {"cable data, satellite model", cable, {}, "no satellite transponders"},
        {"nothing at the chosen position", Data({{192, 11000}}), onlyHotbird, "no satellite transponders"},
    };
    for (Case& c : cases) {
        const auto choices = ProposeAntennas(c.data, c.plan, *target, settings, Positions());
        TImportSource source;
        const Status built = BuildImportSource(c.data, c.plan, choices, *target, settings, source);
        EXPECT_FALSE(built) << c.what;
        EXPECT_NE(built.message().find(c.reason), std::string::npos) << c.what << ": " << built.message();
    }
}

TEST(ImportPlan, ListsBecomeFavoritesOfTheirType)
{
    const auto target = Target();
    TImportData data = Data({{192, 11000}, {192, 11100}, {192, 11200}});
    data.services[2].service.ServiceType = kServiceTypeRadio;
    for (int i = 0; i < 5; ++i)
        data.lists.push_back({"tv " + std::to_string(i), false, {1, 0, 2}, 0});
    TImportSource source;
    TImportPlan plan;
    ASSERT_TRUE(BuildImportSource(data, plan, ProposeAntennas(data, plan, *target, SatelliteNames(), Positions()),
                                  *target, SatelliteNames(), source));
    const TFavoriteItem& first = source.db->FavoriteInfo[0][0];
    ASSERT_EQ(first.wIndexNum, 2);  // the radio service is left out of a TV list
    EXPECT_EQ(first.Index[0], 1);  // ordinals: service 1 first
    EXPECT_EQ(first.Index[1], 0);
    EXPECT_EQ(source.db->FavoriteInfo[0][3].wIndexNum, 2);
    EXPECT_EQ(source.dropped.back(), "list \"tv 4\" left out: 4 favorite lists a type");
}

}  // namespace
}  // namespace lumora
