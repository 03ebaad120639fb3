// The grid's service menu: adding, deleting, favorites, cut, copy and paste
// through the application-wide clipboard, and the download check.
#include <gtest/gtest.h>

#include "scripted_ui.h"

namespace lumora::test {
namespace {

std::vector<int32_t> List(DocumentFixture& f, int group, int list)
{
    const TFavoriteItem& item = f.db().FavoriteInfo[group][list];
    return {item.Index.begin(), item.Index.begin() + item.wIndexNum};
}

std::vector<std::string> Names(DocumentFixture& f)
{
    std::vector<std::string> names;
    for (int r = 0; r < f.db().ServiceInfo.Count(); ++r)
        names.push_back(f.db().ServiceInfo.pServiceInfo[std::size_t(r)].szServiceName);
    return names;
}

// TV services T0..T(n-1) on stream 0, "All Service" shown.
void AddTV(DocumentFixture& f, int n)
{
    f.AddTS(0, -1);
    for (int i = 0; i < n; ++i)
        f.AddService(kServiceTypeTV, "T" + std::to_string(i));
}

void DeleteRows(DocumentFixture& f, int top, int bottom)
{
    f.doc->SG.SetSelection(top, bottom);
    f.doc->DeleteInformation2Click();
}

TEST(DocumentServiceDelete, FavoriteEntriesFollowOrdinalNumbering)
{
    for (int deleted : {3, 0}) {
        DocumentFixture f;
        AddTV(f, 5);
        for (int v : {1, 3, 4})
            f.AddFavorite(0, 0, v);
        f.doc->LoadTreeValue();
        DeleteRows(f, deleted + 1, deleted + 1);
        EXPECT_EQ(List(f, 0, 0), deleted == 3 ? (std::vector<int32_t>{1, 3}) : (std::vector<int32_t>{0, 2, 3}));
        EXPECT_EQ(f.db().ServiceInfo.wTVNum, 4);
        EXPECT_TRUE(f.doc->pModifiedFlag());
    }
}

TEST(DocumentServiceDelete, RowsOfAStreamViewKeepOtherServices)
{
    DocumentFixture f;
    f.AddTS(0, -1);
    f.AddTS(0, -1);
    for (int i = 0; i < 8; ++i)
        f.AddService(kServiceTypeTV, "S" + std::to_string(i), i % 2);
    f.doc->LoadTreeValue();
    f.Select(0x5000001);
    EXPECT_EQ(f.Column(kColRI), (std::vector<std::string>{"1", "3", "5", "7"}));
    DeleteRows(f, 3, 4);  // real indices 5 and 7
    EXPECT_EQ(Names(f), (std::vector<std::string>{"S0", "S1", "S2", "S3", "S4", "S6"}));
}

TEST(DocumentServiceDelete, RowsOfAFavoriteViewLeaveAllFourListsButStayInTheTable)
{
    DocumentFixture f;
    AddTV(f, 4);
    f.AddService(kServiceTypeRadio, "R0");
    for (int l = 0; l < 4; ++l)
        for (int v : {2, 0})
            f.AddFavorite(0, l, v);
    f.AddFavorite(1, 1, 0);
    f.AddFavorite(0, 3, 3);
    f.doc->LoadTreeValue();
    f.Select(0x7000001);
    EXPECT_EQ(f.Column(kColRI), (std::vector<std::string>{"2", "0"}));
    DeleteRows(f, 1, 1);
    for (int l = 0; l < 3; ++l)
        EXPECT_EQ(List(f, 0, l), std::vector<int32_t>{0});
    EXPECT_EQ(List(f, 0, 3), (std::vector<int32_t>{0, 3}));
    EXPECT_EQ(List(f, 1, 1), std::vector<int32_t>{0});
    EXPECT_EQ(f.db().ServiceInfo.Count(), 5);
}

TEST(DocumentServiceDelete, FavoriteViewRowOfAnEntryWithoutServiceRemovesThatEntryOnly)
{
    DocumentFixture f(4);  // fixed numbering: entries are OP numbers - 1
    AddTV(f, 2);  // OP 101, 102
    f.AddFavorite(0, 0, 100);
    f.AddFavorite(0, 0, 500);  // names no service: shown as the first service
    f.AddFavorite(0, 1, 100);
    f.doc->LoadTreeValue();
    f.Select(0x7000000);
    DeleteRows(f, 2, 2);
    EXPECT_EQ(List(f, 0, 0), std::vector<int32_t>{100});
    EXPECT_EQ(List(f, 0, 1), std::vector<int32_t>{100});
}

TEST(DocumentServiceAdd, StreamNodeAppendsAnEmptyServiceOfTheShownType)
{
    DocumentFixture f;
    f.AddTS(0, -1);
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "T0");
    f.AddFavorite(1, 0, 0);
    f.doc->LoadTreeValue();
    f.doc->FR1Click(false);
    f.Select(0x5000001);
    f.doc->AddInformation2Click();
    const TServiceInfo& s = f.db().ServiceInfo;
    ASSERT_EQ(s.Count(), 2);
    EXPECT_EQ(s.wRadioNum, 1);
    const TServiceItem& added = s.pServiceInfo[1];
    EXPECT_EQ(added.ServiceType, kServiceTypeRadio);
    EXPECT_EQ(added.pTSIndex, 1);
    EXPECT_EQ(added.pProviderIndex, -1);
    EXPECT_EQ(added.wVideoPID, 0);
    EXPECT_EQ(added.szServiceName, "");
    // An entry that named no service does not start naming the new one.
    EXPECT_EQ(List(f, 1, 0), std::vector<int32_t>{1});
    EXPECT_EQ(f.Column(kColRI), std::vector<std::string>{"1"});
}

TEST(DocumentServiceAdd, RefusalsCarryTheirTexts)
{
    DocumentFixture f;
    f.AddTS(0, -1);
    f.doc->LoadTreeValue();
    f.doc->SelectNode(f.doc->Tree1.FindRoot("All Service"));
    f.doc->AddInformation2Click();
    f.Select(0x6000003);
    f.doc->AddInformation2Click();
    f.doc->FR1Click(false);
    f.Select(0x7000000);
    f.doc->AddInformation2Click();
    f.db().ServiceInfo.wTVNum = kServiceCapacity;
    f.Select(0x5000000);
    f.doc->AddInformation2Click();

    ASSERT_EQ(f.ui.messages.size(), 4u);
    EXPECT_EQ(f.ui.messages[0].kind, MsgKind::Error);
    EXPECT_EQ(f.ui.messages[0].text, "This operation running in TS, GENRE, FAVORITE node");
    EXPECT_EQ(f.ui.messages[1].kind, MsgKind::Warning);
    EXPECT_EQ(f.ui.messages[1].text, "No TV Service..");
    EXPECT_EQ(f.ui.messages[2].text, "No Radio Service..");
    EXPECT_EQ(f.ui.messages[3].kind, MsgKind::Information);
    EXPECT_EQ(f.ui.messages[3].text, "Can't add a service any more!");
    EXPECT_EQ(f.db().ServiceInfo.Count(), kServiceCapacity);
}

void Choose(DocumentFixture& f, std::vector<std::pair<int32_t, int32_t>> numberAndIndex)
{
    std::vector<TServiceChoice> chosen;
    for (auto [number, index] : numberAndIndex)
        chosen.push_back({number, index});
    f.ui.selectionAnswer = chosen;
}

TEST(DocumentServiceAdd, FavoriteListTakesOrdinalsSkipsDuplicatesAndStopsAtOneHundred)
{
    DocumentFixture f;
    f.AddTS(0, -1);
    f.AddService(kServiceTypeRadio, "R0");
    for (int i = 0; i < 4; ++i)
        f.AddService(kServiceTypeTV, "T" + std::to_string(i));
    f.doc->LoadTreeValue();
    f.Select(0x7000002);
    Choose(f, {{2, 2}, {3, 3}, {2, 2}});  // numbers shown 2 and 3: T1 and T2
    f.doc->AddInformation2Click();
    EXPECT_EQ(List(f, 0, 2), (std::vector<int32_t>{1, 2}));
    EXPECT_TRUE(f.ui.messages.empty());

    f.db().FavoriteInfo[0][2].wIndexNum = 0;
    for (int v = 10; v < 109; ++v)
        f.AddFavorite(0, 2, v);
    Choose(f, {{1, 1}, {2, 2}, {3, 3}});
    f.doc->AddInformation2Click();
    EXPECT_EQ(f.db().FavoriteInfo[0][2].wIndexNum, 100);
    EXPECT_EQ(f.db().FavoriteInfo[0][2].Index[99], 0);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].kind, MsgKind::Information);
    EXPECT_EQ(f.ui.messages[0].text, "Can't add a favorite any more!");

    f.Select(0x6000005);  // a genre: the chosen services take it
    Choose(f, {{4, 4}, {1, 1}});
    f.doc->AddInformation2Click();
    EXPECT_EQ(f.Column(kColRI), (std::vector<std::string>{"1", "4"}));
}

