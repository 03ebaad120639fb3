// The block compressor and the lh5 decoder together: any chunk the compressor
// accepts must decode to exactly the chunk again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "encode12.h"
#include "lh5_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The writer hands over at most one chunk; the compressor declines (0)
    // when its stream would not be shorter than the chunk, so a stream buffer
    // of the chunk's length is enough.
    if (size == 0 || size > encoder::kChunkSize)
        return 0;
    const auto orgSize = static_cast<uint32_t>(size);
    std::vector<uint8_t> stream(size);
    const uint32_t streamSize = encoder::CompressData(stream.data(), data, orgSize);
    if (streamSize == 0)
        return 0;
    std::vector<uint8_t> decoded(size);
    if (!encoder::DecodeLh5(stream.data(), streamSize, decoded.data(), size).empty())
        std::abort();
    if (std::memcmp(decoded.data(), data, size) != 0)
        std::abort();
    return 0;
}
