// Whole-file reading and atomic replacement of files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "byte_io.h"

namespace lumora::conv {

// Reads the whole file at `path`. Files larger than `maxSize` are refused
// unread. On failure returns false with the system's reason in `error`.
bool ReadWholeFile(const std::string& path, std::size_t maxSize, Bytes& out, std::string& error);

// Replaces the file at `path` with `data`: writes a new file in the same
// directory, flushes it to the disk and renames it over the target, so the
// target holds either its old or its new content, never a mixture. An
// existing target keeps its permissions. On failure the target is untouched,
// no temporary file is left and `error` holds the system's reason.
bool WriteFileAtomically(const std::string& path, std::string_view data, std::string& error);
bool WriteFileAtomically(const std::string& path, const Bytes& data, std::string& error);

}  // namespace lumora::conv
