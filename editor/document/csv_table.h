// Comma-separated text as RFC 4180 describes it, and the conversion between
// the single-byte ISO 8859-1 names of the tables and the UTF-8 of such files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "import_text.h"  // Latin1ToUtf8
#include "status.h"

namespace lumora {

using TCsvRow = std::vector<std::string>;

// One field as a CSV file writes it: quoted when it holds a comma, a quote,
// CR or LF, with its quotes doubled.
std::string CsvField(std::string_view text);
// A record of fields ending in CRLF.
std::string CsvRecord(const std::vector<std::string>& fields);

// The records of a CSV text (a leading UTF-8 byte order mark skipped; CRLF,
// LF or CR end a record; an empty last line ignored), or a failure naming
// the line of a quote that is never closed or a quoted field followed by
// other text.
Result<std::vector<TCsvRow>> ParseCsv(std::string_view text);

// The ISO 8859-1 form of UTF-8 text, or a failure when the text is not UTF-8
// or holds a character beyond U+00FF.
Result<std::string> Utf8ToLatin1(std::string_view text);

}  // namespace lumora
