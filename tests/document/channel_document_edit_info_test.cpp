// Editing antennas, transport streams, networks and providers from the tree's
// information menu, and reassigning services through the change submenus.
#include <gtest/gtest.h>

#include "scripted_ui.h"

namespace lumora::test {
namespace {

TTreeNode* Root(ChannelDocument& doc, const std::string& caption) { return doc.Tree1.FindRoot(caption); }

std::vector<std::string> ChildCaptions(const TTreeNode* root)
{
    std::vector<std::string> captions;
    for (const auto& child : root->Children())
        captions.push_back(child->Caption);
    return captions;
}

std::vector<uint32_t> ChildTags(const TTreeNode* root)
{
    std::vector<uint32_t> tags;
    for (const auto& child : root->Children())
        tags.push_back(child->Tag);
    return tags;
}

TEST(DocumentInfoAdd, FirstProviderBecomesSelectedNodeAndSecondDefaultNameIsRefused)
{
    DocumentFixture f;
    f.doc->LoadTreeValue();
    f.doc->SelectNode(Root(*f.doc, "Provider"));
    f.doc->AddInformation1Click();

    TTreeNode* providers = Root(*f.doc, "Provider");
    ASSERT_EQ(providers->ChildCount(), 1);
    EXPECT_EQ(providers->Child(0)->Caption, "(USER PROVIDER)");
    EXPECT_EQ(providers->Child(0)->Tag, 0x3000000u);
    EXPECT_EQ(f.doc->Tree1.Selected(), providers->Child(0));
    EXPECT_EQ(f.doc->Label1Caption, "(USER PROVIDER)");
    EXPECT_EQ(f.db().ProviderInfo.wProviderNum, 1);
    EXPECT_EQ(f.doc->SG.ProviderList, std::vector<std::string>{"(USER PROVIDER)"});
    EXPECT_TRUE(f.doc->pModifiedFlag);

    f.doc->AddInformation1Click();  // the child is selected now
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].kind, MsgKind::Warning);
    EXPECT_EQ(f.ui.messages[0].text,
              "Other (USER PROVIDER) exist.\rPlease change (USER PROVIDER) and retry add function");
    EXPECT_EQ(f.db().ProviderInfo.wProviderNum, 1);
}

TEST(DocumentInfoAdd, NetworkIsAddedAsLastSiblingOfTheSelectedChild)
{
    DocumentFixture f;
    f.AddNetwork("N0");
    f.AddNetwork("N1");
    f.doc->LoadTreeValue();
    f.Select(0x4000000);  // the first child, not the root
    f.doc->AddInformation1Click();
    TTreeNode* networks = Root(*f.doc, "Network");
    EXPECT_EQ(ChildCaptions(networks), (std::vector<std::string>{"N0", "N1", "(USER NETWORK)"}));
    EXPECT_EQ(networks->Child(2)->Tag, 0x4000002u);
    EXPECT_EQ(f.doc->Tree1.Selected(), networks->Child(2));
    EXPECT_EQ(f.doc->SG.NetworkList.back(), "(USER NETWORK)");

    f.doc->AddInformation1Click();
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].text,
              "Other (USER NETWORK) exist.\rPlease change (USER NETWORK) and retry add function");
}

TEST(DocumentInfoAdd, CapacityLimitsAreReportedAndChangeNothingButTheFlag)
{
    DocumentFixture f;
    for (int i = 0; i < kProviderCapacity; ++i)
        f.AddProvider("P" + std::to_string(i));
    for (int i = 0; i < kNetworkCapacity; ++i)
        f.AddNetwork("N" + std::to_string(i));
    f.db().TSInfo.wTSNum = kTSCapacity;
    f.doc->LoadTreeValue();

    f.doc->SelectNode(Root(*f.doc, "Provider"));
    f.doc->AddInformation1Click();
    f.doc->SelectNode(Root(*f.doc, "Network"));
    f.doc->AddInformation1Click();
    f.doc->SelectNode(Root(*f.doc, "Transport Stream"));
    f.doc->AddInformation1Click();

    ASSERT_EQ(f.ui.messages.size(), 3u);
    EXPECT_EQ(f.ui.messages[0].text, "Can't add a provider info any more!");
    EXPECT_EQ(f.ui.messages[1].text, "Can't add a network info any more!");
    EXPECT_EQ(f.ui.messages[2].text, "Can't add a TS info any more!");
    for (const auto& m : f.ui.messages)
        EXPECT_EQ(m.kind, MsgKind::Information);
    EXPECT_EQ(f.db().ProviderInfo.wProviderNum, kProviderCapacity);
    EXPECT_EQ(f.db().NetworkInfo.wNetworkNum, kNetworkCapacity);
    EXPECT_EQ(f.db().TSInfo.wTSNum, kTSCapacity);
    EXPECT_TRUE(f.doc->pModifiedFlag);
}

