// lumora-cli upload, download and firmware: the editor's Data Upload, Data
// Download and Download Firmware for scripts, through the same library entries
// and the same document steps. Ctrl+C stops a running transfer (exit 130).
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <ostream>

#include "channel_document.h"
#include "conversion_cli.h"
#include "interchange.h"
#include "transfer_cli.h"

namespace lumora::cli {
namespace {

constexpr std::string_view kUploadUsage =
    "usage: lumora-cli upload --port N|--device PATH [--speed BPS] [--settings LV32.cfg] [--menu-type N]\n"
    "                         [--flash-type N] [--ant32 0|1] OUT.dnf\n";
constexpr std::string_view kDownloadUsage =
    "usage: lumora-cli download --port N|--device PATH [--speed BPS] [--settings LV32.cfg] [--menu-type N]\n"
    "                           [--flash-type N] [--ant32 0|1] [--system-id HEX] IN.dnf\n";
constexpr std::string_view kFirmwareUsage =
    "usage: lumora-cli firmware --port N|--device PATH [--speed BPS] [--settings LV32.cfg] IMAGE.ddf\n";

// The size of every whole raw image a receiver sends.

// The editor's messages for the same outcomes.
constexpr const char* kUploadFailure = "Upload failure.. Please retry uploading processing.";
constexpr const char* kDownloadCanceled = "Download Operation was canceled.";

// A document as the editor's window holds one, with every message it would
// show written to err; nobody is there to answer a question.
struct CliDocument {
    CliDocument(const TSettings& settings, const ExchangeDirectory& exchange, const ConversionLibrary& library,
                std::ostream& err)
        : ui([&err](const std::string& text) {
              std::string line = text;
              for (char& c : line)
                  if (c == '\r')
                      c = ' ';
              err << "lumora-cli: " << line << '\n';
          })
    {
        app.Settings = settings;
        app.ExchangeDir = exchange.Path();
        app.ConversionLibraryPath = library.Path();
        doc = std::make_unique<ChannelDocument>(app, ui);
    }
    TApplicationState app;
    NonInteractiveUiPort ui;
    std::unique_ptr<ChannelDocument> doc;
};

// Parses the arguments and loads settings and library; the exit status when
// one of them fails.
std::optional<int> Prepare(const Arguments& args, TransferOptionSet set, std::string_view usage,
                           TransferOptions& options, TSettings& settings, std::unique_ptr<ConversionLibrary>& library,
                           std::ostream& err)
{
    if (!ParseTransferOptions(args, set, options, err)) {
        err << usage;
        return kExitUsage;
    }
    CatchInterrupt();
    if (!ResolveTransferSettings(options, settings, err))
        return kExitFailed;
    library = OpenConversionLibrary(err);
    if (!library)
        return kExitFailed;
    return std::nullopt;
}

// Runs a subcommand's work; what it throws (no exchange directory, for
// example) ends it with the reason and status 1.
template <typename Work>
int Guarded(std::ostream& err, Work&& work)
{
    try {
        return work();
    } catch (const std::exception& e) {
        err << "lumora-cli: " << e.what() << '\n';
        return kExitFailed;
    }
}

// Whether an upload could write `out`, asked before the receiver is kept
// busy for minutes.
bool CheckWritableFolder(const std::string& out, std::ostream& err)
{
    const std::filesystem::path parent = std::filesystem::path(out).parent_path();
    const std::string folder = parent.empty() ? "." : parent.string();
    if (::access(folder.c_str(), W_OK) == 0)
        return true;
    err << "lumora-cli: \"" << out << "\": " << std::strerror(errno) << '\n';
    return false;
}

// The received raw image as a document, saved to `out` the way the editor
// saves an uploaded document; `out` is replaced only when all went well.
int SaveUpload(const std::string& raw, const std::string& out, const TSettings& settings,
               const ExchangeDirectory& exchange, ConversionLibrary& library, std::ostream& err)
{
    std::error_code sizeError;
    if (std::filesystem::file_size(raw, sizeError) != kRawImageExchangeSize) {
        err << "lumora-cli: " << kUploadFailure << '\n';
        return kExitFailed;
    }
    std::string error;
    if (!library.RawToDnf(raw, ExchangeFile(exchange.Path(), kInterchangeExchangeFile), SettingsReceiver(settings),
                          error)) {
        err << "lumora-cli: " << error << '\n';
        return kExitFailed;
    }
    CliDocument document(settings, exchange, library, err);
    if (!document.doc->OpenFileFromUpload(out, true))
        return kExitFailed;
    if (Interrupted())
        return ReportTransferEnd(TransferResult::Interrupted, {}, err);
    if (!document.doc->SaveDataFile(out))
        return kExitFailed;
    err << "lumora-cli: the receiver's data were saved to \"" << out << "\"\n";
    return kExitOk;
}

// The download image of document `in`, built as Data Download builds it,
// into `image`. False after the reason was written to err.
bool MakeDownloadImage(const std::string& in, const std::string& image, const TSettings& settings,
                       const ExchangeDirectory& exchange, ConversionLibrary& library, std::ostream& err)
{
    CliDocument document(settings, exchange, library, err);
    if (!document.doc->OpenDataFile(in, false))
        return false;
    // Services need a network and a provider; the check fills in the first
    // ones or refuses, with its own message first.
    if (!document.doc->CheckServiceForDownload()) {
        err << "lumora-cli: " << kDownloadCanceled << '\n';
        return false;
    }
    const std::string text = ExchangeFile(exchange.Path(), kInterchangeExchangeFile);
    const auto systemId = static_cast<uint32_t>(HexToInt(settings.SystemInfo.SYSTEMID));
    std::string error;
    if (!MakeDnfRawFile(text, document.doc->Database(), error) ||
        !library.DnfToDDF(text, image, SettingsReceiver(settings), systemId, error)) {
        err << "lumora-cli: " << error << '\n';
        return false;
    }
    return true;
}

}  // namespace

int RunUpload(const Arguments& args, std::ostream& /*out*/, std::ostream& err)
{
    TransferOptions options;
    TSettings settings;
    std::unique_ptr<ConversionLibrary> library;
    if (auto failed = Prepare(args, TransferOptionSet::Upload, kUploadUsage, options, settings, library, err))
        return *failed;
    if (!CheckWritableFolder(options.file, err))
        return kExitFailed;
    return Guarded(err, [&] {
        ExchangeDirectory exchange;
        const std::string raw = ExchangeFile(exchange.Path(), kRawImageExchangeFile);
        std::string error;
        const TransferResult result =
            RunLibraryTransfer(*library, "UploadData", settings, raw, "Receiving", err, error);
        if (result != TransferResult::Done)
            return ReportTransferEnd(result, error, err);
        return SaveUpload(raw, options.file, settings, exchange, *library, err);
    });
}

int RunDownload(const Arguments& args, std::ostream& /*out*/, std::ostream& err)
{
    TransferOptions options;
    TSettings settings;
    std::unique_ptr<ConversionLibrary> library;
    if (auto failed = Prepare(args, TransferOptionSet::Download, kDownloadUsage, options, settings, library, err))
        return *failed;
    if (!CheckReadable(options.file, err))
        return kExitFailed;
    return Guarded(err, [&] {
        ExchangeDirectory exchange;
        const std::string image = ExchangeFile(exchange.Path(), kDownloadImageExchangeFile);
        if (!MakeDownloadImage(options.file, image, settings, exchange, *library, err))
            return kExitFailed;
        std::string error;
        const TransferResult result =
            RunLibraryTransfer(*library, "DownloadData", settings, image, "Sending", err, error);
        if (result != TransferResult::Done)
            return ReportTransferEnd(result, error, err);
        err << "lumora-cli: the receiver accepted \"" << options.file << "\"\n";
        return kExitOk;
    });
}

int RunFirmware(const Arguments& args, std::ostream& /*out*/, std::ostream& err)
{
    TransferOptions options;
    TSettings settings;
    std::unique_ptr<ConversionLibrary> library;
    if (auto failed = Prepare(args, TransferOptionSet::Firmware, kFirmwareUsage, options, settings, library, err))
        return *failed;
    if (!CheckReadable(options.file, err))
        return kExitFailed;
    // The image goes as it is, never examined or changed here.
    std::string error;
    const TransferResult result =
        RunLibraryTransfer(*library, "DownloadData", settings, options.file, "Sending firmware", err, error);
    if (result != TransferResult::Done)
        return ReportTransferEnd(result, error, err);
    err << "lumora-cli: the receiver accepted the firmware \"" << options.file << "\"\n";
    return kExitOk;
}

}  // namespace lumora::cli
