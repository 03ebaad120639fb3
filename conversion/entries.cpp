// The exported entries: C linkage, nothing thrown across them.
#define LV3DLL_BUILDING
#include "lv3dll.h"

#include <exception>
#include <new>
#include <string>

#include "conversions.h"

namespace {

// Per thread, since transfers run on a worker thread. Static TLS: the library
// is loaded with dlopen, and dynamically allocated TLS of a loaded module
// confuses the leak checker of the sanitizer builds (it crashes scanning it
// at exit).
__attribute__((tls_model("initial-exec"))) thread_local std::string lastError;

// Runs one conversion: records its failure and turns anything thrown into one.
template <typename Conversion>
int Run(const char* what, const char* source, const char* destination, Conversion&& conversion)
{
    lastError.clear();
    if (!source || !destination || !*source || !*destination) {
        lastError = std::string(what) + ": a file name is missing";
        return 0;
    }
    try {
        std::string error;
        if (conversion(std::string(source), std::string(destination), error))
            return 1;
        lastError = error.empty() ? std::string(what) + " failed" : error;
    } catch (const std::bad_alloc&) {
        lastError = std::string(what) + ": out of memory";
    } catch (const std::exception& e) {
        lastError = std::string(what) + ": " + e.what();
    } catch (...) {
        lastError = std::string(what) + " failed";
    }
    return 0;
}

lumora::conv::RawImageInfo Receiver(uint8_t menuType, uint8_t flashType, uint8_t ant32)
{
    return {menuType, flashType, static_cast<uint8_t>(ant32 ? 1 : 0)};
}

}  // namespace

namespace lumora::conv {
// The serial entries (serial_entries.cpp) report through LV3LastError too.
void SetLastError(const std::string& text) { lastError = text; }
}  // namespace lumora::conv

extern "C" {

int DnfToV3Dnf(const char* textPath, const char* dnfPath)
{
    return Run("DnfToV3Dnf", textPath, dnfPath, lumora::conv::TextToDnf);
}

int V3DnfToDnf(const char* dnfPath, const char* textPath)
{
    return Run("V3DnfToDnf", dnfPath, textPath, lumora::conv::DnfToText);
}

int RawToDnf(const char* rawPath, const char* textPath, uint8_t menuType, uint8_t flashType, uint8_t ant32)
{
    return Run("RawToDnf", rawPath, textPath, [&](const std::string& src, const std::string& dst, std::string& e) {
        return lumora::conv::RawToText(src, dst, Receiver(menuType, flashType, ant32), e);
    });
}

int DnfToRaw(const char* textPath, const char* rawPath, uint8_t menuType, uint8_t flashType, uint8_t ant32)
{
    return Run("DnfToRaw", textPath, rawPath, [&](const std::string& src, const std::string& dst, std::string& e) {
        return lumora::conv::TextToRaw(src, dst, Receiver(menuType, flashType, ant32), e);
    });
}

int DnfToDDF(const char* textPath, const char* ddfPath, uint8_t menuType, uint8_t flashType, uint8_t ant32,
             uint32_t systemId)
{
    return Run("DnfToDDF", textPath, ddfPath, [&](const std::string& src, const std::string& dst, std::string& e) {
        return lumora::conv::TextToDownloadImage(src, dst, Receiver(menuType, flashType, ant32), systemId, e);
    });
}

const char* LV3LastError(void) { return lastError.c_str(); }

}  // extern "C"
