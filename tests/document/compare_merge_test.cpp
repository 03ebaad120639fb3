// The compare-and-merge engine: its identity rules, policies, capacities,
// fixed numbers and favorites, case by case; then properties over random
// pairs of databases.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <memory>
#include <random>

#include "app_state.h"
#include "document_merge.h"
#include "service_numbering.h"

namespace lumora {
namespace {

using Db = std::unique_ptr<TChannelDatabase>;

Db NewDb(uint8_t flashType = 0)
{
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, flashType);
    return db;
}

TMergeOptions WithPolicy(TMergePolicy policy, bool favorites = false)
{
    TMergeOptions options;
    options.policy = policy;
    options.favorites = favorites;
    return options;
}

int32_t AddStream(TChannelDatabase& db, uint16_t antenna, uint32_t frequency, uint8_t polarization = 0,
                  uint16_t onid = 0, uint16_t tsid = 0)
{
    TTSItem& ts = db.TSInfo.Info[std::size_t(db.TSInfo.wTSNum)];
    ts = TTSItem{onid, tsid, antenna, -1, {frequency, 27500, 0, polarization, 2}, 0};
    return db.TSInfo.wTSNum++;
}

int32_t AddService(TChannelDatabase& db, int32_t ts, uint8_t type, uint16_t sid, const std::string& name,
                   uint16_t fixedNumber = 0)
{
    const int32_t r = db.ServiceInfo.Count();
    TServiceItem& s = db.ServiceInfo.pServiceInfo[std::size_t(r)];
    s = TServiceItem{};
    s.wServiceId = sid;
    s.ServiceType = type;
    s.pTSIndex = ts;
    s.szServiceName = name;
    s.wAudioPID = 513;
    s.wServiceNumber = fixedNumber;
    ++(type == kServiceTypeRadio ? db.ServiceInfo.wRadioNum : db.ServiceInfo.wTVNum);
    return r;
}

void AddNetwork(TChannelDatabase& db, const std::string& name)
{
    db.NetworkInfo.Info[std::size_t(db.NetworkInfo.wNetworkNum++)].szNetworkName = name;
}

// One antenna, one stream 11778 H, network "Astra", TV service 100.
Db SmallDb()
{
    Db db = NewDb();
    db->AntennaList.AntennaInfo[0] = TAntennaSetting{9750, 0, 0, 3, 0, 0, 0, ""};
    AddNetwork(*db, "Astra");
    db->TSInfo.Info[std::size_t(AddStream(*db, 0, 11778))].pNetworkIndex = 0;
    AddService(*db, 0, kServiceTypeTV, 100, "Nova Shows");
    return db;
}

std::string Counts(const TCompareReport& report, TTable table)
{
    const TTableCounts& c = report.Counts(table);
    return std::to_string(c.added) + "+ " + std::to_string(c.removed) + "- " + std::to_string(c.changed) + "~ " +
           std::to_string(c.unchanged) + "=";
}

TEST(CompareMergeTest, IdentityRules)
{
    struct Case {
        const char* name;
        std::function<void(TChannelDatabase& a, TChannelDatabase& b)> change;
        const char* streams;  // counts of the stream table: added, removed, changed, unchanged
        const char* services;
        TIdentityRules rules = {};
    };
    auto tuning = [](TChannelDatabase& db) -> TSATTSInfo& { return db.TSInfo.Info[0].SATTSInfo; };
    const Case cases[] = {
        {"same data", [](auto&, auto&) {}, "0+ 0- 0~ 1=", "0+ 0- 0~ 1="},
        {"2 MHz up is the same stream", [&](auto&, auto& b) { tuning(b).dwFrequency += 2; },
         "0+ 0- 1~ 0=", "0+ 0- 0~ 1="},
        {"2 MHz down is the same stream", [&](auto&, auto& b) { tuning(b).dwFrequency -= 2; },
         "0+ 0- 1~ 0=", "0+ 0- 0~ 1="},
        {"3 MHz is another stream", [&](auto&, auto& b) { tuning(b).dwFrequency += 3; }, "1+ 1- 0~ 0=", "1+ 1- 0~ 0="},
        {"another polarisation is another stream", [&](auto&, auto& b) { tuning(b).ucPolarization = 1; },
         "1+ 1- 0~ 0=", "1+ 1- 0~ 0="},
        {"cable: 1 MHz is another stream",
         [&](auto&, auto& b) { tuning(b).dwFrequency += 1; },
         "1+ 1- 0~ 0=",
         "1+ 1- 0~ 0=",
         {true, 0}},
        {"cable ignores polarisation",
         [&](auto&, auto& b) { tuning(b).ucPolarization = 1; },
         "0+ 0- 1~ 0=",
         "0+ 0- 0~ 1=",
         {true, 0}},
        {"the id pair decides over frequency",
         [&](auto& a, auto& b) {
             a.TSInfo.Info[0].wTsId = b.TSInfo.Info[0].wTsId = 7;
             tuning(b).dwFrequency += 40;
         },
         "0+ 0- 1~ 0=", "0+ 0- 0~ 1="},
        {"different id pairs are different streams",
         [&](auto& a, auto& b) {
             a.TSInfo.Info[0].wTsId = 7;
             b.TSInfo.Info[0].wTsId = 8;
         },
         "1+ 1- 0~ 0=", "1+ 1- 0~ 0="},
        {"an id pair on one side only: tuning decides", [&](auto&, auto& b) { b.TSInfo.Info[0].wOrgNetworkId = 1; },
         "0+ 0- 1~ 0=", "0+ 0- 0~ 1="},
        {"another LNB frequency is another antenna",
         [](auto&, auto& b) { b.AntennaList.AntennaInfo[0].dwLNBFreq = 10600; }, "1+ 1- 0~ 0=", "1+ 1- 0~ 0="},
        {"a user-defined satellite is named",
         [](auto& a, auto& b) {
             a.AntennaList.AntennaInfo[0].ucSatelliteId = b.AntennaList.AntennaInfo[0].ucSatelliteId = 5;
             a.AntennaList.AntennaInfo[0].szLNBName = "Hot Bird";
             b.AntennaList.AntennaInfo[0].szLNBName = "Eutelsat";
         },
         "1+ 1- 0~ 0=",
         "1+ 1- 0~ 0=",
         {false, 5}},
        {"a listed satellite's name is no identity",
         [](auto&, auto& b) { b.AntennaList.AntennaInfo[0].szLNBName = "Other"; },
         "0+ 0- 0~ 1=",
         "0+ 0- 0~ 1=",
         {false, 5}},
        {"a radio service with the TV service's id is another service",
         [](auto&, auto& b) { AddService(b, 0, kServiceTypeRadio, 100, "Nova Radio"); }, "0+ 0- 0~ 1=", "1+ 0- 0~ 1="},
        {"another service id is another service",
         [](auto&, auto& b) { b.ServiceInfo.pServiceInfo[0].wServiceId = 101; }, "0+ 0- 0~ 1=", "1+ 1- 0~ 0="},
        {"network names ignore trailing blanks",
         [](auto&, auto& b) { b.NetworkInfo.Info[0].szNetworkName = "Astra   "; }, "0+ 0- 0~ 1=", "0+ 0- 0~ 1="},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Db a = SmallDb(), b = SmallDb();
        c.change(*a, *b);
        const TCompareReport report = CompareDatabases({*a, {}}, {*b, {}}, c.rules);
        EXPECT_EQ(Counts(report, TTable::Stream), c.streams);
        EXPECT_EQ(Counts(report, TTable::Service), c.services);
        EXPECT_EQ(Counts(report, TTable::Network), "0+ 0- 0~ 1=");
    }
}

TEST(CompareMergeTest, ChangedFieldsAndFavoriteMovesAreListed)
{
    Db a = SmallDb(), b = SmallDb();
    AddService(*a, 0, kServiceTypeTV, 101, "Nova Kids");
    AddService(*b, 0, kServiceTypeTV, 101, "Nova Kids");
    b->ServiceInfo.pServiceInfo[0].wAudioPID = 514;
    a->FavoriteInfo[0][0] = TFavoriteItem{2, {0, 1}};
    b->FavoriteInfo[0][0] = TFavoriteItem{2, {1, 0}};
    b->MenuConfigItem.nMenuLang = 2;
    const TCompareReport report = CompareDatabases({*a, {}}, {*b, {}}, {});
    std::vector<std::string> lines;
    for (const TDifference& d : report.differences)
        for (const std::string& line : DifferenceLines(d))
            lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<std::string>{"service changed: \"Nova Shows\" wAudioPID 513 -> 514",
                                               "favorite moved: TV list A \"Nova Kids\" 2 -> 1",
                                               "menu changed: nMenuLang 0 -> 2"}));
    EXPECT_NE(CompareReportJson(report).find("\"field\": \"wAudioPID\", \"old\": 513, \"new\": 514"),
              std::string::npos);
}