TEST(DocumentClipboard, CutTwoAndPasteOnTheFirstRowReversesThem)
{
    DocumentFixture f;
    AddTV(f, 5);
    f.doc->LoadTreeValue();
    f.doc->SG.SetSelection(3, 4);  // T2, T3
    f.doc->Cut1Click();
    EXPECT_EQ(Names(f), (std::vector<std::string>{"T0", "T1", "T4"}));
    EXPECT_EQ(f.app->ServiceClipboard.wServiceNum, 2);

    f.doc->SG.SetSelection(1, 1);
    f.doc->SG.SetCurrent(1, 1);
    f.doc->Paste1Click();
    EXPECT_EQ(Names(f), (std::vector<std::string>{"T3", "T2", "T0", "T1", "T4"}));
    EXPECT_EQ(f.db().ServiceInfo.wTVNum, 5);
}

TEST(DocumentClipboard, ClipboardOutlivesTheDocumentAndKeepsIndices)
{
    DocumentFixture source;
    source.AddTS(0, -1);
    source.AddService(kServiceTypeTV, "far", 700, 300);
    source.doc->LoadTreeValue();
    source.doc->Copy1Click();

    TApplicationState& app = *source.app;
    ScriptedUi ui;
    {
        ChannelDocument target(app, ui);
        target.InitAllData();
        target.Database().TSInfo.wTSNum = 1;
        target.LoadTreeValue();
        source.doc.reset();  // the source window is closed
        target.Paste1Click();
        ASSERT_EQ(target.Database().ServiceInfo.Count(), 1);
        EXPECT_EQ(target.Database().ServiceInfo.pServiceInfo[0].pTSIndex, 700);
        EXPECT_EQ(target.Database().ServiceInfo.pServiceInfo[0].pProviderIndex, 300);
        // Indices outside the tables show as empty cells.
        EXPECT_EQ(target.SG.Cell(kColName, 1), "far");
        EXPECT_EQ(target.SG.Cell(kColProvider, 1), "");
    }
}

