#include "transfer_cli.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <csignal>
#include <string_view>

#include "conversion_cli.h"

namespace lumora::cli {
namespace {

// Bit rates by the library's speed code.
constexpr std::array<uint32_t, 5> kSpeeds = {115200, 57600, 38400, 19200, 9600};

// Without any settings file: 32 antennas at the fastest speed, the other
// values as the editor starts them.
constexpr uint8_t kDefaultBaudSetting = 4;  // the settings list speeds from the slowest

volatile std::sig_atomic_t interruptRequested = 0;

void RequestInterrupt(int) { interruptRequested = 1; }

bool ParseSpeed(const Arguments& args, std::size_t& index, TransferOptions& parsed, std::ostream& err)
{
    const std::string text = index + 1 < args.size() ? args[++index] : std::string();
    for (std::size_t code = 0; code < kSpeeds.size(); ++code)
        if (text == std::to_string(kSpeeds[code])) {
            parsed.speedCode = static_cast<int>(code);
            return true;
        }
    err << "lumora-cli: --speed wants 9600, 19200, 38400, 57600 or 115200, not '" << text << "'\n";
    return false;
}

// "N" or "N-M", ports numbered as the settings dialog and the messages
// number them: COM 1 is port 1, index 0.
bool ParsePorts(const Arguments& args, std::size_t& index, TransferOptions& parsed, std::ostream& err)
{
    const std::string text = index + 1 < args.size() ? args[++index] : std::string();
    const auto number = [](std::string_view part, int& value) {
        auto [end, ec] = std::from_chars(part.data(), part.data() + part.size(), value);
        return !part.empty() && ec == std::errc() && end == part.data() + part.size() && value >= 1 && value <= 256;
    };
    const std::size_t dash = text.find('-');
    int first = 0, last = 0;
    const bool valid = dash == std::string::npos
                           ? number(text, first) && number(text, last)
                           : number(std::string_view(text).substr(0, dash), first) &&
                                 number(std::string_view(text).substr(dash + 1), last) && first <= last;
    if (!valid) {
        err << "lumora-cli: --port wants a port 1..256 (COM 1 is 1) or a range such as 1-16, not '" << text << "'\n";
        return false;
    }
    for (int com = first; com <= last; ++com)
        parsed.ports.push_back(com - 1);
    return true;
}

// The first port or device named twice, as the messages name it; empty when none is.
std::string Repeated(const TransferOptions& parsed)
{
    for (std::size_t i = 0; i < parsed.ports.size(); ++i)
        for (std::size_t k = i + 1; k < parsed.ports.size(); ++k)
            if (parsed.ports[i] == parsed.ports[k])
                return "port " + std::to_string(parsed.ports[i] + 1);
    for (std::size_t i = 0; i < parsed.devices.size(); ++i)
        for (std::size_t k = i + 1; k < parsed.devices.size(); ++k)
            if (parsed.devices[i] == parsed.devices[k])
                return parsed.devices[i];
    return {};
}

bool ParseText(const Arguments& args, std::size_t& index, const char* option, std::string& value, std::ostream& err)
{
    if (index + 1 >= args.size() || args[index + 1].empty()) {
        err << "lumora-cli: " << option << " needs a value\n";
        return false;
    }
    value = args[++index];
    return true;
}

// One to eight hexadecimal digits, as the settings hold the system id.
bool ParseSystemId(const Arguments& args, std::size_t& index, TransferOptions& parsed, std::ostream& err)
{
    std::string text;
    if (!ParseText(args, index, "--system-id", text, err))
        return false;
    const bool hex = text.size() <= 8 && std::all_of(text.begin(), text.end(), [](char c) {
                         return std::isxdigit(static_cast<unsigned char>(c)) != 0;
                     });
    if (!hex) {
        err << "lumora-cli: --system-id wants 1 to 8 hexadecimal digits, not '" << text << "'\n";
        return false;
    }
    parsed.systemId = text;
    return true;
}

bool ParseByte(const Arguments& args, std::size_t& index, const char* option, int max, std::optional<uint8_t>& value,
               std::ostream& err)
{
    int number = 0;
    if (!ParseSmallNumber(args, index, option, max, number, err))
        return false;
    value = static_cast<uint8_t>(number);
    return true;
}

// The receiver type and system id: what Data Upload and Data Download convert with.
bool ParseReceiverOption(const Arguments& args, std::size_t& i, TransferOptionSet set, TransferOptions& parsed,
                         std::ostream& err)
{
    const std::string& name = args[i];
    if (set == TransferOptionSet::Download && name == "--system-id")
        return ParseSystemId(args, i, parsed, err);
    if (name == "--menu-type")
        return ParseByte(args, i, "--menu-type", 255, parsed.menuType, err);
    if (name == "--flash-type")
        return ParseByte(args, i, "--flash-type", 255, parsed.flashType, err);
    if (name == "--ant32")
        return ParseByte(args, i, "--ant32", 1, parsed.ant32, err);
    err << "lumora-cli: unknown option " << name << '\n';
    return false;
}

bool ParseOption(const Arguments& args, std::size_t& i, TransferOptionSet set, TransferOptions& parsed,
                 std::ostream& err)
{
    const std::string& name = args[i];
    if (name == "--port")
        return ParsePorts(args, i, parsed, err);
    if (name == "--device") {
        std::string device;
        if (!ParseText(args, i, "--device", device, err))
            return false;
        parsed.devices.push_back(device);
        return true;
    }
    if (name == "--speed")
        return ParseSpeed(args, i, parsed, err);
    if (name == "--settings")
        return ParseText(args, i, "--settings", parsed.settingsPath, err);
    const bool rack = set != TransferOptionSet::Upload;
    if (rack && name == "--verify") {
        parsed.verify = true;
        return true;
    }
    if (rack && name == "--log")
        return ParseText(args, i, "--log", parsed.logPath, err);
    if (set == TransferOptionSet::Firmware) {
        err << "lumora-cli: unknown option " << name << '\n';
        return false;
    }
    return ParseReceiverOption(args, i, set, parsed, err);
}

// Reads the settings the editor would start with; false only when a file
// exists but cannot be read.
bool LoadSettingsFile(const std::string& given, TSettings& settings, std::ostream& err)
{
    const Result<std::optional<TSettings>> read = ReadSettingsFile(given);
    if (!read) {
        err << "lumora-cli: " << read.message() << '\n';
        return false;
    }
    if (read.value()) {
        settings = *read.value();
        return true;
    }
    if (!given.empty()) {
        err << "lumora-cli: \"" << given << "\": No such file or directory\n";
        return false;
    }
    settings.SystemInfo.ANT32 = 1;
    settings.SystemInfo.BAUDRATE = kDefaultBaudSetting;
    settings.SystemInfo.SYSTEMID = "00000000";
    return true;
}

// The progress bar of one transfer on a terminal: redrawn in place whenever
// the byte count changes, ended with a line break.
class ProgressBar {
public:
    ProgressBar(std::ostream& err, const char* label) : err_(err), label_(label), shown_(::isatty(2) == 1) {}
    ~ProgressBar()
    {
        if (drawn_)
            err_ << std::endl;
    }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    // The library's progress callback; answering 0 stops the transfer.
    static int Callback(uint32_t done, uint32_t total, void* context)
    {
        static_cast<ProgressBar*>(context)->Show(done, total);
        return interruptRequested ? 0 : 1;
    }

private:
    void Show(uint32_t done, uint32_t total)
    {
        if (!shown_ || (drawn_ && done == done_ && total == total_))
            return;
        done_ = done;
        total_ = total;
        drawn_ = true;
        constexpr int kWidth = 30;
        const uint64_t percent = total ? uint64_t(done) * 100 / total : 0;
        const int filled = static_cast<int>(percent * kWidth / 100);
        err_ << '\r' << label_ << " [" << std::string(std::size_t(filled), '#')
             << std::string(std::size_t(kWidth - filled), '-') << "] " << percent << "%  " << done << '/' << total
             << " bytes" << std::flush;
    }

