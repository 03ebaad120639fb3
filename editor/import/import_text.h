// Texts and numbers shared by the readers and writers of other programs'
// files: names between UTF-8 and the tables' ISO 8859-1, orbital positions,
// and the small parsers every line format needs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lumora {

enum class TSourceText : uint8_t {
    Utf8,  // UTF-8, or ISO 8859-1 where the bytes are no valid UTF-8
    Latin1,  // ISO 8859-1
};

struct TImportedName {
    std::string name;  // ISO 8859-1, as the tables keep it
    bool changed = false;  // characters replaced or cut, not merely recoded
};

// A name from a file as a service name of the tables: decoded, control
// characters dropped, characters ISO 8859-1 lacks replaced by '?', cut to 30
// bytes, and trimmed and ended as the interchange reader does, so that the
// name does not change on its first save and reopen.
TImportedName ImportServiceName(std::string_view raw, TSourceText text);
// The same for provider and network names (no trailing-blank rule).
TImportedName ImportPlainName(std::string_view raw, TSourceText text);

// ISO 8859-1 text as UTF-8.
std::string Latin1ToUtf8(std::string_view latin1);
// Whether `bytes` are valid UTF-8.
bool IsValidUtf8(std::string_view bytes);

// Orbital positions as files and people write them: "19.2E", "30W", "0.8W".
// Tenths of a degree, east positive, west negative.
std::optional<int32_t> ParsePosition(std::string_view text);
// "19.2E", "30.0W"; 0 is "0.0E".
std::string PositionText(int32_t tenths);

// Splits on `separator`, keeping empty fields.
std::vector<std::string_view> SplitFields(std::string_view text, char separator);
// `text` without leading and trailing blanks, tabs and CR.
std::string_view TrimBlanks(std::string_view text);
// A whole unsigned decimal (or, with base 16, hex) number; none for
// anything else, an empty text included.
std::optional<uint64_t> ParseUnsigned(std::string_view text, int base = 10);
std::optional<int64_t> ParseSigned(std::string_view text);

// Lines of a text; CR LF, LF and a lone CR end a line.
std::vector<std::string_view> SplitLines(std::string_view text);

}  // namespace lumora
