// The receiver side of the serial transfer (the simulated receiver) on any
// bytes from a host, each step of the input (see serial_script.h) arriving
// as one read. The first byte sets faults: bits 0-1 drop every Nth request,
// bits 2-4 stop answering after N requests. It must answer or ignore every
// request, never read or write outside its buffers.
#include <cstddef>
#include <cstdint>

#include "serial_script.h"
#include "sim_receiver.h"

namespace {

using lumora::serial::Bytes;

// Answers go nowhere.
class NullLine : public lumora::serial::ByteChannel {
public:
    bool Write(const Bytes&, std::string&) override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static const Bytes image = fuzz::PatternedImage(3 * lumora::serial::kMaxChunk, 13);
    stbsim::Faults faults;
    faults.dropEvery = data[0] & 3;
    faults.stopAfter = (data[0] >> 2) & 7;
    stbsim::SimReceiver receiver(image, faults);
    NullLine line;
    fuzz::SerialScript script(data + 1, size - 1);
    while (!script.AtEnd()) {
        const Bytes bytes = script.NextStep(0);
        receiver.Receive(bytes.data(), bytes.size(), line);
    }
    return 0;
}
