// The grid's service menu: adding and deleting services, genre and favorite
// assignment, the application-wide service clipboard, and the primitives that
// every deletion, insertion and exchange of services goes through.
#include <algorithm>

#include "channel_document.h"
#include "service_numbering.h"
#include "service_table_ops.h"

namespace lumora {

namespace {
constexpr const char* kServiceTableFull = "Can't add a service any more!";
constexpr const char* kNoTSData = "No TS data..\rPlease Add TS Information first..";

}  // namespace

std::string ServicesText(int32_t count) { return std::to_string(count) + (count == 1 ? " service" : " services"); }

// ---------------------------------------------------------------------------
// Add

void ChannelDocument::AddInformation2Click()
{
    const TTreeNode* node = Tree1.Selected();
    if (!node)
        return;
    const uint32_t kind = TagKind(node->Tag);
    if (kind >= kKindAntenna && kind <= kKindNetwork) {
        ui_.MessageBox(MsgKind::Error, "This operation running in TS, GENRE, FAVORITE node", MsgButtons::Ok);
        return;
    }
    // Roots name no stream, genre or list (the menu entry is disabled there).
    if (node->Level() > 0) {
        const uint32_t index = node->Tag & 0xFFFFFF;
        if (kind == kKindTS) {
            if (!AddServiceToTS(index))
                return;
        } else if (kind == kKindGenre || kind == kKindFavorite) {
            if (!AddSelectedServicesTo(kind, index))
                return;
        }
    }
}

bool ChannelDocument::AddServiceToTS(uint32_t ts)
{
    if (ServiceCount() >= kServiceCapacity) {
        ui_.MessageBox(MsgKind::Information, kServiceTableFull, MsgButtons::Ok);
        return false;
    }
    TServiceItem item{};
    item.pTSIndex = int32_t(ts);
    item.pProviderIndex = -1;
    item.ServiceType = DisplayMode();
    const TServiceItem items[] = {item};
    Edit("Add Service", [&] {
        TChannelDatabase& db = Database();
        InsertServices(db, NumberingOf(db, FlashType()), ServiceCount(), items);
    });
    return true;
}

// The OP numbers the selection dialog shows under fixed numbering: the same
// numbers as the grid's first column.
std::vector<int32_t> ChannelDocument::SelectionOPNumbers() const
{
    if (!Database().pFixServiceIndex)
        return {};
    const TServiceNumbering numbering = Numbering();
    std::vector<int32_t> numbers(static_cast<std::size_t>(ServiceCount()));
    for (int32_t r = 0; r < ServiceCount(); ++r)
        numbers[std::size_t(r)] = numbering.OPNumber(r);
    return numbers;
}

// Genre or favorite list: the person picks services in the selection dialog.
bool ChannelDocument::AddSelectedServicesTo(uint32_t kind, uint32_t index)
{
    const TServiceInfo& services = Database().ServiceInfo;
    const uint8_t mode = DisplayMode();
    const int typeCount = mode == kServiceTypeTV ? services.wTVNum : services.wRadioNum;
    if (typeCount == 0) {
        ui_.MessageBox(MsgKind::Warning, mode == kServiceTypeTV ? "No TV Service.." : "No Radio Service..",
                       MsgButtons::Ok);
        return false;
    }
    const auto chosen = ui_.ShowServiceSelectDialog(mode, services, SelectionOPNumbers());
    if (!chosen)
        return true;
    if (kind == kKindGenre)
        Edit("Set Genre", [&] { SetGenreOf(*chosen, uint8_t(index)); });
    else if (index < uint32_t(kFavoriteLists) && mode < kFavoriteGroups)
        Edit("Add to Favorite", [&] { AddToFavoriteList(*chosen, mode, int32_t(index)); });
    return true;
}

void ChannelDocument::SetGenreOf(const std::vector<TServiceChoice>& chosen, uint8_t genre)
{
    int32_t changed = 0;
    for (const TServiceChoice& choice : chosen)
        if (choice.TableIndex >= 0 && choice.TableIndex < ServiceCount()) {
            Service(choice.TableIndex).ServiceKind = genre;
            ++changed;
        }
    NameEdit("Set Genre of " + ServicesText(changed));
}

void ChannelDocument::AddToFavoriteList(const std::vector<TServiceChoice>& chosen, uint8_t mode, int32_t index)
{
    TFavoriteItem& list = Database().FavoriteInfo[mode][index];
    list.wIndexNum = std::clamp(list.wIndexNum, 0, kFavoriteCapacity);
    int32_t added = 0;
    for (const TServiceChoice& choice : chosen) {
        if (list.wIndexNum >= kFavoriteCapacity) {
            ui_.MessageBox(MsgKind::Information, "Can't add a favorite any more!", MsgButtons::Ok);
            break;
        }
        const int32_t r = choice.TableIndex;
        if (r < 0 || r >= ServiceCount() || Service(r).ServiceType != mode)
            continue;  // names no service of the shown type
        const int32_t value = Database().pFixServiceIndex ? choice.ShownNumber : GetRealIndex(mode, r);
        if (CheckServiceIndexInFavorite(mode, index, value))
            continue;
        list.Index[std::size_t(list.wIndexNum++)] = value;
        ++added;
    }
    NameEdit("Add " + ServicesText(added) + " to Favorite " + std::string(1, char('A' + index)));
}

// ---------------------------------------------------------------------------
// Delete

void ChannelDocument::DeleteInformation2Click()
{
    const TTreeNode* node = Tree1.Selected();
    const TGridSelection selection = SG.Selection();
    if (RowService(selection.Top) < 0)
        return;  // no service shown
    const int32_t rows = selection.Bottom - selection.Top + 1;
    const uint32_t kind = node ? TagKind(node->Tag) : kKindNone;
    if (kind >= kKindAntenna && kind <= kKindGenre)
        DeleteServiceMulti(selection.Top, rows);
    else if (kind == kKindFavorite)
        DeleteFavoriteMultiInFavorite(selection.Top, rows);
}

void ChannelDocument::DeleteServiceMulti(int32_t topRow, int32_t count)
{
    // All rows are read first; the services they show are deleted together,
    // each once, so no row can take a neighbour with it.
    std::vector<int> realIndices = RowServices(topRow, topRow + count - 1);
    Edit("Delete Services", [&] {
        TChannelDatabase& db = Database();
        const int deleted = DeleteServices(db, NumberingOf(db, FlashType()), std::move(realIndices));
        NameEdit("Delete " + ServicesText(deleted));
    });
}

void ChannelDocument::DeleteFavorite(uint8_t type, int32_t value)
{
    Edit("Delete Favorite", [&] { DeleteFavoriteValue(Database(), type, value); });
}

void ChannelDocument::DeleteFavoriteMultiInFavorite(int32_t topRow, int32_t count)
{
    const uint8_t mode = DisplayMode();
    const TTreeNode* node = Tree1.Selected();
    const bool listShown = node && TagKind(node->Tag) == kKindFavorite && mode < kFavoriteGroups &&
                           (node->Tag & 0xFFFFFF) < uint32_t(kFavoriteLists);
    std::vector<int32_t> values;
    for (int32_t row = topRow; row < topRow + count; ++row) {
        if (listShown) {
            // Take the entry the row lists, so an entry that names no service
            // goes too, and nothing else with it (filtered rows are not entry
            // k - 1 at row k).
            const TFavoriteItem& list = Database().FavoriteInfo[mode][node->Tag & 0xFFFFFF];
            const int32_t entry = RowListEntry(row);
            if (entry >= 0 && entry < std::min(list.wIndexNum, kFavoriteCapacity))
                values.push_back(list.Index[std::size_t(entry)]);
        } else if (RowService(row) >= 0) {
            values.push_back(RowNumber(row) - 1);
        }
    }
    Edit("Remove from Favorite", [&] {
        for (int32_t value : values)
            DeleteFavoriteValue(Database(), mode, value);
        NameEdit("Remove " + ServicesText(int32_t(values.size())) + " from Favorite");
    });
}

// ---------------------------------------------------------------------------
// Clipboard

void ChannelDocument::Copy1Click()
{
    const TGridSelection selection = SG.Selection();
    if (RowService(selection.Top) < 0)
        return;  // no service shown
    TBufServiceInfo& clipboard = App().ServiceClipboard;
    clipboard.wServiceNum = 0;
    for (const int32_t r : RowServices(selection.Top, selection.Bottom))
        if (clipboard.wServiceNum < kServiceCapacity)
            clipboard.ServiceInfo[std::size_t(clipboard.wServiceNum++)] = Service(r);
}

void ChannelDocument::Cut1Click()
{
    const TGridSelection selection = SG.Selection();
    if (RowService(selection.Top) < 0)
        return;  // no service shown
    Copy1Click();
    Edit("Cut", [&] {
        DeleteServiceMulti(selection.Top, selection.Bottom - selection.Top + 1);
        NameEdit("Cut " + ServicesText(App().ServiceClipboard.wServiceNum));
    });
}

void ChannelDocument::Paste1Click()
{
    const TTreeNode* node = Tree1.Selected();
    if (!node)
        return;
    const uint32_t kind = TagKind(node->Tag);
    if (kind != kKindAllService) {
        if (kind >= kKindAntenna && kind <= kKindFavorite && kind != kKindGenre)
            ui_.MessageBox(MsgKind::Error, "This operation running in only All Service Mode.", MsgButtons::Ok);
        return;
    }
    if (ServiceCount() >= kServiceCapacity) {
        ui_.MessageBox(MsgKind::Information, kServiceTableFull, MsgButtons::Ok);
        return;
    }
    // Row 1 of the full list pastes at the top; a filtered list pastes before
    // the selected service.
    int32_t position = 0;
    if (SG.Row() != 1 || FilterActive()) {
        const int32_t r = RowService(SG.Selection().Top);
        position = r >= 0 ? r : 0;
    }
    const TBufServiceInfo& clipboard = App().ServiceClipboard;
    const int32_t count = std::clamp(clipboard.wServiceNum, 0, kServiceCapacity);
    // A document without streams refuses services that name one. The
    // refusal is the same for every such service, so it is told once.
    std::vector<TServiceItem> accepted;
    bool refused = false;
    for (int32_t k = 0; k < count; ++k) {
        const TServiceItem& item = clipboard.ServiceInfo[std::size_t(k)];
        if (Database().TSInfo.wTSNum <= 0 && item.pTSIndex >= 0)
            refused = true;
        else
            accepted.push_back(item);
    }
    if (refused)
        ui_.MessageBox(MsgKind::Error, kNoTSData, MsgButtons::Ok);
    // Each service goes in at the same position, so the pasted block ends in
    // reverse clipboard order; what does not fit is dropped.
    Edit("Paste", [&] {
        TChannelDatabase& db = Database();
        const int pasted = InsertServices(db, NumberingOf(db, FlashType()), position, accepted);
        NameEdit("Paste " + ServicesText(pasted));
    });
}

// ---------------------------------------------------------------------------
// Exchange

void ChannelDocument::SwapRealIndex(int32_t rowA, int32_t rowB)
{
    std::optional<TServiceNumbering> slots;
    Edit("Exchange Services", [&] { ExchangeRowServices(rowA, rowB, slots); });
}

void ChannelDocument::ExchangeRowServices(int32_t rowA, int32_t rowB, std::optional<TServiceNumbering>& slots)
{
    const int32_t a = RowService(rowA);
    const int32_t b = RowService(rowB);
    if (a < 0 || b < 0 || a == b)
        return;
    if (!slots)
        slots.emplace(Numbering());
    // Fixed-numbered services never move.
    if (Database().pFixServiceIndex && !(slots->ShowsAutomaticNumber(a) && slots->ShowsAutomaticNumber(b)))
        return;
    if (slots->KeysFollowSlots(Database(), a, b)) {
        // Every other service keeps its key; the two exchange theirs.
        SwapFavoriteValues(Database(), Service(a).ServiceType, slots->KeyOf(a), slots->KeyOf(b));
        std::swap(Service(a), Service(b));
        return;
    }
    ExchangeServices(Database(), slots->Numbering(), a, b);
    slots.reset();  // numbers may have moved with the services
}

// ---------------------------------------------------------------------------
// Download check

bool ChannelDocument::CheckServiceForDownload()
{
    if (ServiceCount() == 0)
        return true;
    bool prepared = false;
    Edit("Fill In Network and Provider", [&] { prepared = PrepareServicesForDownload(Database()); });
    if (!prepared) {
        ui_.MessageBox(MsgKind::Information, "No Provider or No Network information. Please insert the information",
                       MsgButtons::Ok);
        return false;
    }
    return true;
}

}  // namespace lumora
