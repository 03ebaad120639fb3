#include "conversion_cli.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace lumora::cli {

bool IsDnfPath(const std::string& path) { return IsDnfFileName(path); }

std::unique_ptr<ConversionLibrary> OpenConversionLibrary(std::ostream& err)
{
    auto library = std::make_unique<ConversionLibrary>(ConversionLibraryPath());
    if (const Status& loaded = library->LoadStatus(); !loaded) {
        err << "lumora-cli: " << loaded.message() << '\n';
        return nullptr;
    }
    return library;
}

std::unique_ptr<ExchangeDirectory> MakeExchangeDirectory(std::ostream& err)
{
    Result<std::unique_ptr<ExchangeDirectory>> made = ExchangeDirectory::Make();
    if (!made) {
        err << "lumora-cli: " << made.message() << '\n';
        return nullptr;
    }
    return std::move(made).value();
}

bool ParseSmallNumber(const Arguments& args, std::size_t& index, const char* option, int max, int& value,
                      std::ostream& err)
{
    if (index + 1 >= args.size()) {
        err << "lumora-cli: " << option << " needs a value\n";
        return false;
    }
    const std::string& text = args[++index];
    int parsed = -1;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc() || end != text.data() + text.size() || parsed < 0 || parsed > max) {
        err << "lumora-cli: " << option << " wants a number 0.." << max << ", not '" << text << "'\n";
        return false;
    }
    value = parsed;
    return true;
}

bool CheckReadable(const std::string& path, std::ostream& err)
{
    if (::access(path.c_str(), R_OK) == 0)
        return true;
    err << "lumora-cli: \"" << path << "\": " << std::strerror(errno) << '\n';
    return false;
}

std::optional<int> LoadChannelFile(const std::string& path, int flashType, ConversionLibrary* library,
                                   const std::string& exchange, LoadedFile& file, std::ostream& err)
{
    const TReadResult read = ReadDatabaseFile(path, static_cast<uint8_t>(flashType), library, exchange, file);
    if (read.outcome == TReadOutcome::Read)
        return std::nullopt;
    err << "lumora-cli: " << read.error << '\n';
    return read.outcome == TReadOutcome::NotOpened ? kExitUsage : kExitStopped;
}

Result<std::optional<TSettings>> ReadSettingsFile(const std::string& given)
{
    if (!given.empty())
        return LoadConfigData(given);
    const Result<std::string> dir = ProgramDirectory();
    if (!dir)
        return dir.status();
    return LoadConfigData(LocateSettingsFiles(dir.value()).readFrom);
}

TSettings EditorSettings()
{
    const Result<std::optional<TSettings>> read = ReadSettingsFile({});
    if (read && read.value())
        return *read.value();
    return TSettings{};
}

}  // namespace lumora::cli
