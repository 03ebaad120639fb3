// Favorite entries name services indirectly (ordinal, or OP number - 1 under
// fixed numbering). Whatever happens to the service table, every entry must
// keep naming the service it named, and entries of deleted services must go.
// Random tables, lists and command sequences, checked against a resolver
// written independently of the document's own. Undo and redo, mixed in at
// random, must give back exactly the data before and after each edit, and the
// document counts as modified exactly when its file text differs from the
// text last saved.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "interchange.h"
#include "scripted_ui.h"
#include "service_table_ops.h"

namespace lumora::test {
namespace {

// The service that favorite value v of group g names, by the definition of an
// entry; -1 when none.
int ResolveByDefinition(const TChannelDatabase& db, uint8_t flashType, int g, int32_t v)
{
    const int base = flashType == 3 ? 1000 : 101;
    int ordinal = 0, automatic = 0;
    for (int r = 0; r < db.ServiceInfo.Count(); ++r) {
        const TServiceItem& s = db.ServiceInfo.pServiceInfo[std::size_t(r)];
        if (s.ServiceType != g)
            continue;
        int32_t key = ordinal++;
        if (db.pFixServiceIndex)
            key = (s.wServiceNumber != 0 ? s.wServiceNumber : base + automatic) - 1;
        if (s.wServiceNumber == 0)
            ++automatic;
        if (key == v)
            return r;
    }
    return -1;
}

// Per list: the names of the services its entries name, in list order.
using Snapshot = std::vector<std::vector<std::string>>;

Snapshot Resolve(const TChannelDatabase& db, uint8_t flashType)
{
    Snapshot lists;
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l) {
            std::vector<std::string> names;
            const TFavoriteItem& list = db.FavoriteInfo[g][l];
            for (int k = 0; k < list.wIndexNum; ++k)
                if (int r = ResolveByDefinition(db, flashType, g, list.Index[std::size_t(k)]); r >= 0)
                    names.push_back(db.ServiceInfo.pServiceInfo[std::size_t(r)].szServiceName);
            lists.push_back(names);
        }
    return lists;
}

std::set<std::string> ServiceNames(const TChannelDatabase& db)
{
    std::set<std::string> names;
    for (int r = 0; r < db.ServiceInfo.Count(); ++r)
        names.insert(db.ServiceInfo.pServiceInfo[std::size_t(r)].szServiceName);
    return names;
}

void ExpectCountsTrue(const TChannelDatabase& db)
{
    int tv = 0, radio = 0;
    for (int r = 0; r < db.ServiceInfo.Count(); ++r)
        (db.ServiceInfo.pServiceInfo[std::size_t(r)].ServiceType == kServiceTypeTV ? tv : radio)++;
    EXPECT_EQ(db.ServiceInfo.wTVNum, tv);
    EXPECT_EQ(db.ServiceInfo.wRadioNum, radio);
}

void ExpectNoDuplicateValues(const TChannelDatabase& db)
{
    for (const auto& group : db.FavoriteInfo)
        for (const TFavoriteItem& list : group) {
            std::set<int32_t> values(list.Index.begin(), list.Index.begin() + list.wIndexNum);
            EXPECT_EQ(int(values.size()), list.wIndexNum);
        }
}

class RandomSession {
public:
    RandomSession(uint8_t flashType, unsigned seed) : f_(flashType), flashType_(flashType), random_(seed) {}

    void Build()
    {
        for (int t = 0; t < 3; ++t)
            f_.AddTS(0, -1);
        const int n = Pick(0, 50);
        std::set<int> usedNumbers[2];
        const int fixedLimit = flashType_ == 3 ? 999 : 100;
        for (int i = 0; i < n; ++i) {
            const uint8_t type = uint8_t(Pick(0, 1));
            uint16_t number = 0;
            if (f_.db().pFixServiceIndex && Pick(0, 3) == 0) {
                number = uint16_t(Pick(1, fixedLimit));
                if (!usedNumbers[type].insert(number).second)
                    number = 0;  // fixed numbers are unique within a type
            }
            f_.AddService(type, NewName(), Pick(0, 2), -1, number);
        }
        for (int g = 0; g < kFavoriteGroups; ++g)
            for (int l = 0; l < kFavoriteLists; ++l)
                FillList(g, l);
        f_.doc->LoadTreeValue();
        Save();
        timeline_.push_back(f_.db());
    }