TEST(DocumentInfoAdd, NewTransportStreamIsAllZeroOnNetworkZero)
{
    DocumentFixture f;
    f.AddNetwork("N0");
    f.AddTS(3, -1, 12000);
    f.doc->LoadTreeValue();
    f.doc->SelectNode(Root(*f.doc, "Transport Stream"));
    f.doc->AddInformation1Click();
    ASSERT_EQ(f.db().TSInfo.wTSNum, 2);
    const TTSItem& ts = f.db().TSInfo.Info[1];
    EXPECT_EQ(ts.pNetworkIndex, 0);
    EXPECT_EQ(ts.wAntennaIndex, 0);
    EXPECT_EQ(ts.SATTSInfo.dwFrequency, 0u);
    const TTreeNode* streams = Root(*f.doc, "Transport Stream");
    ASSERT_EQ(streams->ChildCount(), 2);
    EXPECT_EQ(streams->Child(1)->Caption, " | 1 | 0 | 0 | Horizontal | 1/2 | ");
    EXPECT_EQ(streams->Child(1)->Tag, 0x5000001u);
    EXPECT_EQ(f.doc->Tree1.Selected(), streams->Child(1));
}

TEST(DocumentInfoDelete, NetworkTwoOfFiveRenumbersTagsAndStreams)
{
    DocumentFixture f;
    for (int i = 0; i < 5; ++i)
        f.AddNetwork("N" + std::to_string(i));
    for (int n : {2, 3, 4, -1, 1})
        f.AddTS(0, n);
    f.AddService(kServiceTypeTV, "on two", 0);
    f.doc->LoadTreeValue();
    f.Select(0x4000002);
    f.doc->DeleteInformation1Click();

    const TTreeNode* networks = Root(*f.doc, "Network");
    EXPECT_EQ(ChildCaptions(networks), (std::vector<std::string>{"N0", "N1", "N3", "N4"}));
    EXPECT_EQ(ChildTags(networks), (std::vector<uint32_t>{0x4000000, 0x4000001, 0x4000002, 0x4000003}));
    std::vector<int32_t> streamNetworks;
    for (int t = 0; t < 5; ++t)
        streamNetworks.push_back(f.db().TSInfo.Info[std::size_t(t)].pNetworkIndex);
    EXPECT_EQ(streamNetworks, (std::vector<int32_t>{-1, 2, 3, -1, 1}));
    EXPECT_EQ(f.doc->SG.NetworkList, (std::vector<std::string>{"N0", "N1", "N3", "N4"}));
    // The selection moves to the next network, as the tree view moves it.
    EXPECT_EQ(f.doc->Tree1.Selected(), networks->Child(2));
    EXPECT_EQ(f.doc->Label1Caption, "N3");
    // Other branches keep their tags.
    EXPECT_EQ(Root(*f.doc, "Transport Stream")->Child(4)->Tag, 0x5000004u);
}

