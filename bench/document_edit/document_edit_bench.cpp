// Editing commands on a full-capacity database, and undo and redo of them,
// and a keystroke in the filter box: sorting "All Service" with 4000
// services of one type, deleting 1000 selected rows, pasting 1000
// services; ordinary and fixed numbering, eight favorite lists of 100.
// Each command includes its closing grid rebuild; restoring the database
// between iterations is not timed.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

#include "app_state.h"
#include "channel_document.h"
#include "channel_document_sort.h"
#include "full_tables.h"
#include "service_numbering.h"

namespace lumora {
namespace {

using SilentUi = NonInteractiveUiPort;

// `services` services: all TV when `oneType`, else two TV for one radio.
// Names and video PIDs in random order; under fixed numbering every 40th
// service of a type has a fixed number.
void FillDatabase(TChannelDatabase& db, int services, bool oneType)
{
    bench::FillNetworksProvidersAndStreams(db);
    std::vector<int> order(static_cast<std::size_t>(services));
    for (int i = 0; i < services; ++i)
        order[std::size_t(i)] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(42));
    int counts[2] = {0, 0};
    for (int r = 0; r < services; ++r) {
        TServiceItem& s = db.ServiceInfo.pServiceInfo[std::size_t(r)];
        s = TServiceItem{};
        s.ServiceType = !oneType && r % 3 == 2 ? kServiceTypeRadio : kServiceTypeTV;
        const int ordinal = counts[s.ServiceType]++;
        s.szServiceName = "Service " + std::to_string(order[std::size_t(r)]);
        s.wVideoPID = uint16_t(32 + order[std::size_t(r)] * 7 % 8000);
        s.wAudioPID = uint16_t(300 + r);
        s.wServiceId = uint16_t(r + 1);
        s.pTSIndex = r / 4;
        s.pProviderIndex = r % kProviderCapacity;
        if (db.pFixServiceIndex && ordinal % 40 == 0 && ordinal / 40 < 100)
            s.wServiceNumber = uint16_t(ordinal / 40 + 1);
    }
    db.ServiceInfo.wTVNum = uint16_t(counts[0]);
    db.ServiceInfo.wRadioNum = uint16_t(counts[1]);
}

void FillFavorites(ChannelDocument& doc)
{
    TChannelDatabase& db = doc.Database();
    for (uint8_t group = 0; group < kFavoriteGroups; ++group) {
        std::vector<int32_t> ofType;
        for (int32_t r = 0; r < doc.ServiceCount(); ++r)
            if (db.ServiceInfo.pServiceInfo[std::size_t(r)].ServiceType == group)
                ofType.push_back(r);
        if (ofType.empty())
            continue;
        const TServiceNumbering keys(db, NumberingOf(db, doc.FlashType()));
        for (int list = 0; list < kFavoriteLists; ++list) {
            TFavoriteItem& f = db.FavoriteInfo[group][list];
            f.wIndexNum = 0;
            for (int k = 0; k < kFavoriteCapacity; ++k) {
                const int32_t r = ofType[std::size_t(k * 37 + list * 11) % ofType.size()];
                const int32_t v = keys.KeyOf(r);
                if (!doc.CheckServiceIndexInFavorite(group, list, v))
                    f.Index[std::size_t(f.wIndexNum++)] = v;
            }
        }
    }
}

// A document with "All Service" selected and a saved copy of its database.
struct Bench {
    std::unique_ptr<TApplicationState> app = std::make_unique<TApplicationState>();
    SilentUi ui;
    std::unique_ptr<ChannelDocument> doc;
    std::unique_ptr<TChannelDatabase> saved = std::make_unique<TChannelDatabase>();

    Bench(uint8_t flashType, int services, bool oneType)
    {
        app->Settings.SystemInfo.FLASHTYPE = flashType;
        doc = std::make_unique<ChannelDocument>(*app, ui);
        doc->InitAllData();
        FillDatabase(doc->Database(), services, oneType);
        FillFavorites(*doc);
        doc->LoadTreeValue();
        *saved = doc->Database();
    }

    void Restore()
    {
        doc->Database() = *saved;
        doc->MarkSaved();
        doc->RefreshServiceGrid();
    }
};

// Sort "All Service" by a column: args column (1 name, 2 video PID),
// ascending (1) or descending (0), FLASHTYPE, and whether the collation
// comes with sort keys (1, the core's default) or only as a comparison (0,
// as a shell's collator may be given).
void BM_SortAllService(benchmark::State& state)
{
    Bench bench(uint8_t(state.range(2)), kServiceCapacity, true);
    if (!state.range(3))
        bench.doc->Collate = LocaleCollate();
    const int col = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        bench.Restore();
        bench.doc->SG.SetCurrent(col, 1);
        state.ResumeTiming();
        if (state.range(1))
            bench.doc->BtnSortAClick();
        else
            bench.doc->BtnSortZClick();
    }
    state.counters["rows"] = bench.doc->SG.RowCount() - 1;
}

// Delete 1000 selected rows of "All Service" (TV and radio mixed).
void BM_DeleteRows(benchmark::State& state)
{
    Bench bench(uint8_t(state.range(0)), kServiceCapacity, false);
    for (auto _ : state) {
        state.PauseTiming();
        bench.Restore();
        bench.doc->SG.SetSelection(1001, 2000);
        state.ResumeTiming();
        bench.doc->DeleteInformation2Click();
    }
    state.counters["left"] = bench.doc->ServiceCount();
}

