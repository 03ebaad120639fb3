// Opening and saving documents through the conversion library. The library
// converts between the user's ".dnf" file and an interchange file in the
// program's private exchange directory; the document reads and writes only
// the interchange file. Every failure comes back with the file and the
// reason, for the command to show, and no exchange file is left behind.
#include "channel_document.h"
#include "conversion_binding.h"
#include "exchange_dir.h"
#include "interchange.h"
#include "service_table_ops.h"

namespace lumora {

namespace {

constexpr const char* kFavoritesRenumbered =
    "The favorite lists of this file were numbered for another flash type; they were renumbered to name the "
    "same services.";

Result<std::string> ExchangePath(const TApplicationState& app, const char* name)
{
    if (app.ExchangeDir.empty())
        return Status::Failure("the exchange directory of the program has not been made");
    if (Status made = EnsureExchangeDirectory(app.ExchangeDir); !made)
        return made;
    return ExchangeFile(app.ExchangeDir, name);
}

// Deletes an exchange file when the step that uses it is over, however it
// ends. An output file is also deleted at the start: a stale one from an
// earlier run must never be read as this run's result.
enum class ExchangeUse { Input, Output };

class ExchangeFileGuard {
public:
    ExchangeFileGuard(std::string path, ExchangeUse use) : path_(std::move(path))
    {
        if (use == ExchangeUse::Output)
            DeleteExchangeFile(path_);
    }
    ~ExchangeFileGuard() { DeleteExchangeFile(path_); }
    ExchangeFileGuard(const ExchangeFileGuard&) = delete;
    ExchangeFileGuard& operator=(const ExchangeFileGuard&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Runs `step` (returning a Status) on the path of exchange file `name`,
// which is deleted when the step is over.
template <typename Step>
Status WithExchangeFile(const TApplicationState& app, const char* name, ExchangeUse use, Step&& step)
{
    Result<std::string> path = ExchangePath(app, name);
    if (!path)
        return path.status();
    ExchangeFileGuard file(std::move(path).value(), use);
    return step(file.Path());
}

bool HasFavorites(const TChannelDatabase& db)
{
    for (const auto& group : db.FavoriteInfo)
        for (const TFavoriteItem& list : group)
            if (list.wIndexNum > 0)
                return true;
    return false;
}

// Favorite entries name services by a numbering that depends on the flash
// type. A file numbered for another flash type has its entries rewritten to
// name the same services under this one; the notice tells the person once.
std::optional<TNotice> AdoptFileNumbering(TChannelDatabase& db, FavoriteNumbering recorded, uint8_t flashType)
{
    // Fixed or not as set when the tables were initialised, the automatic
    // numbers' start as the settings say now (as the grid does).
    const FavoriteNumbering current = FavoriteNumberingOf(NumberingOf(db, flashType));
    if (recorded == current || !HasFavorites(db))
        return std::nullopt;
    const int dropped = RenumberFavorites(db, NumberingFor(recorded), NumberingFor(current));
    std::string message = kFavoritesRenumbered;
    if (dropped > 0)
        message += "\r" + std::to_string(dropped) +
                   " favorite entries could not be renumbered (their services share a number with others under "
                   "this flash type) and were left out.";
    return TNotice{MsgKind::Information, message};
}

}  // namespace

TDocumentRead ChannelDocument::OpenDataFile(const std::string& FileName, bool IsNew)
{
    pState = IsNew;
    Caption = FileName;
    TDocumentRead opened;
    if (IsNew) {
        InitAllData();
        LoadTreeValue();
    } else {
        opened = LoadDataFile(FileName);
    }
    ForgetHistory(true);
    return opened;
}

TDocumentRead ChannelDocument::LoadDataFile(const std::string& FileName)
{
    InitAllData();
    TDocumentRead read;
    read.status = WithExchangeFile(App(), kInterchangeExchangeFile, ExchangeUse::Output, [&](const std::string& text) {
        ConversionLibrary library(ConversionLibraryPath(App().ConversionLibraryPath));
        return library.V3DnfToDnf(FileName, text).AndThen([&] {
            read = ParsingDataFile(text);
            return read.status;
        });
    });
    if (!read)
        InitAllData();  // nothing half-read stays in the document
    else if (read.numbering)
        if (std::optional<TNotice> renumbered = AdoptFileNumbering(Database(), *read.numbering, FlashType()))
            read.notices.push_back(std::move(*renumbered));
    LoadTreeValue();
    return read;
}

TDocumentRead ChannelDocument::OpenFileFromUpload(const std::string& Name, bool State)
{
    Caption = Name;
    pState = State;
    InitAllData();
    TDocumentRead read;
    read.status = WithExchangeFile(App(), kInterchangeExchangeFile, ExchangeUse::Input, [&](const std::string& text) {
        read = ParsingDataFile(text);
        return read.status;
    });
    if (!read)
        InitAllData();
    LoadTreeValue();
    ForgetHistory(false);  // the upload is in no file yet
    return read;
}

TDocumentRead ChannelDocument::OpenRecoveredFile(const std::string& FileName, const std::string& NewCaption)
{
    TDocumentRead opened = LoadDataFile(FileName);
    Caption = NewCaption;
    pState = true;
    ForgetHistory(false);  // the recovered changes are in no file of the person's yet
    return opened;
}

Status ChannelDocument::WriteCopy(const std::string& FileName) const
{
    return WithExchangeFile(App(), kSaveExchangeFile, ExchangeUse::Output, [&](const std::string& text) {
        // The file records what its favorite entries mean, for opening it under another flash type.
        const WriteOptions options{.numbering = FavoriteNumberingOf(NumberingOf(Database(), FlashType()))};
        return MakeDnfRawFile(text, Database(), options).AndThen([&] {
            ConversionLibrary library(ConversionLibraryPath(App().ConversionLibraryPath));
            return library.DnfToV3Dnf(text, FileName);
        });
    });
}

// The flags and the caption change only once the file has been written: a
// failed save leaves the document as it was, still to be saved.
Status ChannelDocument::SaveDataFile(const std::string& FileName)
{
    Status saved = WriteCopy(FileName);
    if (saved) {
        pState = false;
        Caption = FileName;
        MarkSaved();
    }
    return saved;
}

}  // namespace lumora
