// Finding and cleaning services: the filter box's match of a row, the text
// replacement in service names and the removal of duplicate services. Table
// work only; the document wraps each change into one edit.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "records.h"
#include "service_numbering.h"

namespace lumora {

// Names are ISO 8859-1 bytes: A-Z and the accented capitals 0xC0-0xDE
// (without the multiplication sign 0xD7) fold to their small letters.
std::string FoldLatin1Case(std::string text);

// What the filter box asks for: a name part, or a number when the text is
// made of digits only (blanks around it ignored).
class TRowFilter {
public:
    explicit TRowFilter(const std::string& text);
    bool Active() const { return active_; }
    // Whether a listed service matches: its name contains the text ignoring
    // case, or, for a number, its shown number, service id or a PID equals it.
    bool Matches(const TServiceItem& service, const std::string& shownNumber) const;

private:
    bool active_ = false;
    std::string foldedText_;
    std::optional<int64_t> number_;
    std::string numberText_;
};

// Replaces every occurrence of `find` (exact bytes, case as typed) by
// `replace` in the names of the services at `realIndices` (each once; indices
// outside the table ignored). TAB and line ends in `replace` become blanks.
// Returns how many names changed.
int ReplaceInServiceNames(TChannelDatabase& db, std::span<const int32_t> realIndices, const std::string& find,
                          std::string replace);

// Which services count as the same one.
enum class DuplicateKey {
    StreamAndServiceId,  // same transport stream and service id
    NameAndStream,  // same name (exact bytes) on the same transport stream
};

struct TDuplicateRemoval {
    std::vector<std::string> RemovedNames;  // in table order
    int Removed() const { return int(RemovedNames.size()); }
};

// Reduces each group of services equal by `key` to its first service in the
// table. Favorite entries of a removed service move to the kept one, at the
// removed entry's place; a list never holds the kept service twice (an entry
// of a service of the other type than the kept one cannot name it and goes).
TDuplicateRemoval RemoveDuplicateServices(TChannelDatabase& db, const TNumbering& numbering, DuplicateKey key);

// "Nova Kids, Nova Sport and 3 more": names for a message, at most `shown`.
std::string ShortNameList(const std::vector<std::string>& names, std::size_t shown);

}  // namespace lumora
