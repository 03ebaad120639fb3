// What the channel-data reader accepts, written again and read back, must be
// the same database: the second read succeeds and writing it again gives the
// same bytes as the first write.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "dnf_format.h"
#include "dnf_input.h"

namespace {

using lumora::conv::Bytes;

struct Reading {
    std::unique_ptr<lumora::TChannelDatabase> db = std::make_unique<lumora::TChannelDatabase>();
    std::optional<lumora::FavoriteNumbering> numbering;
    std::string reason;
};

bool Read(const Bytes& file, Reading& reading)
{
    lumora::InitDatabase(*reading.db, 0);
    reading.numbering.reset();
    return lumora::conv::DecodeDnf(file, *reading.db, reading.reason, &reading.numbering);
}

void CheckRoundTrip(const Bytes& file)
{
    static Reading first, second;
    if (!Read(file, first))
        return;
    const Bytes written = lumora::conv::EncodeDnf(*first.db, first.numbering);
    if (!Read(written, second)) {
        std::fprintf(stderr, "the written file is refused: %s\n", second.reason.c_str());
        __builtin_trap();
    }
    if (second.numbering != first.numbering || lumora::conv::EncodeDnf(*second.db, second.numbering) != written) {
        std::fprintf(stderr, "the database changed on its way through a file\n");
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bytes file(data, data + size);
    CheckRoundTrip(file);
    if (fuzz::SealDnf(file))
        CheckRoundTrip(file);
    return 0;
}
