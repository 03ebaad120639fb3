// The download-image checker on any bytes, with and without keeping each
// record's decoded data: it must end with a verdict and never read outside
// the image.
#include <cstddef>
#include <cstdint>

#include "ddf_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    encoder::CheckDdfImage(data, size, false);
    encoder::CheckDdfImage(data, size, true);
    return 0;
}