    void RunStep()
    {
        const int choice = Pick(0, 9);
        if (choice < 2 && f_.doc->CanUndo())
            StepThroughHistory(true);
        else if (choice < 3 && f_.doc->CanRedo())
            StepThroughHistory(false);
        else if (choice < 4)
            Save();
        else
            RunCheckedCommand();
        EXPECT_EQ(f_.doc->pModifiedFlag(), FileText() != savedText_);
    }

private:
    void Save()
    {
        f_.doc->MarkSaved();
        savedText_ = FileText();
    }

    std::string FileText() { return WriteInterchange(f_.db(), {.substituteUserDateAndPin = false}); }

    bool SameData(const TChannelDatabase& expected) { return expected == f_.db(); }

    void StepThroughHistory(bool undo)
    {
        SCOPED_TRACE(undo ? "undo " + f_.doc->UndoLabel() : "redo " + f_.doc->RedoLabel());
        ShowRandomView();
        SelectRandomRows();
        const uint8_t shownType = f_.doc->DisplayMode();
        undo ? f_.doc->Undo() : f_.doc->Redo();
        position_ += undo ? -1 : 1;
        EXPECT_TRUE(SameData(timeline_[position_]));
        EXPECT_EQ(f_.doc->DisplayMode(), shownType);  // TV/RADIO is the view's, not the edit's
        ExpectTypedRowsShowTheirServices();
    }

    // Each grid row's typed row names the service whose (unique) name the
    // row's cell shows; a row that shows no service has none.
    void ExpectTypedRowsShowTheirServices()
    {
        const ChannelDocument& doc = *f_.doc;
        for (int row = 1; row < doc.SG.RowCount(); ++row) {
            const int32_t r = doc.RowService(row);
            EXPECT_EQ(doc.SG.Cell(kColName, row), r < 0 ? std::string() : doc.Service(r).szServiceName)
                << "row " << row;
        }
    }

    void RunCheckedCommand()
    {
        TChannelDatabase& db = f_.db();
        const Snapshot before = Resolve(db, flashType_);
        const std::string what = RunRandomCommand();
        SCOPED_TRACE(what);
        // A command that changed the data is one new step; one that did not
        // leaves the history alone.
        if (!SameData(timeline_[position_])) {
            timeline_.resize(position_ + 1);
            timeline_.push_back(db);
            ++position_;
        }
        EXPECT_EQ(f_.doc->History().UndoSteps(), position_);

        const std::set<std::string> namesAfter = ServiceNames(db);
        const Snapshot after = Resolve(db, flashType_);
        for (std::size_t list = 0; list < before.size(); ++list) {
            std::vector<std::string> expected;
            for (const std::string& name : before[list])
                if (namesAfter.count(name))
                    expected.push_back(name);
            // Adding favorites appends; every other command only drops.
            std::vector<std::string> kept = after[list];
            if (what == "add favorites" && kept.size() > expected.size())
                kept.resize(expected.size());
            EXPECT_EQ(kept, expected) << "list " << list;
        }
        ExpectCountsTrue(db);
        ExpectNoDuplicateValues(db);
        ExpectTypedRowsShowTheirServices();
    }

    int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    std::string NewName() { return "S" + std::to_string(nextName_++); }

    void FillList(int g, int l)
    {
        TChannelDatabase& db = f_.db();
        std::vector<int32_t> values;
        const TServiceNumbering keys(db, NumberingOf(db, flashType_));
        for (int r = 0; r < db.ServiceInfo.Count(); ++r) {
            if (db.ServiceInfo.pServiceInfo[std::size_t(r)].ServiceType != g || Pick(0, 2) != 0)
                continue;
            values.push_back(keys.KeyOf(r));
        }
        if (Pick(0, 3) == 0)
            values.push_back(9000 + g);  // an entry that names no service
        std::shuffle(values.begin(), values.end(), random_);
        for (int32_t v : values)
            f_.AddFavorite(g, l, v);
    }

    int DataRows() const { return f_.doc->SG.Cell(kColIndex, 1).empty() ? 0 : f_.doc->SG.RowCount() - 1; }