TEST(DocumentInfoDelete, LastProviderMovesSelectionToPreviousAndServicesStay)
{
    DocumentFixture f;
    f.AddProvider("P0");
    f.AddProvider("P1");
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "a", 0, 1);
    f.AddService(kServiceTypeTV, "b", 0, 0);
    f.doc->LoadTreeValue();
    f.Select(0x3000001);
    f.doc->DeleteInformation1Click();
    EXPECT_EQ(f.db().ProviderInfo.wProviderNum, 1);
    EXPECT_EQ(f.db().ServiceInfo.wTVNum, 2);
    EXPECT_EQ(f.db().ServiceInfo.pServiceInfo[0].pProviderIndex, -1);
    EXPECT_EQ(f.db().ServiceInfo.pServiceInfo[1].pProviderIndex, 0);
    EXPECT_EQ(f.doc->Tree1.Selected(), Root(*f.doc, "Provider")->Child(0));

    f.doc->SelectNode(Root(*f.doc, "All Service"));
    EXPECT_EQ(f.Column(kColProvider), (std::vector<std::string>{"", "P0"}));
}

TEST(DocumentInfoDelete, ProviderZeroLowersTheOthers)
{
    DocumentFixture f;
    for (int i = 0; i < 3; ++i)
        f.AddProvider("P" + std::to_string(i));
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "a", 0, 0);
    f.AddService(kServiceTypeTV, "b", 0, 2);
    f.AddService(kServiceTypeRadio, "c", 0, -1);
    f.doc->DeleteProvider(0);
    EXPECT_EQ(f.db().ServiceInfo.pServiceInfo[0].pProviderIndex, -1);
    EXPECT_EQ(f.db().ServiceInfo.pServiceInfo[1].pProviderIndex, 1);
    EXPECT_EQ(f.db().ServiceInfo.pServiceInfo[2].pProviderIndex, -1);
    EXPECT_EQ(f.db().ProviderInfo.Info[0].szProviderName, "P1");
}

TEST(DocumentInfoDelete, TransportStreamTakesItsServicesAndTheirFavorites)
{
    DocumentFixture f;
    f.AddTS(0, -1);
    f.AddTS(1, -1);
    f.AddTS(2, -1);
    f.AddService(kServiceTypeTV, "T0 on 0", 0);
    f.AddService(kServiceTypeTV, "T1 on 1", 1);
    f.AddService(kServiceTypeRadio, "R0 on 0", 0);
    f.AddService(kServiceTypeTV, "T2 on 0", 0);
    f.AddService(kServiceTypeTV, "T3 on 2", 2);
    f.AddService(kServiceTypeTV, "T4 no stream", -1);
    f.AddFavorite(0, 0, 3);  // T3
    f.AddFavorite(0, 0, 0);  // T0
    f.AddFavorite(0, 1, 1);  // T1
    f.AddFavorite(1, 0, 0);  // R0
    f.doc->LoadTreeValue();
    f.Select(0x5000000);
    f.doc->DeleteInformation1Click();

    const TServiceInfo& s = f.db().ServiceInfo;
    ASSERT_EQ(s.Count(), 3);
    EXPECT_EQ(s.wTVNum, 3);
    EXPECT_EQ(s.wRadioNum, 0);
    EXPECT_EQ(s.pServiceInfo[0].szServiceName, "T1 on 1");
    EXPECT_EQ(s.pServiceInfo[0].pTSIndex, 0);
    EXPECT_EQ(s.pServiceInfo[1].pTSIndex, 1);
    EXPECT_EQ(s.pServiceInfo[2].pTSIndex, -1);
    const auto& fav = f.db().FavoriteInfo;
    ASSERT_EQ(fav[0][0].wIndexNum, 1);
    EXPECT_EQ(fav[0][0].Index[0], 1);  // T3 is now the second TV service
    ASSERT_EQ(fav[0][1].wIndexNum, 1);
    EXPECT_EQ(fav[0][1].Index[0], 0);
    EXPECT_EQ(fav[1][0].wIndexNum, 0);
    EXPECT_EQ(Root(*f.doc, "Transport Stream")->ChildCount(), 2);
    EXPECT_EQ(ChildTags(Root(*f.doc, "Transport Stream")), (std::vector<uint32_t>{0x5000000, 0x5000001}));
}