    std::ostream& err_;
    const char* label_;
    const bool shown_;
    bool drawn_ = false;
    uint32_t done_ = 0, total_ = 0;
};

using TransferEntry = int (*)(uint8_t port, uint8_t speedCode, const char* path);
using SetProgressEntry = void (*)(int (*)(uint32_t, uint32_t, void*), void*);
using LastErrorEntry = const char* (*)();

}  // namespace

bool ParseTransferOptions(const Arguments& args, TransferOptionSet set, TransferOptions& parsed, std::ostream& err)
{
    int files = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) == 0) {
            if (!ParseOption(args, i, set, parsed, err))
                return false;
        } else {
            parsed.file = args[i];
            ++files;
        }
    }
    const std::size_t count = parsed.ports.size() + parsed.devices.size();
    if (set == TransferOptionSet::Upload && count != 1) {
        err << "lumora-cli: give the receiver's port with exactly one of --port N and --device PATH\n";
        return false;
    }
    if (count == 0) {
        err << "lumora-cli: give the receivers' ports with --port N, --port N-M or --device PATH\n";
        return false;
    }
    if (const std::string twice = Repeated(parsed); !twice.empty()) {
        err << "lumora-cli: " << twice << " is given twice\n";
        return false;
    }
    if (files != 1) {
        err << "lumora-cli: exactly one file name is expected\n";
        return false;
    }
    return true;
}

