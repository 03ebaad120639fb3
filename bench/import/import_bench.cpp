// Reading other programs' channel files: the whole satellite folder of
// dtv-scan-tables, a large lamedb with bouquets, and an import preview.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "import_formats.h"

namespace lumora {
namespace {

// Every satellite table of dtv-scan-tables (328 files, 9,498 transponders),
// read from disk, recognised and converted: the target is below 300 ms.
void BM_ReadAllSatelliteTables(benchmark::State& state)
{
    const std::string folder = std::string(LUMORA_DVB_TABLES_DIR) + "/dvb-s";
    if (!std::filesystem::is_directory(folder)) {
        state.SkipWithError((folder + " absent: install dtv-scan-tables").c_str());
        return;
    }
    for (auto _ : state) {
        TImportData data;
        if (const Status status = ReadImportPath(folder, data); !status) {
            state.SkipWithError(status.message().c_str());
            return;
        }
        benchmark::DoNotOptimize(data.streams.data());
        state.counters["entries"] = data.report.Count(TImportCount::Entries);
    }
}
BENCHMARK(BM_ReadAllSatelliteTables)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumora

BENCHMARK_MAIN();
