// Reading a channel-data file (.dnf, through the conversion library) or
// interchange text into a database value, as the editor opens a file, for
// commands that work on a file beside the open documents (compare, merge,
// check).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "conversion_binding.h"
#include "records.h"

namespace lumora {

// A file as read: its database, the messages of what the reader had to drop
// (tables full), and the favorite numbering the file records.
struct TDatabaseFile {
    std::unique_ptr<TChannelDatabase> db = std::make_unique<TChannelDatabase>();
    std::vector<std::string> loadErrors;
    std::optional<FavoriteNumbering> numbering;
};

enum class TReadOutcome { Read, NotOpened, Stopped };

// How a read ended; `error` tells why it was not complete.
struct TReadResult {
    TReadOutcome outcome = TReadOutcome::Read;
    std::string error;
};

// Reads `path` into `file`; a .dnf file goes through `library` (which must be
// given for one) and the exchange directory `exchangeDir`.
TReadResult ReadDatabaseFile(const std::string& path, uint8_t flashType, ConversionLibrary* library,
                             const std::string& exchangeDir, TDatabaseFile& file);

// Whether `path` names a channel-data file (".dnf", any case).
bool IsDnfFileName(const std::string& path);

}  // namespace lumora
