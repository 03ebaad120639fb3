// Verifying a receiver after a download: the channel data read back compared
// with what was sent, record by record, leaving out the fields a receiver
// changes by design (the date of the menu record). One function, so that a
// compare engine with identity rules can take its place.
#pragma once

#include <optional>
#include <string>

#include "raw_image.h"

namespace lumora::cli {

// The first difference between the raw image `sent` and the raw image `got`
// read back, both for receiver `info`, as "service 12 \"Nova Shows\"
// wAudioPID 514, sent 513"; nothing when they hold the same data.
std::optional<std::string> FirstDifference(const conv::Bytes& sent, const conv::Bytes& got,
                                           const conv::RawImageInfo& info);

}  // namespace lumora::cli
