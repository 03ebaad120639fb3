// The download-image checker on any bytes, with and without keeping each
// record's decoded data: it must end with a verdict and never read outside
// the image. Most mutations break a CRC, which the checker refuses first; so
// each input is also checked with its CRCs made right, which lets the fuzzer
// reach the record fields and the compressed data behind them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ddf_image.h"
#include "encode12.h"

namespace {

uint32_t Get16(const uint8_t* p) { return static_cast<uint32_t>(p[0] << 8 | p[1]); }

// Rewrites the header CRC and the CRC of every record that fits, walking the
// records the way the checker does.
void FixCrcs(std::vector<uint8_t>& image)
{
    if (image.size() < 2)
        return;
    const uint32_t headerSize = Get16(image.data()) + 2u;
    if ((headerSize != 14 && headerSize != 20) || image.size() < headerSize)
        return;
    uint8_t* p = image.data();
    encoder::Put16bit(p + 2, encoder::GetCrc16(p + 4, headerSize - 4));
    for (std::size_t offset = headerSize; offset + encoder::kBlkHeadSize <= image.size();) {
        uint8_t* record = p + offset;
        const uint32_t restLen = Get16(record);
        if (restLen < 11 || offset + restLen + 2 > image.size())
            return;
        encoder::Put16bit(record + 2, encoder::GetCrc16(record + 4, restLen - 2));
        offset += restLen + 2;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    encoder::CheckDdfImage(data, size, false);
    encoder::CheckDdfImage(data, size, true);
    std::vector<uint8_t> fixed(data, data + size);
    FixCrcs(fixed);
    encoder::CheckDdfImage(fixed.data(), fixed.size(), false);
    encoder::CheckDdfImage(fixed.data(), fixed.size(), true);
    return 0;
}