TEST(DocumentClipboard, PasteRefusalsAndEmptyClipboard)
{
    DocumentFixture f;
    f.doc->LoadTreeValue();
    f.doc->Paste1Click();  // nothing copied yet
    EXPECT_EQ(f.db().ServiceInfo.Count(), 0);
    EXPECT_FALSE(f.doc->pModifiedFlag());  // nothing changed
    EXPECT_FALSE(f.doc->CanUndo());
    EXPECT_TRUE(f.ui.messages.empty());

    f.app->ServiceClipboard.wServiceNum = 3;
    for (int k = 0; k < 3; ++k) {
        f.app->ServiceClipboard.ServiceInfo[std::size_t(k)] = TServiceItem{};
        f.app->ServiceClipboard.ServiceInfo[std::size_t(k)].pTSIndex = k - 1;  // -1, 0, 1
    }
    f.doc->Paste1Click();  // no streams: only the service without one goes in
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].kind, MsgKind::Error);
    EXPECT_EQ(f.ui.messages[0].text, "No TS data..\rPlease Add TS Information first..");
    EXPECT_EQ(f.db().ServiceInfo.Count(), 1);

    f.Select(0x7000000);
    f.doc->Paste1Click();
    EXPECT_EQ(f.ui.messages.back().text, "This operation running in only All Service Mode.");
    const std::size_t before = f.ui.messages.size();
    f.Select(0x6000000);
    f.doc->Paste1Click();
    EXPECT_EQ(f.ui.messages.size(), before);
    EXPECT_EQ(f.db().ServiceInfo.Count(), 1);
}

