// lumora-cli dump: reads an interchange file into a freshly initialised
// document exactly as the editor does, and writes the document to standard
// output exactly as the editor's writer would. The input is never deleted.
#include <memory>
#include <ostream>

#include "commands.h"
#include "interchange.h"

namespace lumora::cli {
namespace {

constexpr std::string_view kDumpUsage = "usage: lumora-cli dump [--flash-type N] FILE\n";

struct DumpArguments {
    int flashType = 0;
    std::string path;
};

bool ParseDumpArguments(const Arguments& args, DumpArguments& parsed, std::ostream& err)
{
    bool havePath = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--flash-type") {
            if (!ParseFlashType(args, i, parsed.flashType, err))
                return false;
        } else if (!havePath && (args[i].empty() || args[i][0] != '-' || args[i] == "-")) {
            parsed.path = args[i];
            havePath = true;
        } else {
            return false;
        }
    }
    return havePath;
}

}  // namespace

int RunDump(const Arguments& args, std::ostream& out, std::ostream& err)
{
    DumpArguments parsed;
    if (!ParseDumpArguments(args, parsed, err)) {
        err << kDumpUsage;
        return kExitUsage;
    }
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, static_cast<uint8_t>(parsed.flashType));
    ReadResult result =
        ReadInterchangeFile(parsed.path, *db, [&err](const std::string& message) { err << message << '\n'; });
    if (result.status == ReadStatus::OpenFailed) {
        err << result.error << '\n';
        return kExitUsage;
    }
    const std::string text = WriteInterchange(*db);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.flush();
    if (!out) {
        err << "lumora-cli: cannot write the standard output\n";
        return kExitUsage;
    }
    if (result.status == ReadStatus::Stopped) {
        err << result.error << '\n';
        return kExitStopped;
    }
    return kExitOk;
}

}  // namespace lumora::cli
