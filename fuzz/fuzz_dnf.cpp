// The channel-data file reader on any bytes, as they are and sealed with a
// matching size and checksum: it must end and accept or refuse with a reason,
// never reading outside the file or writing outside the tables.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "dnf_format.h"
#include "dnf_input.h"

namespace {

void Decode(const lumora::conv::Bytes& file)
{
    static auto db = std::make_unique<lumora::TChannelDatabase>();
    lumora::InitDatabase(*db, 0);
    std::string reason;
    std::optional<lumora::FavoriteNumbering> numbering;
    if (!lumora::conv::DecodeDnf(file, *db, reason, &numbering) && reason.empty())
        __builtin_trap();  // a refusal must say why
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    lumora::conv::Bytes file(data, data + size);
    Decode(file);
    if (fuzz::SealDnf(file))
        Decode(file);
    return 0;
}