    void SelectRandomRows()
    {
        const int rows = DataRows();
        const int top = Pick(1, std::max(rows, 1));
        f_.doc->SG.SetCurrent(Pick(1, 12), top);
        f_.doc->SG.SetSelection(top, Pick(top, std::max(rows, top)));
    }

    void ShowRandomView()
    {
        f_.doc->FR1Click(Pick(0, 1) == 0);
        if (Pick(0, 2) == 0 && f_.db().TSInfo.wTSNum > 0)
            f_.Select(MakeTag(kKindTS, uint32_t(Pick(0, f_.db().TSInfo.wTSNum - 1))));
        else
            f_.doc->SelectNode(f_.doc->Tree1.FindRoot("All Service"));
    }

    // Fresh names, and no fixed numbers: a pasted copy must not share a
    // number (or a name) with the service it was copied from.
    void RenameClipboard()
    {
        TBufServiceInfo& clipboard = f_.app->ServiceClipboard;
        for (int k = 0; k < clipboard.wServiceNum; ++k) {
            clipboard.ServiceInfo[std::size_t(k)].szServiceName = NewName();
            clipboard.ServiceInfo[std::size_t(k)].wServiceNumber = 0;
            if (Pick(0, 3) == 0)
                clipboard.ServiceInfo[std::size_t(k)].ServiceType = uint8_t(Pick(0, 1));
        }
    }

    std::string RunRandomCommand()
    {
        ShowRandomView();
        SelectRandomRows();
        ChannelDocument& doc = *f_.doc;
        switch (Pick(0, 11)) {
        case 0: doc.DeleteInformation2Click(); return "delete rows";
        case 1: doc.Cut1Click(); return "cut";
        case 2: {
            doc.Copy1Click();
            RenameClipboard();
            doc.SelectNode(doc.Tree1.FindRoot("All Service"));
            SelectRandomRows();
            doc.Paste1Click();
            return "copy and paste";
        }
        case 3:
            if (doc.Database().TSInfo.wTSNum > 0) {
                f_.Select(MakeTag(kKindTS, uint32_t(Pick(0, doc.Database().TSInfo.wTSNum - 1))));
                doc.AddInformation2Click();
            }
            return "add a service to a stream";
        case 4:
            doc.SwapRealIndex(Pick(1, std::max(DataRows(), 1)), Pick(1, std::max(DataRows(), 1)));
            return "swap rows";
        case 5:
            if (Pick(0, 1) == 0)
                doc.BtnSortAClick();
            else
                doc.BtnSortZClick();
            return "sort by column " + std::to_string(doc.SG.Col());
        case 6:
            if (doc.Database().TSInfo.wTSNum > 1)
                doc.DeleteTS(Pick(0, doc.Database().TSInfo.wTSNum - 1));
            return "delete stream";
        case 7: {
            const int row = Pick(1, std::max(DataRows(), 1));
            doc.SG.SetCell(kColVideoPID, row, std::to_string(Pick(0, 8191)));
            doc.SGSetEditText(kColVideoPID, row, doc.SG.Cell(kColVideoPID, row));
            return "edit a video PID";
        }
        case 8:
            doc.MyTSClick("A" + std::to_string(Pick(0, std::max(doc.Database().TSInfo.wTSNum - 1, 0))));
            return "move rows to another stream";
        case 9: {
            TMenuDialogResult menu{doc.Database().MenuConfigItem, {"English", "German", "French"}};
            menu.Item.nPINCode = int16_t(Pick(0, 9999));
            f_.ui.menuAnswer = menu;
            doc.FlatButton2Click();
            return "change menu data";
        }
        case 10: {
            f_.doc->SelectNode(f_.doc->Tree1.FindRoot(Pick(0, 1) ? "Network" : "Provider"));
            doc.AddInformation1Click();
            return "add a network or provider";
        }
        default: {
            std::vector<TServiceChoice> chosen;
            for (int k = Pick(0, 4); k > 0; --k) {
                const int r = Pick(0, std::max(doc.ServiceCount() - 1, 0));
                chosen.push_back({int32_t(ResolveKey(r)), r});
            }
            f_.ui.selectionAnswer = chosen;
            f_.Select(MakeTag(kKindFavorite, uint32_t(Pick(0, kFavoriteLists - 1))));
            doc.AddInformation2Click();
            return "add favorites";
        }
        }
    }