bool ResolveTransferSettings(const TransferOptions& options, TSettings& settings, std::ostream& err)
{
    if (!LoadSettingsFile(options.settingsPath, settings, err))
        return false;
    TSystemInfo& info = settings.SystemInfo;
    if (options.ports.empty()) {
        // The library finds the device of port n in LV3DLL_PORT<n>.
        ::setenv("LV3DLL_PORT0", options.devices.front().c_str(), 1);
        info.COMPORT = 0;
    } else {
        info.COMPORT = static_cast<uint8_t>(options.ports.front());
    }
    if (options.speedCode)
        info.BAUDRATE = static_cast<uint8_t>(4 - *options.speedCode);
    info.MENUTYPE = options.menuType.value_or(info.MENUTYPE);
    info.FLASHTYPE = options.flashType.value_or(info.FLASHTYPE);
    info.ANT32 = options.ant32.value_or(info.ANT32);
    info.SYSTEMID = options.systemId.value_or(info.SYSTEMID);
    return true;
}

ReceiverType SettingsReceiver(const TSettings& settings)
{
    const TSystemInfo& s = settings.SystemInfo;
    return ReceiverType{s.MENUTYPE, s.FLASHTYPE, s.ANT32};
}

void CatchInterrupt()
{
    struct sigaction action {};
    action.sa_handler = &RequestInterrupt;
    action.sa_flags = SA_RESETHAND;  // a second Ctrl+C ends the program at once
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
}

bool Interrupted() { return interruptRequested != 0; }

TransferResult RunLibraryTransfer(const ConversionLibrary& library, const char* entry, const TSettings& settings,
                                  const std::string& path, const char* label, std::ostream& err, std::string& error)
{
    if (Interrupted())
        return TransferResult::Interrupted;
    const Result<void*> entries[] = {library.Entry(entry), library.Entry("LV3SetProgressCallback"),
                                     library.Entry("LV3LastError")};
    bool found = true;
    for (const Result<void*>& lookedUp : entries)
        if (!lookedUp) {
            error = lookedUp.message();
            found = false;
        }
    if (!found)
        return TransferResult::Failed;
    auto transfer = reinterpret_cast<TransferEntry>(entries[0].value());
    auto setProgress = reinterpret_cast<SetProgressEntry>(entries[1].value());
    auto lastError = reinterpret_cast<LastErrorEntry>(entries[2].value());
    // The library counts speeds from the fastest, the settings from the slowest.
    const auto speedCode = static_cast<uint8_t>(4 - settings.SystemInfo.BAUDRATE);
    bool done = false;
    {
        ProgressBar bar(err, label);
        setProgress(&ProgressBar::Callback, &bar);
        done = transfer(settings.SystemInfo.COMPORT, speedCode, path.c_str()) == 1;
        setProgress(nullptr, nullptr);
    }
    if (done)
        return TransferResult::Done;
    error = lastError();
    return Interrupted() ? TransferResult::Interrupted : TransferResult::Failed;
}

int ReportTransferEnd(TransferResult result, const std::string& error, std::ostream& err)
{
    if (result == TransferResult::Interrupted) {
        err << "lumora-cli: interrupted; the transfer was stopped\n";
        return kExitInterrupted;
    }
    err << "lumora-cli: " << error << '\n';
    return kExitFailed;
}

}  // namespace lumora::cli
