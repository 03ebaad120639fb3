// Throughput of the block compressor on full-size chunks, and of a whole
// encoder run over an 8 MiB data file with compression.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "encode12.h"
#include "encoder.h"

namespace {

constexpr std::size_t kChunk = encoder::kChunkSize;

std::vector<uint8_t> ReadBytes(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Repeats the source up to n bytes; an empty source gives zeros.
std::vector<uint8_t> Cycle(const std::vector<uint8_t>& source, std::size_t n)
{
    std::vector<uint8_t> out(n);
    for (std::size_t i = 0; !source.empty() && i < n; ++i)
        out[i] = source[i % source.size()];
    return out;
}

std::vector<uint8_t> RandomBytes(std::size_t n)
{
    std::mt19937 rng(12345);
    std::vector<uint8_t> out(n);
    for (auto& b : out)
        b = static_cast<uint8_t>(rng());
    return out;
}

const std::vector<uint8_t>& MachineCode()
{
    static const std::vector<uint8_t> bytes = ReadBytes("/usr/lib/x86_64-linux-gnu/libstdc++.so.6");
    return bytes;
}

const std::vector<uint8_t>& Text()
{
    static const std::vector<uint8_t> bytes = ReadBytes("/usr/share/common-licenses/GPL-3");
    return bytes;
}

// Compresses consecutive 32758-byte chunks of the data, round robin.
void CompressChunks(benchmark::State& state, const std::vector<uint8_t>& data)
{
    if (data.size() < kChunk) {
        state.SkipWithError("sample data missing");
        return;
    }
    std::vector<uint8_t> out(kChunk);
    const std::size_t chunks = data.size() / kChunk;
    std::size_t next = 0;
    int64_t compressed = 0;
    for (auto _ : state) {
        const uint8_t* chunk = data.data() + (next++ % chunks) * kChunk;
        compressed += encoder::CompressData(out.data(), chunk, kChunk);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(kChunk));
    state.counters["compressed"] = static_cast<double>(compressed) / static_cast<double>(state.iterations());
}

void BM_CompressText(benchmark::State& state) { CompressChunks(state, Cycle(Text(), 16 * kChunk)); }
void BM_CompressMachineCode(benchmark::State& state) { CompressChunks(state, MachineCode()); }
void BM_CompressRandom(benchmark::State& state) { CompressChunks(state, RandomBytes(16 * kChunk)); }

// A full run over an 8 MiB file of machine code, compression requested.
void BM_EncodeDdf8MiB(benchmark::State& state)
{
    char dir[] = "/tmp/encbenchXXXXXX";
    if (::mkdtemp(dir) == nullptr) {
        state.SkipWithError("no temporary directory");
        return;
    }
    const std::string data = std::string(dir) + "/data.bin";
    const std::string image = std::string(dir) + "/image.ddf";
    const std::vector<uint8_t> bytes = Cycle(MachineCode(), 8u << 20);
    std::ofstream(data, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    encoder::ImageConfig config;
    config.id = 0x2A0010;
    config.idEnd = 0x2A0010;
    config.ver = 2;
    config.data.push_back({data, encoder::kTypeApplication, true, 0});
    for (auto _ : state) {
        if (encoder::EncodeImage(config, image.c_str()) != 1)
            state.SkipWithError("encoder run failed");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
    std::remove(image.c_str());
    std::remove(data.c_str());
    ::rmdir(dir);
}

}  // namespace

BENCHMARK(BM_CompressText);
BENCHMARK(BM_CompressMachineCode);
BENCHMARK(BM_CompressRandom);
BENCHMARK(BM_EncodeDdf8MiB)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
