#include "channel_document.h"

#include "interchange.h"

namespace lumora {

namespace {
constexpr const char* kCloseQueryText = "This data is modified.\rDo you really exit?";
}  // namespace

// The data come first among the bases, so they exist when the view fills
// its grid lists from them.
ChannelDocument::ChannelDocument(TApplicationState& app, UiPort& ui)
    : TDocumentData(app), TDocumentView(static_cast<TDocumentData&>(*this)), ui_(ui)
{
    OnChanged([this](const TDocumentChange& change) { FollowChange(change); });
}

ChannelDocument::~ChannelDocument() = default;

void ChannelDocument::InitAllData()
{
    InitDatabase(Database(), FlashType());
    ForgetHistory(true);  // a fresh, empty database has nothing to save
    PopupMenu2.ChangeTS.clear();
    PopupMenu2.ChangeNetwork.clear();
    PopupMenu2.ChangeProvider.clear();
}

bool ReportRead(UiPort& ui, const TDocumentRead& outcome)
{
    for (const TNotice& notice : outcome.notices)
        ui.MessageBox(notice.kind, notice.text, MsgButtons::Ok);
    return ReportFailure(ui, outcome.status);
}

TDocumentRead ChannelDocument::ParsingDataFile(const std::string& path)
{
    TDocumentRead outcome;
    auto keepNotice = [&outcome](const std::string& text) { outcome.notices.push_back({MsgKind::Error, text}); };
    ReadResult result = ParseAndDeleteExchangeFile(path, Database(), keepNotice);
    if (result.status != ReadStatus::Complete)
        outcome.status = Status::Failure(result.error);
    outcome.numbering = result.numbering;
    return outcome;
}

// The view follows the restored data through the change notification.
void ChannelDocument::Undo() { UndoData(); }

void ChannelDocument::Redo() { RedoData(); }

void ChannelDocument::FormCloseQuery(bool& CanClose)
{
    if (!pModifiedFlag())
        return;
    CanClose = ui_.MessageBox(MsgKind::Confirmation, kCloseQueryText, MsgButtons::OkCancel) == MsgResult::Ok;
}

}  // namespace lumora
