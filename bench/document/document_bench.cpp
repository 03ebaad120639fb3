// Grid refresh on a full-capacity database: 4000 services (TV and radio
// mixed), 1000 streams, 500 networks and providers, eight favorite lists of
// 100, with ordinary and fixed numbering.
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "app_state.h"
#include "channel_document.h"
#include "full_tables.h"
#include "service_numbering.h"

namespace lumora {
namespace {

using SilentUi = NonInteractiveUiPort;

void FillFullDatabase(TChannelDatabase& db)
{
    bench::FillNetworksProvidersAndStreams(db);
    int tv = 0, radio = 0;
    for (int r = 0; r < kServiceCapacity; ++r) {
        TServiceItem& s = db.ServiceInfo.pServiceInfo[std::size_t(r)];
        s.ServiceType = r % 3 == 2 ? kServiceTypeRadio : kServiceTypeTV;  // two TV for one radio
        int ordinal = s.ServiceType == kServiceTypeTV ? tv++ : radio++;
        s.szServiceName = "Service \x86" + std::to_string(r);
        s.wServiceId = uint16_t(r + 1);
        s.wPmtPID = uint16_t(0x8000 | (100 + r));
        s.wVideoPID = uint16_t(200 + r);
        s.wAudioPID = uint16_t(300 + r);
        s.wPCRPID = uint16_t(200 + r);
        s.ServiceKind = uint8_t(r % 16);
        s.pTSIndex = r / 4;
        s.pProviderIndex = r % kProviderCapacity;
        // Every 30th service of a type carries a fixed number 1..100.
        s.wServiceNumber = ordinal % 30 == 0 && ordinal / 30 < 100 ? uint16_t(ordinal / 30 + 1) : 0;
    }
    db.ServiceInfo.wTVNum = uint16_t(tv);
    db.ServiceInfo.wRadioNum = uint16_t(radio);
}

// Favorite entries in the document's numbering: ordinals, or OP numbers - 1.
void FillFavorites(ChannelDocument& doc)
{
    TChannelDatabase& db = doc.Database();
    for (uint8_t group = 0; group < kFavoriteGroups; ++group) {
        std::vector<int32_t> ofType;
        for (int32_t r = 0; r < doc.ServiceCount(); ++r)
            if (db.ServiceInfo.pServiceInfo[std::size_t(r)].ServiceType == group)
                ofType.push_back(r);
        const TServiceNumbering keys(db, NumberingOf(db, doc.FlashType()));
        for (int list = 0; list < kFavoriteLists; ++list) {
            TFavoriteItem& f = db.FavoriteInfo[group][list];
            f.wIndexNum = kFavoriteCapacity;
            for (int k = 0; k < kFavoriteCapacity; ++k) {
                int32_t r = ofType[std::size_t(k * 13 + list * 7) % ofType.size()];
                f.Index[std::size_t(k)] = keys.KeyOf(r);
            }
        }
    }
}

enum View { kAllService, kStream, kGenre, kFavorite };

void BM_RefreshServiceGrid(benchmark::State& state)
{
    auto view = View(state.range(0));
    auto flashType = uint8_t(state.range(1));
    auto app = std::make_unique<TApplicationState>();
    app->Settings.SystemInfo.FLASHTYPE = flashType;
    SilentUi ui;
    ChannelDocument doc(*app, ui);
    doc.InitAllData();
    FillFullDatabase(doc.Database());
    FillFavorites(doc);
    doc.LoadTreeValue();
    uint32_t tags[] = {MakeTag(kKindAllService, 0), MakeTag(kKindTS, 17), MakeTag(kKindGenre, 3),
                       MakeTag(kKindFavorite, 1)};
    uint32_t tag = tags[view];
    int level = view == kAllService ? 0 : 1;
    doc.SelectNode(doc.Tree1.Find([&](const TTreeNode& n) { return n.Tag == tag && n.Level() == level; }));
    for (auto _ : state) {
        doc.RefreshServiceGrid();
        benchmark::DoNotOptimize(doc.SG.Cell(kColName, 1).data());
    }
    state.counters["rows"] = doc.SG.RowCount() - 1;
}

}  // namespace
}  // namespace lumora

// Views: 0 "All Service", 1 a transport stream, 2 a genre, 3 a favorite list;
// FLASHTYPE 0 (ordinary numbering), 3 and 4 (fixed numbering).
BENCHMARK(lumora::BM_RefreshServiceGrid)
    ->ArgNames({"view", "flash"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 3, 4}})
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
