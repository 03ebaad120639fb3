// Reading other programs' channel files: the whole satellite folder of
// dtv-scan-tables, a large lamedb with bouquets, and an import preview.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
