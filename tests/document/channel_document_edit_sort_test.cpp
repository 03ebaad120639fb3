// Sorting the listed services by a grid column: the table order that results,
// favorites, fixed numbers, and the comparison rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "channel_document_sort.h"
#include "scripted_ui.h"
#include "service_table_ops.h"

namespace lumora::test {
namespace {

std::vector<std::string> Names(DocumentFixture& f)
{
    std::vector<std::string> names;
    for (int r = 0; r < f.db().ServiceInfo.Count(); ++r)
        names.push_back(f.db().ServiceInfo.pServiceInfo[std::size_t(r)].szServiceName);
    return names;
}

std::vector<int32_t> List(DocumentFixture& f, int group, int list)
{
    const TFavoriteItem& item = f.db().FavoriteInfo[group][list];
    return {item.Index.begin(), item.Index.begin() + item.wIndexNum};
}

void Sort(DocumentFixture& f, int col, bool ascending)
{
    f.doc->SG.SetCurrent(col, 1);
    if (ascending)
        f.doc->BtnSortAClick();
    else
        f.doc->BtnSortZClick();
}

// Byte order: the tests do not depend on the machine's locale.
void UseByteOrder(DocumentFixture& f)
{
    f.doc->Collate = [](const std::string& x, const std::string& y) { return x.compare(y); };
}

TEST(DocumentSort, NameAscendingReordersTheShownTypeOnly)
{
    DocumentFixture f;
    UseByteOrder(f);
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "delta");
    f.AddService(kServiceTypeRadio, "zulu");
    f.AddService(kServiceTypeTV, "alpha");
    f.AddService(kServiceTypeRadio, "able");
    f.AddService(kServiceTypeTV, "charlie");
    f.AddService(kServiceTypeTV, "bravo");
    f.doc->LoadTreeValue();
    Sort(f, kColName, true);
    EXPECT_EQ(Names(f), (std::vector<std::string>{"alpha", "zulu", "bravo", "able", "charlie", "delta"}));
    EXPECT_EQ(f.Column(kColName), (std::vector<std::string>{"alpha", "bravo", "charlie", "delta"}));
    EXPECT_TRUE(f.doc->pModifiedFlag());

    Sort(f, kColName, false);
    EXPECT_EQ(f.Column(kColName), (std::vector<std::string>{"delta", "charlie", "bravo", "alpha"}));
}

TEST(DocumentSort, PIDsCompareAsNumbers)
{
    DocumentFixture f;
    UseByteOrder(f);
    f.AddTS(0, -1);
    for (uint16_t pid : {0x100, 0x20, 0x1FFF, 0x9})
        f.db().ServiceInfo.pServiceInfo[std::size_t(f.AddService(kServiceTypeTV, "s"))].wVideoPID = pid;
    f.doc->LoadTreeValue();
    Sort(f, kColVideoPID, true);
    EXPECT_EQ(f.Column(kColVideoPID), (std::vector<std::string>{"9", "32", "256", "8191"}));
}

TEST(DocumentSort, ProviderColumnAndEmptyViewsDoNothing)
{
    DocumentFixture f;
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "b");
    f.AddService(kServiceTypeTV, "a");
    f.doc->LoadTreeValue();
    f.doc->MarkSaved();
    Sort(f, kColProvider, true);
    EXPECT_EQ(Names(f), (std::vector<std::string>{"b", "a"}));
    EXPECT_FALSE(f.doc->pModifiedFlag());
    f.doc->FR1Click(false);  // no radio services
    Sort(f, kColName, true);
    EXPECT_FALSE(f.doc->pModifiedFlag());

    f.doc->FR1Click(true);
    f.Select(0x5000000);
    f.doc->SG.SetSelection(1, 1);
    f.AddService(kServiceTypeRadio, "r");  // not listed
    f.doc->MyTSClick("A1");  // leaves one service on stream 0
    f.doc->MarkSaved();
    Sort(f, kColName, true);  // a single row exchanged with itself changes nothing
    EXPECT_FALSE(f.doc->pModifiedFlag());
    EXPECT_EQ(f.doc->UndoLabel(), "Change Transport Stream of 1 service");  // not the sort
}

