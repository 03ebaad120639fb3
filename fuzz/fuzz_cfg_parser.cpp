// The configuration-script parser on any bytes held in memory: it must end,
// accept or refuse the script with a message, and never read or write outside
// its line buffer or the data-list table.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "encode12.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // The parser reports every refusal on standard output; printing them all
    // would only slow the fuzzer down.
    if (std::freopen("/dev/null", "w", stdout) == nullptr)
        return 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    encoder::ResetRunState();
    encoder::AnalysisCfgText(reinterpret_cast<const char*>(data), size);
    return 0;
}
