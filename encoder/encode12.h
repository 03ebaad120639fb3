// Internals of the download-image encoder: the process-wide state and the
// operations of the script parser, the block compressor and the image writer.
// Every operation returns 1 for success and 0 for failure; a caller passes a 0
// straight up and the first failure ends the run.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace encoder {

struct DataListEntry {
    char file[81];  // path as written in the script, zero-terminated
    uint32_t flag;  // low 16 bits: type code and compression request
    uint32_t addr;  // load address of the file's first byte
    uint32_t size;  // file length, set when the file is opened
};

inline constexpr int kDataListSlots = 128;
inline constexpr uint32_t kBlkHeadSize = 12;
inline constexpr uint32_t kBlkBufSize = 32770;
inline constexpr uint32_t kChunkSize = 32758;
inline constexpr uint32_t kMaxBlocks = 65535;

extern const char* const _syntaxErr;
extern uint32_t _id;
extern uint32_t _idEnd;
extern uint32_t _ver;
extern int32_t _nDataList;
extern DataListEntry _dataList[kDataListSlots];
extern uint32_t _dataSize;
extern uint32_t _nDataBlk;
extern uint8_t* _blk;
extern uint8_t* _dataBuf;

// Run (run.cpp).
int BufAlloc();
void ResetRunState();

// Configuration script parser (cfg_parser.cpp).
int AnalysisCfg(const char* cfgFileName);
// The same parse over a script held in memory (size bytes at text, any bytes).
int AnalysisCfgText(const char* text, std::size_t size);
const char* DelWhiteSpace(const char* s);
uint32_t StrToHex(const char* p);
void PrintErr(int lineNum, const char* s, const char* err);

// Flag word layouts: bits of the type code and the compression request.
inline uint32_t TypeMask(uint32_t ver) { return ver < 2 ? 0x3u : 0xFFu; }
inline uint32_t CompressBit(uint32_t ver) { return ver < 2 ? 0x4u : 0x8000u; }
inline uint32_t HeaderSize(uint32_t ver) { return ver < 2 ? 14u : 20u; }

// Image writer (ddf_writer.cpp).
int MakeDdf(const char* outFileName);
int SaveDataBlk(int oFile, int cur);
int ChkDataAddr(int cur);
int SaveHeader(int oFile);
void Put16bit(uint8_t* p, uint32_t data);
void Put32bit(uint8_t* p, uint32_t data);
uint16_t GetCrc16(const uint8_t* p, uint32_t n);

// CRC-16/ARC table: polynomial 8005 reflected (A001), entry i the CRC of byte i.
constexpr std::array<uint16_t, 256> MakeCrc16Table()
{
    std::array<uint16_t, 256> table{};
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t crc = i;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ 0xA001u : crc >> 1;
        table[i] = static_cast<uint16_t>(crc);
    }
    return table;
}
inline constexpr std::array<uint16_t, 256> _crc16Tbl = MakeCrc16Table();
static_assert(_crc16Tbl[1] == 0xC0C1 && _crc16Tbl[128] == 0xA001);

// Block compressor (compressor.cpp). Unlike the operations above it returns
// the length of the stream written to outBuf, or 0 when the stream of the
// orgSize bytes at inBuf does not fit in orgSize bytes.
uint32_t CompressData(uint8_t* outBuf, const uint8_t* inBuf, uint32_t orgSize);

}  // namespace encoder