TEST(CompareMergeTest, PoliciesForServicesPresentInBoth)
{
    Db mine = SmallDb(), theirs = SmallDb();
    TServiceItem& m = mine->ServiceInfo.pServiceInfo[0];
    m.szServiceName = "   ";
    m.wVideoPID = 512;
    m.wAudioPID = 0;
    TServiceItem& t = theirs->ServiceInfo.pServiceInfo[0];
    t.wVideoPID = 600;
    t.bScrambled = true;
    t.ServiceKind = 3;
    struct Case {
        TMergePolicy policy;
        std::string name;
        uint16_t video, audio;
        bool scrambled;
        uint8_t kind;
    };
    for (const Case& c : {Case{TMergePolicy::FillEmpty, "Nova Shows", 512, 513, false, 0},
                          Case{TMergePolicy::TakeTheirs, "Nova Shows", 600, 513, true, 3},
                          Case{TMergePolicy::KeepMine, "   ", 512, 0, false, 0}}) {
        SCOPED_TRACE(PolicyName(c.policy));
        TChannelDatabase merged;
        const TMergeReport report =
            MergeDatabases({*mine, {}}, {*theirs, {}, "theirs.dnf", {}}, WithPolicy(c.policy), {}, &merged);
        const TServiceItem& s = merged.ServiceInfo.pServiceInfo[0];
        EXPECT_EQ(s.szServiceName, c.name);
        EXPECT_EQ(s.wVideoPID, c.video);
        EXPECT_EQ(s.wAudioPID, c.audio);
        EXPECT_EQ(s.bScrambled, c.scrambled);
        EXPECT_EQ(s.ServiceKind, c.kind);
        EXPECT_EQ(merged.ServiceInfo.Count(), 1);
        EXPECT_EQ(report.Counts(TTable::Service).updated, c.policy == TMergePolicy::KeepMine ? 0 : 1);
    }
}

