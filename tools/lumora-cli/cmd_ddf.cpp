// lumora-cli ddf IN OUT: builds the download image of a channel database
// (interchange text, or a ".dnf" file) for one receiver type, through the
// conversion library as the editor's data download does.
#include <cctype>
#include <ostream>

#include "conversion_cli.h"
#include "settings.h"

namespace lumora::cli {
namespace {

constexpr std::string_view kDdfUsage =
    "usage: lumora-cli ddf IN OUT --system-id HEX [--menu-type N] [--flash-type N] [--ant32 0|1]\n";

struct DdfArguments {
    std::string in, out;
    ReceiverType receiver;
    uint32_t systemId = 0;
    bool haveSystemId = false;
};

// One to eight hexadecimal digits, as the settings hold the system id.
bool ParseSystemId(const Arguments& args, std::size_t& index, DdfArguments& parsed, std::ostream& err)
{
    if (index + 1 >= args.size()) {
        err << "lumora-cli: --system-id needs a value\n";
        return false;
    }
    const std::string& text = args[++index];
    bool hex = !text.empty() && text.size() <= 8;
    for (char c : text)
        hex = hex && std::isxdigit(static_cast<unsigned char>(c));
    if (!hex) {
        err << "lumora-cli: --system-id wants 1 to 8 hexadecimal digits, not '" << text << "'\n";
        return false;
    }
    parsed.systemId = static_cast<uint32_t>(HexToInt(text));
    parsed.haveSystemId = true;
    return true;
}

bool ParseOption(const Arguments& args, std::size_t& i, DdfArguments& parsed, std::ostream& err)
{
    int value = 0;
    if (args[i] == "--system-id")
        return ParseSystemId(args, i, parsed, err);
    if (args[i] == "--menu-type" && ParseSmallNumber(args, i, "--menu-type", 255, value, err))
        parsed.receiver.menuType = static_cast<uint8_t>(value);
    else if (args[i] == "--flash-type" && ParseSmallNumber(args, i, "--flash-type", 255, value, err))
        parsed.receiver.flashType = static_cast<uint8_t>(value);
    else if (args[i] == "--ant32" && ParseSmallNumber(args, i, "--ant32", 1, value, err))
        parsed.receiver.ant32 = static_cast<uint8_t>(value);
    else
        return false;
    return true;
}

bool ParseDdfArguments(const Arguments& args, DdfArguments& parsed, std::ostream& err)
{
    std::vector<std::string> files;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].rfind("--", 0) == 0) {
            if (!ParseOption(args, i, parsed, err))
                return false;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2 || !parsed.haveSystemId)
        return false;
    parsed.in = files[0];
    parsed.out = files[1];
    return true;
}

}  // namespace

int RunDdf(const Arguments& args, std::ostream& /*out*/, std::ostream& err)
{
    DdfArguments parsed;
    if (!ParseDdfArguments(args, parsed, err)) {
        err << kDdfUsage;
        return kExitUsage;
    }
    if (!CheckReadable(parsed.in, err))
        return kExitUsage;
    auto library = OpenConversionLibrary(err);
    if (!library)
        return kExitUsage;
    const std::unique_ptr<ExchangeDirectory> exchange = MakeExchangeDirectory(err);
    if (!exchange)
        return kExitUsage;
    std::string text = parsed.in;
    Status built;
    if (IsDnfPath(parsed.in)) {
        text = ExchangeFile(exchange->Path(), kInterchangeExchangeFile);
        built = library->V3DnfToDnf(parsed.in, text);
    }
    built = built.AndThen([&] { return library->DnfToDDF(text, parsed.out, parsed.receiver, parsed.systemId); });
    if (!built) {
        err << "lumora-cli: " << built.message() << '\n';
        return kExitStopped;
    }
    return kExitOk;
}

}  // namespace lumora::cli
