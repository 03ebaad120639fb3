// Download-image verification.
#include "ddf_image.h"

#include <cstdarg>
#include <cstdio>
#include <utility>

#include "encode12.h"
#include "lh5_decoder.h"

namespace encoder {

namespace {

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

uint32_t Get32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 |
           p[3];
}

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...)
{
    char text[256];
    va_list args;
    va_start(args, fmt);
    std::vsnprintf(text, sizeof text, fmt, args);
    va_end(args);
    return text;
}

class ImageChecker {
public:
    ImageChecker(const uint8_t* image, std::size_t size, bool keepData)
        : image_(image), size_(size), keepData_(keepData)
    {
    }

    DdfCheckResult Run();

private:
    bool Fail(std::string fault)
    {
        result_.fault = std::move(fault);
        return false;
    }
    bool CheckHeader();
    bool CheckRecords();
    bool CheckRecord(std::size_t offset, std::size_t limit, DdfRecordInfo& rec);
    bool CheckRecordFields(const std::string& where, DdfRecordInfo& rec);
    bool FailShortRecord(const std::string& where, std::size_t needed, std::size_t left, std::size_t limit);
    bool CheckTotals(std::size_t end);

    const uint8_t* image_;
    std::size_t size_;
    bool keepData_;
    DdfCheckResult result_;
    uint8_t chunk_[kChunkSize];
};

bool ImageChecker::CheckHeader()
{
    DdfHeaderInfo& h = result_.header;
    if (size_ < 2)
        return Fail(Format("image truncated: %zu bytes, no header", size_));
    h.restLength = Get16(image_);
    if (h.restLength != 12 && h.restLength != 18)
        return Fail(Format("header: length field %u, expected 12 or 18", h.restLength));
    h.layout = h.restLength == 12 ? 1 : 2;
    h.size = h.restLength + 2u;
    if (size_ < h.size)
        return Fail(Format("image truncated: %zu bytes, the header needs %u", size_, h.size));
    const uint8_t* p = image_;
    h.crc = Get16(p + 2);
    h.crcComputed = GetCrc16(p + 4, h.size - 4);
    h.ver = Get16(p + 4);
    if (h.layout == 1) {
        h.id = Get16(p + 6);
        h.blockCount = Get16(p + 8);
        h.totalSize = Get32(p + 10);
    } else {
        h.blockCount = Get16(p + 6);
        h.id = Get32(p + 8);
        h.idEnd = Get32(p + 12);
        h.totalSize = Get32(p + 16);
    }
    if (h.crc != h.crcComputed)
        return Fail(Format("header: CRC %04x, expected %04x", h.crc, h.crcComputed));
    if ((h.layout == 1) != (h.ver < 2))
        return Fail(Format("header: version %u does not match the %u-byte header", h.ver, h.size));
    return true;
}

// A record that does not fit: either the file ends (truncated image) or the
// block records the header announces end first.
bool ImageChecker::FailShortRecord(const std::string& where, std::size_t needed, std::size_t left, std::size_t limit)
{
    if (limit == size_)
        return Fail(
            Format("image truncated: %s needs %zu bytes, the file ends after %zu", where.c_str(), needed, left));
    return Fail(Format("%s needs %zu bytes, but the header announces only %zu more bytes of block records",
                       where.c_str(), needed, left));
}

bool ImageChecker::CheckRecordFields(const std::string& where, DdfRecordInfo& rec)
{
    const uint32_t ver = result_.header.ver;
    const uint32_t reserved = ver < 2 ? 0xFFF8u : 0x7F00u;
    if (rec.flag & reserved)
        return Fail(Format("%s: flag word %04x has reserved bits set", where.c_str(), rec.flag));
    if (rec.origLen == 0 || rec.origLen > kChunkSize)
        return Fail(Format("%s: uncompressed length %u out of range 1..%u", where.c_str(), rec.origLen, kChunkSize));
    if (rec.storedLen > rec.origLen)
        return Fail(Format("%s: data part of %u bytes is longer than the uncompressed length %u", where.c_str(),
                           rec.storedLen, rec.origLen));
    if (!rec.compressed && rec.storedLen != rec.origLen)
        return Fail(
            Format("%s: stored data of %u bytes, uncompressed length %u", where.c_str(), rec.storedLen, rec.origLen));
    return true;
}

