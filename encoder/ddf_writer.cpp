// The download-image writer: block records, the address check and the header.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "encode12.h"
#include "full_write.h"

namespace encoder {

namespace {

bool ReadAll(int fd, uint8_t* p, std::size_t n)
{
    while (n > 0) {
        const ssize_t done = ::read(fd, p, n);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return false;
        p += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

int OpenRetrying(const char* path, int flags, mode_t mode = 0)
{
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

// The image path of the current run, for the write-failure message.
const char* _outFileName = "";

int ReportWriteError()
{
    std::printf("\"%s\": Writing error\n", _outFileName);
    return 0;
}

uint64_t ChunkCount(uint64_t size) { return (size + kChunkSize - 1) / kChunkSize; }

// The header's record count is 16 bits wide: an image that needs more records
// is refused before the image file is touched. Files that cannot be opened
// count nothing here; the writer reports them in script order.
int ChkBlockCount()
{
    uint64_t blocks = 0;
    for (int i = 0; i < _nDataList; ++i) {
        struct stat st;
        if (::stat(_dataList[i].file, &st) == 0 && S_ISREG(st.st_mode))
            blocks += ChunkCount(static_cast<uint64_t>(st.st_size));
    }
    if (blocks <= kMaxBlocks)
        return 1;
    std::printf(">>> Too many blocks: the image needs %llu block records, at most %u fit <<<\n",
                static_cast<unsigned long long>(blocks), kMaxBlocks);
    return 0;
}

// Length of an open data file; 0 when it is empty, not a regular file, or too
// long for the 32-bit size field.
uint32_t DataFileSize(int fd)
{
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    if (st.st_size <= 0 || static_cast<uint64_t>(st.st_size) > 0xFFFFFFFFu)
        return 0;
    return static_cast<uint32_t>(st.st_size);
}

// Assembles one block record of n chunk bytes in _blk and writes it.
int SaveChunk(int oFile, uint32_t flag, uint32_t n, uint32_t address)
{
    const uint32_t compressBit = CompressBit(_ver);
    uint32_t dataLen = (flag & compressBit) ? CompressData(_blk + kBlkHeadSize, _dataBuf, n) : 0;
    if (dataLen == 0) {
        dataLen = n;
        std::memcpy(_blk + kBlkHeadSize, _dataBuf, n);
        flag &= ~compressBit;
    }
    Put16bit(_blk + 4, flag);
    Put16bit(_blk + 6, n);
    Put32bit(_blk + 8, address);
    Put16bit(_blk + 0, dataLen + 10);
    Put16bit(_blk + 2, GetCrc16(_blk + 4, dataLen + 8));
    if (!lumora::WriteFully(oFile, _blk, dataLen + kBlkHeadSize))
        return ReportWriteError();
    _dataSize += dataLen + kBlkHeadSize;
    ++_nDataBlk;
    return 1;
}

int SaveChunks(int oFile, int dFile, const DataListEntry& entry)
{
    uint32_t address = entry.addr;
    for (uint32_t remaining = entry.size; remaining > 0;) {
        const uint32_t n = remaining < kChunkSize ? remaining : kChunkSize;
        if (!ReadAll(dFile, _dataBuf, n)) {
            std::printf("\"%s\": Read error\n", entry.file);
            return 0;
        }
        if (_nDataBlk >= kMaxBlocks) {  // the file grew since the block count was checked
            std::printf(">>> Too many blocks: at most %u block records fit <<<\n", kMaxBlocks);
            return 0;
        }
        if (!SaveChunk(oFile, entry.flag, n, address))
            return 0;
        address += n;
        remaining -= n;
    }
    return 1;
}

// Closes and deletes the unfinished image. Only a regular file is deleted: an
// image path such as a device node is left alone.
int FailRun(int oFile, const char* outFileName)
{
    struct stat st;
    const bool regular = ::fstat(oFile, &st) == 0 && S_ISREG(st.st_mode);
    ::close(oFile);
    if (regular)
        ::unlink(outFileName);
    return 0;
}

}  // namespace

void Put16bit(uint8_t* p, uint32_t data)
{
    p[0] = static_cast<uint8_t>(data >> 8);
    p[1] = static_cast<uint8_t>(data);
}

void Put32bit(uint8_t* p, uint32_t data)
{
    p[0] = static_cast<uint8_t>(data >> 24);
    p[1] = static_cast<uint8_t>(data >> 16);
    p[2] = static_cast<uint8_t>(data >> 8);
    p[3] = static_cast<uint8_t>(data);
}

uint16_t GetCrc16(const uint8_t* p, uint32_t n)
{
    uint32_t crc = 0;
    for (uint32_t i = 0; i < n; ++i)
        crc = (crc >> 8) ^ _crc16Tbl[(crc ^ p[i]) & 0xFF];
    return static_cast<uint16_t>(crc);
}

int ChkDataAddr(int cur)
{
    const uint32_t mask = TypeMask(_ver);
    const DataListEntry& e = _dataList[cur];
    const uint32_t start = e.addr;
    const uint32_t end = e.addr + e.size;
    for (int i = 0; i < cur; ++i) {
        const DataListEntry& o = _dataList[i];
        if ((o.flag & mask) != (e.flag & mask))
            continue;
        const uint32_t oStart = o.addr;
        const uint32_t oEnd = o.addr + o.size;
        if (start < oEnd && oStart < end) {
            std::printf(">>> Not isolated address space of %d-th and %d-th data <<<\n", i, cur);
            return 0;
        }
    }
    return 1;
}

int SaveDataBlk(int oFile, int cur)
{
    DataListEntry& entry = _dataList[cur];
    const int dFile = OpenRetrying(entry.file, O_RDONLY);
    if (dFile < 0) {
        std::printf("\"%s\": Not found\n", entry.file);
        return 0;
    }
    const uint32_t size = DataFileSize(dFile);
    if (size == 0) {
        std::printf("\"%s\": Empty file\n", entry.file);
        ::close(dFile);
        return 0;
    }
    entry.size = size;
    const int ok = ChkDataAddr(cur) && SaveChunks(oFile, dFile, entry);
    ::close(dFile);
    return ok;
}

int SaveHeader(int oFile)
{
    uint8_t* h = _blk;
    if (_ver < 2) {
        Put16bit(h + 0, 12);
        Put16bit(h + 4, _ver);
        Put16bit(h + 6, _id);
        Put16bit(h + 8, _nDataBlk);
        Put32bit(h + 10, _dataSize);
    } else {
        Put16bit(h + 0, 18);
        Put16bit(h + 4, _ver);
        Put16bit(h + 6, _nDataBlk);
        Put32bit(h + 8, _id);
        Put32bit(h + 12, _idEnd);
        Put32bit(h + 16, _dataSize);
    }
    const uint32_t size = HeaderSize(_ver);
    Put16bit(h + 2, GetCrc16(h + 4, size - 4));
    if (::lseek(oFile, 0, SEEK_SET) != 0 || !lumora::WriteFully(oFile, h, size))
        return ReportWriteError();
    return 1;
}

int MakeDdf(const char* outFileName)
{
    _outFileName = outFileName;
    if (!ChkBlockCount())
        return 0;
    const int oFile = OpenRetrying(outFileName, O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (oFile < 0) {
        std::printf("\"%s\": Creating error\n", outFileName);
        return 0;
    }
    _dataSize = 0;
    _nDataBlk = 0;
    // The header area holds zero bytes until the records are done.
    std::memset(_blk, 0, HeaderSize(_ver));
    if (!lumora::WriteFully(oFile, _blk, HeaderSize(_ver))) {
        ReportWriteError();
        return FailRun(oFile, outFileName);
    }
    for (int cur = 0; cur < _nDataList; ++cur) {
        if (!SaveDataBlk(oFile, cur))
            return FailRun(oFile, outFileName);
    }
    if (!SaveHeader(oFile))
        return FailRun(oFile, outFileName);
    if (::close(oFile) != 0) {
        ReportWriteError();
        ::unlink(outFileName);
        return 0;
    }
    return 1;
}

}  // namespace encoder
