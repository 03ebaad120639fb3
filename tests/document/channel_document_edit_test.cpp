#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "edit_text.h"
#include "interchange.h"
#include "intparse.h"
#include "scripted_ui.h"

namespace lumora::test {
namespace {

using Cells = std::vector<std::string>;

// Two TV services on one stream with network 0, a radio service between them.
struct EditTable : DocumentFixture {
    explicit EditTable(uint8_t flashType = 0) : DocumentFixture(flashType)
    {
        AddNetwork("NET0");
        AddNetwork("NET1");
        AddProvider("PRV0");
        AddProvider("PRV1");
        AddTS(0, 0);
        AddService(kServiceTypeTV, "T0", 0, 0);
        AddService(kServiceTypeRadio, "R0", 0, 0);
        AddService(kServiceTypeTV, "T1", 0, 1);
        doc->LoadTreeValue();
    }
    TServiceItem& S(int r) { return db().ServiceInfo.pServiceInfo[std::size_t(r)]; }
    // A cell edit as the grid ends it: the cell changes, then the write-back runs.
    void Edit(int col, int row, const std::string& text)
    {
        doc->SG.SetCell(col, row, text);
        doc->SGSetEditText(col, row, text);
    }
};

TEST(ChannelDocumentEdit, WholeRowIsWrittenBack)
{
    EditTable f;
    f.doc->SG.SetCell(kColVideoPID, 2, "$1FF");
    f.doc->SG.SetCell(kColAudioPID, 2, "70000");
    f.doc->SG.SetCell(kColPCRPID, 2, "-1");
    f.doc->SG.SetCell(kColGenre, 2, "SPORTS");
    f.doc->SG.SetCell(kColLock, 2, "TRUE");
    f.doc->SG.SetCell(kColProvider, 2, "PRV0");
    f.Edit(kColPmtPID, 2, "100");
    const TServiceItem& s = f.S(2);
    EXPECT_TRUE(f.doc->pModifiedFlag());
    EXPECT_EQ(s.wVideoPID, 0x1FF);
    EXPECT_EQ(s.wAudioPID, 4464);  // low 16 bits of 70000
    EXPECT_EQ(s.wPCRPID, 0xFFFF);
    EXPECT_EQ(s.wPmtPID, 0x8064);
    EXPECT_EQ(s.ServiceKind, 4);
    EXPECT_TRUE(s.bParentLock);
    EXPECT_FALSE(s.bSkipService);
    EXPECT_EQ(s.pProviderIndex, 0);
    // The grid was rebuilt from the record.
    EXPECT_EQ(f.Cell(kColPmtPID, 2), "100");
    EXPECT_EQ(f.Cell(kColAudioPID, 2), "4464");
    EXPECT_EQ(f.Cell(kColVideoPID, 2), "511");
}

TEST(ChannelDocumentEdit, NetworkCellChangesTheStreamOfEveryServiceOnIt)
{
    EditTable f;
    f.Edit(kColNetwork, 1, "NET1");
    EXPECT_EQ(f.db().TSInfo.Info[0].pNetworkIndex, 1);
    EXPECT_EQ(f.Column(kColNetwork), (Cells{"NET1", "NET1"}));
    f.Edit(kColNetwork, 1, "gone");
    EXPECT_EQ(f.db().TSInfo.Info[0].pNetworkIndex, -1);
    f.Edit(kColProvider, 2, "gone");
    EXPECT_EQ(f.S(2).pProviderIndex, -1);
    f.Edit(kColGenre, 2, "gone");
    EXPECT_EQ(f.S(2).ServiceKind, 0xFF);
    EXPECT_EQ(f.Cell(kColGenre, 2), "");
}

TEST(ChannelDocumentEdit, ServiceWithoutValidStreamKeepsTheStreamTable)
{
    EditTable f;
    f.S(0).pTSIndex = 3;
    f.doc->RefreshServiceGrid();
    f.Edit(kColNetwork, 1, "NET1");
    EXPECT_EQ(f.db().TSInfo.Info[0].pNetworkIndex, 0);
    EXPECT_EQ(f.db().TSInfo.Info[3].pNetworkIndex, -1);
}

TEST(ChannelDocumentEdit, NumberThatDoesNotParseStopsTheWriteBackAtItsColumn)
{
    EditTable f;
    f.doc->SG.SetCell(kColName, 1, "NEW");
    f.doc->SG.SetCell(kColVideoPID, 1, "7");
    f.doc->SG.SetCell(kColAudioPID, 1, "12x");
    f.doc->SG.SetCell(kColPmtPID, 1, "9");
    f.doc->SG.SetCell(kColLock, 1, "TRUE");
    try {
        f.doc->SGSetEditText(kColAudioPID, 1, "12x");
        FAIL() << "no conversion error";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'12x' is not a valid integer value");
    }
    EXPECT_TRUE(f.doc->pModifiedFlag());
    EXPECT_EQ(f.S(0).szServiceName, "NEW");
    EXPECT_EQ(f.S(0).wVideoPID, 7);
    EXPECT_EQ(f.S(0).wAudioPID, 200);
    EXPECT_EQ(f.S(0).wPmtPID, 500);
    EXPECT_FALSE(f.S(0).bParentLock);
    // The grid was not rebuilt: the typed texts are still there.
    EXPECT_EQ(f.Cell(kColAudioPID, 1), "12x");
}

// Each edit, undo and redo tells the observers once what it changed; an edit
// that changes nothing tells nothing. The grid follows the same notification.
TEST(ChannelDocumentEdit, EveryChangeIsReportedOnce)
{
    EditTable f;
    using Change = TDocumentChange;
    std::vector<std::pair<uint32_t, int32_t>> seen;
    f.doc->OnChanged([&seen](const Change& c) { seen.emplace_back(c.Tables, c.Service); });
    f.Edit(kColName, 2, "X");
    f.Edit(kColName, 2, "X");
    f.Edit(kColNetwork, 1, "NET1");  // the stream's network too: more than one service's rows
    f.doc->Undo();
    EXPECT_EQ(f.Cell(kColNetwork, 2), "NET0");
    f.doc->Undo();
    EXPECT_EQ(f.Cell(kColName, 2), "T1");
    f.doc->Redo();
    EXPECT_EQ(f.Cell(kColName, 2), "X");
    const std::pair<uint32_t, int32_t> name{Change::Services, 2}, network{Change::Streams | Change::Services, -1};
    EXPECT_EQ(seen, (std::vector{name, network, network, name, name}));
}

TEST(ChannelDocumentEdit, PlaceholderRowOnlyRebuilds)
{
    EditTable f;
    f.Select(0x6000009);
    ASSERT_EQ(f.Cell(kColRI, 1), "");
    f.Edit(kColName, 1, "typed");
    EXPECT_TRUE(f.doc->pModifiedFlag());
    EXPECT_EQ(f.Cell(kColName, 1), "");
    f.doc->SGSetEditText(0, 0, "");  // the header row is no service
    f.doc->SGSetEditText(0, 9, "");
    EXPECT_EQ(f.S(0).szServiceName, "T0");
}

TEST(ChannelDocumentEdit, ExtendedBytesSurviveTheEditAndControlCharactersDoNot)
{
    EditTable f;
    f.S(0).szServiceName = "\x86"
                           "BBC"
                           "\x87"
                           " One";
    f.doc->RefreshServiceGrid();
    TkEditText edit;
    edit.SetText(f.Cell(kColName, 1));
    edit.SelectAll();
    EXPECT_EQ(edit.VisibleText(), " BBC  One");
    edit.SetSel(10, 10);  // caret at the end
    edit.KeyPress('!');
    f.Edit(kColName, 1, edit.GetText());
    EXPECT_EQ(f.S(0).szServiceName, "\x86"
                                    "BBC"
                                    "\x87"
                                    " One!");
    EXPECT_EQ(TServiceGrid::ReplaceExtendChar(f.Cell(kColName, 1)), "BBC One!");
    // A name cell holding a TAB or line end is stored with blanks.
    f.Edit(kColName, 1, "A\tB\r\nC\x1A");
    EXPECT_EQ(f.S(0).szServiceName, "A B  C ");
}

TEST(ChannelDocumentEdit, ServiceMenuPreparation)
{
    EditTable f;
    bool open = f.doc->SGMouseDown(true);
    EXPECT_TRUE(open);
    const TServiceMenuState& m = f.doc->PopupMenu2;
    EXPECT_FALSE(m.AddInformation);  // "All Service" is a root
    EXPECT_TRUE(m.Paste);
    EXPECT_EQ(m.AddInformationCaption, "Add Information");
    ASSERT_EQ(m.ChangeTS.size(), 1u);
    EXPECT_EQ(m.ChangeTS[0].Name, "A0");
    EXPECT_EQ(m.ChangeTS[0].Caption, " | 1 | 11778 | 27500 | Horizontal | 1/2 | ");
    ASSERT_EQ(m.ChangeNetwork.size(), 2u);
    EXPECT_EQ(m.ChangeNetwork[1].Name, "B1");
    EXPECT_EQ(m.ChangeNetwork[1].Caption, "NET1");
    ASSERT_EQ(m.ChangeProvider.size(), 2u);
    EXPECT_EQ(m.ChangeProvider[0].Name, "C0");
    EXPECT_FALSE(f.doc->SGMouseDown(false));

    f.Select(0x5000000);
    f.doc->SGMouseDown(true);
    EXPECT_TRUE(f.doc->PopupMenu2.AddInformation);
    EXPECT_FALSE(f.doc->PopupMenu2.Paste);
    f.Select(0x7000002);
    f.doc->SGMouseDown(true);
    EXPECT_TRUE(f.doc->PopupMenu2.AddInformation);
    for (uint32_t tag : {0x1000000u, 0x3000001u, 0x4000000u}) {
        f.Select(tag);
        f.doc->SGMouseDown(true);
        EXPECT_FALSE(f.doc->PopupMenu2.AddInformation) << std::hex << tag;
    }
    f.doc->SelectNode(nullptr);
    EXPECT_FALSE(f.doc->SGMouseDown(true));
}

TEST(ChannelDocumentEdit, FixedNumberedServicesGetNoMenu)
{
    for (uint8_t flash : {uint8_t(4), uint8_t(3)}) {
        EditTable f(flash);
        f.S(2).wServiceNumber = flash == 3 ? 999 : 100;
        f.doc->RefreshServiceGrid();  // T0 automatic, T1 fixed
        f.doc->SG.SetSelection(2, 2);
        EXPECT_FALSE(f.doc->SGMouseDown(true)) << int(flash);
        EXPECT_EQ(f.doc->PopupMenu2.ChangeTS.size(), 1u);  // prepared all the same
        f.doc->SG.SetSelection(1, 2);
        EXPECT_TRUE(f.doc->SGMouseDown(true)) << int(flash);
    }
}

// The name edit box: OrgText keeps the stored bytes, the visible text shows
// each extended byte as a blank at the same position.
class NameEdit : public ::testing::Test {
protected:
    void SetUp() override
    {
        edit.SetText("A\x86"
                     "BC\x87");
    }
    void ExpectAligned()
    {
        std::string expected = edit.GetText();
        TkEditText::ReplaceExtendChar(expected);
        EXPECT_EQ(edit.VisibleText(), expected);
    }
    TkEditText edit;
};

TEST_F(NameEdit, CopyAndCutTakeStoredBytes)
{
    EXPECT_EQ(edit.VisibleText(), "A BC ");
    edit.SetSel(2, 4);  // bytes 2..3: 0x86 'B'
    int start = 0, stop = 0;
    edit.GetSel(start, stop);
    EXPECT_EQ(start, 2);
    EXPECT_EQ(stop, 4);
    EXPECT_EQ(edit.Copy(), "\x86"
                           "B");
    EXPECT_EQ(edit.Cut(), "\x86"
                          "B");
    EXPECT_EQ(edit.GetText(), "AC\x87");
    edit.GetSel(start, stop);
    EXPECT_EQ(start, 2);  // caret at the start of the former selection
    EXPECT_EQ(stop, 2);
    ExpectAligned();
}

TEST_F(NameEdit, PasteReplacesSelectionAndBlanksControlCharacters)
{
    edit.SetSel(2, 3);
    edit.Paste("x\ty\r\nz\x1A\xE9");
    EXPECT_EQ(edit.GetText(), "Ax y  z \xE9"
                              "BC\x87");
    int start = 0, stop = 0;
    edit.GetSel(start, stop);
    EXPECT_EQ(start, 10);  // right after the inserted text
    ExpectAligned();
}

TEST_F(NameEdit, TypingReplacesSelectionAndIgnoresCommandCodes)
{
    edit.SelectAll();
    for (unsigned char ch : {0, 3, 8, 13, 22, 24})
        edit.KeyPress(ch);
    EXPECT_EQ(edit.GetText(), "A\x86"
                              "BC\x87");
    for (char ch : std::string("NEW\t"))
        edit.KeyPress(static_cast<unsigned char>(ch));
    EXPECT_EQ(edit.GetText(), "NEW ");
    edit.KeyPress(0xC4);
    EXPECT_EQ(edit.GetText(), "NEW \xC4");
    ExpectAligned();
}

TEST_F(NameEdit, BackspaceAndDeleteAtTheEnds)
{
    edit.SetSel(1, 1);
    edit.DeleteStr(EditDeleteKey::Backspace);
    EXPECT_EQ(edit.GetText(), "A\x86"
                              "BC\x87");
    edit.SetSel(6, 6);
    edit.DeleteStr(EditDeleteKey::Delete);
    EXPECT_EQ(edit.GetText(), "A\x86"
                              "BC\x87");
    edit.DeleteStr(EditDeleteKey::Backspace);
    EXPECT_EQ(edit.GetText(), "A\x86"
                              "BC");
    edit.SetSel(2, 2);
    edit.DeleteStr(EditDeleteKey::Delete);
    EXPECT_EQ(edit.GetText(), "ABC");
    edit.SetSel(1, 3);
    edit.DeleteStr(EditDeleteKey::Delete);
    EXPECT_EQ(edit.GetText(), "C");
    edit.SetSel(0, 99);  // clipped to the text
    EXPECT_EQ(edit.GetSelText(), "C");
    ExpectAligned();
}

TEST_F(NameEdit, ArrowKeysLeaveOnlyAtTheEndsWithoutSelection)
{
    edit.StartEdit("AB");
    EXPECT_EQ(edit.GetSelText(), "AB");
    EXPECT_FALSE(edit.LeavesEditor(EditNavKey::Left, false));
    EXPECT_FALSE(edit.LeavesEditor(EditNavKey::Right, false));
    EXPECT_TRUE(edit.LeavesEditor(EditNavKey::Up, false));
    EXPECT_FALSE(edit.LeavesEditor(EditNavKey::Tab, false));
    EXPECT_TRUE(edit.LeavesEditor(EditNavKey::Tab, true));
    edit.SetSel(1, 1);
    EXPECT_TRUE(edit.LeavesEditor(EditNavKey::Left, false));
    EXPECT_FALSE(edit.LeavesEditor(EditNavKey::Right, false));
    edit.SetSel(3, 3);
    EXPECT_TRUE(edit.LeavesEditor(EditNavKey::Right, false));
}

// A document read from interchange text, through the same path a file takes.
TEST(ChannelDocumentFiles, ParsingDataFileReadsDeletesAndReportsFullTables)
{
    DocumentFixture f;
    auto path = std::filesystem::temp_directory_path() / ("doc_core_test_" + std::to_string(::getpid()) + ".tmp");
    {
        std::ofstream out(path, std::ios::binary);
        out << "[LUMORA V3 FILE]\r\n[NETWORK]\r\nNET\r\n[TS]\r\n";
        for (int i = 0; i < kTSCapacity + 2; ++i)
            out << "1\t2\t0\t0\t11778\t27500\t1\t2\r\n";
        out << "[SERVICE]\r\n";
    }
    const TDocumentRead read = f.doc->ParsingDataFile(path.string());
    EXPECT_TRUE(read);
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(f.ui.messages.empty());  // the command shows the notices
    EXPECT_EQ(read.notices,
              (std::vector<TNotice>{{MsgKind::Error, "The size of TS data is over. some data is excluded!"}}));
    f.doc->LoadTreeValue();
    EXPECT_EQ(f.doc->Tree1.FindRoot("Transport Stream")->ChildCount(), kTSCapacity);
    EXPECT_EQ(f.doc->Tree1.FindRoot("Network")->Child(0)->Caption, "NET");
    const TDocumentRead missing = f.doc->ParsingDataFile(path.string());
    EXPECT_FALSE(missing);
    EXPECT_NE(missing.message().find(path.string()), std::string::npos);
}

}  // namespace
}  // namespace lumora::test
