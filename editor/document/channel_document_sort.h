// Sorting the listed services by a grid column. The row comparison and the
// two row exchanges are free procedures that act on a document, as the
// grid's quicksort calls them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace lumora {

class ChannelDocument;

// Comparison of two grid rows by column `col` in the document's sort
// direction (negative: rowA goes first). Equal keys keep the current order.
int32_t CompareProc(const ChannelDocument& doc, int32_t col, int32_t rowA, int32_t rowB);
// Exchanges two listed services in the table (outside favorite views) and the
// sort column's cells of the two rows. A whole sort exchanges through
// ChannelDocument::ExchangeRowServices instead, which keeps the numbering of
// the table slots from one exchange to the next.
void SwapProc(ChannelDocument& doc, int32_t col, int32_t rowA, int32_t rowB);
// In a favorite list view: exchanges the two rows' positions in the shown
// list and the sort column's cells of the two rows.
void SwapProcFav(ChannelDocument& doc, int32_t col, int32_t rowA, int32_t rowB);

// The collation of the user's locale from the C++ library (the core's
// default): comparison and the matching sort key.
std::function<int(const std::string&, const std::string&)> LocaleCollate();
std::function<std::string(const std::string&)> LocaleSortKey();

}  // namespace lumora
