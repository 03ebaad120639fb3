// Changing the order of services: moving grid rows (drag and drop, Ctrl+Up
// and Ctrl+Down) and following the rows of a CSV file, and renaming services
// after such a file. The table order is the receiver's channel order; every
// favorite entry keeps naming its service.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "records.h"
#include "service_numbering.h"
#include "status.h"

namespace lumora {

class ChannelDocument;

// Puts the services at the real indices `order` into the slots these services
// occupy now, taken in ascending order: the lowest slot gets order[0]. Other
// services keep their slots. Every favorite entry stays on its service.
void ReorderServices(TChannelDatabase& db, const TNumbering& numbering, const std::vector<int32_t>& order);

// Whether the grid's rows can be moved: "All Service" or a favorite list.
bool CanMoveListedRows(const ChannelDocument& doc);
// Moves the selected grid rows so that they stand before grid row
// `beforeRow` (one past the last row: to the end), as one edit named "Move 3
// services"; the selection follows them. In "All Service" under fixed
// numbering, services with a fixed number keep their places: a selection
// holding one is refused with a message, and the moved rows pass over them.
// Returns whether anything moved.
bool MoveSelectedRows(ChannelDocument& doc, int32_t beforeRow);
// Moves the selected rows `step` places up (negative) or down.
bool MoveSelectedRowsBy(ChannelDocument& doc, int32_t step);

// What an import from CSV did.
struct TOrderImportReport {
    int Matched = 0;
    std::vector<std::string> Unmatched;  // "line 7: NAME (frequency F, service id S)", UTF-8
};

// Reorders the "All Service" table of the shown type (TV or radio) after the
// rows of `csv`, matching by "Frequency" and "Service ID", then by "Service
// Name"; services the file does not name follow in their order. Under fixed
// numbering, services with a fixed number keep their places. One edit.
// Text that is not CSV, lacks the columns, or holds names beyond ISO 8859-1
// gives a failure (with the file's line) and changes nothing.
Result<TOrderImportReport> ImportServiceOrder(ChannelDocument& doc, std::string_view csv);
// Gives services of the shown type matched by "Frequency" and "Service ID"
// the row's "Service Name". One edit; fails as above.
Result<TOrderImportReport> ImportServiceNames(ChannelDocument& doc, std::string_view csv);

// The same on bare tables (for tools without a document window): reorders
// the services of `type`.
Result<TOrderImportReport> ImportServiceOrder(TChannelDatabase& db, const TNumbering& numbering, uint8_t type,
                                              std::string_view csv);

}  // namespace lumora
