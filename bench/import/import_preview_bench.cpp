// The import preview of VDR's satellite example into the sample database:
// read the file, place its position on an antenna, build the source and run
// the merge as a dry run, as File > Import does before its dialogs show.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "import_formats.h"
#include "import_plan.h"
#include "interchange.h"

namespace lumora {
namespace {

void BM_ImportPreviewVdrIntoSample(benchmark::State& state)
{
    const std::string vdr = LUMORA_VDR_DIR "/usr/share/vdr/channels.conf-examples/channels.conf.sat";
    if (!std::filesystem::exists(vdr)) {
        state.SkipWithError("VDR's examples are missing: ./dev.sh test unpacks them into build/third_party/vdr");
        return;
    }
    auto target = std::make_unique<TChannelDatabase>();
    InitDatabase(*target, 0);
    if (ReadInterchangeFile(LUMORA_EXAMPLES_DIR "/sample.txt", *target, [](const std::string&) {}).status !=
        ReadStatus::Complete) {
        state.SkipWithError("the sample database cannot be read");
        return;
    }
    const TSettings settings;
    const TPositionTable table = TPositionTable::BuiltIn();
    for (auto _ : state) {
        TImportData data;
        if (!ReadImportPath(vdr, data)) {
            state.SkipWithError("channels.conf.sat does not read");
            return;
        }
        const TImportPlan plan;
        const auto choices = ProposeAntennas(data, plan, *target, settings, table);
        TImportSource source;
        if (!BuildImportSource(data, plan, choices, *target, settings, source)) {
            state.SkipWithError("the import does not fit the sample");
            return;
        }
        const TMergeReport report = MergeDatabases({*target, {}}, source.Source(), {}, {}, nullptr);
        benchmark::DoNotOptimize(report.ServicesMerged());
    }
}
BENCHMARK(BM_ImportPreviewVdrIntoSample)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumora
