// Writing a whole buffer to a file descriptor: the one write loop of the
// programs, which goes on after interrupted and short writes.
#pragma once

#include <cstddef>

namespace lumora {

// Writes the `size` bytes at `data` to `fd`. Returns false with errno set
// when a write fails; a write that makes no progress and gives no reason
// counts as failed with EIO.
bool WriteFully(int fd, const void* data, std::size_t size);

}  // namespace lumora
