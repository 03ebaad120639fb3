// The service list leaves the editor as CSV and HTML and comes back as an
// order or as names: the written files are read back, not compared as text.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "csv_table.h"
#include "interchange.h"
#include "scripted_ui.h"
#include "service_export.h"
#include "service_numbering.h"
#include "service_order.h"

namespace lumora {
namespace {

using test::DocumentFixture;

const std::string kSamplePath = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";

// The cells of every <td> of each <tbody> row, entities decoded, as UTF-8.
std::vector<std::vector<std::string>> HtmlTableRows(const std::string& html)
{
    std::vector<std::vector<std::string>> rows;
    const std::size_t body = html.find("<tbody>");
    for (std::size_t tr = html.find("<tr>", body); tr != std::string::npos; tr = html.find("<tr>", tr + 1)) {
        std::vector<std::string> cells;
        const std::size_t end = html.find("</tr>", tr);
        for (std::size_t td = html.find("<td", tr); td < end; td = html.find("<td", td + 1)) {
            const std::size_t open = html.find('>', td) + 1;
            std::string text = html.substr(open, html.find("</td>", open) - open);
            for (const auto& [entity, c] : std::vector<std::pair<std::string, std::string>>{{"&lt;", "<"},
                                                                                            {"&gt;", ">"},
                                                                                            {"&quot;", "\""},
                                                                                            {"&amp;", "&"}})
                for (std::size_t at = text.find(entity); at != std::string::npos; at = text.find(entity, at + 1))
                    text.replace(at, entity.size(), c);
            cells.push_back(text);
        }
        rows.push_back(cells);
    }
    return rows;
}

TEST(ServiceListExport, CsvAndHtmlOfTheSampleReadBackAsTheGridShowsIt)
{
    DocumentFixture f;
    ReadInterchangeFile(kSamplePath, f.db(), [](const std::string&) {});
    // Names the files must carry intact: bytes 0x80..0xFF, commas, quotes, markup.
    f.db().ServiceInfo.pServiceInfo[0].szServiceName = "Caf\xE9 \"Le Bar\", \xBFQu\xE9? \xFF\x80";
    f.db().ServiceInfo.pServiceInfo[1].szServiceName = "A,B";
    f.db().NetworkInfo.Info[0].szNetworkName = "Net <&> \xC4";
    f.doc->LoadTreeValue();

    const TServiceList list = ListedServices(*f.doc);
    ASSERT_EQ(list.Rows.size(), std::size_t(f.db().ServiceInfo.wTVNum));
    const std::string csv = ServiceListCsv(list);
    EXPECT_NE(csv.find("\"Caf\xC3\xA9 \"\"Le Bar\"\", \xC2\xBFQu\xC3\xA9? \xC3\xBF\xC2\x80\""), std::string::npos);
    const Result<std::vector<TCsvRow>> parsed = ParseCsv(csv);
    ASSERT_TRUE(parsed) << parsed.message();
    const std::vector<TCsvRow>& records = parsed.value();
    const auto latin1 = [](const std::string& text) {
        const Result<std::string> converted = Utf8ToLatin1(text);
        return converted ? converted.value() : converted.message();
    };
    ASSERT_EQ(records.size(), list.Rows.size() + 1);
    for (int col = 0; col < kExportColumnCount; ++col)
        EXPECT_EQ(records[0][std::size_t(col)], ExportHeader(col));

    const auto html = HtmlTableRows(ServiceListHtml(list));
    ASSERT_EQ(html.size(), list.Rows.size());
    for (int row = 1; row <= int(list.Rows.size()); ++row) {
        const TCsvRow& record = records[std::size_t(row)];
        const auto& htmlCells = html[std::size_t(row - 1)];
        ASSERT_EQ(record.size(), std::size_t(kExportColumnCount));
        ASSERT_EQ(htmlCells.size(), std::size_t(kExportColumnCount));
        const int shownColumns[] = {kColIndex,  kColName,  kColVideoPID, kColAudioPID, kColPCRPID,  kColServiceId,
                                    kColPmtPID, kColGenre, kColLock,     kColSkip,     kColNetwork, kColProvider};
        for (int col = 0; col < kExpFrequency; ++col) {
            EXPECT_EQ(latin1(record[std::size_t(col)]), f.Cell(shownColumns[col], row)) << row << ' ' << col;
            EXPECT_EQ(latin1(htmlCells[std::size_t(col)]), f.Cell(shownColumns[col], row)) << row << ' ' << col;
        }
        const TTSItem* ts = f.doc->StreamOf(std::stoi(f.Cell(kColRI, row)));
        ASSERT_NE(ts, nullptr);
        EXPECT_EQ(record[kExpFrequency], std::to_string(ts->SATTSInfo.dwFrequency));
        EXPECT_EQ(htmlCells[kExpFrequency], record[kExpFrequency]);
    }
}

// The names of the services in table order.
std::vector<std::string> TableNames(const TChannelDatabase& db)
{
    std::vector<std::string> names;
    for (int r = 0; r < db.ServiceInfo.Count(); ++r)
        names.push_back(db.ServiceInfo.pServiceInfo[std::size_t(r)].szServiceName);
    return names;
}

// The names the favorite lists name, list by list.
std::vector<std::vector<std::string>> FavoriteNames(const TChannelDatabase& db, uint8_t flashType)
{
    const TServiceNumbering numbering(db, NumberingOf(db, flashType));
    std::vector<std::vector<std::string>> lists;
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l) {
            std::vector<std::string> names;
            for (int k = 0; k < db.FavoriteInfo[g][l].wIndexNum; ++k) {
                const int r = numbering.ServiceOfKey(g, db.FavoriteInfo[g][l].Index[std::size_t(k)]);
                names.push_back(r < 0 ? "?" : db.ServiceInfo.pServiceInfo[std::size_t(r)].szServiceName);
            }
            lists.push_back(names);
        }
    return lists;
}

struct OrderCase {
    uint8_t flashType;
    std::vector<std::string> expected;
};

class ServiceOrderImport : public ::testing::TestWithParam<OrderCase> {};

TEST_P(ServiceOrderImport, FollowsTheFileKeepsFavoritesAndReportsUnmatchedRows)
{
    const OrderCase& c = GetParam();
    DocumentFixture f(c.flashType);
    const int net = f.AddNetwork("Net");
    const int low = f.AddTS(0, net, 11000);
    const int high = f.AddTS(0, net, 12000);
    const int alpha = f.AddService(kServiceTypeTV, "Alpha", low);
    const int bravo = f.AddService(kServiceTypeTV, "Bravo", low);
    f.AddService(kServiceTypeRadio, "Radio One", high);
    const int charlie = f.AddService(kServiceTypeTV, "Charlie", high, -1, 7);  // fixed number 7 under fixed numbering
    f.AddService(kServiceTypeTV, "Delta", high);
    const int radioTwo = f.AddService(kServiceTypeRadio, "Radio Two", high);
    const int echo = f.AddService(kServiceTypeTV, "Echo", low);
    const int foxtrot = f.AddService(kServiceTypeTV, "Fox\xE9", high);
    const TServiceNumbering keys(f.db(), NumberingOf(f.db(), c.flashType));
    for (const int r : {foxtrot, charlie, alpha})
        f.AddFavorite(kServiceTypeTV, 0, keys.KeyOf(r));
    f.AddFavorite(kServiceTypeTV, 1, keys.KeyOf(echo));
    f.AddFavorite(kServiceTypeRadio, 0, keys.KeyOf(radioTwo));
    f.doc->LoadTreeValue();
    const auto favoritesBefore = FavoriteNames(f.db(), c.flashType);
    ASSERT_EQ(favoritesBefore[0], (std::vector<std::string>{"Fox\xE9", "Charlie", "Alpha"}));
    const TChannelDatabase before = f.db();

    // Columns in an order of their own; rows matched by stream and id, by name, or not at all.
    const std::string csv = "Service Name,Frequency,Service ID\r\n"
                            "Charlie,12000," +
                            std::to_string(400 + charlie) +
                            "\r\n"
                            "Echo,11000," +
                            std::to_string(400 + echo) +
                            "\r\n"
                            "Ghost,11000,999\r\n"
                            "Delta,,\r\n"
                            "\"Bravo\",99999," +
                            std::to_string(400 + bravo) +
                            "\r\n"
                            "Nowhere,,\n";
    const Result<TOrderImportReport> imported = ImportServiceOrder(*f.doc, csv);
    ASSERT_TRUE(imported) << imported.message();
    const TOrderImportReport& report = imported.value();

    EXPECT_EQ(TableNames(f.db()), c.expected);
    EXPECT_EQ(report.Matched, 4);
    EXPECT_EQ(report.Unmatched,
              (std::vector<std::string>{"line 4: Ghost (frequency 11000, service id 999)", "line 7: Nowhere"}));
    EXPECT_EQ(FavoriteNames(f.db(), c.flashType), favoritesBefore);
    EXPECT_EQ(f.doc->UndoLabel(), "Import Service Order");
    f.doc->Undo();
    EXPECT_TRUE(f.db() == before);
    EXPECT_FALSE(f.doc->CanUndo());

    // A name beyond ISO 8859-1 is refused and changes nothing.
    EXPECT_FALSE(ImportServiceOrder(*f.doc, "Service Name\r\n\xE2\x82\xAC uro\r\n"));
    EXPECT_TRUE(f.db() == before);
    EXPECT_FALSE(f.doc->CanUndo());
}

INSTANTIATE_TEST_SUITE_P(
    FlashTypes, ServiceOrderImport,
    ::testing::Values(
        // Ordinary numbering: every TV service follows the file, the rest after it; radio keeps its slots.
        OrderCase{0, {"Charlie", "Echo", "Radio One", "Delta", "Bravo", "Radio Two", "Alpha", "Fox\xE9"}},
        // Fixed numbering: Charlie (number 7) keeps its slot, the others follow the file around it.
        OrderCase{4, {"Echo", "Delta", "Radio One", "Charlie", "Bravo", "Radio Two", "Alpha", "Fox\xE9"}}));

TEST(ServiceOrderImportRows, TrimsNamesRefusesRowsThatAreNotTextAndTellsNamelessRowsByTheirFields)
{
    DocumentFixture f(0);
    const int ts = f.AddTS(0, f.AddNetwork("Net"), 11000);
    f.AddService(kServiceTypeTV, "Alpha", ts);
    f.AddService(kServiceTypeTV, "Fox\xE9 ", ts);  // the blank the name rule adds after an extended byte
    f.doc->LoadTreeValue();
    const TChannelDatabase before = f.db();

    // Junk bytes in a number column refuse the file, naming the line; nothing changes.
    const Result<TOrderImportReport> junk =
        ImportServiceOrder(*f.doc, "Frequency,Service ID,Service Name\r\n11000,1,Alpha\r\n1\xFF\x01,2,\r\n");
    EXPECT_FALSE(junk) << "a row that is not text was taken";
    EXPECT_EQ(junk.message(), "line 3: the row is not UTF-8 text");
    EXPECT_TRUE(f.db() == before);

    const Result<TOrderImportReport> imported =
        ImportServiceOrder(*f.doc, "Frequency,Service ID,Service Name\r\n99999,77,\r\n11000,5, Fox\xC3\xA9\r\n");
    ASSERT_TRUE(imported) << imported.message();
    const TOrderImportReport& report = imported.value();
    EXPECT_EQ(report.Matched, 1);
    EXPECT_EQ(report.Unmatched, (std::vector<std::string>{"line 2: 99999, 77"}));
    EXPECT_EQ(TableNames(f.db()), (std::vector<std::string>{"Fox\xE9 ", "Alpha"}));
}

// A file either import refuses comes back as a failure naming the fault and
// its line, with the tables and the history untouched.
TEST(ServiceOrderImportRows, RefusedFilesComeBackAsFailuresWithTheirReasons)
{
    DocumentFixture f(0);
    f.AddService(kServiceTypeTV, "Alpha", f.AddTS(0, f.AddNetwork("Net"), 11000));
    f.doc->LoadTreeValue();
    const TChannelDatabase before = f.db();
    const struct {
        bool names;
        std::string csv, reason;
    } cases[] = {
        {false, "", "the file is empty"},
        {false, "Name\r\nAlpha\r\n",
         "the header row names neither \"Frequency\" and \"Service ID\" nor \"Service Name\" columns"},
        {true, "Service Name\r\nAlpha\r\n",
         "the header row names no \"Frequency\", \"Service ID\" and \"Service Name\" columns"},
        {false, "Service Name\r\n\"Alpha\r\n", "line 2: a quoted field is never closed"},
        {true, "Frequency,Service ID,Service Name\r\n11000,1,\"Alpha\"x\r\n", "line 2: text follows a quoted field"},
        {false, "Service Name\r\n\xE2\x82\xAC\r\n",
         "line 2: \"\xE2\x82\xAC\" holds a character that names cannot hold (beyond ISO 8859-1)"},
        {true, "Frequency,Service ID,Service Name\r\n11000,1,\xC3\r\n", "line 2: the row is not UTF-8 text"},
    };
    for (const auto& c : cases) {
        const Result<TOrderImportReport> imported =
            c.names ? ImportServiceNames(*f.doc, c.csv) : ImportServiceOrder(*f.doc, c.csv);
        EXPECT_FALSE(imported) << c.reason;
        EXPECT_EQ(imported.message(), c.reason);
        EXPECT_TRUE(f.db() == before) << c.reason;
        EXPECT_FALSE(f.doc->CanUndo()) << c.reason;
    }
}

TEST(ServiceMove, UnderFixedNumberingFixedServicesKeepTheirPlaces)
{
    DocumentFixture f(4);
    const int net = f.AddNetwork("Net");
    const int ts = f.AddTS(0, net);
    f.AddService(kServiceTypeTV, "Auto A", ts);
    f.AddService(kServiceTypeTV, "Fixed", ts, -1, 7);
    f.AddService(kServiceTypeTV, "Auto C", ts);
    f.AddService(kServiceTypeTV, "Auto D", ts);
    f.doc->LoadTreeValue();

    // The first row moves down one place among the movable rows: over "Fixed".
    f.doc->SG.SetSelection(1, 1);
    EXPECT_TRUE(MoveSelectedRowsBy(*f.doc, 1));
    EXPECT_EQ(TableNames(f.db()), (std::vector<std::string>{"Auto C", "Fixed", "Auto A", "Auto D"}));
    EXPECT_EQ(f.doc->SG.Selection().Top, 3);
    EXPECT_EQ(f.doc->UndoLabel(), "Move 1 service");

    // A selection holding the fixed-numbered service is refused and changes nothing.
    const TChannelDatabase before = f.db();
    f.doc->SG.SetSelection(1, 2);
    EXPECT_FALSE(MoveSelectedRows(*f.doc, 5));
    EXPECT_TRUE(f.db() == before);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.doc->History().UndoSteps(), 1u);
}

}  // namespace
}  // namespace lumora
