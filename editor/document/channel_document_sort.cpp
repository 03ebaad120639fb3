// Sorting: the listed services are put in the order of one grid column, and
// every exchange of two grid rows is carried out in the tables, so the new
// order is what gets saved and sent to the receiver.
#include "channel_document_sort.h"

#include <cstdio>
#include <locale>
#include <optional>
#include <utility>
#include <vector>

#include "channel_document.h"
#include "intparse.h"
#include "service_numbering.h"
#include "service_table_ops.h"

namespace lumora {

namespace {

// A cell as the comparison sees it.
struct TSortText {
    bool empty = true;  // the cell shows nothing
    std::string text;  // trimmed, PIDs as hexadecimal, with one blank appended
    std::string key;  // sort key of `text`, when a key function is in use
};

bool IsPIDColumn(int32_t col) { return col >= kColVideoPID && col <= kColPmtPID; }

// Leading and trailing blanks and control characters go.
std::string Trim(const std::string& s)
{
    std::size_t first = 0, last = s.size();
    while (first < last && static_cast<unsigned char>(s[first]) <= ' ')
        ++first;
    while (last > first && static_cast<unsigned char>(s[last - 1]) <= ' ')
        --last;
    return s.substr(first, last - first);
}

// PIDs compare as numbers: upper-case hexadecimal of at least four digits.
std::string HexText(int32_t value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%04X", static_cast<uint32_t>(value));
    return buffer;
}

TSortText MakeSortText(const std::string& cell, int32_t col,
                       const std::function<std::string(const std::string&)>* sortKey)
{
    TSortText result;
    result.empty = cell.empty();
    std::string shown = cell;
    if (IsPIDColumn(col) && !cell.empty()) {
        try {
            shown = HexText(StrToInt(cell));
        } catch (const EConvertError&) {
            // Only listed services are sorted, and their PID cells hold numbers.
        }
    }
    result.text = Trim(shown) + " ";
    if (sortKey)
        result.key = (*sortKey)(result.text);
    return result;
}

int Sign(int value) { return (value > 0) - (value < 0); }

// The order of two rows: equal keys by current row; empty cells last when
// ascending, first when descending.
int32_t CompareSortTexts(const TSortText& x, const TSortText& y, int32_t rowA, int32_t rowB, bool ascending,
                         const std::function<int(const std::string&, const std::string&)>& collate, bool useKeys)
{
    const int r = useKeys ? Sign(x.key.compare(y.key)) : Sign(collate(x.text, y.text));
    if (r == 0)
        return rowA - rowB;
    if (ascending) {
        if (x.empty)
            return 1;
        if (y.empty)
            return -1;
        return r;
    }
    if (x.empty)
        return -1;
    if (y.empty)
        return 1;
    return -r;
}

const std::locale& UserLocale()
{
    static const std::locale locale = [] {
        try {
            return std::locale("");
        } catch (const std::runtime_error&) {
            return std::locale::classic();  // the environment names no usable locale
        }
    }();
    return locale;
}

void SwapCells(TServiceGrid& grid, int32_t col, int32_t rowA, int32_t rowB)
{
    if (rowA == rowB)
        return;
    std::string first = grid.Cell(col, rowA);
    grid.SetCell(col, rowA, grid.Cell(col, rowB));
    grid.SetCell(col, rowB, std::move(first));
}

}  // namespace

std::function<int(const std::string&, const std::string&)> LocaleCollate()
{
    return [](const std::string& x, const std::string& y) {
        const auto& collate = std::use_facet<std::collate<char>>(UserLocale());
        return collate.compare(x.data(), x.data() + x.size(), y.data(), y.data() + y.size());
    };
}

std::function<std::string(const std::string&)> LocaleSortKey()
{
    return [](const std::string& text) {
        const auto& collate = std::use_facet<std::collate<char>>(UserLocale());
        return collate.transform(text.data(), text.data() + text.size());
    };
}

int32_t CompareProc(const ChannelDocument& doc, int32_t col, int32_t rowA, int32_t rowB)
{
    const auto collate = doc.Collate ? doc.Collate : LocaleCollate();
    const TSortText x = MakeSortText(doc.SG.Cell(col, rowA), col, nullptr);
    const TSortText y = MakeSortText(doc.SG.Cell(col, rowB), col, nullptr);
    return CompareSortTexts(x, y, rowA, rowB, doc.SortType, collate, false);
}

void SwapProc(ChannelDocument& doc, int32_t col, int32_t rowA, int32_t rowB)
{
    doc.SwapRealIndex(rowA, rowB);
    SwapCells(doc.SG, col, rowA, rowB);
}

void SwapProcFav(ChannelDocument& doc, int32_t col, int32_t rowA, int32_t rowB)
{
    TChannelDatabase& db = doc.Database();
    const TTreeNode* node = doc.Tree1.Selected();
    const uint32_t list = node ? node->Tag & 0xFFFFFF : 0;
    if (node && TagKind(node->Tag) == kKindFavorite && list < uint32_t(kFavoriteLists) &&
        doc.DisplayMode() < kFavoriteGroups) {
        // Only the shown list changes: its two entries change places.
        TFavoriteItem& favorites = db.FavoriteInfo[doc.DisplayMode()][list];
        const int32_t length = std::min(favorites.wIndexNum, kFavoriteCapacity);
        if (rowA >= 1 && rowB >= 1 && rowA <= length && rowB <= length)
            std::swap(favorites.Index[std::size_t(rowA - 1)], favorites.Index[std::size_t(rowB - 1)]);
    }
    SwapCells(doc.SG, col, rowA, rowB);
}

void ChannelDocument::BtnSortAClick() { SortServices(true); }

void ChannelDocument::BtnSortZClick() { SortServices(false); }

void ChannelDocument::SortServices(bool ascending)
{
    const int32_t col = SG.Col();
    if (col == kColIndex || col == kColProvider)
        return;
    if (RowService(1) < 0)
        return;  // nothing listed
    if (FilterActive())
        return;  // the rows hidden by the filter would be reordered unseen
    SortType = ascending;
    Edit(std::string("Sort by ") + kSGColumns[std::size_t(col)].Caption, [&] { SortRows(col, ascending); });
}

void ChannelDocument::SortRows(int32_t col, bool ascending)
{
    // A key function pairs with the default collation, or comes with the shell's own.
    const auto collate = Collate ? Collate : LocaleCollate();
    const auto sortKey = Collate ? SortKey : LocaleSortKey();
    const bool useKeys = bool(sortKey);
    const int32_t lastRow = SG.RowCount() - 1;
    std::vector<TSortText> texts(std::size_t(lastRow + 1));
    for (int32_t row = 1; row <= lastRow; ++row)
        texts[std::size_t(row)] = MakeSortText(SG.Cell(col, row), col, useKeys ? &sortKey : nullptr);

    // The favorite keys of the table slots stay put while services of one
    // type trade slots, so the numbering is kept across the exchanges.
    std::optional<TServiceNumbering> slots;

    const TTreeNode* node = Tree1.Selected();
    const bool favoriteView = node && TagKind(node->Tag) == kKindFavorite;
    SG.BeginUpdate();
    try {
        GridQuickSort(
            1, lastRow,
            [&](int a, int b) {
                return CompareSortTexts(texts[std::size_t(a)], texts[std::size_t(b)], a, b, ascending, collate,
                                        useKeys);
            },
            [&](int a, int b) {
                if (favoriteView) {
                    SwapProcFav(*this, col, a, b);
                } else {
                    ExchangeRowServices(a, b, slots);
                    SwapCells(SG, col, a, b);
                }
                std::swap(texts[std::size_t(a)], texts[std::size_t(b)]);
            });
    } catch (...) {
        SG.EndUpdate();
        throw;
    }
    SG.EndUpdate();
}

}  // namespace lumora
