// Whole-file reading. Files are written through WriteFileAtomically (atomic_file.h).
#pragma once

#include <cstddef>
#include <string>

#include "byte_io.h"

namespace lumora::conv {

// Reads the whole file at `path`. Files larger than `maxSize` are refused
// unread. On failure returns false with the system's reason in `error`.
bool ReadWholeFile(const std::string& path, std::size_t maxSize, Bytes& out, std::string& error);

}  // namespace lumora::conv
