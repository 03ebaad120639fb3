#include "channel_document.h"

#include <stdexcept>

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

std::optional<FavoriteNumbering> ChannelDocument::ParsingDataFile(const std::string& path)
{
    auto showError = [this](const std::string& message) { ui_.MessageBox(MsgKind::Error, message, MsgButtons::Ok); };
    ReadResult result = ParseAndDeleteExchangeFile(path, Database(), showError);
    if (result.status != ReadStatus::Complete)
        throw std::runtime_error(result.error);
    return result.numbering;
}

// The place is taken before the data change: tree and grid still show it.
void ChannelDocument::Undo()
{
    const TViewPlace place = CurrentPlace();
    if (UndoData())
        ShowPlace(place);
}

void ChannelDocument::Redo()
{
    const TViewPlace place = CurrentPlace();
    if (RedoData())
        ShowPlace(place);
}

void ChannelDocument::FormCloseQuery(bool& CanClose)
{
    if (!pModifiedFlag())
        return;
    CanClose = ui_.MessageBox(MsgKind::Confirmation, kCloseQueryText, MsgButtons::OkCancel) == MsgResult::Ok;
}

}  // namespace lumora
