// CRC-32 as used by zip, PNG and Ethernet (reflected polynomial 0xEDB88320,
// initial value and final exclusive-or 0xFFFFFFFF; "123456789" gives CBF43926).
#pragma once

#include <cstddef>
#include <cstdint>

namespace lumora::conv {

uint32_t Crc32(const uint8_t* data, std::size_t size, uint32_t crc = 0);

}  // namespace lumora::conv
