#include <gtest/gtest.h>

#include <random>

#include "scripted_ui.h"
#include "service_numbering.h"

namespace lumora::test {
namespace {

using Cells = std::vector<std::string>;

// T0 R0 T1 R1 T2 on two streams; stream 1 carries T1 and T2.
struct MixedTable : DocumentFixture {
    explicit MixedTable(uint8_t flashType = 0) : DocumentFixture(flashType)
    {
        AddNetwork("NET0");
        AddProvider("PRV0");
        AddTS(0, 0);
        AddTS(1, -1);
        AddService(kServiceTypeTV, "T0", 0, 0);
        AddService(kServiceTypeRadio, "R0", 0, -1);
        AddService(kServiceTypeTV, "T1", 1, -1);
        AddService(kServiceTypeRadio, "R1", 1, 0);
        AddService(kServiceTypeTV, "T2", 1, 0);
        doc->LoadTreeValue();
    }
};

TEST(ChannelDocumentGrid, MixedTableNumbersEachTypeByOrdinal)
{
    MixedTable f;
    EXPECT_EQ(f.Column(kColIndex), (Cells{"1", "2", "3"}));
    EXPECT_EQ(f.Column(kColRI), (Cells{"0", "2", "4"}));
    EXPECT_EQ(f.Column(kColName), (Cells{"T0", "T1", "T2"}));
    EXPECT_EQ(f.Column(kColNetwork), (Cells{"NET0", "", ""}));
    EXPECT_EQ(f.Column(kColProvider), (Cells{"PRV0", "", "PRV0"}));
    f.doc->FR1Click(false);
    EXPECT_EQ(f.doc->DisplayMode(), kServiceTypeRadio);
    EXPECT_EQ(f.doc->Label1Caption, "All Service");
    EXPECT_EQ(f.Column(kColIndex), (Cells{"1", "2"}));
    EXPECT_EQ(f.Column(kColRI), (Cells{"1", "3"}));
    EXPECT_EQ(f.doc->SG.GenreList[1], "POP");
    EXPECT_EQ(f.Cell(kColGenre, 1), "GENERAL");
}

TEST(ChannelDocumentGrid, RowCellsShowTheRecord)
{
    MixedTable f;
    TServiceItem& t0 = f.db().ServiceInfo.pServiceInfo[0];
    t0.wPmtPID = 0x8100;
    t0.ServiceKind = 1;
    t0.bParentLock = true;
    f.doc->RefreshServiceGrid();
    EXPECT_EQ(f.doc->SG.RowCount(), 4);
    Cells row;
    for (int col = 0; col < kSGColCount; ++col)
        row.push_back(f.Cell(col, 1));
    EXPECT_EQ(row,
              (Cells{"1", "T0", "100", "200", "300", "400", "256", "MOVIE", "TRUE", "FALSE", "NET0", "PRV0", "0"}));
    Cells header;
    for (int col = 0; col < kSGColCount; ++col)
        header.push_back(f.Cell(col, 0));
    EXPECT_EQ(header, (Cells{"INDEX", "Service Name", "Video PID", "Audio PID", "PCR PID", "Service ID", "PMT PID",
                             "GENRE", "LOCK", "SKIP", "NETWORK", "PROVIDER", "RI"}));
}

TEST(ChannelDocumentGrid, FilteredViewsKeepFullListNumbers)
{
    MixedTable f;
    f.Select(0x5000001);  // stream 1
    EXPECT_EQ(f.Column(kColIndex), (Cells{"2", "3"}));
    EXPECT_EQ(f.Column(kColRI), (Cells{"2", "4"}));
    f.Select(0x1000001);  // antenna 2 receives stream 1
    EXPECT_EQ(f.Column(kColRI), (Cells{"2", "4"}));
    f.Select(0x4000000);  // network 0: stream 0
    EXPECT_EQ(f.Column(kColRI), (Cells{"0"}));
    f.Select(0x3000000);  // provider 0
    EXPECT_EQ(f.Column(kColIndex), (Cells{"1", "3"}));
    f.db().ServiceInfo.pServiceInfo[4].ServiceKind = 4;
    f.Select(0x6000004);
    EXPECT_EQ(f.Column(kColName), (Cells{"T2"}));
    f.Select(0x6000005);  // no service: one empty row
    EXPECT_EQ(f.doc->SG.RowCount(), 2);
    EXPECT_EQ(f.Column(kColRI), (Cells{""}));
    f.doc->FR1Click(false);  // the selected node stays
    EXPECT_EQ(f.doc->Tree1.Selected()->Tag, 0x6000005u);
}

TEST(ChannelDocumentGrid, FixedNumberingWithBothAutomaticBases)
{
    for (uint8_t flash : {uint8_t(4), uint8_t(3)}) {
        DocumentFixture f(flash);
        f.AddTS(0, -1);
        f.AddService(kServiceTypeTV, "A");
        f.AddService(kServiceTypeRadio, "R");  // other type: not counted
        f.AddService(kServiceTypeTV, "B", 0, -1, 7);
        f.AddService(kServiceTypeTV, "C");
        f.doc->LoadTreeValue();
        Cells expected = flash == 3 ? Cells{"1000", "7", "1001"} : Cells{"101", "7", "102"};
        EXPECT_EQ(f.Column(kColIndex), expected) << int(flash);
        EXPECT_EQ(TServiceNumbering(f.db(), NumberingOf(f.db(), flash)).OPNumber(3), flash == 3 ? 1001 : 102);
        // A filtered view shows the same OP numbers.
        f.db().ServiceInfo.pServiceInfo[0].pTSIndex = 5;
        f.Select(0x5000000);
        EXPECT_EQ(f.Column(kColIndex), (Cells{expected[1], expected[2]}));
    }
}

TEST(ChannelDocumentGrid, FavoriteListsInListOrder)
{
    MixedTable f;
    f.AddFavorite(0, 1, 2);  // T2
    f.AddFavorite(0, 1, 0);  // T0
    f.AddFavorite(0, 1, 9);  // no such service: the service at real index 0
    f.AddFavorite(1, 1, 1);  // R1 (radio list)
    f.Select(0x7000001);
    EXPECT_EQ(f.doc->GetTargetCount(), 3);
    EXPECT_EQ(f.Column(kColName), (Cells{"T2", "T0", "T0"}));
    EXPECT_EQ(f.Column(kColIndex), (Cells{"3", "1", "10"}));
    f.doc->FR1Click(false);
    EXPECT_EQ(f.Column(kColName), (Cells{"R1"}));
    EXPECT_EQ(f.Column(kColRI), (Cells{"3"}));
    f.Select(0x7000002);
    EXPECT_EQ(f.Column(kColRI), (Cells{""}));
}

TEST(ChannelDocumentGrid, FavoriteListsUnderFixedNumberingHoldOPNumbersMinusOne)
{
    DocumentFixture f(4);
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "A");  // 101
    f.AddService(kServiceTypeTV, "B", 0, -1, 7);
    f.AddService(kServiceTypeTV, "C");  // 102
    f.AddFavorite(0, 0, 101);  // C
    f.AddFavorite(0, 0, 6);  // B
    f.AddFavorite(0, 0, 100);  // A
    f.AddFavorite(0, 0, 50);  // nothing: real index 0
    f.doc->LoadTreeValue();
    f.Select(0x7000000);
    EXPECT_EQ(f.Column(kColName), (Cells{"C", "B", "A", "A"}));
    EXPECT_EQ(f.Column(kColIndex), (Cells{"102", "7", "101", "101"}));
    EXPECT_EQ(f.doc->GetPosFromRealIndex(0, 102), 2);
    EXPECT_EQ(f.doc->GetPosFromRealIndex(0, 51), 0);
}

TEST(ChannelDocumentGrid, UnmatchedFavoriteInAnEmptyTableShowsAnEmptyRow)
{
    DocumentFixture f;
    f.AddFavorite(0, 0, 3);
    f.db().FavoriteInfo[0][1].wIndexNum = 250;  // beyond capacity: only the table is read
    f.doc->LoadTreeValue();
    f.Select(0x7000000);
    EXPECT_EQ(f.doc->SG.RowCount(), 2);
    EXPECT_EQ(f.Column(kColRI), (Cells{""}));
    f.Select(0x7000001);
    EXPECT_EQ(f.doc->SG.RowCount(), 101);
    f.db().FavoriteInfo[0][1].wIndexNum = -4;
    f.doc->RefreshServiceGrid();
    EXPECT_EQ(f.doc->SG.RowCount(), 2);
}

TEST(ChannelDocumentGrid, OutOfRangeIndicesShowEmptyCells)
{
    DocumentFixture f;
    f.AddNetwork("N");
    f.AddProvider("P");
    f.AddTS(40, 3);  // network index beyond the table
    f.AddService(kServiceTypeTV, "bad stream", 7, 5);  // stream and provider beyond the tables
    f.AddService(kServiceTypeTV, "no stream", -1, -1);
    f.AddService(kServiceTypeTV, "bad network", 0, 0);
    f.db().ServiceInfo.pServiceInfo[1].ServiceKind = 16;
    f.db().ServiceInfo.pServiceInfo[2].ServiceKind = 255;
    f.db().TSInfo.wTSNum = 1;
    f.doc->LoadTreeValue();
    EXPECT_EQ(f.Column(kColNetwork), (Cells{"", "", ""}));
    EXPECT_EQ(f.Column(kColProvider), (Cells{"", "", "P"}));
    EXPECT_EQ(f.Column(kColGenre), (Cells{"ETC", "", ""}));
    // A service without a valid stream belongs to no stream, antenna or network.
    f.Select(0x5000000);
    EXPECT_EQ(f.Column(kColName), (Cells{"bad network"}));
    f.Select(0x4000000);
    EXPECT_EQ(f.Column(kColName), (Cells{""}));
    f.db().ServiceInfo.pServiceInfo[0].pTSIndex = 0x10000;  // equals stream 0 in its low 16 bits
    f.Select(0x5000000);
    EXPECT_EQ(f.Column(kColName), (Cells{"bad network"}));
    // Counts beyond the tables' capacities read only the tables.
    f.db().ServiceInfo.wTVNum = 5000;
    f.db().TSInfo.wTSNum = 5000;
    f.db().NetworkInfo.wNetworkNum = 900;
    f.doc->UpdateTree();
    EXPECT_EQ(f.doc->SG.RowCount(), kServiceCapacity + 1);
    EXPECT_EQ(int(f.doc->SG.NetworkList.size()), kNetworkCapacity);
}

TEST(ChannelDocumentGrid, OrdinalsAndOPConversion)
{
    DocumentFixture f(4);
    f.AddTS(0, -1);
    f.AddService(kServiceTypeRadio, "R0");
    f.AddService(kServiceTypeTV, "A");  // ordinal 0, OP 101
    f.AddService(kServiceTypeTV, "B", 0, -1, 7);  // ordinal 1, OP 7
    f.AddService(kServiceTypeTV, "C");  // ordinal 2, OP 102
    EXPECT_EQ(f.doc->GetRealIndex(kServiceTypeTV, 3), 2);
    EXPECT_EQ(f.doc->GetRealIndex(kServiceTypeRadio, 3), 1);
    EXPECT_EQ(f.doc->GetRealIndex(kServiceTypeTV, 99999), 3);
    EXPECT_EQ(f.doc->ConvertNonOPIndex(7), 1);  // fixed number compared as stored
    EXPECT_EQ(f.doc->ConvertNonOPIndex(50), 2);  // no such fixed number: the last TV service
    EXPECT_EQ(f.doc->ConvertNonOPIndex(100), 0);  // first automatic
    EXPECT_EQ(f.doc->ConvertNonOPIndex(101), 1);  // reached at B, one automatic passed
    EXPECT_EQ(f.doc->ConvertNonOPIndex(150), 1);  // past the end: the count at the last service
    f.app->Settings.SystemInfo.FLASHTYPE = 3;
    EXPECT_EQ(f.doc->ConvertNonOPIndex(999), 0);
    EXPECT_EQ(f.doc->ConvertNonOPIndex(101), 2);
    DocumentFixture empty(4);
    EXPECT_EQ(empty.doc->ConvertNonOPIndex(5), 0);
    EXPECT_EQ(empty.doc->ConvertNonOPIndex(200), 0);
    EXPECT_EQ(empty.doc->GetPosFromRealIndex(0, 0), 0);
}

// The refresh computes the numberings once; on random tables its numbers
// must agree with the one-service-at-a-time definitions.
TEST(ChannelDocumentGrid, RefreshAgreesWithDirectNumberingOnRandomTables)
{
    std::mt19937 rng(5);
    for (uint8_t flash : {uint8_t(0), uint8_t(3), uint8_t(4)}) {
        DocumentFixture f(flash);
        f.AddTS(0, -1);
        for (int i = 0; i < 300; ++i) {
            uint8_t type = uint8_t(rng() % 2);
            uint16_t fixed = rng() % 4 == 0 ? uint16_t(1 + rng() % 120) : 0;
            f.AddService(type, "S" + std::to_string(i), 0, -1, fixed);
        }
        for (int k = 0; k < 60; ++k)
            f.AddFavorite(0, 2, int32_t(rng() % 260));
        f.doc->LoadTreeValue();
        for (uint32_t tag : {0x2000000u, 0x7000002u}) {
            f.Select(tag, tag == 0x2000000u ? 0 : 1);
            const TServiceNumbering numbering(f.db(), NumberingOf(f.db(), flash));
            for (int row = 1; row < f.doc->SG.RowCount(); ++row) {
                int32_t r = std::stoi(f.Cell(kColRI, row));
                int32_t shown = std::stoi(f.Cell(kColIndex, row));
                if (f.db().pFixServiceIndex) {
                    EXPECT_EQ(shown, numbering.OPNumber(r));
                } else if (tag == 0x2000000u) {
                    EXPECT_EQ(shown, f.doc->GetRealIndex(0, r) + 1);
                }
                if (tag == 0x7000002u) {
                    int32_t entry = f.db().FavoriteInfo[0][2].Index[std::size_t(row - 1)];
                    int32_t key = f.db().pFixServiceIndex ? entry + 1 : entry;
                    EXPECT_EQ(r, f.doc->GetPosFromRealIndex(0, key));
                }
            }
        }
    }
}

TEST(ChannelDocumentGrid, GridObserverSeesOneResetPerRefresh)
{
    struct Recorder : TGridObserver {
        int resets = 0, cells = 0;
        void GridReset() override { ++resets; }
        void CellChanged(int, int) override { ++cells; }
    } recorder;
    MixedTable f;
    f.doc->SG.SetObserver(&recorder);
    f.doc->RefreshServiceGrid();
    EXPECT_EQ(recorder.resets, 1);
    EXPECT_EQ(recorder.cells, 0);
    f.doc->SG.SetCell(kColName, 1, "X");
    EXPECT_EQ(recorder.cells, 1);
    EXPECT_EQ(TServiceGrid::ReplaceExtendChar("A\x86"
                                              "B\xFF"),
              "AB");
}

}  // namespace
}  // namespace lumora::test
