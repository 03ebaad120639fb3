// Replace in Names and Remove Duplicate Services: each asks first, then
// changes the tables as one edit and shows the grid again.
#include "channel_document.h"
#include "service_cleanup.h"
#include "service_numbering.h"

namespace lumora {

std::vector<int32_t> ChannelDocument::ListedRealIndices(bool selectedOnly) const
{
    const int32_t top = selectedOnly ? SG.Selection().Top : 1;
    const int32_t bottom = selectedOnly ? SG.Selection().Bottom : SG.RowCount() - 1;
    return RowServices(top, bottom);
}

void ChannelDocument::ReplaceInNames()
{
    const int32_t selected = int32_t(ListedRealIndices(true).size());
    const int32_t listed = int32_t(ListedRealIndices(false).size());
    if (listed == 0) {
        ui_.MessageBox(MsgKind::Information, "No service is listed.", MsgButtons::Ok);
        return;
    }
    const auto request = ui_.ShowReplaceNamesDialog(selected, listed);
    if (!request || request->Find.empty())
        return;
    const std::vector<int32_t> services = ListedRealIndices(request->SelectedOnly);
    int changed = 0;
    Edit("Replace in Names", [&] {
        changed = ReplaceInServiceNames(Database(), services, request->Find, request->Replace);
        NameEdit("Replace in " + std::to_string(changed) + (changed == 1 ? " name" : " names"));
    });
    if (changed == 0)
        ui_.MessageBox(MsgKind::Information,
                       "No name of the " + ServicesText(int32_t(services.size())) + " contains \"" + request->Find +
                           "\".",
                       MsgButtons::Ok);
}

void ChannelDocument::RemoveDuplicates()
{
    const auto key = ui_.ShowRemoveDuplicatesDialog();
    if (!key)
        return;
    TDuplicateRemoval removal;
    Edit("Remove Duplicate Services", [&] {
        removal = RemoveDuplicateServices(Database(), NumberingOf(Database(), FlashType()), *key);
        NameEdit("Remove " + std::to_string(removal.Removed()) + " duplicate" + (removal.Removed() == 1 ? "" : "s"));
    });
    if (removal.Removed() == 0) {
        ui_.MessageBox(MsgKind::Information, "No duplicate services found.", MsgButtons::Ok);
        return;
    }
    ui_.MessageBox(MsgKind::Information,
                   "Removed " + ServicesText(removal.Removed()) + ":\r" + ShortNameList(removal.RemovedNames, 20),
                   MsgButtons::Ok);
}

}  // namespace lumora