TEST(CompareMergeTest, SelectionAndDuplicatesInTheSource)
{
    Db mine = SmallDb(), theirs = SmallDb();
    theirs->AntennaList.AntennaInfo[1] = TAntennaSetting{10600, 0, 0, 4, 0, 0, 0, ""};
    const int32_t ts = AddStream(*theirs, 1, 12000);
    AddService(*theirs, ts, kServiceTypeTV, 7, "Seven");
    AddService(*theirs, ts, kServiceTypeRadio, 8, "Eight");
    AddService(*theirs, ts, kServiceTypeRadio, 8, "Eight again");
    theirs->ServiceInfo.pServiceInfo[std::size_t(AddService(*theirs, ts, kServiceTypeTV, 9, "Pay"))].bScrambled = true;
    TMergeOptions options;
    options.selection.whole = false;
    options.selection.antennas = {1};
    options.selection.radio = false;
    options.selection.freeOnly = true;
    TChannelDatabase merged;
    TMergeReport report = MergeDatabases({*mine, {}}, {*theirs, {}, "t", {}}, options, {}, &merged);
    ASSERT_EQ(merged.ServiceInfo.Count(), 2);
    EXPECT_EQ(merged.ServiceInfo.pServiceInfo[1].szServiceName, "Seven");
    EXPECT_EQ(merged.TSInfo.Info[1].wAntennaIndex, 1);
    EXPECT_EQ(report.Counts(TTable::Antenna).added, 1);
    options.selection.antennas.clear();
    options.selection.streams = {ts};
    options.selection.radio = true;
    options.selection.tv = false;
    options.selection.freeOnly = false;
    report = MergeDatabases({*mine, {}}, {*theirs, {}, "t", {}}, options, {}, &merged);
    EXPECT_EQ(report.Counts(TTable::Service).added, 1);
    ASSERT_EQ(report.notes.size(), 1u);
    EXPECT_EQ(report.notes[0], "service \"Eight again\" (8) is in the source twice: merged once");
}