TEST(DocumentClipboard, PasteStopsAtCapacityAndRaisesTheCountOfEachType)
{
    DocumentFixture f;
    f.AddTS(0, -1);
    f.db().ServiceInfo.wTVNum = kServiceCapacity - 2;  // TV services without names
    f.doc->LoadTreeValue();
    f.app->ServiceClipboard.wServiceNum = 3;
    for (int k = 0; k < 3; ++k) {
        TServiceItem& item = f.app->ServiceClipboard.ServiceInfo[std::size_t(k)];
        item = TServiceItem{};
        item.ServiceType = k == 0 ? kServiceTypeRadio : kServiceTypeTV;
        item.szServiceName = "P" + std::to_string(k);
    }
    f.doc->Paste1Click();
    EXPECT_EQ(f.db().ServiceInfo.Count(), kServiceCapacity);
    EXPECT_EQ(f.db().ServiceInfo.wRadioNum, 1);  // the radio service, though TV is shown
    EXPECT_EQ(f.db().ServiceInfo.wTVNum, kServiceCapacity - 1);
    EXPECT_EQ(f.db().ServiceInfo.pServiceInfo[0].szServiceName, "P1");
    EXPECT_EQ(f.db().ServiceInfo.pServiceInfo[1].szServiceName, "P0");
    EXPECT_TRUE(f.ui.messages.empty());

    f.doc->Paste1Click();
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text, "Can't add a service any more!");
}

TEST(DocumentDownloadCheck, RefusesWithoutProvidersOrNetworksAndFillsMissingLinks)
{
    DocumentFixture empty;
    EXPECT_TRUE(empty.doc->CheckServiceForDownload());

    DocumentFixture f;
    f.AddNetwork("N");
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "s", 0, -1);
    f.doc->LoadTreeValue();
    f.doc->MarkSaved();
    EXPECT_FALSE(f.doc->CheckServiceForDownload());
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].kind, MsgKind::Information);
    EXPECT_EQ(f.ui.messages[0].text, "No Provider or No Network information. Please insert the information");
    EXPECT_EQ(f.db().ServiceInfo.pServiceInfo[0].pProviderIndex, -1);

    EXPECT_FALSE(f.doc->pModifiedFlag());
    f.AddProvider("P");
    f.doc->MarkSaved();
    EXPECT_TRUE(f.doc->CheckServiceForDownload());
    EXPECT_EQ(f.db().ServiceInfo.pServiceInfo[0].pProviderIndex, 0);
    EXPECT_EQ(f.db().TSInfo.Info[0].pNetworkIndex, 0);
    // The filled-in links are a change like any other: it can be undone.
    EXPECT_TRUE(f.doc->pModifiedFlag());
    EXPECT_EQ(f.doc->UndoLabel(), "Fill In Network and Provider");
    EXPECT_EQ(f.Cell(kColProvider, 1), "P");
}

}  // namespace
}  // namespace lumora::test
