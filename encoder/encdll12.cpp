// The library's one export. Everything else in encdll12 is hidden.
#include "encdll12.h"

#include "encoder.h"

extern "C" __attribute__((visibility("default"))) int EncodeDDF(const char* CFGFile, const char* FILENAME)
{
    return encoder::EncodeParameter(CFGFile, FILENAME);
}