TEST(DocumentInfoDelete, RootOrNoSelectionDeletesNothing)
{
    DocumentFixture f;
    f.AddNetwork("N0");
    f.doc->LoadTreeValue();
    f.doc->SelectNode(Root(*f.doc, "Network"));
    f.doc->DeleteInformation1Click();
    EXPECT_EQ(f.db().NetworkInfo.wNetworkNum, 1);
    EXPECT_TRUE(f.doc->pModifiedFlag);
    EXPECT_EQ(Root(*f.doc, "Network")->ChildCount(), 1);
}

TEST(DocumentInfoEdit, RenameNetworkChecksOtherNamesOnly)
{
    DocumentFixture f;
    f.AddNetwork("Alpha");
    f.AddNetwork("Beta");
    f.AddTS(0, 0);
    f.AddService(kServiceTypeTV, "s", 0);
    f.doc->LoadTreeValue();
    f.Select(0x4000000);

    f.ui.queryAnswers.push_back({true, "Alpha"});  // its own name
    f.doc->Edit1Click();
    EXPECT_TRUE(f.ui.messages.empty());
    ASSERT_EQ(f.ui.queries.size(), 1u);
    EXPECT_EQ(f.ui.queries[0], "Query|Please input a new Network name..");

    f.ui.queryAnswers.push_back({true, "Beta"});
    f.doc->Edit1Click();
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].kind, MsgKind::Warning);
    EXPECT_EQ(f.ui.messages[0].text, "Same name exist..");
    EXPECT_EQ(f.db().NetworkInfo.Info[0].szNetworkName, "Alpha");
    EXPECT_EQ(Root(*f.doc, "Network")->Child(0)->Caption, "Alpha");

    f.ui.queryAnswers.push_back({false, ""});  // cancel keeps the name
    f.doc->Edit1Click();
    EXPECT_EQ(f.db().NetworkInfo.Info[0].szNetworkName, "Alpha");

    f.ui.queryAnswers.push_back({true, "Gamma"});
    f.doc->Edit1Click();
    EXPECT_EQ(f.db().NetworkInfo.Info[0].szNetworkName, "Gamma");
    EXPECT_EQ(Root(*f.doc, "Network")->Child(0)->Caption, "Gamma");
    EXPECT_EQ(f.doc->SG.NetworkList[0], "Gamma");
    EXPECT_EQ(f.Cell(kColNetwork, 1), "Gamma");
}

TEST(DocumentInfoEdit, RenameProviderUsesItsOwnPromptAndList)
{
    DocumentFixture f;
    f.AddProvider("P");
    f.AddProvider("Q");
    f.doc->LoadTreeValue();
    f.Select(0x3000001);
    f.ui.queryAnswers.push_back({true, "P"});
    f.doc->Edit1Click();
    EXPECT_EQ(f.ui.queries.at(0), "Query|Please input a new Provider name..");
    EXPECT_EQ(f.ui.messages.at(0).text, "Same name exist..");
    EXPECT_TRUE(f.doc->CheckProviderName("Q", 0xFFFF));
    EXPECT_FALSE(f.doc->CheckProviderName("Q", 1));
    EXPECT_FALSE(f.doc->CheckNetworkName("q", 0xFFFF));
}

TEST(DocumentInfoEdit, AntennaDialogResultReplacesTheSlotOnOkOnly)
{
    DocumentFixture f;
    f.doc->LoadTreeValue();
    f.Select(0x1000002);
    f.app->AntennaResult.dwLNBFreq = 9750;
    f.app->AntennaResult.ucOtherSetting = 0x02;
    f.ui.dialogAnswer = false;
    f.doc->Edit1Click();
    EXPECT_EQ(f.db().AntennaList.AntennaInfo[2].dwLNBFreq, kUniversalLNB);
    EXPECT_TRUE(f.doc->pModifiedFlag);  // marked even when cancelled

    f.ui.dialogAnswer = true;
    f.doc->Edit1Click();
    EXPECT_EQ(f.db().AntennaList.AntennaInfo[2].dwLNBFreq, 9750u);
    const std::string caption = " | 3 | (Unknown) | 9750 | DiSEqC B | ";
    EXPECT_EQ(f.doc->Tree1.Selected()->Caption, caption);
    EXPECT_EQ(f.doc->Label1Caption, caption);
}