    // The number the selection dialog shows for service r, as it hands it back.
    int32_t ResolveKey(int r) { return TServiceNumbering(f_.db(), NumberingOf(f_.db(), flashType_)).KeyOf(r); }

    DocumentFixture f_;
    uint8_t flashType_;
    std::mt19937 random_;
    int nextName_ = 0;
    std::vector<TChannelDatabase> timeline_;  // the data after each edit still in the history
    std::size_t position_ = 0;  // the current one
    std::string savedText_;
};

class FavoriteInvariant : public ::testing::TestWithParam<uint8_t> {};

TEST_P(FavoriteInvariant, EntriesKeepNamingTheirServicesThroughRandomCommands)
{
    for (unsigned seed = 1; seed <= 60; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        RandomSession session(GetParam(), seed);
        session.Build();
        for (int step = 0; step < 12; ++step) {
            session.RunStep();
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

// 0: ordinary numbering; 3 and 4: fixed numbering with automatic numbers
// from 1000 and from 101.
INSTANTIATE_TEST_SUITE_P(Numberings, FavoriteInvariant, ::testing::Values(uint8_t(0), uint8_t(3), uint8_t(4)));

TEST(FavoriteInvariantEdges, EntryWhoseNumberIsTakenByAnEarlierServiceIsDropped)
{
    // Fixed numbering: "late" carries the fixed number 103, which is also the
    // automatic number of the third automatic service. Deleting the first
    // service gives "third" automatic number 102 and "fourth" 103: "fourth"
    // can no longer be named apart from "late", which comes first.
    DocumentFixture f(4);
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "late", 0, -1, 103);
    f.AddService(kServiceTypeTV, "first");
    f.AddService(kServiceTypeTV, "second");
    f.AddService(kServiceTypeTV, "third");
    f.AddService(kServiceTypeTV, "fourth");
    f.AddFavorite(0, 0, 103);  // fourth: OP 104
    f.AddFavorite(0, 0, 101);  // second: OP 102
    DeleteServices(f.db(), NumberingOf(f.db(), 4), {1});
    const TFavoriteItem& list = f.db().FavoriteInfo[0][0];
    ASSERT_EQ(list.wIndexNum, 1);
    EXPECT_EQ(list.Index[0], 100);  // second is now OP 101
}

TEST(FavoriteInvariantEdges, EntryNamingNothingStaysUnlessItWouldNameAService)
{
    DocumentFixture f(4);
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "a");
    f.AddService(kServiceTypeTV, "b");
    f.AddFavorite(0, 0, 101);  // b
    f.AddFavorite(0, 0, 500);  // nothing
    f.AddFavorite(0, 1, 102);  // nothing now, OP 103 once a service is added
    TServiceItem item{};
    item.szServiceName = "c";
    InsertServices(f.db(), NumberingOf(f.db(), 4), 0, std::span<const TServiceItem>(&item, 1));
    const TFavoriteItem& a = f.db().FavoriteInfo[0][0];
    ASSERT_EQ(a.wIndexNum, 2);
    EXPECT_EQ(a.Index[0], 102);
    EXPECT_EQ(a.Index[1], 500);
    EXPECT_EQ(f.db().FavoriteInfo[0][1].wIndexNum, 0);
}

TEST(FavoriteInvariantEdges, ExchangeAcrossAFixedNumberInTheAutomaticRange)
{
    // "fixed" shows 150, which counts as automatic, so it may be exchanged; the
    // automatic numbers of the services between the two slots then change.
    DocumentFixture f(4);
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "fixed", 0, -1, 150);
    f.AddService(kServiceTypeTV, "x");  // OP 101
    f.AddService(kServiceTypeTV, "y");  // OP 102
    f.AddFavorite(0, 0, 101);  // y
    f.AddFavorite(0, 0, 149);  // fixed
    f.doc->LoadTreeValue();
    f.doc->SwapRealIndex(1, 3);  // fixed <-> y
    EXPECT_EQ(f.db().ServiceInfo.pServiceInfo[0].szServiceName, "y");
    EXPECT_EQ(Resolve(f.db(), 4)[0], (std::vector<std::string>{"y", "fixed"}));
}

}  // namespace
}  // namespace lumora::test