bool ImageChecker::CheckRecord(std::size_t offset, std::size_t limit, DdfRecordInfo& rec)
{
    const std::string where = Format("record %zu at offset 0x%zx", result_.records.size(), offset);
    const std::size_t left = limit - offset;
    if (left < kBlkHeadSize)
        return FailShortRecord(where, kBlkHeadSize, left, limit);
    const uint8_t* p = image_ + offset;
    const uint16_t restLen = Get16(p);
    if (restLen < 11 || restLen > kChunkSize + 10)
        return Fail(Format("%s: length field %u out of range 11..%u", where.c_str(), restLen, kChunkSize + 10));
    if (restLen + 2u > left)
        return FailShortRecord(where, restLen + 2u, left, limit);
    const uint32_t ver = result_.header.ver;
    rec.offset = offset;
    rec.flag = Get16(p + 4);
    rec.type = rec.flag & TypeMask(ver);
    rec.compressed = (rec.flag & CompressBit(ver)) != 0;
    rec.origLen = Get16(p + 6);
    rec.address = Get32(p + 8);
    rec.storedLen = restLen - 10u;
    rec.crc = Get16(p + 2);
    rec.crcComputed = GetCrc16(p + 4, rec.storedLen + 8);
    if (rec.crc != rec.crcComputed)
        return Fail(Format("%s: CRC %04x, expected %04x", where.c_str(), rec.crc, rec.crcComputed));
    if (!CheckRecordFields(where, rec))
        return false;
    const uint8_t* data = p + kBlkHeadSize;
    if (rec.compressed) {
        const std::string error = DecodeLh5(data, rec.storedLen, chunk_, rec.origLen);
        if (!error.empty())
            return Fail(Format("%s: compressed data: %s", where.c_str(), error.c_str()));
        data = chunk_;
    }
    if (keepData_)
        rec.data.assign(data, data + rec.origLen);
    return true;
}

bool ImageChecker::CheckTotals(std::size_t end)
{
    const DdfHeaderInfo& h = result_.header;
    const std::size_t announcedEnd = h.size + static_cast<std::size_t>(h.totalSize);
    if (end < announcedEnd)
        return Fail(Format("image truncated: the header announces %u bytes of block records, the file holds %zu",
                           h.totalSize, end - h.size));
    if (result_.records.size() != h.blockCount)
        return Fail(
            Format("header announces %u block records, the image holds %zu", h.blockCount, result_.records.size()));
    if (size_ > announcedEnd)
        return Fail(Format("image has %zu bytes after its last block record at offset 0x%zx", size_ - announcedEnd,
                           announcedEnd));
    return true;
}

bool ImageChecker::CheckRecords()
{
    const DdfHeaderInfo& h = result_.header;
    const std::size_t announcedEnd = h.size + static_cast<std::size_t>(h.totalSize);
    const std::size_t limit = announcedEnd < size_ ? announcedEnd : size_;
    std::size_t offset = h.size;
    while (offset < limit) {
        DdfRecordInfo rec;
        if (!CheckRecord(offset, limit, rec))
            return false;
        offset += rec.storedLen + kBlkHeadSize;
        result_.records.push_back(std::move(rec));
    }
    return CheckTotals(offset);
}

DdfCheckResult ImageChecker::Run()
{
    result_.valid = CheckHeader() && CheckRecords();
    return std::move(result_);
}

}  // namespace

DdfCheckResult CheckDdfImage(const uint8_t* image, std::size_t size, bool keepData)
{
    ImageChecker checker(image, size, keepData);
    return checker.Run();
}

std::string DdfTypeName(uint32_t type)
{
    static const char* const kNames[] = {"loader", "application", "eeprom", "flash"};
    if (type < 4)
        return kNames[type];
    return Format("type%u", type);
}

}  // namespace encoder
