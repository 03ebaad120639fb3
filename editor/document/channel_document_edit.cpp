// Cell editing: the row write-back, and the menu data dialog.
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
    const int32_t r = RowService(ARow);
    if (r < 0) {
        RefreshServiceGrid();  // the empty placeholder row shows no service: it is only redrawn
        return;
    }
    const bool known = ACol > kColIndex && ACol < kSGColCount;
    Edit(std::string("Edit ") + (known ? kSGColumns[std::size_t(ACol)].Caption : "Service"),
         [&] { WriteRowBack(Service(r), ARow); });
}

void ChannelDocument::FlatButton2Click()
{
    const auto chosen = ui_.ShowMenuConfigDialog(Database().MenuConfigItem, MenuNames);
    if (!chosen)
        return;
    Edit("Change Menu Data", [&] {
        Database().MenuConfigItem = chosen->Item;
        MenuNames = chosen->Names;
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
    TTSInfo& streams = Database().TSInfo;
    if (s.pTSIndex >= 0 && s.pTSIndex < std::min(streams.wTSNum, kTSCapacity))
        streams.Info[std::size_t(s.pTSIndex)].pNetworkIndex = PositionInList(SG.NetworkList, SG.Cell(kColNetwork, row));
    s.pProviderIndex = PositionInList(SG.ProviderList, SG.Cell(kColProvider, row));
}

}  // namespace lumora
