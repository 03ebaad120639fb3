// Replacing a file's whole content so that it holds either the old or the
// new content, never a mixture: the one way every file is written to disk.
#pragma once

#include <string>
#include <string_view>

#include "status.h"

namespace lumora {

// Replaces the content of the file at `path` with `data`, creating the file
// when missing. Through a symbolic link the link's final target is replaced
// and the link kept. The new content goes to a temporary file beside the
// target, is flushed to the disk and renamed over the target; the folder is
// flushed too. An existing file keeps its permission bits; a new one gets
// 0666 less the umask. On failure the old file is untouched, no temporary
// file is left, and the message is "<path>: <system reason>".
Status WriteFileAtomically(const std::string& path, std::string_view data);

// The system's reason alone in a failure of WriteFileAtomically(path, ...),
// for callers that name the file their own way.
std::string SystemReasonOf(const Status& written, const std::string& path);

}  // namespace lumora
