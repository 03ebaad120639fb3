// The host side of the serial transfer on any answers from a receiver: an
// upload or a download (bit 0 of the first byte) against answers played from
// the rest of the input (see serial_script.h). It must end with an image or a
// TransferFailed, never read or write outside its buffers.
#include <cstddef>
#include <cstdint>

#include "serial_script.h"
#include "serial_transfer.h"

using namespace lumora::serial;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // Three Write packets, the last one short.
    static const Bytes downloadImage = fuzz::PatternedImage(2 * kMaxChunk + 100, 7);
    const bool upload = data[0] & 1;
    fuzz::SerialScript script(data + 1, size - 1);
    fuzz::ScriptedLine line(script);
    HostSession session(line, 115200, [](uint32_t, uint32_t) { return true; });
    try {
        if (upload) {
            const Bytes image = session.Upload();
            if (image.empty() || image.size() > kMaxUploadSize)
                __builtin_trap();
        } else {
            session.Download(downloadImage);
        }
    } catch (const TransferFailed&) {
    }
    return 0;
}
