// The interchange text file: the one data format the editor reads and writes.
// Every other data file reaches a document through it, by way of the
// conversion library.
//
// Format: lines ended by CR (an LF right after a CR belongs to the line end, a
// lone LF is an ordinary character), 0x1A ends the file. "[LUMORA V3 FILE]",
// then the sections "[ANTENNA]", "[TS]", "[NETWORK]", "[PROVIDER]",
// "[FAVORITE]", "[SERVICE]" and "[MENU]" whose record lines hold TAB-separated
// fields. Bytes 0x80..0xFF pass unchanged. Lines before the first section are
// ignored, except the numbering line ("NUMBERING=ORDINAL", "NUMBERING=OP101"
// or "NUMBERING=OP1000") that says what the favorite entries mean; readers
// that do not know it ignore it as they ignore any line there.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "records.h"
#include "status.h"

namespace lumora {

// Result codes of the Add...ByString operations.
inline constexpr int kStored = 0, kTSFull = 101, kNetworkFull = 102, kProviderFull = 103, kFavoriteFull = 104,
                     kServiceFull = 105;

// Section and file headers, matched byte for byte against a whole line.
inline constexpr std::string_view kFileHeader = "[LUMORA V3 FILE]";
inline constexpr std::string_view kAntennaHeader = "[ANTENNA]";
inline constexpr std::string_view kTSHeader = "[TS]";
inline constexpr std::string_view kNetworkHeader = "[NETWORK]";
inline constexpr std::string_view kProviderHeader = "[PROVIDER]";
inline constexpr std::string_view kFavoriteHeader = "[FAVORITE]";
inline constexpr std::string_view kServiceHeader = "[SERVICE]";
inline constexpr std::string_view kMenuHeader = "[MENU]";
inline constexpr std::string_view kNumberingKey = "NUMBERING=";

// The name of a numbering in the numbering line: "ORDINAL", "OP101", "OP1000".
std::string_view NumberingName(FavoriteNumbering numbering);

// Longest service name kept when reading.
inline constexpr std::size_t kServiceNameLength = 30;

// Returns the first TAB-separated field of `text` and leaves in `text` what
// follows that TAB (or nothing when there is no TAB).
std::string GetItemFromString(std::string& text);

// Takes the next field and converts it by the interchange number rule; 0 when
// it does not convert.
int32_t GetItemAndConvert(std::string& text);

// Each takes one record line of its section and returns a result code.
// An antenna line whose entry number does not convert throws EConvertError;
// antenna lines numbering an entry outside 0..31 and favorite lines naming a
// group or list outside the table are ignored (kStored, nothing touched).
int AddAntennaInformationByString(TChannelDatabase& db, std::string line);
int AddTSInformationByString(TChannelDatabase& db, std::string line);
int AddNetworkInformationByString(TChannelDatabase& db, std::string line);
int AddProviderInformationByString(TChannelDatabase& db, std::string line);
int AddFavoriteInformationByString(TChannelDatabase& db, std::string line);
int AddServiceInformationByString(TChannelDatabase& db, std::string line);
int AddMenuInformationByString(TChannelDatabase& db, std::string line);

// The message shown for a table-full result code; empty for any other code.
std::string ResultCodeMessage(int code);

enum class ReadStatus { Complete, Stopped, OpenFailed };

struct ReadResult {
    ReadStatus status = ReadStatus::Complete;
    // Stopped: the conversion error text. OpenFailed: "<path>: <reason>".
    std::string error;
    // The numbering the file's numbering line names; none without one.
    std::optional<FavoriteNumbering> numbering = std::nullopt;
};

using ReportError = std::function<void(const std::string&)>;

// Reads interchange text into `db`, appending to its tables (the caller has
// initialised it). The first message of each run of equal table-full codes
// goes to `reportError`. A bad antenna entry number stops the reading; what
// was read so far stays in `db`.
ReadResult ReadInterchangeText(std::string_view text, TChannelDatabase& db, const ReportError& reportError);
ReadResult ReadInterchangeStream(std::istream& in, TChannelDatabase& db, const ReportError& reportError);

// As above, from a file. Never deletes the file.
ReadResult ReadInterchangeFile(const std::string& path, TChannelDatabase& db, const ReportError& reportError);

// Reads an exchange file, then deletes it, also when the reading stopped early.
// A file that cannot be opened is left alone.
ReadResult ParseAndDeleteExchangeFile(const std::string& path, TChannelDatabase& db, const ReportError& reportError);

// Values the writer puts into the menu line in place of the record's user date
// and PIN: the receiver's factory defaults.
inline constexpr uint8_t kDefaultUserYear = 76;
inline constexpr uint8_t kDefaultUserMonth = 2;
inline constexpr uint8_t kDefaultUserDay = 22;
inline constexpr int16_t kDefaultPINCode = 0;  // the receiver's factory PIN "0000"

struct WriteOptions {
    // Off keeps the record's own user date and PIN (a receiver image's values).
    bool substituteUserDateAndPin = true;
    // When given, a numbering line records what the favorite entries mean.
    std::optional<FavoriteNumbering> numbering = std::nullopt;
};

// The whole database as interchange text, every line ended by CR LF.
std::string WriteInterchange(const TChannelDatabase& db, WriteOptions options = {});

// Writes the interchange file, replacing `path` atomically. On failure the
// message is "<path>: <reason>" and the old file is untouched.
Status MakeDnfRawFile(const std::string& path, const TChannelDatabase& db, WriteOptions options = {});

}  // namespace lumora