TEST(DocumentInfoEdit, SatelliteStreamDialogStoresStreamAndItsNetwork)
{
    DocumentFixture f;
    f.AddNetwork("N0");
    f.AddNetwork("N1");
    f.AddTS(0, 1);
    f.doc->LoadTreeValue();
    f.Select(0x5000000);
    TTSItem edited = f.db().TSInfo.Info[0];
    edited.SATTSInfo.dwFrequency = 12345;
    edited.SATTSInfo.ucPolarization = 1;
    edited.wAntennaIndex = 4;
    f.app->TSResult.wTsNum = 1;
    f.app->TSResult.TsInfo[0] = edited;
    f.app->NetworkResult.wNetworkNum = 1;
    f.app->NetworkResult.NetInfo[0].szNetworkName = "N1";
    f.app->NetworkResult.NetInfo[0].wNetworkId = 7;
    f.ui.dialogAnswer = true;
    f.doc->Edit1Click();
    EXPECT_EQ(f.db().TSInfo.Info[0].SATTSInfo.dwFrequency, 12345u);
    EXPECT_EQ(f.db().NetworkInfo.Info[1].wNetworkId, 7);
    EXPECT_EQ(f.doc->Label1Caption, " | 5 | 12345 | 27500 | Vertical | 1/2 | ");
}

TEST(DocumentInfoEdit, CableStreamKeepsTheNetworkTable)
{
    DocumentFixture f(0, 8);
    f.AddNetwork("N0");
    f.AddTS(0, 0, 306000);
    f.doc->LoadTreeValue();
    f.Select(0x5000000);
    TTSItem edited = f.db().TSInfo.Info[0];
    edited.SATTSInfo.ucFEC = 3;
    f.app->TSResult.TsInfo[0] = edited;
    f.app->NetworkResult.NetInfo[0].szNetworkName = "changed";
    f.ui.dialogAnswer = true;
    f.doc->Edit1Click();
    EXPECT_EQ(f.db().TSInfo.Info[0].SATTSInfo.ucFEC, 3);
    EXPECT_EQ(f.db().NetworkInfo.Info[0].szNetworkName, "N0");
    EXPECT_EQ(f.doc->Label1Caption, " | 306000 | 27500 | 64-QAM | ");
}

TEST(DocumentInfoReassign, SelectedRowsMoveToStreamProviderAndNetwork)
{
    DocumentFixture f;
    for (int i = 0; i < 5; ++i)
        f.AddTS(0, -1);
    f.AddNetwork("N0");
    f.AddNetwork("N1");
    f.AddProvider("P0");
    for (int i = 0; i < 5; ++i)
        f.AddService(kServiceTypeTV, "s" + std::to_string(i), 0);
    f.doc->LoadTreeValue();
    f.doc->SG.SetSelection(2, 4);
    f.doc->MyTSClick("A4");
    const auto& s = f.db().ServiceInfo.pServiceInfo;
    EXPECT_EQ(s[0].pTSIndex, 0);
    EXPECT_EQ(s[1].pTSIndex, 4);
    EXPECT_EQ(s[3].pTSIndex, 4);
    EXPECT_EQ(s[4].pTSIndex, 0);
    // A reassignment changes the tables, so the document counts as modified.
    EXPECT_TRUE(f.doc->pModifiedFlag);

    f.doc->SG.SetSelection(1, 1);
    f.doc->MyPrvClick("C0");
    EXPECT_EQ(s[0].pProviderIndex, 0);
    f.doc->MyNetClick("B1");  // stream 0 carries services 0 and 4
    EXPECT_EQ(f.db().TSInfo.Info[0].pNetworkIndex, 1);
    EXPECT_EQ(f.Cell(kColNetwork, 5), "N1");
    EXPECT_EQ(f.Cell(kColNetwork, 2), "");
}

}  // namespace
}  // namespace lumora::test
