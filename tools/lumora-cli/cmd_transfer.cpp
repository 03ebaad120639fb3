// lumora-cli upload, download and firmware: the editor's Data Upload, Data
// Download and Download Firmware for scripts, with the same document steps.
// An upload goes through the library's entry; downloads serve many ports at
// once (rack.h). Ctrl+C stops a running transfer (exit 130).
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>

#include "channel_document.h"
#include "conversion_cli.h"
#include "interchange.h"
#include "rack.h"
#include "serial_port.h"
#include "transfer_cli.h"

namespace lumora::cli {
namespace {

constexpr std::string_view kUploadUsage =
    "usage: lumora-cli upload --port N|--device PATH [--speed BPS] [--settings LV32.cfg] [--menu-type N]\n"
    "                         [--flash-type N] [--ant32 0|1] OUT.dnf\n";
constexpr std::string_view kDownloadUsage =
    "usage: lumora-cli download --port N[-M]|--device PATH... [--speed BPS] [--settings LV32.cfg] [--menu-type N]\n"
    "                           [--flash-type N] [--ant32 0|1] [--system-id HEX] [--verify] [--log FILE] IN.dnf\n";
constexpr std::string_view kFirmwareUsage =
    "usage: lumora-cli firmware --port N[-M]|--device PATH... [--speed BPS] [--settings LV32.cfg] [--verify]\n"
    "                           [--log FILE] IMAGE.ddf\n";
constexpr std::string_view kStationUsage =
    "usage: lumora-cli station --port N[-M]|--device PATH... [--speed BPS] [--settings LV32.cfg] [--menu-type N]\n"
    "                          [--flash-type N] [--ant32 0|1] [--system-id HEX] [--verify] [--log FILE]\n"
    "                          IN.dnf|IMAGE.ddf\n";

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

// Runs a subcommand's work; what it throws ends it with the reason and
// status 1.
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
    const Status converted =
        library.RawToDnf(raw, ExchangeFile(exchange.Path(), kInterchangeExchangeFile), SettingsReceiver(settings));
    if (!converted) {
        err << "lumora-cli: " << converted.message() << '\n';
        return kExitFailed;
    }
    CliDocument document(settings, exchange, library, err);
    if (!ReportRead(document.ui, document.doc->OpenFileFromUpload(out, true)))
        return kExitFailed;
    if (Interrupted())
        return ReportTransferEnd(TransferResult::Interrupted, {}, err);
    if (!ReportFailure(document.ui, document.doc->SaveDataFile(out)))
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
    if (!ReportRead(document.ui, document.doc->OpenDataFile(in, false)))
        return false;
    // Services need a network and a provider; the check fills in the first
    // ones or refuses, with its own message first.
    if (!document.doc->CheckServiceForDownload()) {
        err << "lumora-cli: " << kDownloadCanceled << '\n';
        return false;
    }
    const std::string text = ExchangeFile(exchange.Path(), kInterchangeExchangeFile);
    const auto systemId = static_cast<uint32_t>(HexToInt(settings.SystemInfo.SYSTEMID));
    const Status made = MakeDnfRawFile(text, document.doc->Database()).AndThen([&] {
        return library.DnfToDDF(text, image, SettingsReceiver(settings), systemId);
    });
    if (!made) {
        err << "lumora-cli: " << made.message() << '\n';
        return false;
    }
    return true;
}

// The library names a device given with --device as port COM 1 with that
// device; the person gave the device, so messages name only the device.
std::string NameDevice(std::string message, const TransferOptions& options)
{
    if (options.devices.empty())
        return message;
    const std::string said = "COM 1 (" + options.devices.front() + ")";
    for (std::size_t at = message.find(said); at != std::string::npos; at = message.find(said, at))
        message.replace(at, said.size(), options.devices.front());
    return message;
}

// The whole file at `path`; false when it cannot be read.
bool ReadBytes(const std::string& path, serial::Bytes& bytes)
{
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad() && static_cast<bool>(in.is_open());
}

// The ports of the options with the devices they open.
std::vector<RackPort> RackPorts(const TransferOptions& options)
{
    std::vector<RackPort> ports;
    for (const int port : options.ports)
        ports.push_back({port, serial::DeviceForPort(static_cast<unsigned>(port))});
    for (const std::string& device : options.devices)
        ports.push_back({std::nullopt, device});
    return ports;
}

// The image of a download or firmware run, built from `file` when it is a
// channel-data file, else read as it is, and checked before any line is used.
bool PrepareImage(const TransferOptions& options, bool build, const TSettings& settings, ConversionLibrary& library,
                  RackImage& prepared, std::ostream& err)
{
    if (!CheckReadable(options.file, err))
        return false;
    std::string imagePath = options.file;
    std::unique_ptr<ExchangeDirectory> exchange;
    if (build) {
        if (!(exchange = MakeExchangeDirectory(err)))
            return false;
        imagePath = ExchangeFile(exchange->Path(), kDownloadImageExchangeFile);
        if (!MakeDownloadImage(options.file, imagePath, settings, *exchange, library, err))
            return false;
    }
    std::error_code sizeError;
    const auto fileSize = std::filesystem::file_size(options.file, sizeError);
    serial::Bytes image;
    if (!ReadBytes(imagePath, image) || sizeError) {
        err << "lumora-cli: \"" << imagePath << "\": cannot be read\n";
        return false;
    }
    if (!PrepareRackImage(options.file, std::move(image), prepared, err))
        return false;
    prepared.fileSize = fileSize;
    prepared.verify = options.verify;
    prepared.receiver = {settings.SystemInfo.MENUTYPE, settings.SystemInfo.FLASHTYPE, settings.SystemInfo.ANT32};
    // The library counts speeds from the fastest, the settings from the slowest.
    prepared.baud = serial::BaudForSpeedCode(4u - settings.SystemInfo.BAUDRATE);
    if (prepared.baud == 0)
        prepared.baud = serial::BaudForSpeedCode(0);
    return true;
}

// The work shared by download, firmware and station: options, settings,
// the image and the log, then `serve` on the ports.
template <typename Serve>
int ServeRack(const Arguments& args, TransferOptionSet set, std::string_view usage, std::ostream& err, Serve&& serve)
{
    TransferOptions options;
    TSettings settings;
    std::unique_ptr<ConversionLibrary> library;
    if (auto failed = Prepare(args, set, usage, options, settings, library, err))
        return *failed;
    // A station takes either; a download always builds, firmware never does.
    const bool build =
        set == TransferOptionSet::Download || (set == TransferOptionSet::Station && IsDnfPath(options.file));
    return Guarded(err, [&] {
        RackImage image;
        if (!PrepareImage(options, build, settings, *library, image, err))
            return kExitFailed;
        ReceiverLog log;
        std::string error;
        if (!options.logPath.empty() && !log.Open(options.logPath, error)) {
            err << "lumora-cli: " << error << '\n';
            return kExitFailed;
        }
        return serve(RackPorts(options), image, log);
    });
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
        const std::unique_ptr<ExchangeDirectory> exchange = MakeExchangeDirectory(err);
        if (!exchange)
            return kExitFailed;
        const std::string raw = ExchangeFile(exchange->Path(), kRawImageExchangeFile);
        std::string error;
        const TransferResult result =
            RunLibraryTransfer(*library, "UploadData", settings, raw, "Receiving", err, error);
        if (result != TransferResult::Done)
            return ReportTransferEnd(result, NameDevice(error, options), err);
        return SaveUpload(raw, options.file, settings, *exchange, *library, err);
    });
}

int RunDownload(const Arguments& args, std::ostream& /*out*/, std::ostream& err)
{
    return ServeRack(args, TransferOptionSet::Download, kDownloadUsage, err,
                     [&](const std::vector<RackPort>& ports, const RackImage& image, ReceiverLog& log) {
                         return RunRack(ports, image, log, err);
                     });
}

int RunFirmware(const Arguments& args, std::ostream& /*out*/, std::ostream& err)
{
    return ServeRack(args, TransferOptionSet::Firmware, kFirmwareUsage, err,
                     [&](const std::vector<RackPort>& ports, const RackImage& image, ReceiverLog& log) {
                         return RunRack(ports, image, log, err);
                     });
}

int RunStation(const Arguments& args, std::ostream& /*out*/, std::ostream& err)
{
    return ServeRack(args, TransferOptionSet::Station, kStationUsage, err,
                     [&](const std::vector<RackPort>& ports, const RackImage& image, ReceiverLog& log) {
                         return RunStationPorts(ports, image, log, err);
                     });
}

}  // namespace lumora::cli
