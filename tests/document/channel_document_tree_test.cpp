#include <gtest/gtest.h>

#include "scripted_ui.h"

namespace lumora::test {
namespace {

std::vector<std::string> RootCaptions(const ChannelDocument& doc)
{
    std::vector<std::string> captions;
    for (const auto& root : doc.Tree1.Roots())
        captions.push_back(root->Caption);
    return captions;
}

TEST(ChannelDocumentTree, EmptyDatabaseHasAllRootsWithTheirTags)
{
    DocumentFixture f;
    f.doc->LoadTreeValue();
    const TTreeData& tree = f.doc->Tree1;
    EXPECT_EQ(RootCaptions(*f.doc), (std::vector<std::string>{"All Service", "Antenna", "Transport Stream", "Network",
                                                              "Provider", "Genre", "Favorite"}));
    std::vector<uint32_t> tags;
    for (const auto& root : tree.Roots())
        tags.push_back(root->Tag);
    EXPECT_EQ(tags, (std::vector<uint32_t>{0x2000000, 0x1000000, 0x5000000, 0x4000000, 0x3000000, 0, 0}));
    EXPECT_EQ(tree.Root(1)->ChildCount(), 32);
    EXPECT_EQ(tree.Root(2)->ChildCount(), 0);
    EXPECT_EQ(tree.Root(3)->ChildCount(), 0);
    EXPECT_EQ(tree.Root(4)->ChildCount(), 0);
    ASSERT_EQ(tree.Root(5)->ChildCount(), 16);
    EXPECT_EQ(tree.Root(5)->Child(11)->Caption, "ADULT:ENTERTAINMENT");
    EXPECT_EQ(tree.Root(5)->Child(15)->Tag, 0x600000Fu);
    ASSERT_EQ(tree.Root(6)->ChildCount(), 4);
    EXPECT_EQ(tree.Root(6)->Child(3)->Caption, "D");
    EXPECT_EQ(tree.Root(6)->Child(3)->Tag, 0x7000003u);
    // "All Service" is selected; its label and a one-row empty grid.
    EXPECT_EQ(tree.Selected(), tree.Root(0));
    EXPECT_EQ(f.doc->Label1Caption, "All Service");
    EXPECT_EQ(f.doc->SG.RowCount(), 2);
    EXPECT_EQ(f.Cell(kColRI, 1), "");
    EXPECT_EQ(f.Cell(kColIndex, 0), "INDEX");
}

TEST(ChannelDocumentTree, ChildrenCarryKindAndIndexAndRootAndFirstChildShareTag)
{
    DocumentFixture f;
    f.AddNetwork("NetA");
    f.AddNetwork("NetB");
    f.AddProvider("Prov");
    f.AddTS(0, 1);
    f.AddTS(2, -1);
    f.doc->LoadTreeValue();
    const TTreeNode* streams = f.doc->Tree1.FindRoot("Transport Stream");
    ASSERT_EQ(streams->ChildCount(), 2);
    EXPECT_EQ(streams->Child(0)->Tag, streams->Tag);
    EXPECT_EQ(streams->Child(1)->Tag, 0x5000001u);
    EXPECT_EQ(streams->Child(1)->Level(), 1);
    EXPECT_EQ(streams->Child(1)->Caption, " | 3 | 11778 | 27500 | Horizontal | 1/2 | ");
    const TTreeNode* networks = f.doc->Tree1.FindRoot("Network");
    ASSERT_EQ(networks->ChildCount(), 2);
    EXPECT_EQ(networks->Child(1)->Caption, "NetB");
    EXPECT_EQ(networks->Child(1)->Tag, 0x4000001u);
    EXPECT_EQ(f.doc->Tree1.FindRoot("Provider")->Child(0)->Tag, 0x3000000u);
    // The grid's lists follow the tables.
    EXPECT_EQ(f.doc->SG.NetworkList, (std::vector<std::string>{"NetA", "NetB"}));
    EXPECT_EQ(f.doc->SG.ProviderList, (std::vector<std::string>{"Prov"}));
}

TEST(ChannelDocumentTree, CableModelHasNoAntennaBranchAndFourFieldStreamLabels)
{
    DocumentFixture f(0, 8);
    f.AddTS(0, -1, 306000);
    f.db().TSInfo.Info[0].SATTSInfo.dwSymbolRate = 6900;
    f.db().TSInfo.Info[0].SATTSInfo.ucFEC = 3;
    f.doc->LoadTreeValue();
    EXPECT_EQ(f.doc->Tree1.FindRoot("Antenna"), nullptr);
    EXPECT_EQ(f.doc->Tree1.RootCount(), 6);
    EXPECT_EQ(f.doc->Tree1.FindRoot("Transport Stream")->Child(0)->Caption, " | 306000 | 6900 | 64-QAM | ");
}

TEST(ChannelDocumentTree, UpdateTreeFollowsChangedSettings)
{
    DocumentFixture f;
    f.AddTS(0, -1);
    f.db().TSInfo.Info[0].SATTSInfo.ucFEC = 3;
    f.db().AntennaList.AntennaInfo[0].ucSatelliteId = 1;
    f.doc->LoadTreeValue();
    EXPECT_EQ(f.doc->Tree1.FindRoot("Antenna")->Child(0)->Caption, " | 1 | (Unknown) | UNIVERSAL | DiSEqC A | ");
    f.app->Settings.AntennaLanguage.wLanguageNum = 2;
    f.app->Settings.AntennaLanguage.Language[1] = "ASTRA 1";
    f.doc->UpdateTree();
    EXPECT_EQ(f.doc->Tree1.FindRoot("Antenna")->Child(0)->Caption, " | 1 | ASTRA 1 | UNIVERSAL | DiSEqC A | ");
    f.app->Settings.SystemInfo.MODEL = 9;
    f.doc->UpdateTree();
    EXPECT_EQ(f.doc->Tree1.FindRoot("Antenna"), nullptr);
    EXPECT_EQ(f.doc->Tree1.FindRoot("Transport Stream")->Child(0)->Caption, " | 11778 | 27500 | 64-QAM | ");
}

TEST(ChannelDocumentTree, AntennaLabels)
{
    DocumentFixture f;
    TLanguageSet& satellites = f.app->Settings.AntennaLanguage;
    TAntennaSetting& a = f.db().AntennaList.AntennaInfo[2];
    a.dwLNBFreq = 0x01002616;  // top byte is not shown
    a.ucOtherSetting = 0x03;  // bit 0 is not part of the DiSEqC code
    a.szLNBName = "MY SAT";
    // Empty satellite list: every antenna is unknown, even "one past the list".
    EXPECT_EQ(f.doc->GetAntennaString(2), " | 3 | (Unknown) | 9750 | DiSEqC B | ");
    satellites.wLanguageNum = 2;
    satellites.Language[0] = "ASTRA 1";
    satellites.Language[1] = "HOTBIRD";
    a.ucSatelliteId = 2;  // one past the list: the user-defined name
    EXPECT_EQ(f.doc->GetAntennaString(2), " | 3 | MY SAT | 9750 | DiSEqC B | ");
    a.ucSatelliteId = 3;
    EXPECT_EQ(f.doc->GetAntennaString(2), " | 3 | (Unknown) | 9750 | DiSEqC B | ");
    // A satellite count beyond the list's capacity reads only the real entries.
    satellites.wLanguageNum = 1000;
    a.ucSatelliteId = 200;
    EXPECT_EQ(f.doc->GetAntennaString(2), " | 3 | (Unknown) | 9750 | DiSEqC B | ");
    EXPECT_EQ(f.doc->GetAntennaString(32), "");
    EXPECT_EQ(f.doc->GetAntennaString(-1), "");

    EXPECT_EQ(ChannelDocument::GetLNBFrequency(0xFFFFFFFF), "UNIVERSAL");
    EXPECT_EQ(ChannelDocument::GetLNBFrequency(0xFFFFFFFE), "16777214");
    EXPECT_EQ(ChannelDocument::GetDiseqc(0xCA), "Tone Burst A");
    EXPECT_EQ(ChannelDocument::GetDiseqc(0x0C), "Tone Burst B");
    EXPECT_EQ(ChannelDocument::GetDiseqc(0x0E), "");
    EXPECT_EQ(ChannelDocument::GetDiseqc(0x1F), "");
}

TEST(ChannelDocumentTree, StreamLabelsShowEmptyFieldsForCodesOutsideTheirTables)
{
    DocumentFixture f;
    f.AddTS(31, -1);
    f.AddTS(32, -1);
    TSATTSInfo& tuning = f.db().TSInfo.Info[1].SATTSInfo;
    tuning.ucPolarization = 3;
    tuning.ucFEC = 6;
    EXPECT_EQ(f.doc->GetTSString(0), " | 32 | 11778 | 27500 | Horizontal | 1/2 | ");
    EXPECT_EQ(f.doc->GetTSString(1), " |  | 11778 | 27500 |  |  | ");
    EXPECT_EQ(f.doc->GetTSString(2), "");
    EXPECT_EQ(f.doc->GetTSString(-1), "");
    f.app->Settings.SystemInfo.MODEL = 8;
    tuning.ucFEC = 0;
    EXPECT_EQ(f.doc->GetTSString(1), " | 11778 | 27500 |  | ");
    tuning.ucFEC = 7;
    EXPECT_EQ(f.doc->GetTSString(1), " | 11778 | 27500 |  | ");
    tuning.ucFEC = 6;
    EXPECT_EQ(f.doc->GetTSString(1), " | 11778 | 27500 | AUTO | ");
}

TEST(ChannelDocumentTree, RootsOtherThanAllServiceShowOneEmptyRow)
{
    DocumentFixture f;
    f.AddTS(0, -1);
    f.AddService(kServiceTypeTV, "T0");
    f.doc->LoadTreeValue();
    EXPECT_EQ(f.doc->GetTargetCount(), 1);
    for (const char* root : {"Antenna", "Transport Stream", "Genre", "Favorite"}) {
        f.doc->SelectNode(f.doc->Tree1.FindRoot(root));
        EXPECT_EQ(f.doc->Label1Caption, root);
        EXPECT_EQ(f.doc->GetTargetCount(), 0) << root;
        EXPECT_EQ(f.doc->SG.RowCount(), 2) << root;
        EXPECT_EQ(f.Cell(kColName, 1), "") << root;
    }
    // The first child shares the root's tag but lists services.
    f.Select(0x5000000);
    EXPECT_EQ(f.doc->GetTargetCount(), 1);
    f.doc->SelectNode(nullptr);
    EXPECT_EQ(f.doc->GetTargetCount(), 0);
}

TEST(ChannelDocumentTree, InformationMenuFollowsNodeKindAndLevel)
{
    DocumentFixture f;
    f.AddNetwork("N");
    f.AddProvider("P");
    f.AddTS(0, 0);
    f.doc->LoadTreeValue();
    struct Case {
        uint32_t tag;
        int level;
        TInfoMenuState expected;
    };
    const Case cases[] = {
        {0x2000000, 0, {false, false, false}}, {0x1000000, 0, {false, false, false}},
        {0x1000005, 1, {true, false, false}},  {0x5000000, 0, {false, true, false}},
        {0x5000000, 1, {true, true, true}},    {0x4000000, 1, {true, true, true}},
        {0x3000000, 0, {false, true, false}},  {0x6000003, 1, {false, false, false}},
        {0x7000001, 1, {false, false, false}},
    };
    for (const Case& c : cases) {
        f.Select(c.tag, c.level);
        EXPECT_TRUE(f.doc->Tree1MouseDown(true));
        const TInfoMenuState& m = f.doc->PopupMenu1;
        EXPECT_EQ(m.Edit, c.expected.Edit) << std::hex << c.tag << " " << c.level;
        EXPECT_EQ(m.AddInformation, c.expected.AddInformation) << std::hex << c.tag << " " << c.level;
        EXPECT_EQ(m.DeleteInformation, c.expected.DeleteInformation) << std::hex << c.tag << " " << c.level;
    }
    // Without a selection the entries keep their last state.
    f.Select(0x1000005);
    f.doc->CheckPopup1Menu();
    f.doc->SelectNode(nullptr);
    EXPECT_FALSE(f.doc->Tree1MouseDown(false));
    EXPECT_TRUE(f.doc->PopupMenu1.Edit);
}

TEST(ChannelDocumentTree, CloseQueryAsksOnlyForModifiedDocuments)
{
    DocumentFixture f;
    bool canClose = true;
    f.doc->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
    EXPECT_TRUE(f.ui.messages.empty());

    f.doc->Edit("Change PIN", [&] { ++f.doc->Database().MenuConfigItem.nPINCode; });
    f.ui.messageAnswers = {MsgResult::Cancel, MsgResult::Ok};
    f.doc->FormCloseQuery(canClose);
    EXPECT_FALSE(canClose);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].kind, MsgKind::Confirmation);
    EXPECT_EQ(f.ui.messages[0].buttons, MsgButtons::OkCancel);
    EXPECT_EQ(f.ui.messages[0].text, "This data is modified.\rDo you really exit?");
    canClose = true;
    f.doc->FormCloseQuery(canClose);
    EXPECT_TRUE(canClose);
}

TEST(ChannelDocumentTree, RemovingTheSelectedBranchLeavesNoSelection)
{
    DocumentFixture f;
    f.doc->LoadTreeValue();
    f.Select(0x7000002);
    f.doc->Tree1.Remove(f.doc->Tree1.FindRoot("Favorite"));
    EXPECT_EQ(f.doc->Tree1.Selected(), nullptr);
    EXPECT_EQ(f.doc->Tree1.RowOf(f.doc->Tree1.FindRoot("Genre")), 5);
    EXPECT_EQ(f.doc->GetTargetCount(), 0);
}

}  // namespace
}  // namespace lumora::test