TEST(DocumentSort, StreamViewReordersItsServicesWithinTheirSlots)
{
    DocumentFixture f;
    UseByteOrder(f);
    f.AddTS(0, -1);
    f.AddTS(0, -1);
    const char* names[] = {"z0", "y1", "x0", "w1", "v0", "u1"};
    for (int i = 0; i < 6; ++i)
        f.AddService(kServiceTypeTV, names[i], i % 2);
    f.doc->LoadTreeValue();
    f.Select(0x5000001);
    Sort(f, kColName, true);
    EXPECT_EQ(Names(f), (std::vector<std::string>{"z0", "u1", "x0", "w1", "v0", "y1"}));
}

TEST(DocumentSort, DescendingNetworkPutsServicesWithoutNetworkFirst)
{
    DocumentFixture f;
    UseByteOrder(f);
    f.AddNetwork("A-net");
    f.AddNetwork("B-net");
    f.AddTS(0, 0);
    f.AddTS(0, -1);
    f.AddTS(0, 1);
    f.AddService(kServiceTypeTV, "on A", 0);
    f.AddService(kServiceTypeTV, "none", 1);
    f.AddService(kServiceTypeTV, "on B", 2);
    f.doc->LoadTreeValue();
    Sort(f, kColNetwork, false);
    EXPECT_EQ(Names(f), (std::vector<std::string>{"none", "on B", "on A"}));
    Sort(f, kColNetwork, true);
    EXPECT_EQ(Names(f), (std::vector<std::string>{"on A", "on B", "none"}));
}

TEST(DocumentSort, FavoritesStayOnTheirServices)
{
    for (uint8_t flashType : {0, 4}) {
        DocumentFixture f(flashType);
        UseByteOrder(f);
        f.AddTS(0, -1);
        for (const char* name : {"e", "c", "a", "d", "b"})
            f.AddService(kServiceTypeTV, name);
        const int32_t base = flashType == 4 ? 100 : 0;  // first key: OP 101 - 1, or ordinal 0
        f.AddFavorite(0, 0, base + 0);  // e
        f.AddFavorite(0, 0, base + 2);  // a
        f.AddFavorite(0, 3, base + 4);  // b
        f.doc->LoadTreeValue();
        Sort(f, kColName, true);
        EXPECT_EQ(Names(f), (std::vector<std::string>{"a", "b", "c", "d", "e"}));
        EXPECT_EQ(List(f, 0, 0), (std::vector<int32_t>{base + 4, base + 0}));
        EXPECT_EQ(List(f, 0, 3), std::vector<int32_t>{base + 1});
    }
}

TEST(DocumentSort, FixedNumberedServiceThatWouldMoveStaysAndBlocksItsPartners)
{
    // The fixed service's cell takes part in the sort but its service does
    // not move; every exchange here pairs it with another row, so the table
    // keeps its order.
    DocumentFixture f(4);
    UseByteOrder(f);
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "d");
    f.AddService(kServiceTypeTV, "a-fixed", 0, -1, 5);
    f.AddService(kServiceTypeTV, "c");
    f.AddService(kServiceTypeTV, "b");
    f.AddFavorite(0, 0, 4);
    f.AddFavorite(0, 0, 100);
    f.doc->LoadTreeValue();
    Sort(f, kColName, true);
    EXPECT_EQ(Names(f), (std::vector<std::string>{"d", "a-fixed", "c", "b"}));
    EXPECT_EQ(List(f, 0, 0), (std::vector<int32_t>{4, 100}));
    EXPECT_TRUE(f.doc->pModifiedFlag());
}

