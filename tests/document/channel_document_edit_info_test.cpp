// Editing antennas, transport streams, networks and providers from the tree's
// information menu, and reassigning services through the change submenus.
#include <gtest/gtest.h>

#include "scripted_ui.h"

namespace lumora::test {
namespace {

TTreeNode* Root(DocumentFixture& f, const std::string& caption) { return f.doc->Tree1.FindRoot(caption); }

std::vector<std::string> Captions(const TTreeNode* root)
{
    std::vector<std::string> captions;
    for (const auto& child : root->Children())
        captions.push_back(child->Caption + "@" + std::to_string(child->Tag & 0xFFFFFF));
    return captions;
}

std::vector<std::string> Texts(const ScriptedUi& ui)
{
    std::vector<std::string> texts;
    for (const auto& m : ui.messages)
        texts.push_back(m.text);
    return texts;
}

TEST(DocumentInfoAdd, FirstProviderIsSelectedAndASecondDefaultNameIsRefused)
{
    DocumentFixture f;
    f.doc->LoadTreeValue();
    f.doc->SelectNode(Root(f, "Provider"));
    f.doc->AddInformation1Click();
    TTreeNode* providers = Root(f, "Provider");
    EXPECT_EQ(Captions(providers), std::vector<std::string>{"(USER PROVIDER)@0"});
    EXPECT_EQ(f.doc->Tree1.Selected(), providers->Child(0));
    EXPECT_EQ(f.doc->Label1Caption, "(USER PROVIDER)");
    EXPECT_EQ(f.doc->SG.ProviderList, std::vector<std::string>{"(USER PROVIDER)"});

    f.doc->AddInformation1Click();  // from the child: same refusal
    EXPECT_EQ(Texts(f.ui), std::vector<std::string>{
                               "Other (USER PROVIDER) exist.\rPlease change (USER PROVIDER) and retry add function"});
    EXPECT_EQ(f.ui.messages[0].kind, MsgKind::Warning);
    EXPECT_EQ(f.db().ProviderInfo.wProviderNum, 1);
}

TEST(DocumentInfoAdd, NetworkAndStreamGoLastUnderTheirRoot)
{
    DocumentFixture f;
    f.AddNetwork("N0");
    f.AddTS(3, -1, 12000);
    f.doc->LoadTreeValue();
    f.Select(0x4000000);
    f.doc->AddInformation1Click();
    f.doc->AddInformation1Click();
    EXPECT_EQ(Captions(Root(f, "Network")), (std::vector<std::string>{"N0@0", "(USER NETWORK)@1"}));
    EXPECT_EQ(Texts(f.ui), std::vector<std::string>{
                               "Other (USER NETWORK) exist.\rPlease change (USER NETWORK) and retry add function"});

    f.Select(0x5000000);
    f.doc->AddInformation1Click();
    const TTSItem& ts = f.db().TSInfo.Info[1];
    EXPECT_EQ(ts.pNetworkIndex, 0);  // every field of a new stream is zero
    EXPECT_EQ(ts.wAntennaIndex, 0);
    EXPECT_EQ(ts.SATTSInfo.dwFrequency, 0u);
    EXPECT_EQ(Captions(Root(f, "Transport Stream"))[1], " | 1 | 0 | 0 | Horizontal | 1/2 | @1");
    EXPECT_EQ(f.doc->Tree1.Selected(), Root(f, "Transport Stream")->Child(1));
}

TEST(DocumentInfoAdd, CapacityLimitsAreReportedAndChangeNothingButTheFlag)
{
    DocumentFixture f;
    for (int i = 0; i < kProviderCapacity; ++i) {
        f.AddProvider("P" + std::to_string(i));
        f.AddNetwork("N" + std::to_string(i));
    }
    f.db().TSInfo.wTSNum = kTSCapacity;
    f.doc->LoadTreeValue();
    for (const char* root : {"Provider", "Network", "Transport Stream"}) {
        f.doc->SelectNode(Root(f, root));
        f.doc->AddInformation1Click();
    }
    EXPECT_EQ(Texts(f.ui),
              (std::vector<std::string>{"Can't add a provider info any more!", "Can't add a network info any more!",
                                        "Can't add a TS info any more!"}));
    for (const auto& m : f.ui.messages)
        EXPECT_EQ(m.kind, MsgKind::Information);
    EXPECT_EQ(f.db().ProviderInfo.wProviderNum, kProviderCapacity);
    EXPECT_EQ(f.db().NetworkInfo.wNetworkNum, kNetworkCapacity);
    EXPECT_EQ(f.db().TSInfo.wTSNum, kTSCapacity);
    EXPECT_TRUE(f.doc->pModifiedFlag());
}

TEST(DocumentInfoDelete, NetworkTwoOfFiveRenumbersTagsAndStreams)
{
    DocumentFixture f;
    for (int i = 0; i < 5; ++i)
        f.AddNetwork("N" + std::to_string(i));
    for (int n : {2, 3, 4, -1, 1})
        f.AddTS(0, n);
    f.doc->LoadTreeValue();
    f.Select(0x4000002);
    f.doc->DeleteInformation1Click();
    EXPECT_EQ(Captions(Root(f, "Network")), (std::vector<std::string>{"N0@0", "N1@1", "N3@2", "N4@3"}));
    std::vector<int32_t> streamNetworks;
    for (int t = 0; t < 5; ++t)
        streamNetworks.push_back(f.db().TSInfo.Info[std::size_t(t)].pNetworkIndex);
    EXPECT_EQ(streamNetworks, (std::vector<int32_t>{-1, 2, 3, -1, 1}));
    EXPECT_EQ(f.doc->SG.NetworkList, (std::vector<std::string>{"N0", "N1", "N3", "N4"}));
    // The selection moves to the next network, as the tree view moves it.
    EXPECT_EQ(f.doc->Label1Caption, "N3");
    EXPECT_EQ(Root(f, "Transport Stream")->Child(4)->Tag, 0x5000004u);
}

TEST(DocumentInfoDelete, ProviderLeavesItsServicesWithoutProvider)
{
    DocumentFixture f;
    f.AddProvider("P0");
    f.AddProvider("P1");
    f.AddProvider("P2");
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "a", 0, 1);
    f.AddService(kServiceTypeTV, "b", 0, 2);
    f.doc->LoadTreeValue();
    f.Select(0x3000001);
    f.doc->DeleteInformation1Click();
    EXPECT_EQ(Captions(Root(f, "Provider")), (std::vector<std::string>{"P0@0", "P2@1"}));
    f.doc->SelectNode(Root(f, "All Service"));
    EXPECT_EQ(f.Column(kColProvider), (std::vector<std::string>{"", "P2"}));
}

TEST(DocumentInfoDelete, TransportStreamTakesItsServicesAndTheirFavorites)
{
    DocumentFixture f;
    for (int t = 0; t < 3; ++t)
        f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "T0 on 0", 0);
    f.AddService(kServiceTypeTV, "T1 on 1", 1);
    f.AddService(kServiceTypeRadio, "R0 on 0", 0);
    f.AddService(kServiceTypeTV, "T2 on 0", 0);
    f.AddService(kServiceTypeTV, "T3 on 2", 2);
    f.AddService(kServiceTypeTV, "T4 no stream", -1);
    f.AddFavorite(0, 0, 3);  // T3
    f.AddFavorite(0, 0, 0);  // T0
    f.AddFavorite(1, 0, 0);  // R0
    f.doc->LoadTreeValue();
    f.Select(0x5000000);
    f.doc->DeleteInformation1Click();

