// All database checks on a full database: 4000 services (two TV for one
// radio), 1000 streams, 500 networks and providers, eight favorite lists of
// 100; ordinary and fixed numbering. A sound database, so the time is the
// checks themselves and not the building of finding texts.
#include <benchmark/benchmark.h>

#include <memory>

#include "database_checks.h"
#include "full_tables.h"
#include "service_numbering.h"

namespace lumora {
namespace {

void FillFavorites(TChannelDatabase& db, const TNumbering& numbering)
{
    const TServiceNumbering keys(db, numbering);
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l) {
            TFavoriteItem& list = db.FavoriteInfo[g][l];
            list.wIndexNum = kFavoriteCapacity;
            for (int k = 0; k < kFavoriteCapacity; ++k)
                list.Index[std::size_t(k)] = keys.KeyOf(3 * (k * 7 + l) + (g == 1 ? 2 : 0));
        }
}

void BM_AllChecksOnAFullDatabase(benchmark::State& state)
{
    auto db = std::make_unique<TChannelDatabase>();
    const uint8_t flashType = state.range(0) ? 4 : 0;
    InitDatabase(*db, flashType);
    bench::FillNetworksProvidersAndStreams(*db);
    bench::FillServices(*db);
    const TNumbering numbering = NumberingOf(*db, flashType);
    FillFavorites(*db, numbering);
    if (!CheckDatabase(*db, numbering).empty()) {
        state.SkipWithError("the full database is expected to be sound");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(CheckDatabase(*db, numbering));
    state.SetLabel(state.range(0) ? "fixed numbering" : "ordinary numbering");
}
BENCHMARK(BM_AllChecksOnAFullDatabase)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumora

BENCHMARK_MAIN();
