// What the conversion subcommands share: the conversion library, reached
// exactly as the editor reaches it, and a private directory for the
// interchange files passed between the steps.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "commands.h"
#include "conversion_binding.h"
#include "database_file.h"
#include "exchange_dir.h"
#include "settings.h"

namespace lumora::cli {

// Whether `path` names a channel-data file (".dnf", any case).
bool IsDnfPath(const std::string& path);

// The conversion library beside this program; null, with the reason on err,
// when it does not load.
std::unique_ptr<ConversionLibrary> OpenConversionLibrary(std::ostream& err);

// A new private exchange directory; null, with the reason on err, when it
// cannot be made.
std::unique_ptr<ExchangeDirectory> MakeExchangeDirectory(std::ostream& err);

// Parses a number 0..`max` from args[index + 1] for `option`.
bool ParseSmallNumber(const Arguments& args, std::size_t& index, const char* option, int max, int& value,
                      std::ostream& err);

// False with a message when `path` cannot be read.
bool CheckReadable(const std::string& path, std::ostream& err);

// Reads the settings file `given`, else the one the editor starts with
// (beside the program or the user's): nothing when the file is missing,
// failure when it cannot be read or the program's own path is unknown.
Result<std::optional<TSettings>> ReadSettingsFile(const std::string& given);

// The editor's settings (its settings file beside the program or the
// user's); the defaults when there is none or it cannot be read.
TSettings EditorSettings();

// A channel-data or interchange file as read.
using LoadedFile = TDatabaseFile;

// Reads `path` as the editor opens it; a .dnf file goes through `library`
// (required for one) and the exchange directory. Returns the exit status
// when reading failed (kExitUsage: not opened, kExitStopped: read in part).
std::optional<int> LoadChannelFile(const std::string& path, int flashType, ConversionLibrary* library,
                                   const std::string& exchange, LoadedFile& file, std::ostream& err);

}  // namespace lumora::cli
