// The strict lh5 decoder on any stream: it must end, accept or refuse the
// stream, and never read or write outside the input or the output.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "lh5_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first two bytes give the output length (up to 64 KiB), the rest is
    // the stream.
    if (size < 2)
        return 0;
    const std::size_t outLen = static_cast<std::size_t>(data[0]) << 8 | data[1];
    std::vector<uint8_t> out(outLen);
    encoder::DecodeLh5(data + 2, size - 2, out.data(), out.size());
    return 0;
}
