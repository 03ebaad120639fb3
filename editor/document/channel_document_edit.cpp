// Cell editing: the row write-back and the grid's mouse and key handling.
#include <algorithm>

#include "channel_document.h"
#include "edit_text.h"
#include "intparse.h"

namespace lumora {

namespace {
int32_t PositionInList(const std::vector<std::string>& list, const std::string& text)
{
    auto found = std::find(list.begin(), list.end(), text);
    return found == list.end() ? -1 : int32_t(found - list.begin());
}

uint16_t Low16(int32_t value) { return static_cast<uint16_t>(static_cast<uint32_t>(value)); }
}  // namespace

void ChannelDocument::SGSetEditText(int32_t ACol, int32_t ARow, const std::string& /*Value*/)
{
    if (ARow < 1 || ARow >= SG.RowCount())
        return;
    const std::string& riCell = SG.Cell(kColRI, ARow);
    if (riCell.empty()) {  // the empty placeholder row
        RefreshServiceGrid();
        return;
    }
    int32_t r = StrToInt(riCell);
    if (r >= 0 && r < ServiceCount()) {
        const bool known = ACol > kColIndex && ACol < kSGColCount;
        Edit(std::string("Edit ") + (known ? kSGColumns[std::size_t(ACol)].Caption : "Service"),
             [&] { WriteRowBack(Service(r), ARow); });
    }
    RefreshServiceGrid();
}

void ChannelDocument::FlatButton2Click()
{
    const auto chosen = ui_.ShowMenuConfigDialog(db_->MenuConfigItem, {MenuStr, AudioStr, SubStr});
    if (!chosen)
        return;
    Edit("Change Menu Data", [&] {
        db_->MenuConfigItem = chosen->Item;
        MenuStr = chosen->Names.MenuStr;
        AudioStr = chosen->Names.AudioStr;
        SubStr = chosen->Names.SubStr;
    });
}

// Stores the row's cells left to right; a number that does not parse throws
// and leaves the fields to its right as they were.
void ChannelDocument::WriteRowBack(TServiceItem& s, int32_t row)
{
    std::string name = SG.Cell(kColName, row);
    TkEditText::ReplaceControlChar(name);  // a TAB or line end would break the interchange file
    s.szServiceName = name;
    s.wVideoPID = Low16(StrToInt(SG.Cell(kColVideoPID, row)));
    s.wAudioPID = Low16(StrToInt(SG.Cell(kColAudioPID, row)));
    s.wPCRPID = Low16(StrToInt(SG.Cell(kColPCRPID, row)));
    s.wServiceId = Low16(StrToInt(SG.Cell(kColServiceId, row)));
    s.wPmtPID = Low16(StrToInt(SG.Cell(kColPmtPID, row))) | 0x8000;
    int32_t genre = PositionInList(SG.GenreList, SG.Cell(kColGenre, row));
    s.ServiceKind = genre < 0 ? 0xFF : uint8_t(genre);
    s.bParentLock = SG.Cell(kColLock, row) == "TRUE";
    s.bSkipService = SG.Cell(kColSkip, row) == "TRUE";
    if (s.pTSIndex >= 0 && s.pTSIndex < std::min(db_->TSInfo.wTSNum, kTSCapacity))
        db_->TSInfo.Info[std::size_t(s.pTSIndex)].pNetworkIndex = PositionInList(SG.NetworkList, SG.Cell(kColNetwork, row));
    s.pProviderIndex = PositionInList(SG.ProviderList, SG.Cell(kColProvider, row));
}

bool ChannelDocument::SGMouseDown(bool rightButton)
{
    const TTreeNode* node = Tree1.Selected();
    if (!node)
        return false;
    PopupMenu2.AddInformation = true;
    PopupMenu2.Paste = false;
    BuildChangeSubmenus();
    uint32_t kind = TagKind(node->Tag);
    if (node->Level() == 0)
        PopupMenu2.AddInformation = false;
    if (kind == kKindAllService)
        PopupMenu2.Paste = true;
    if (kind >= kKindAntenna && kind <= kKindNetwork)
        PopupMenu2.AddInformation = false;
    PopupMenu2.AddInformationCaption = "Add Information";

    if (db_->pFixServiceIndex) {
        int32_t number = 0xFFFF;
        try {
            number = StrToInt(SG.Cell(kColIndex, SG.Selection().Top));
        } catch (const EConvertError&) {
        }
        if (IsFixedDisplayedNumber(number))
            return false;  // fixed-numbered services get no menu
    }
    return rightButton;
}

void ChannelDocument::BuildChangeSubmenus()
{
    PopupMenu2.ChangeTS.clear();
    PopupMenu2.ChangeNetwork.clear();
    PopupMenu2.ChangeProvider.clear();
    for (int i = 0; i < std::min(db_->TSInfo.wTSNum, kTSCapacity); ++i)
        PopupMenu2.ChangeTS.push_back({"A" + std::to_string(i), GetTSString(i)});
    for (int i = 0; i < std::min(db_->NetworkInfo.wNetworkNum, kNetworkCapacity); ++i)
        PopupMenu2.ChangeNetwork.push_back({"B" + std::to_string(i), db_->NetworkInfo.Info[std::size_t(i)].szNetworkName});
    for (int i = 0; i < std::min(db_->ProviderInfo.wProviderNum, kProviderCapacity); ++i)
        PopupMenu2.ChangeProvider.push_back(
            {"C" + std::to_string(i), db_->ProviderInfo.Info[std::size_t(i)].szProviderName});
}

ServiceClipboardCommand ChannelDocument::SGKeyDown(int key, bool ctrl)
{
    if (!ctrl)
        return ServiceClipboardCommand::None;
    switch (key) {
    case 'C': case 'c': return ServiceClipboardCommand::Copy;
    case 'V': case 'v': return ServiceClipboardCommand::Paste;
    case 'X': case 'x': return ServiceClipboardCommand::Cut;
    default: return ServiceClipboardCommand::None;
    }
}

}  // namespace lumora
