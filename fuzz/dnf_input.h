// Channel-data files from fuzz inputs. A random file almost never carries a
// matching size field and checksum, so besides the input as it is the targets
// also read it sealed: with the size and checksum a writer would give it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "crc32.h"
#include "dnf_format.h"

namespace fuzz {

inline constexpr std::size_t kDnfSizeOffset = 12;

// `file` with its size field and checksum set; false when it is too short to
// hold them.
inline bool SealDnf(lumora::conv::Bytes& file)
{
    using namespace lumora::conv;
    if (file.size() < kDnfHeaderSize + kDnfCrcSize)
        return false;
    PutU32At(file, kDnfSizeOffset, static_cast<uint32_t>(file.size()));
    const std::size_t body = file.size() - kDnfCrcSize;
    PutU32At(file, body, Crc32(file.data(), body));
    return true;
}

}  // namespace fuzz
