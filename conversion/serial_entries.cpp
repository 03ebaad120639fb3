// The serial transfer entries of the library: UploadData, DownloadData and
// the registration of the progress callback. C linkage, nothing thrown across.
#define LV3DLL_BUILDING
#include "lv3dll.h"

#include <exception>
#include <string>

#include "serial_transfer.h"

namespace lumora::conv {
void SetLastError(const std::string& text);  // entries.cpp
}

namespace {

LV3ProgressCallback progressCallback = nullptr;
void* progressContext = nullptr;

lumora::serial::ProgressFn RegisteredProgress()
{
    const LV3ProgressCallback callback = progressCallback;
    void* const context = progressContext;
    if (!callback)
        return {};
    return [callback, context](uint32_t done, uint32_t total) { return callback(done, total, context) != 0; };
}

template <typename Transfer>
int RunTransfer(const char* what, const char* path, Transfer&& transfer)
{
    lumora::conv::SetLastError({});
    if (!path || !*path) {
        lumora::conv::SetLastError(std::string(what) + ": a file name is missing");
        return 0;
    }
    std::string error;
    bool stopped = false;
    try {
        if (transfer(std::string(path), error, stopped))
            return 1;
    } catch (const std::exception& e) {
        error = std::string(what) + ": " + e.what();
    } catch (...) {
        error = std::string(what) + " failed";
    }
    lumora::conv::SetLastError(error);
    return 0;
}

}  // namespace

extern "C" {

void LV3SetProgressCallback(LV3ProgressCallback callback, void* context)
{
    progressCallback = callback;
    progressContext = context;
}

int UploadData(uint8_t port, uint8_t speedCode, const char* rawPath)
{
    return RunTransfer("UploadData", rawPath, [&](const std::string& path, std::string& error, bool& stopped) {
        return lumora::serial::UploadToFile(port, speedCode, path, RegisteredProgress(), error, stopped);
    });
}

int DownloadData(uint8_t port, uint8_t speedCode, const char* imagePath)
{
    return RunTransfer("DownloadData", imagePath, [&](const std::string& path, std::string& error, bool& stopped) {
        return lumora::serial::DownloadFromFile(port, speedCode, path, RegisteredProgress(), error, stopped);
    });
}

}  // extern "C"