TEST(DocumentSort, FavoriteViewReordersTheShownListOnly)
{
    DocumentFixture f;
    UseByteOrder(f);
    f.AddTS(0, -1);
    for (const char* name : {"c", "a", "b", "d"})
        f.AddService(kServiceTypeTV, name);
    for (int v : {0, 1, 2})
        f.AddFavorite(0, 1, v);  // B: c, a, b
    f.AddFavorite(0, 0, 0);  // A: c
    f.AddFavorite(0, 2, 1);  // C: a
    f.doc->LoadTreeValue();
    f.Select(0x7000001);
    Sort(f, kColName, true);
    EXPECT_EQ(List(f, 0, 1), (std::vector<int32_t>{1, 2, 0}));
    EXPECT_EQ(List(f, 0, 0), std::vector<int32_t>{0});
    EXPECT_EQ(List(f, 0, 2), std::vector<int32_t>{1});
    EXPECT_EQ(Names(f), (std::vector<std::string>{"c", "a", "b", "d"}));
    EXPECT_EQ(f.Column(kColName), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(f.doc->pModifiedFlag());
}

TEST(DocumentSort, ShellCollationDecidesTheOrder)
{
    DocumentFixture f;
    f.AddTS(0, -1);
    for (const char* name : {"b", "B", "a", "A"})
        f.AddService(kServiceTypeTV, name);
    f.doc->LoadTreeValue();
    // Case-sensitive, lower case before upper within a letter.
    f.doc->Collate = [](const std::string& x, const std::string& y) {
        for (std::size_t i = 0; i < std::min(x.size(), y.size()); ++i) {
            auto rank = [](char c) { return std::tolower(c) * 2 + (std::isupper(c) ? 1 : 0); };
            if (rank(x[i]) != rank(y[i]))
                return rank(x[i]) < rank(y[i]) ? -1 : 1;
        }
        return x.size() == y.size() ? 0 : x.size() < y.size() ? -1 : 1;
    };
    Sort(f, kColName, true);
    EXPECT_EQ(Names(f), (std::vector<std::string>{"a", "A", "b", "B"}));
}

TEST(DocumentSortCompare, EqualKeysByRowAndEmptyCellsAtTheEnd)
{
    DocumentFixture f;
    UseByteOrder(f);
    TServiceGrid& grid = f.doc->SG;
    grid.SetRowCount(5);
    grid.SetCell(kColName, 1, " same");
    grid.SetCell(kColName, 2, "same ");
    grid.SetCell(kColName, 3, "");
    grid.SetCell(kColName, 4, "other");
    f.doc->SortType = true;
    EXPECT_EQ(CompareProc(*f.doc, kColName, 1, 2), -1);
    EXPECT_EQ(CompareProc(*f.doc, kColName, 2, 1), 1);
    EXPECT_EQ(CompareProc(*f.doc, kColName, 3, 4), 1);
    EXPECT_EQ(CompareProc(*f.doc, kColName, 4, 3), -1);
    EXPECT_GT(CompareProc(*f.doc, kColName, 1, 4), 0);
    f.doc->SortType = false;
    EXPECT_EQ(CompareProc(*f.doc, kColName, 3, 4), -1);
    EXPECT_LT(CompareProc(*f.doc, kColName, 1, 4), 0);
    EXPECT_EQ(CompareProc(*f.doc, kColName, 2, 1), 1);
}

// The exchanges a quicksort makes, as pairs of rows.
std::vector<std::pair<int, int>> Exchanges(std::vector<int> values)
{
    std::vector<std::pair<int, int>> made;
    GridQuickSort(
        0, int(values.size()) - 1,
        [&](int a, int b) { return values[a] != values[b] ? (values[a] < values[b] ? -1 : 1) : a - b; },
        [&](int a, int b) {
            made.emplace_back(a, b);
            std::swap(values[a], values[b]);
        });
    EXPECT_TRUE(std::is_sorted(values.begin(), values.end()));
    return made;
}

TEST(GridQuickSort, PivotFollowsItsRowAndEqualPositionsAreExchanged)
{
    // Rows 3, 1, 2 with pivot row 1: I stops at 0, J at 1; exchanging them
    // moves the pivot to row 0. The part 1..2 then needs one more exchange.
    EXPECT_EQ(Exchanges({3, 1, 2}), (std::vector<std::pair<int, int>>{{0, 1}, {1, 2}}));
    // A single middle element is exchanged with itself.
    EXPECT_EQ(Exchanges({1, 2, 3}), (std::vector<std::pair<int, int>>{{1, 1}}));
}

}  // namespace
}  // namespace lumora::test
