// The encoder run: process-wide state, the buffers and the two entries.
#include <cstdio>
#include <cstring>

#include "encode12.h"
#include "encoder.h"

namespace encoder {

const char* const _syntaxErr = "Syntax error";
uint32_t _id = 0;
uint32_t _idEnd = 0;
uint32_t _ver = 0;
int32_t _nDataList = 0;
DataListEntry _dataList[kDataListSlots];
uint32_t _dataSize = 0;
uint32_t _nDataBlk = 0;
uint8_t* _blk = nullptr;
uint8_t* _dataBuf = nullptr;

namespace {
uint8_t M_blk[kBlkBufSize];
uint8_t M_dataBuf[kChunkSize];
}  // namespace

int BufAlloc()
{
    _blk = M_blk;
    _dataBuf = M_dataBuf;
    return 1;
}

// Everything one run reads starts clean, so nothing of a call reaches the next.
void ResetRunState()
{
    _id = 0;
    _idEnd = 0;
    _ver = 0;
    _nDataList = 0;
    std::memset(_dataList, 0, sizeof _dataList);
    _dataSize = 0;
    _nDataBlk = 0;
}

namespace {

int Run(const char* cfgFile, const char* outFile)
{
    if (!AnalysisCfg(cfgFile))
        return 0;
    if (!BufAlloc())
        return 0;
    if (!MakeDdf(outFile))
        return 0;
    return 1;
}

// The caller may write to the same output by other means: hand over every
// message before returning.
int Finish(int result)
{
    std::fflush(stdout);
    return result;
}

}  // namespace

int EncodeParameter(const char* cfgFile, const char* outFile)
{
    ResetRunState();
    return Finish(Run(cfgFile, outFile));
}

namespace {

// Refuses what no script could have said, with the parser's own wording where
// there is one.
int CheckImageConfig(const ImageConfig& config)
{
    if (config.ver == 0 || config.ver > 65535) {
        std::printf(">>> Invalver VER <<<\n");
        return 0;
    }
    if (config.data.size() > static_cast<std::size_t>(kMaxDataLists)) {
        std::printf(">>> Too many data list <<<\n");
        return 0;
    }
    for (const ImageDataItem& item : config.data) {
        if (item.file.size() > kMaxPathLen || item.file.find('\0') != std::string::npos) {
            std::printf("\"%s\": Invalid path\n", item.file.c_str());
            return 0;
        }
        if ((item.type & ~TypeMask(config.ver)) != 0) {
            std::printf(">>> Invalid TYPE <<<\n");
            return 0;
        }
    }
    return 1;
}

}  // namespace

int EncodeImage(const ImageConfig& config, const char* outFile)
{
    ResetRunState();
    if (!CheckImageConfig(config))
        return Finish(0);
    _id = config.id;
    _idEnd = config.idEnd;
    _ver = config.ver;
    for (const ImageDataItem& item : config.data) {
        DataListEntry& entry = _dataList[_nDataList++];
        std::memcpy(entry.file, item.file.data(), item.file.size());
        entry.flag = item.type | (item.compress ? CompressBit(_ver) : 0);
        entry.addr = item.address;
    }
    if (!BufAlloc())
        return Finish(0);
    return Finish(MakeDdf(outFile));
}

}  // namespace encoder
