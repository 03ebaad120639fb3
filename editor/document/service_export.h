// The service list as other programs read it: the rows the grid lists, in
// its order, with every column it shows (the table index excepted) and the
// frequency of each service's stream, written as CSV or as one HTML page.
#pragma once

#include <string>
#include <vector>

namespace lumora {

class ChannelDocument;

// The exported columns, in file order.
enum ExportColumn : int {
    kExpIndex = 0,
    kExpName,
    kExpVideoPID,
    kExpAudioPID,
    kExpPCRPID,
    kExpServiceId,
    kExpPmtPID,
    kExpGenre,
    kExpLock,
    kExpSkip,
    kExpNetwork,
    kExpProvider,
    kExpFrequency,
    kExportColumnCount
};

// The header of each exported column, as the CSV header row and the HTML
// table head name it.
const char* ExportHeader(int column);

// The listed services; cells as the grid shows them, names in the tables'
// single-byte ISO 8859-1.
struct TServiceList {
    std::string Title;  // what the grid lists, e.g. "All Service (TV)"
    std::vector<std::vector<std::string>> Rows;  // kExportColumnCount cells each
};

// The rows the document's grid lists now, top to bottom.
TServiceList ListedServices(const ChannelDocument& doc);

// RFC 4180 text in UTF-8 with a header row; numbers are written bare.
std::string ServiceListCsv(const TServiceList& list);
// One self-contained UTF-8 HTML page holding the list as a table.
std::string ServiceListHtml(const TServiceList& list);

}  // namespace lumora
