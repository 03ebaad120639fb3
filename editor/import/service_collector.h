// What the readers of service lists (VDR channels.conf, lamedb) share: one
// file's streams and services gathered into a data set of their own, streams
// shared by the services tuned alike, services imported once per stream and
// service id, names converted, and every drop or change noted as "file:line".
// The reader hands the data over only when the whole file has been read.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "import_data.h"
#include "import_text.h"
#include "status.h"

namespace lumora {

// A change made to a stream's tuning, counted once when the stream is new.
struct TStreamChange {
    TImportCount what;
    std::string text;
};

class TServiceCollector {
public:
    explicit TServiceCollector(std::string fileName);

    const std::string& fileName() const { return fileName_; }
    TImportData& data() { return data_; }

    // "file:line: text", counted as `what`.
    void Note(TImportCount what, std::size_t line, const std::string& text);
    Status Fail(std::size_t line, const std::string& reason) const;
    // "file:line" for the origin of a record.
    std::string Origin(std::size_t line) const;

    // The index of the stream tuned as `stream`: an earlier one, or this one
    // added (its changes counted then).
    int32_t AddStream(TImportStream stream, std::size_t line, const std::vector<TStreamChange>& changes);

    // Adds a service of `stream` with its name and provider as the file
    // writes them; none when the stream already has this service id (noted
    // as a duplicate).
    std::optional<int32_t> AddService(int32_t stream, TServiceItem service, std::string_view rawName,
                                      std::string_view rawProvider, std::size_t line);

    // The collected data, named after the file.
    TImportData Take();

private:
    using TStreamKey = std::tuple<TDelivery, int32_t, uint32_t, uint32_t, uint8_t, uint8_t, uint16_t, uint16_t>;

    std::string ProviderName(std::string_view raw, std::size_t line);

    std::string fileName_;
    TImportData data_;
    std::map<TStreamKey, int32_t> streamIndex_;
    std::set<std::pair<int32_t, uint16_t>> serviceIds_;
    std::map<std::string, std::string, std::less<>> providers_;
};

// A name as UTF-8 for a note or a list name: as it is when it is UTF-8, else
// read as ISO 8859-1.
std::string NoteText(std::string_view raw);
// The same between double quotes.
std::string Quoted(std::string_view raw);

// A whole number no larger than `limit`; none otherwise.
std::optional<uint32_t> ParseBounded(std::string_view text, uint32_t limit, int base = 10);

}  // namespace lumora