    const TServiceInfo& s = f.db().ServiceInfo;
    ASSERT_EQ(s.Count(), 3);
    EXPECT_EQ(s.wRadioNum, 0);
    EXPECT_EQ(s.pServiceInfo[0].szServiceName, "T1 on 1");
    EXPECT_EQ(s.pServiceInfo[0].pTSIndex, 0);
    EXPECT_EQ(s.pServiceInfo[1].pTSIndex, 1);
    EXPECT_EQ(s.pServiceInfo[2].pTSIndex, -1);
    EXPECT_EQ(f.db().FavoriteInfo[0][0].wIndexNum, 1);
    EXPECT_EQ(f.db().FavoriteInfo[0][0].Index[0], 1);  // T3 is now the second TV service
    EXPECT_EQ(f.db().FavoriteInfo[1][0].wIndexNum, 0);
    EXPECT_EQ(Captions(Root(f, "Transport Stream")).size(), 2u);
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
    f.ui.queryAnswers = {{true, "Alpha"}, {true, "Beta"}, {false, ""}, {true, "Gamma"}};
    f.doc->Edit1Click();  // its own name is allowed
    EXPECT_TRUE(f.ui.messages.empty());
    EXPECT_EQ(f.ui.queries.at(0), "Query|Please input a new Network name..");
    f.doc->Edit1Click();
    EXPECT_EQ(Texts(f.ui), std::vector<std::string>{"Same name exist.."});
    EXPECT_EQ(f.db().NetworkInfo.Info[0].szNetworkName, "Alpha");
    f.doc->Edit1Click();  // cancel keeps the name
    EXPECT_EQ(f.db().NetworkInfo.Info[0].szNetworkName, "Alpha");
    f.doc->Edit1Click();
    EXPECT_EQ(Captions(Root(f, "Network"))[0], "Gamma@0");
    EXPECT_EQ(f.doc->SG.NetworkList[0], "Gamma");
    EXPECT_EQ(f.Cell(kColNetwork, 1), "Gamma");
    EXPECT_TRUE(f.doc->CheckProviderName("x", 0xFFFF) == false && f.doc->CheckNetworkName("Beta", 0xFFFF));
}

