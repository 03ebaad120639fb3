// Opening and saving documents through the conversion library. The library
// converts between the user's ".dnf" file and an interchange file in the
// program's private exchange directory; the document reads and writes only
// the interchange file. Every failure is shown with the file and the reason,
// and no exchange file is left behind.
#include <exception>
#include <stdexcept>

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

// Raised inside the operations below; its message is shown once, in an error box.
struct FileStepFailed {
    std::string message;
};

std::string ExchangePath(const TApplicationState& app, const char* name)
{
    if (app.ExchangeDir.empty())
        throw FileStepFailed{"the exchange directory of the program has not been made"};
    EnsureExchangeDirectory(app.ExchangeDir);
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

// Runs `step`; a failure is shown in an error box and turned into false.
template <typename Step>
bool RunFileStep(UiPort& ui, Step&& step)
{
    std::string message;
    try {
        step();
        return true;
    } catch (const FileStepFailed& failure) {
        message = failure.message;
    } catch (const std::exception& e) {
        message = e.what();
    }
    ui.MessageBox(MsgKind::Error, message, MsgButtons::Ok);
    return false;
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
// name the same services under this one, and the person is told once.
void AdoptFileNumbering(TChannelDatabase& db, UiPort& ui, FavoriteNumbering recorded, uint8_t flashType)
{
    // Fixed or not as set when the tables were initialised, the automatic
    // numbers' start as the settings say now (as the grid does).
    const FavoriteNumbering current = FavoriteNumberingOf(NumberingOf(db, flashType));
    if (recorded == current || !HasFavorites(db))
        return;
    const int dropped = RenumberFavorites(db, NumberingFor(recorded), NumberingFor(current));
    std::string message = kFavoritesRenumbered;
    if (dropped > 0)
        message += "\r" + std::to_string(dropped) +
                   " favorite entries could not be renumbered (their services share a number with others under "
                   "this flash type) and were left out.";
    ui.MessageBox(MsgKind::Information, message, MsgButtons::Ok);
}

}  // namespace

bool ChannelDocument::OpenDataFile(const std::string& FileName, bool IsNew)
{
    pState = IsNew;
    Caption = FileName;
    bool opened = true;
    if (IsNew) {
        InitAllData();
        LoadTreeValue();
    } else {
        opened = LoadDataFile(FileName);
    }
    ForgetHistory(true);
    return opened;
}

bool ChannelDocument::LoadDataFile(const std::string& FileName)
{
    InitAllData();
    std::optional<FavoriteNumbering> recorded;
    bool loaded = RunFileStep(ui_, [&] {
        ExchangeFileGuard text(ExchangePath(App(), kInterchangeExchangeFile), ExchangeUse::Output);
        ConversionLibrary library(ConversionLibraryPath(App().ConversionLibraryPath));
        std::string error;
        if (!library.V3DnfToDnf(FileName, text.Path(), error))
            throw FileStepFailed{error};
        recorded = ParsingDataFile(text.Path());
    });
    if (!loaded)
        InitAllData();  // nothing half-read stays in the document
    else if (recorded)
        AdoptFileNumbering(Database(), ui_, *recorded, FlashType());
    LoadTreeValue();
    return loaded;
}

bool ChannelDocument::OpenFileFromUpload(const std::string& Name, bool State)
{
    Caption = Name;
    pState = State;
    InitAllData();
    bool loaded = RunFileStep(ui_, [&] {
        ExchangeFileGuard text(ExchangePath(App(), kInterchangeExchangeFile), ExchangeUse::Input);
        ParsingDataFile(text.Path());
    });
    if (!loaded)
        InitAllData();
    LoadTreeValue();
    ForgetHistory(false);  // the upload is in no file yet
    return loaded;
}

bool ChannelDocument::OpenRecoveredFile(const std::string& FileName, const std::string& NewCaption)
{
    const bool opened = LoadDataFile(FileName);
    Caption = NewCaption;
    pState = true;
    ForgetHistory(false);  // the recovered changes are in no file of the person's yet
    return opened;
}

void ChannelDocument::WriteDnfFile(const std::string& FileName) const
{
    ExchangeFileGuard text(ExchangePath(App(), kSaveExchangeFile), ExchangeUse::Output);
    std::string error;
    // The file records what its favorite entries mean, for opening it under another flash type.
    const WriteOptions options{.numbering = FavoriteNumberingOf(NumberingOf(Database(), FlashType()))};
    if (!MakeDnfRawFile(text.Path(), Database(), error, options))
        throw FileStepFailed{error};
    ConversionLibrary library(ConversionLibraryPath(App().ConversionLibraryPath));
    if (!library.DnfToV3Dnf(text.Path(), FileName, error))
        throw FileStepFailed{error};
}

void ChannelDocument::WriteCopy(const std::string& FileName) const
{
    try {
        WriteDnfFile(FileName);
    } catch (const FileStepFailed& failure) {
        throw std::runtime_error(failure.message);
    }
}

// The flags and the caption change only once the file has been written: a
// failed save leaves the document as it was, still to be saved.
bool ChannelDocument::SaveDataFile(const std::string& FileName)
{
    bool saved = RunFileStep(ui_, [&] { WriteDnfFile(FileName); });
    if (saved) {
        pState = false;
        MarkSaved();
        Caption = FileName;
    }
    return saved;
}

}  // namespace lumora
