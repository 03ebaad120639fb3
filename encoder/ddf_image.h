// Reading and verifying a download image held in memory: header, every block
// record, every CRC, and every compressed record decoded in full.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace encoder {

struct DdfHeaderInfo {
    int layout = 0;  // 1 (14-byte header) or 2 (20-byte header); 0 when unreadable
    uint32_t size = 0;  // header length in bytes
    uint16_t restLength = 0;  // the header's length field
    uint16_t crc = 0;  // stored CRC
    uint16_t crcComputed = 0;
    uint16_t ver = 0;
    uint32_t id = 0;
    uint32_t idEnd = 0;  // layout 2 only
    uint16_t blockCount = 0;
    uint32_t totalSize = 0;  // bytes of block records
};

struct DdfRecordInfo {
    std::size_t offset = 0;  // of the record in the image
    uint16_t flag = 0;
    uint32_t type = 0;
    bool compressed = false;
    uint16_t origLen = 0;  // uncompressed length
    uint32_t storedLen = 0;  // length of the data part
    uint32_t address = 0;
    uint16_t crc = 0;
    uint16_t crcComputed = 0;
    std::vector<uint8_t> data;  // the chunk's uncompressed bytes, when asked for
};

struct DdfCheckResult {
    bool valid = false;
    std::string fault;  // the first fault found, empty when valid
    DdfHeaderInfo header;
    std::vector<DdfRecordInfo> records;  // the records read, up to the faulty one
};

// Verifies an image completely. With keepData, each record carries its
// uncompressed chunk.
DdfCheckResult CheckDdfImage(const uint8_t* image, std::size_t size, bool keepData = false);

// Name of a type code: "loader", "application", "eeprom", "flash", else "type<N>".
std::string DdfTypeName(uint32_t type);

}  // namespace encoder
