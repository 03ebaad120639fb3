// Compare and merge of full databases: 4000 services (two TV for one radio)
// on 1000 streams over 32 antennas, eight favorite lists. The second
// database differs in every tenth service. The merge brings the second
// database into the first with its last 400 services removed, so that it
// adds 400 services and updates the changed ones.
#include <benchmark/benchmark.h>

#include <memory>

#include "app_state.h"
#include "document_merge.h"
#include "full_tables.h"
#include "service_numbering.h"

namespace lumora {
namespace {

std::unique_ptr<TChannelDatabase> FullDatabase()
{
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    bench::FillNetworksProvidersAndStreams(*db);
    for (int slot = 0; slot < kAntennaCapacity; ++slot)
        db->AntennaList.AntennaInfo[std::size_t(slot)].ucSatelliteId = uint8_t(slot);
    bench::FillServices(*db);
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l) {
            db->FavoriteInfo[g][l].wIndexNum = kFavoriteCapacity;
            for (int k = 0; k < kFavoriteCapacity; ++k)
                db->FavoriteInfo[g][l].Index[std::size_t(k)] = k * 7 + l;
        }
    return db;
}

std::unique_ptr<TChannelDatabase> ChangedCopy(const TChannelDatabase& db)
{
    auto changed = std::make_unique<TChannelDatabase>(db);
    for (int r = 0; r < kServiceCapacity; r += 10)
        ++changed->ServiceInfo.pServiceInfo[std::size_t(r)].wAudioPID;
    return changed;
}

std::unique_ptr<TChannelDatabase> WithoutLastServices(const TChannelDatabase& db, int count)
{
    auto fewer = std::make_unique<TChannelDatabase>(db);
    for (int r = kServiceCapacity - count; r < kServiceCapacity; ++r)
        --(fewer->ServiceInfo.pServiceInfo[std::size_t(r)].ServiceType == kServiceTypeRadio
               ? fewer->ServiceInfo.wRadioNum
               : fewer->ServiceInfo.wTVNum);
    return fewer;
}

void BM_CompareFullDatabases(benchmark::State& state)
{
    const auto a = FullDatabase();
    const auto b = ChangedCopy(*a);
    if (CompareDatabases({*a, {}}, {*b, {}}, {}).Counts(TTable::Service).changed != kServiceCapacity / 10) {
        state.SkipWithError("every tenth service is expected to differ");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(CompareDatabases({*a, {}}, {*b, {}}, {}));
}
BENCHMARK(BM_CompareFullDatabases)->Unit(benchmark::kMillisecond);

// A dry run, as the merge dialog runs one after every change of selection:
// half of the antennas, TV only.
void BM_MergePreview(benchmark::State& state)
{
    const auto source = ChangedCopy(*FullDatabase());
    const auto target = WithoutLastServices(*source, 400);
    TMergeOptions options;
    options.selection.whole = false;
    for (int slot = 0; slot < kAntennaCapacity; slot += 2)
        options.selection.antennas.push_back(slot);
    options.selection.radio = false;
    for (auto _ : state)
        benchmark::DoNotOptimize(MergeDatabases({*target, {}}, {*source, {}, "b.dnf", {}}, options, {}, nullptr));
}
BENCHMARK(BM_MergePreview)->Unit(benchmark::kMillisecond);

// The whole source merged into a document as one edit; the undo that puts the
// document back for the next round is not timed.
void BM_WholeMergeWithEdit(benchmark::State& state)
{
    const auto source = ChangedCopy(*FullDatabase());
    const auto base = FullDatabase();
    const auto target = WithoutLastServices(*base, 400);
    TApplicationState app;
    TDocumentData doc(app);
    doc.Database() = *target;
    TMergeOptions options;
    options.policy = TMergePolicy::TakeTheirs;
    for (auto _ : state) {
        const TMergeReport report = MergeIntoDocument(doc, {*source, {}, "b.dnf", {}}, options, {});
        if (report.Counts(TTable::Service).added != 400) {
            state.SkipWithError("the merge is expected to add 400 services");
            return;
        }
        state.PauseTiming();
        doc.UndoData();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WholeMergeWithEdit)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumora

BENCHMARK_MAIN();