TEST(CompareMergeTest, AMergeThatDoesNotFitIsRefusedWhole)
{
    struct Case {
        const char* message;
        std::function<void(TChannelDatabase& mine, TChannelDatabase& theirs)> fill;
    };
    const Case cases[] = {
        {"services: 1 over the capacity of 4000",
         [](auto& mine, auto& theirs) {
             while (mine.ServiceInfo.Count() < kServiceCapacity - 1)
                 AddService(mine, 0, kServiceTypeTV, uint16_t(1000 + mine.ServiceInfo.Count()), "filler");
             AddService(theirs, 0, kServiceTypeTV, 1, "one");
             AddService(theirs, 0, kServiceTypeRadio, 2, "two");
         }},
        {"transport streams: 2 over the capacity of 1000",
         [](auto& mine, auto& theirs) {
             while (mine.TSInfo.wTSNum < kTSCapacity)
                 AddStream(mine, 0, uint32_t(20000 + 10 * mine.TSInfo.wTSNum));
             AddStream(theirs, 0, 5000);
             AddStream(theirs, 0, 5100);
         }},
        {"antennas: 1 more than the free slots (a new antenna needs a slot no stream uses)",
         [](auto& mine, auto& theirs) {
             for (uint16_t slot = 1; slot < kAntennaCapacity; ++slot)
                 AddStream(mine, slot, 3000 + slot * 10);
             theirs.AntennaList.AntennaInfo[4].dwLNBFreq = 5150;
             AddStream(theirs, 4, 4000);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        Db mine = SmallDb(), theirs = SmallDb();
        c.fill(*mine, *theirs);
        TChannelDatabase untouched;
        untouched.MenuConfigItem.nMenuLang = 42;
        const TMergeReport report = MergeDatabases({*mine, {}}, {*theirs, {}, "t", {}}, {}, {}, &untouched);
        EXPECT_EQ(report.overflows, std::vector<std::string>{c.message});
        EXPECT_EQ(untouched.MenuConfigItem.nMenuLang, 42) << "the result was written";
    }
}

TEST(CompareMergeTest, FixedNumbersAndFavoritesFollowTheirServices)
{
    const TNumbering fixed{true, 4};
    Db mine = NewDb(4), theirs = NewDb(4);
    for (TChannelDatabase* db : {mine.get(), theirs.get()}) {
        AddStream(*db, 0, 11778);
        AddService(*db, 0, kServiceTypeTV, 1, "One");
        AddService(*db, 0, kServiceTypeTV, 2, "Two");
    }
    AddService(*mine, 0, kServiceTypeTV, 3, "Five", 5);
    AddService(*theirs, 0, kServiceTypeTV, 4, "Clash", 5);
    theirs->ServiceInfo.pServiceInfo[0].wServiceNumber = 50;  // "One" gets a fixed number: "Two" is renumbered
    const TServiceNumbering before(*mine, fixed);
    mine->FavoriteInfo[0][0] = TFavoriteItem{1, {before.KeyOf(1)}};
    const TServiceNumbering theirKeys(*theirs, fixed);
    theirs->FavoriteInfo[0][1] = TFavoriteItem{2, {theirKeys.KeyOf(2), theirKeys.KeyOf(0)}};

    TChannelDatabase merged;
    const TMergeReport report = MergeDatabases({*mine, fixed}, {*theirs, fixed, "t", {}},
                                               WithPolicy(TMergePolicy::FillEmpty, true), {}, &merged);
    ASSERT_TRUE(report.Fits());
    EXPECT_EQ(merged.ServiceInfo.pServiceInfo[0].wServiceNumber, 50);
    EXPECT_EQ(merged.ServiceInfo.pServiceInfo[3].szServiceName, "Clash");
    EXPECT_EQ(merged.ServiceInfo.pServiceInfo[3].wServiceNumber, 0);
    EXPECT_EQ(report.notes,
              std::vector<std::string>{"fixed number 5 of \"Clash\" is taken by \"Five\": left automatic"});
    const TServiceNumbering after(merged, fixed);
    EXPECT_EQ(after.ServiceOfKey(0, merged.FavoriteInfo[0][0].Index[0]), 1) << "the entry no longer names \"Two\"";
    ASSERT_EQ(merged.FavoriteInfo[0][1].wIndexNum, 2);
    EXPECT_EQ(after.ServiceOfKey(0, merged.FavoriteInfo[0][1].Index[0]), 3);
    EXPECT_EQ(after.ServiceOfKey(0, merged.FavoriteInfo[0][1].Index[1]), 0);
}

// A random database: a few antennas (no two the same), networks, providers, streams on a
// 10 MHz raster, services with random fields, and favorite lists.
Db RandomDb(std::mt19937& random)
{
    auto pick = [&random](int n) { return int(std::uniform_int_distribution<int>(0, n - 1)(random)); };
    Db db = NewDb();
    for (int slot = 0; slot < 4; ++slot)
        db->AntennaList.AntennaInfo[std::size_t(slot)] = {
            uint32_t(9750 + 850 * pick(2)), 0, 0, uint8_t(slot + 4 * pick(2)), uint8_t(pick(3)), 0, 0, ""};
    for (int n = pick(4); n > 0; --n)
        AddNetwork(*db, "Net " + std::to_string(pick(5)) + (pick(2) ? " " : ""));
    for (int p = pick(4); p > 0; --p)
        db->ProviderInfo.Info[std::size_t(db->ProviderInfo.wProviderNum++)].szProviderName =
            "Prov " + std::to_string(pick(5));
    // Distinct frequencies: no stream is in one database twice.
    std::array<uint32_t, 8> frequencies = {11000, 11010, 11020, 11030, 11040, 11050, 11060, 11070};
    std::shuffle(frequencies.begin(), frequencies.end(), random);
    for (int t = 1 + pick(6); t > 0; --t) {
        const int32_t ts = AddStream(*db, uint16_t(pick(4)), frequencies[std::size_t(t)], uint8_t(pick(2)));
        db->TSInfo.Info[std::size_t(ts)].pNetworkIndex = pick(db->NetworkInfo.wNetworkNum + 1) - 1;
    }
    for (int s = pick(20); s > 0; --s) {
        const int32_t r = AddService(*db, pick(db->TSInfo.wTSNum), uint8_t(pick(2)), uint16_t(1 + pick(30)),
                                     "S" + std::to_string(pick(50)));
        TServiceItem& item = db->ServiceInfo.pServiceInfo[std::size_t(r)];
        item.wVideoPID = uint16_t(pick(3) * 100);
        item.wAudioPID = uint16_t(pick(3) * 100);
        item.bScrambled = pick(2);
        item.pProviderIndex = pick(db->ProviderInfo.wProviderNum + 1) - 1;
    }
    for (int g = 0; g < kFavoriteGroups; ++g) {
        const int count = g == 0 ? db->ServiceInfo.wTVNum : db->ServiceInfo.wRadioNum;
        for (int k = 0; k < count && k < 5; ++k)
            if (pick(2))
                db->FavoriteInfo[g][0].Index[std::size_t(db->FavoriteInfo[g][0].wIndexNum++)] = k;
    }
    return db;
}

// Whether every added or changed record of compare(A, merged) is one that B
// holds with the same values.
bool OnlyWhatBBrings(const TChannelDatabase& a, const TChannelDatabase& b, const TChannelDatabase& merged)
{
    const TCompareReport fromA = CompareDatabases({a, {}}, {merged, {}}, {});
    const TCompareReport fromB = CompareDatabases({b, {}}, {merged, {}}, {});
    for (const TDifference& d : fromA.differences) {
        if (d.change == TChange::Removed)
            return false;
        if (d.table == TTable::Favorite || d.table == TTable::Menu)
            return false;
        for (const TDifference& other : fromB.differences)
            if (other.table == d.table && other.indexB == d.indexB && other.change != TChange::Removed)
                return false;
    }
    return true;
}

TEST(CompareMergeTest, RandomPairsOfDatabases)
{
    std::mt19937 random(22);
    TApplicationState app;
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        Db a = RandomDb(random), b = RandomDb(random);
        EXPECT_TRUE(CompareDatabases({*a, {}}, {*a, {}}, {}).Equal());
        for (TMergePolicy policy : {TMergePolicy::FillEmpty, TMergePolicy::TakeTheirs, TMergePolicy::KeepMine}) {
            TChannelDatabase self;
            ASSERT_TRUE(MergeDatabases({*a, {}}, {*a, {}, "a", {}}, WithPolicy(policy), {}, &self).Fits());
            EXPECT_TRUE(self == *a) << PolicyName(policy);
        }
        TDocumentData doc(app);
        doc.Database() = *a;
        const TMergeReport report =
            MergeIntoDocument(doc, {*b, {}, "b.dnf", {}}, WithPolicy(TMergePolicy::TakeTheirs), {});
        ASSERT_TRUE(report.Fits());
        EXPECT_TRUE(OnlyWhatBBrings(*a, *b, doc.Database()));
        EXPECT_EQ(MergeReportLines(
                      MergeDatabases({*a, {}}, {*b, {}, "b", {}}, WithPolicy(TMergePolicy::TakeTheirs), {}, nullptr)),
                  MergeReportLines(report));
        if (doc.CanUndo()) {
            EXPECT_EQ(doc.UndoLabel(), MergeEditLabel(report, "b.dnf"));
            doc.UndoData();
        }
        EXPECT_TRUE(doc.Database() == *a);
    }
}

}  // namespace
}  // namespace lumora
