// Editing the tables that services point into: antennas, transport streams,
// networks and providers, from the tree's information menu, and the grid's
// change submenus that reassign services.
#include <algorithm>

#include "channel_document.h"
#include "edit_text.h"
#include "intparse.h"
#include "service_table_ops.h"

namespace lumora {

namespace {

constexpr const char* kUserProvider = "(USER PROVIDER)";
constexpr const char* kUserNetwork = "(USER NETWORK)";

// What differs between adding a provider and adding a network.
struct TNamedTableRules {
    int capacity;
    const char* defaultName;
    const char* fullText;
    const char* defaultExistsText;
};

constexpr TNamedTableRules kProviderRules = {
    kProviderCapacity, kUserProvider, "Can't add a provider info any more!",
    "Other (USER PROVIDER) exist.\rPlease change (USER PROVIDER) and retry add function"};
constexpr TNamedTableRules kNetworkRules = {
    kNetworkCapacity, kUserNetwork, "Can't add a network info any more!",
    "Other (USER NETWORK) exist.\rPlease change (USER NETWORK) and retry add function"};

uint32_t TagIndex(uint32_t tag) { return tag & 0xFFFFFF; }

// Whether a provider or network may be added; tells the person why not.
bool MayAddNamedEntry(UiPort& ui, int32_t count, const TNamedTableRules& rules,
                      const std::function<const std::string&(int)>& nameAt)
{
    if (count >= rules.capacity) {
        ui.MessageBox(MsgKind::Information, rules.fullText, MsgButtons::Ok);
        return false;
    }
    // Only one entry may carry the default name at a time.
    for (int i = 0; i < count; ++i)
        if (nameAt(i) == rules.defaultName) {
            ui.MessageBox(MsgKind::Warning, rules.defaultExistsText, MsgButtons::Ok);
            return false;
        }
    return true;
}

// Where a new child of the selected node's branch goes: below the root.
TTreeNode* BranchRoot(TTreeNode* node) { return node->Level() == 0 ? node : node->Parent(); }

}  // namespace

// ---------------------------------------------------------------------------
// Edit

void ChannelDocument::Edit1Click()
{
    TTreeNode* node = Tree1.Selected();
    if (!node)
        return;
    // A root stands for no entry; its menu entry is disabled.
    if (node->Level() == 0)
        return;
    const uint32_t kind = TagKind(node->Tag);
    const int32_t index = int32_t(TagIndex(node->Tag));
    switch (kind) {
    case kKindAntenna:
        if (index >= kAntennaCapacity)
            return;
        if (auto antenna = ui_.ShowAntennaDialog(Database().AntennaList.AntennaInfo[std::size_t(index)])) {
            Edit("Edit Antenna " + std::to_string(index + 1),
                 [&] { Database().AntennaList.AntennaInfo[std::size_t(index)] = *antenna; });
        }
        break;
    case kKindNetwork:
    case kKindProvider: RenameNode(kind, index); break;
    case kKindTS: EditTransportStream(index); break;
    default: break;
    }
}

// Asks for a new network or provider name. When another entry already has
// the typed name, the entry keeps its old name.
void ChannelDocument::RenameNode(uint32_t kind, int32_t index)
{
    const bool network = kind == kKindNetwork;
    if (index >= (network ? std::min(Database().NetworkInfo.wNetworkNum, kNetworkCapacity)
                          : std::min(Database().ProviderInfo.wProviderNum, kProviderCapacity)))
        return;
    std::string& stored = network ? Database().NetworkInfo.Info[std::size_t(index)].szNetworkName
                                  : Database().ProviderInfo.Info[std::size_t(index)].szProviderName;
    std::string name = stored;
    if (!ui_.InputQuery("Query", network ? "Please input a new Network name.." : "Please input a new Provider name..",
                        name))
        name = stored;  // Cancel keeps the preset
    // Names are lines of the interchange file: no TAB or line end in them.
    TkEditText::ReplaceControlChar(name);
    if (network ? CheckNetworkName(name, index) : CheckProviderName(name, index)) {
        ui_.MessageBox(MsgKind::Warning, "Same name exist..", MsgButtons::Ok);
        return;
    }
    Edit(network ? "Rename Network" : "Rename Provider", [&] { stored = name; });
}

void ChannelDocument::EditTransportStream(int32_t index)
{
    if (index >= std::min(Database().TSInfo.wTSNum, kTSCapacity))
        return;
    TTSItem& ts = Database().TSInfo.Info[std::size_t(index)];
    if (IsCable()) {
        const auto edited = ui_.ShowQAMTSSettingDialog(ts);
        if (!edited)
            return;
        Edit("Edit Transport Stream", [&] { ts = *edited; });
    } else {
        const auto edited = ui_.ShowTSSettingDialog(ts, Database().NetworkInfo);
        if (!edited)
            return;
        Edit("Edit Transport Stream", [&] {
            ts = edited->Stream;
            // The network record can only be stored for a network that exists.
            const int32_t network = ts.pNetworkIndex;
            if (network >= 0 && network < std::min(Database().NetworkInfo.wNetworkNum, kNetworkCapacity))
                Database().NetworkInfo.Info[std::size_t(network)] = edited->Network;
        });
    }
}

// ---------------------------------------------------------------------------
// Add

void ChannelDocument::AddInformation1Click()
{
    TTreeNode* node = Tree1.Selected();
    if (!node)
        return;
    switch (TagKind(node->Tag)) {
    case kKindProvider: {
        TProviderInfo& providers = Database().ProviderInfo;
        if (!MayAddNamedEntry(ui_, providers.wProviderNum, kProviderRules, [&](int i) -> const std::string& {
                return providers.Info[std::size_t(i)].szProviderName;
            }))
            return;
        const int32_t n = providers.wProviderNum;
        Edit("Add Provider", [&] {
            providers.Info[std::size_t(n)] = TProviderItem{0, kUserProvider};
            ++providers.wProviderNum;
        });
        SelectAddedNode(node);
        break;
    }
    case kKindNetwork: {
        TNetworkInfo& networks = Database().NetworkInfo;
        if (!MayAddNamedEntry(ui_, networks.wNetworkNum, kNetworkRules,
                              [&](int i) -> const std::string& { return networks.Info[std::size_t(i)].szNetworkName; }))
            return;
        const int32_t n = networks.wNetworkNum;
        Edit("Add Network", [&] {
            networks.Info[std::size_t(n)] = TNetworkItem{0, 0, kUserNetwork};
            ++networks.wNetworkNum;
        });
        SelectAddedNode(node);
        break;
    }
    case kKindTS: {
        TTSInfo& streams = Database().TSInfo;
        if (streams.wTSNum >= kTSCapacity) {
            ui_.MessageBox(MsgKind::Information, "Can't add a TS info any more!", MsgButtons::Ok);
            return;
        }
        const int32_t n = streams.wTSNum;
        Edit("Add Transport Stream", [&] {
            TTSItem fresh{};
            fresh.pNetworkIndex = 0;  // a new stream has every field zero
            streams.Info[std::size_t(n)] = fresh;
            ++streams.wTSNum;
        });
        SelectAddedNode(node);
        break;
    }
    default: return;
    }
}

// The tree shows a new entry as the last node of its branch: that node is
// selected (the grid follows).
void ChannelDocument::SelectAddedNode(TTreeNode* selected)
{
    TTreeNode* branch = BranchRoot(selected);
    if (branch->ChildCount() > 0)
        SelectNode(branch->Child(branch->ChildCount() - 1));
}

// ---------------------------------------------------------------------------
// Delete

void ChannelDocument::DeleteInformation1Click()
{
    TTreeNode* node = Tree1.Selected();
    if (!node)
        return;
    if (node->Level() == 0)
        return;
    // The tree follows: the selected node shows the next entry, or, when the
    // last one went, the selection moves to the previous one or the parent.
    const int32_t index = int32_t(TagIndex(node->Tag));
    switch (TagKind(node->Tag)) {
    case kKindProvider: DeleteProvider(index); break;
    case kKindNetwork: DeleteNetwork(index); break;
    case kKindTS: DeleteTS(index); break;
    default: return;
    }
}

void ChannelDocument::DeleteTS(int32_t index)
{
    Edit("Delete Transport Stream", [&] {
        TChannelDatabase& db = Database();
        DeleteTSEntry(db, NumberingOf(db, FlashType()), index);
    });
}

void ChannelDocument::DeleteNetwork(int32_t index)
{
    Edit("Delete Network", [&] { DeleteNetworkEntry(Database(), index); });
}

void ChannelDocument::DeleteProvider(int32_t index)
{
    Edit("Delete Provider", [&] { DeleteProviderEntry(Database(), index); });
}

// ---------------------------------------------------------------------------
// Reassignment of the selected services

void ChannelDocument::MyTSClick(const std::string& entryName)
{
    ReassignSelectedRows(entryName, "Transport Stream", [](TServiceItem& s, int32_t ts) { s.pTSIndex = ts; });
}

void ChannelDocument::MyPrvClick(const std::string& entryName)
{
    ReassignSelectedRows(entryName, "Provider", [](TServiceItem& s, int32_t provider) { s.pProviderIndex = provider; });
}

void ChannelDocument::MyNetClick(const std::string& entryName)
{
    // The network belongs to the stream: every service on it changes network.
    ReassignSelectedRows(entryName, "Network", [this](TServiceItem& s, int32_t network) {
        if (s.pTSIndex >= 0 && s.pTSIndex < std::min(Database().TSInfo.wTSNum, kTSCapacity))
            Database().TSInfo.Info[std::size_t(s.pTSIndex)].pNetworkIndex = network;
    });
}

void ChannelDocument::ReassignSelectedRows(const std::string& entryName, const std::string& what,
                                           const std::function<void(TServiceItem&, int32_t)>& assign)
{
    const int32_t index = StrToInt(entryName.empty() ? entryName : entryName.substr(1));
    Edit("Change " + what, [&] {
        const std::vector<int32_t> services = RowServices(SG.Selection().Top, SG.Selection().Bottom);
        for (const int32_t r : services)
            assign(Service(r), index);
        NameEdit("Change " + what + " of " + ServicesText(int32_t(services.size())));
    });
}

}  // namespace lumora
