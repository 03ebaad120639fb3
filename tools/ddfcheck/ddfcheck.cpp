// ddfcheck IMAGE [--extract DIR]
//
// Verifies a download image: header length and CRC, record count and total
// size against the file, every record's length and CRC, and every compressed
// record by decoding it. Prints the header, one line per record and a verdict;
// exit status 0 for a valid image, 1 otherwise. With --extract, writes the data
// of each type and contiguous address range to DIR/<type>_<start address>.bin.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ddf_image.h"
#include "full_write.h"
#include "program_info.h"

namespace {

void PrintHeader(const char* path, std::size_t size, const encoder::DdfHeaderInfo& h)
{
    std::printf("image %s: %zu bytes\n", path, size);
    if (h.layout == 0)
        return;
    std::printf("header: layout %d (%u bytes), CRC %04x %s, version %u, ID %08x", h.layout, h.size, h.crc,
                h.crc == h.crcComputed ? "ok" : "BAD", h.ver, h.id);
    if (h.layout == 2)
        std::printf(", ID end %08x", h.idEnd);
    std::printf(", %u block records, %u bytes of records\n", h.blockCount, h.totalSize);
}

void PrintRecord(std::size_t index, const encoder::DdfRecordInfo& r)
{
    std::printf("record %zu at 0x%zx: %-11s %-10s length %5u stored %5u address %08x CRC %04x ok\n", index, r.offset,
                encoder::DdfTypeName(r.type).c_str(), r.compressed ? "compressed" : "plain", r.origLen, r.storedLen,
                r.address, r.crc);
}

// Reads the whole image; false with errno set when it cannot be read.
bool ReadFile(const char* path, std::vector<uint8_t>& bytes)
{
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bytes.clear();
    uint8_t buf[65536];
    ssize_t got;
    while ((got = ::read(fd, buf, sizeof buf)) != 0) {
        if (got < 0) {
            if (errno == EINTR)
                continue;
            const int saved = errno;
            ::close(fd);
            errno = saved;
            return false;
        }
        bytes.insert(bytes.end(), buf, buf + got);
    }
    ::close(fd);
    return true;
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const bool written = lumora::WriteFully(fd, bytes.data(), bytes.size());
    return ::close(fd) == 0 && written;
}

// One output file per run of records of one type whose addresses follow on.
bool Extract(const std::string& dir, const std::vector<encoder::DdfRecordInfo>& records)
{
    if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
        std::printf("cannot create %s: %s\n", dir.c_str(), std::strerror(errno));
        return false;
    }
    std::size_t i = 0;
    while (i < records.size()) {
        const encoder::DdfRecordInfo& first = records[i];
        std::vector<uint8_t> bytes;
        uint32_t next = first.address;
        for (; i < records.size() && records[i].type == first.type && records[i].address == next; ++i) {
            bytes.insert(bytes.end(), records[i].data.begin(), records[i].data.end());
            next = records[i].address + records[i].origLen;
        }
        char name[64];
        std::snprintf(name, sizeof name, "/%s_%08x.bin", encoder::DdfTypeName(first.type).c_str(), first.address);
        const std::string path = dir + name;
        if (!WriteFile(path, bytes)) {
            std::printf("cannot write %s\n", path.c_str());
            return false;
        }
        std::printf("extracted %s: %zu bytes\n", path.c_str(), bytes.size());
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (lumora::AnswerHelpOrVersion(argc, argv, "ddfcheck", "usage: ddfcheck IMAGE [--extract DIR]\n"))
        return 0;
    const bool extract = argc == 4 && std::strcmp(argv[2], "--extract") == 0;
    if (argc != 2 && !extract) {
        std::fprintf(stderr, "usage: ddfcheck IMAGE [--extract DIR]\n");
        return 1;
    }
    std::vector<uint8_t> image;
    if (!ReadFile(argv[1], image)) {
        std::printf("cannot read %s: %s\n", argv[1], std::strerror(errno));
        return 1;
    }
    const encoder::DdfCheckResult result = encoder::CheckDdfImage(image.data(), image.size(), extract);
    PrintHeader(argv[1], image.size(), result.header);
    for (std::size_t i = 0; i < result.records.size(); ++i)
        PrintRecord(i, result.records[i]);
    if (!result.valid) {
        std::printf("INVALID: %s\n", result.fault.c_str());
        return 1;
    }
    std::printf("VALID: %zu block records, %u bytes of records\n", result.records.size(), result.header.totalSize);
    if (extract && !Extract(argv[3], result.records))
        return 1;
    return 0;
}
