// The raw receiver image reader on any image. The input starts with the
// receiver the image is read for (menu type, flash type, antenna slots) and a
// flag byte; bit 0 asks for a matching checksum. The rest is either a whole
// image or, since a whole image is far above the sizes fuzzing works with,
// patches over a valid image: offset (3 bytes, big-endian, taken modulo the
// image size), length (1 byte), bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "crc32.h"
#include "raw_image.h"

namespace {

using lumora::conv::Bytes;
using namespace lumora::conv;

constexpr std::size_t kPrefixSize = 4;

void ApplyPatches(const uint8_t* data, std::size_t size, Bytes& image)
{
    while (size >= 4) {
        std::size_t offset = ((std::size_t(data[0]) << 16) | (std::size_t(data[1]) << 8) | data[2]) % image.size();
        std::size_t length = std::min<std::size_t>({data[3], size - 4, image.size() - offset});
        std::copy(data + 4, data + 4 + length, image.begin() + static_cast<std::ptrdiff_t>(offset));
        data += 4 + length;
        size -= 4 + length;
    }
}

// The checksum the writer puts in: CRC-32 of the image with its own field as zeros.
void SetChecksum(Bytes& image)
{
    PutU32At(image, kRawCrcOffset, 0);
    PutU32At(image, kRawCrcOffset, Crc32(image.data(), image.size()));
}

// The image of an empty database for `info`; the last one is kept, since
// writing a whole image costs more than reading one.
const Bytes& BaseImage(const RawImageInfo& info)
{
    static auto db = std::make_unique<lumora::TChannelDatabase>();
    static Bytes image;
    static RawImageInfo made;
    if (image.empty() || made.menuType != info.menuType || made.flashType != info.flashType ||
        made.ant32 != info.ant32) {
        lumora::InitDatabase(*db, info.flashType);
        image = EncodeRawImage(*db, info);
        made = info;
    }
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < kPrefixSize)
        return 0;
    RawImageInfo info;
    info.menuType = data[0];
    info.flashType = data[1];
    info.ant32 = data[2];
    const bool sealed = data[3] & 1;
    data += kPrefixSize;
    size -= kPrefixSize;

    static auto db = std::make_unique<lumora::TChannelDatabase>();
    static Bytes image;  // kept, so that each input does not allocate a whole image
    if (size == kRawImageSize) {
        image.assign(data, data + size);
    } else {
        image = BaseImage(info);
        ApplyPatches(data, size, image);
    }
    if (sealed)
        SetChecksum(image);
    lumora::InitDatabase(*db, info.flashType);
    std::string reason;
    if (!DecodeRawImage(image, info, *db, reason) && reason.empty())
        __builtin_trap();  // a refusal must say why
    return 0;
}
