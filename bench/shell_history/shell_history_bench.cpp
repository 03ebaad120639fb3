// Undo and redo through the document window on a full database (4000 TV
// services, 1000 streams, 500 networks and providers), with the Qt tree and
// grid views following and the pending paint events handled: what a person
// waits for after Ctrl+Z or Ctrl+Y. Args: 0 sort by name, 1 delete 1000
// rows, 2 paste 1000 services; redo 0 or 1. BM_WindowNameEdit: one name cell
// typed in, from the grid model's setData until the grid shows it, with its
// history step.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <memory>

#include "app_state.h"
#include "frm_child.h"
#include "full_tables.h"
#include "grid/k_string_grid.h"
#include "grid/service_grid_model.h"

namespace lumora {
namespace {

struct Window {
    TApplicationState app;
    NonInteractiveUiPort ui;
    std::unique_ptr<TfrmChild> child;
    std::unique_ptr<TChannelDatabase> opened = std::make_unique<TChannelDatabase>();

    explicit Window(int services)
    {
        child = std::make_unique<TfrmChild>(app, ui);
        ChannelDocument& doc = child->Document();
        doc.InitAllData();
        TChannelDatabase& db = doc.Database();
        bench::FillNetworksProvidersAndStreams(db);
        for (int r = 0; r < services; ++r) {
            TServiceItem& s = db.ServiceInfo.pServiceInfo[std::size_t(r)];
            s.szServiceName = "Service " + std::to_string((r * 7919) % services);
            s.wServiceId = uint16_t(r + 1);
            s.pTSIndex = r / 4;
            s.pProviderIndex = r % kProviderCapacity;
        }
        db.ServiceInfo.wTVNum = uint16_t(services);
        *opened = db;
        child->resize(1200, 800);
        child->show();
        Reopen();
    }

    void Reopen()
    {
        ChannelDocument& doc = child->Document();
        doc.Database() = *opened;
        doc.LoadTreeValue();
        doc.MarkSaved();
        child->SyncView();
    }

    void RunEdit(int64_t edit)
    {
        ChannelDocument& doc = child->Document();
        if (edit == 0) {
            doc.SG.SetCurrent(kColName, 1);
            child->BtnSortAClick();
        } else if (edit == 1) {
            doc.SG.SetSelection(1001, 2000);
            child->DeleteInformation2Click();
        } else {
            TBufServiceInfo& clipboard = app.ServiceClipboard;
            clipboard.wServiceNum = 1000;
            for (int k = 0; k < 1000; ++k)
                clipboard.ServiceInfo[std::size_t(k)] = opened->ServiceInfo.pServiceInfo[std::size_t(k)];
            doc.SG.SetCurrent(1, 500);
            doc.SG.SetSelection(500, 500);
            child->Paste1Click();
        }
    }
};

void BM_WindowUndoRedo(benchmark::State& state)
{
    const int64_t edit = state.range(0);
    const bool redo = state.range(1) != 0;
    Window window(edit == 2 ? kServiceCapacity - 1000 : kServiceCapacity);
    for (auto _ : state) {
        state.PauseTiming();
        window.Reopen();
        window.RunEdit(edit);
        if (redo)
            window.child->Undo();
        QCoreApplication::processEvents();
        state.ResumeTiming();
        redo ? window.child->Redo() : window.child->Undo();
        QCoreApplication::processEvents();
    }
    state.counters["services"] = window.child->Document().ServiceCount();
}

// The cell editor stores the typed text through setData and, as it closes,
// the grid reports the edit; the row in the middle of the grid changes.
void BM_WindowNameEdit(benchmark::State& state)
{
    Window window(kServiceCapacity);
    TkStringGrid& grid = *window.child->SG;
    const int row = kServiceCapacity / 2;
    const QModelIndex cell = grid.CellIndex(kColName, row);
    window.child->Document().SG.SetCurrent(kColName, row);
    QCoreApplication::processEvents();
    int64_t edits = 0;
    for (auto _ : state) {
        const QString name = QStringLiteral("Renamed %1").arg(edits++);
        grid.GridModel()->setData(cell, name, Qt::EditRole);
        emit grid.SetEditText(kColName, row, name);
        QCoreApplication::processEvents();
    }
    state.counters["undo_steps"] = double(window.child->Document().History().UndoSteps());
}

}  // namespace
}  // namespace lumora

BENCHMARK(lumora::BM_WindowUndoRedo)
    ->ArgNames({"edit", "redo"})
    ->ArgsProduct({{0, 1, 2}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

BENCHMARK(lumora::BM_WindowNameEdit)->Unit(benchmark::kMillisecond)->Iterations(50);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
