// Reading a large enigma service list: a lamedb version 4 of 5,000 services
// on 100 transponders, with 20 user bouquets of 250 services each.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "import_formats.h"

namespace {

constexpr int kTransponders = 100;
constexpr int kServicesPerTransponder = 50;
constexpr int kBouquets = 20;

std::string Hex(unsigned value, int width)
{
    char text[16];
    std::snprintf(text, sizeof text, "%0*x", width, value);
    return text;
}

// Transponder t: tsid t + 1 on 19.2E, 10,700 MHz upwards; service s of it:
// sid 100 * t + s.
std::string GeneratedLamedb()
{
    std::string text = "eDVB services /4/\ntransponders\n";
    for (int t = 0; t < kTransponders; ++t)
        text += "00c00000:" + Hex(t + 1, 4) + ":0001\n\ts " + std::to_string(10700000 + 19500 * t) +
                ":27500000:" + std::to_string(t % 2) + ":3:192:2:0\n/\n";
    text += "end\nservices\n";
    for (int t = 0; t < kTransponders; ++t)
        for (int s = 0; s < kServicesPerTransponder; ++s)
            text += Hex(100 * t + s + 1, 4) + ":00c00000:" + Hex(t + 1, 4) + ":0001:" + (s % 5 ? "1" : "2") +
                    ":0\nProgramme " + std::to_string(t) + "-" + std::to_string(s) + "\np:Provider " +
                    std::to_string(t % 10) + ",c:03" + Hex(100 + s, 4) + (s % 3 ? ",C:0100" : "") + "\n";
    return text + "end\nHave a lot of bugs!\n";
}

lumora::TBouquetFiles GeneratedBouquets()
{
    lumora::TBouquetFiles files;
    std::string index = "#NAME Bouquets (TV)\r\n";
    const int perBouquet = kTransponders * kServicesPerTransponder / kBouquets;
    for (int b = 0; b < kBouquets; ++b) {
        const std::string name = "userbouquet.b" + std::to_string(b) + ".tv";
        index += "#SERVICE 1:7:1:0:0:0:0:0:0:0:FROM BOUQUET \"" + name + "\" ORDER BY bouquet\r\n";
        std::string bouquet = "#NAME Bouquet " + std::to_string(b) + "\r\n";
        for (int i = 0; i < perBouquet; ++i) {
            const int service = b * perBouquet + i;
            const int t = service / kServicesPerTransponder, s = service % kServicesPerTransponder;
            bouquet += "#SERVICE 1:0:" + std::string(s % 5 ? "1" : "2") + ":" + Hex(100 * t + s + 1, 0) + ":" +
                       Hex(t + 1, 0) + ":1:c00000:0:0:0:\r\n";
        }
        files.emplace(name, std::move(bouquet));
    }
    files.emplace("bouquets.tv", std::move(index));
    return files;
}

void BM_ReadLamedb5000(benchmark::State& state)
{
    const std::string lamedb = GeneratedLamedb();
    const lumora::TBouquetFiles bouquets = GeneratedBouquets();
    for (auto _ : state) {
        lumora::TImportData data;
        const lumora::Status status = lumora::ReadLamedb(lamedb, "lamedb", bouquets, data);
        if (!status || data.services.size() != 5000 || data.lists.size() != kBouquets ||
            data.lists.back().services.size() != 250)
            state.SkipWithError("the generated lamedb was not read whole");
        benchmark::DoNotOptimize(data);
    }
}
BENCHMARK(BM_ReadLamedb5000)->Unit(benchmark::kMillisecond);

}  // namespace