TEST(DocumentInfoEdit, AntennaAndStreamDialogResultsAreStoredOnOkOnly)
{
    DocumentFixture f;
    f.AddNetwork("N0");
    f.AddNetwork("N1");
    f.AddTS(0, 1);
    f.doc->LoadTreeValue();
    f.Select(0x1000002);
    f.doc->MarkSaved();
    f.doc->Edit1Click();  // cancelled
    EXPECT_EQ(f.db().AntennaList.AntennaInfo[2].dwLNBFreq, kUniversalLNB);
    EXPECT_FALSE(f.doc->pModifiedFlag());
    EXPECT_FALSE(f.doc->CanUndo());
    TAntennaSetting antenna;
    antenna.dwLNBFreq = 9750;
    antenna.ucOtherSetting = 0x02;
    f.ui.antennaAnswer = antenna;
    f.doc->Edit1Click();
    EXPECT_EQ(f.doc->UndoLabel(), "Edit Antenna 3");
    EXPECT_EQ(f.db().AntennaList.AntennaInfo[2].dwLNBFreq, 9750u);
    EXPECT_EQ(f.doc->Label1Caption, " | 3 | (Unknown) | 9750 | DiSEqC B | ");

    f.Select(0x5000000);
    TTSItem edited = f.db().TSInfo.Info[0];
    edited.SATTSInfo.dwFrequency = 12345;
    edited.wAntennaIndex = 4;
    TNetworkItem network;
    network.szNetworkName = "N1";
    network.wNetworkId = 7;
    f.ui.streamAnswer = TStreamDialogResult{edited, network};
    f.doc->Edit1Click();
    EXPECT_EQ(f.db().TSInfo.Info[0].SATTSInfo.dwFrequency, 12345u);
    EXPECT_EQ(f.db().NetworkInfo.Info[1].wNetworkId, 7);
    EXPECT_EQ(f.doc->Tree1.Selected()->Caption, " | 5 | 12345 | 27500 | Horizontal | 1/2 | ");
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
    std::vector<int32_t> streams;
    for (int r = 0; r < 5; ++r)
        streams.push_back(f.db().ServiceInfo.pServiceInfo[std::size_t(r)].pTSIndex);
    EXPECT_EQ(streams, (std::vector<int32_t>{0, 4, 4, 4, 0}));
    // A reassignment changes the tables, so the document counts as modified.
    EXPECT_TRUE(f.doc->pModifiedFlag());

    f.doc->SG.SetSelection(1, 1);
    f.doc->MyPrvClick("C0");
    EXPECT_EQ(f.db().ServiceInfo.pServiceInfo[0].pProviderIndex, 0);
    f.doc->MyNetClick("B1");  // stream 0 carries services 0 and 4
    EXPECT_EQ(f.Column(kColNetwork), (std::vector<std::string>{"N1", "", "", "", "N1"}));
}

}  // namespace
}  // namespace lumora::test