// Paste 1000 services into a database of 3000, before the 500th row.
void BM_Paste(benchmark::State& state)
{
    Bench bench(uint8_t(state.range(0)), kServiceCapacity - 1000, false);
    TBufServiceInfo& clipboard = bench.app->ServiceClipboard;
    clipboard.wServiceNum = 1000;
    for (int k = 0; k < 1000; ++k) {
        clipboard.ServiceInfo[std::size_t(k)] = bench.saved->ServiceInfo.pServiceInfo[std::size_t(k)];
        clipboard.ServiceInfo[std::size_t(k)].wServiceNumber = 0;
    }
    for (auto _ : state) {
        state.PauseTiming();
        bench.Restore();
        bench.doc->SG.SetCurrent(1, 500);
        bench.doc->SG.SetSelection(500, 500);
        state.ResumeTiming();
        bench.doc->Paste1Click();
    }
    state.counters["services"] = bench.doc->ServiceCount();
}

// The three large edits of the history benchmarks: args 0 sort by name,
// 1 delete 1000 rows, 2 paste 1000 services. Runs the edit (untimed setup).
void RunLargeEdit(Bench& bench, int64_t edit)
{
    if (edit == 0) {
        bench.doc->SG.SetCurrent(kColName, 1);
        bench.doc->BtnSortAClick();
    } else if (edit == 1) {
        bench.doc->SG.SetSelection(1001, 2000);
        bench.doc->DeleteInformation2Click();
    } else {
        TBufServiceInfo& clipboard = bench.app->ServiceClipboard;
        clipboard.wServiceNum = 1000;
        for (int k = 0; k < 1000; ++k)
            clipboard.ServiceInfo[std::size_t(k)] = bench.saved->ServiceInfo.pServiceInfo[std::size_t(k)];
        bench.doc->SG.SetCurrent(1, 500);
        bench.doc->SG.SetSelection(500, 500);
        bench.doc->Paste1Click();
    }
}

// Undo (redo = 0) or redo (redo = 1) of one large edit, each with its tree
// and grid rebuild. The database is full for sort and delete and holds 3000
// services before the paste.
void BM_UndoRedo(benchmark::State& state)
{
    const int64_t edit = state.range(0);
    Bench bench(0, edit == 2 ? kServiceCapacity - 1000 : kServiceCapacity, edit != 0);
    const bool redo = state.range(1) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        bench.Restore();
        RunLargeEdit(bench, edit);
        if (redo)
            bench.doc->Undo();
        state.ResumeTiming();
        redo ? bench.doc->Redo() : bench.doc->Undo();
    }
    state.counters["services"] = bench.doc->ServiceCount();
}

// What recording history adds to an edit: a one-field change of a full
// database through the edit seam (copy before, compare after, record).
void BM_EditOverhead(benchmark::State& state)
{
    Bench bench(0, kServiceCapacity, false);
    for (auto _ : state)
        bench.doc->Edit("Change PIN", [&] { ++bench.doc->Database().MenuConfigItem.nPINCode; });
    state.counters["history_MB"] = double(bench.doc->History().MemoryBytes()) / (1 << 20);
    state.counters["steps"] = double(bench.doc->History().UndoSteps());
}

// One keystroke in the filter box of "All Service" on a full database of
// 4000 TV services, with its grid rebuild: each iteration types the last
// letter of the text or takes it back. Texts: 0 "e", which every row
// matches, 1 "service 12", 2 the number "123".
void BM_FilterKeystroke(benchmark::State& state)
{
    Bench bench(uint8_t(state.range(1)), kServiceCapacity, true);
    const std::string texts[] = {"e", "service 12", "123"};
    const std::string& text = texts[std::size_t(state.range(0))];
    const std::string shorter = text.substr(0, text.size() - 1);
    bool typed = false;
    for (auto _ : state) {
        typed = !typed;
        bench.doc->SetFilterText(typed ? text : shorter);
    }
    bench.doc->SetFilterText(text);
    state.counters["rows"] = bench.doc->SG.RowCount() - 1;
}

}  // namespace
}  // namespace lumora

BENCHMARK(lumora::BM_FilterKeystroke)
    ->ArgNames({"text", "flash"})
    ->ArgsProduct({{0, 1, 2}, {0, 4}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(lumora::BM_UndoRedo)
    ->ArgNames({"edit", "redo"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(lumora::BM_EditOverhead)->Unit(benchmark::kMillisecond)->Iterations(100);
BENCHMARK(lumora::BM_SortAllService)
    ->ArgNames({"col", "asc", "flash", "keys"})
    ->ArgsProduct({{1, 2}, {1, 0}, {0, 4}, {1}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(lumora::BM_SortAllService)
    ->ArgNames({"col", "asc", "flash", "keys"})
    ->ArgsProduct({{1}, {1, 0}, {0}, {0}})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(lumora::BM_DeleteRows)
    ->ArgNames({"flash"})
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(lumora::BM_Paste)
    ->ArgNames({"flash"})
    ->Arg(0)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

BENCHMARK_MAIN();
