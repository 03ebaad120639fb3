// lumora-cli check FILE [--flash-type N] [--fix OUT]: reads a channel-data
// file (".dnf") or interchange text as the editor opens it, prints its table
// counts and then the findings of the database checks, one a line. Exit status
// 1 when a finding is an error or the file could not be read in full.
// --fix writes the safe fixes to a new file in the input's format.
#include <sys/stat.h>

#include <memory>
#include <optional>
#include <ostream>

#include "conversion_cli.h"
#include "database_checks.h"
#include "interchange.h"

namespace lumora::cli {
namespace {

constexpr std::string_view kCheckUsage = "usage: lumora-cli check FILE [--flash-type N] [--fix OUT]\n";

struct CheckArguments {
    std::string path;
    std::string fixPath;  // empty: no fixes written
    int flashType = 0;
};

bool ParseCheckArguments(const Arguments& args, CheckArguments& parsed, std::ostream& err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--flash-type") {
            if (!ParseFlashType(args, i, parsed.flashType, err))
                return false;
        } else if (args[i] == "--fix" && i + 1 < args.size() && parsed.fixPath.empty()) {
            parsed.fixPath = args[++i];
        } else if (parsed.path.empty() && !args[i].empty() && args[i].rfind("--", 0) != 0) {
            parsed.path = args[i];
        } else {
            return false;
        }
    }
    return !parsed.path.empty();
}

void PrintCounts(const TChannelDatabase& db, std::ostream& out)
{
    out << "antennas: " << db.AntennaList.wAntennaNum << '\n'
        << "transport streams: " << db.TSInfo.wTSNum << '\n'
        << "networks: " << db.NetworkInfo.wNetworkNum << '\n'
        << "providers: " << db.ProviderInfo.wProviderNum << '\n'
        << "TV services: " << db.ServiceInfo.wTVNum << '\n'
        << "radio services: " << db.ServiceInfo.wRadioNum << '\n';
    const char* groups[] = {"TV", "radio"};
    for (int g = 0; g < kFavoriteGroups; ++g) {
        out << groups[g] << " favorites:";
        for (int l = 0; l < kFavoriteLists; ++l)
            out << ' ' << static_cast<char>('A' + l) << '=' << db.FavoriteInfo[g][l].wIndexNum;
        out << '\n';
    }
}

// The fixes go to a new file: never over the input, and in its format.
bool CheckFixTarget(const CheckArguments& parsed, std::ostream& err)
{
    struct stat in {
    }, out{};
    if (::stat(parsed.fixPath.c_str(), &out) == 0 && ::stat(parsed.path.c_str(), &in) == 0 && in.st_dev == out.st_dev &&
        in.st_ino == out.st_ino) {
        err << "lumora-cli: --fix \"" << parsed.fixPath << "\" is the input file; the fixes go to a new file\n";
        return false;
    }
    if (IsDnfPath(parsed.fixPath) != IsDnfPath(parsed.path)) {
        err << "lumora-cli: --fix \"" << parsed.fixPath << "\" must have the input's format ("
            << (IsDnfPath(parsed.path) ? "a .dnf file" : "interchange text, not .dnf") << ")\n";
        return false;
    }
    return true;
}

bool WriteFixed(const CheckArguments& parsed, ConversionLibrary* library, const std::string& exchange,
                const LoadedFile& file, std::ostream& err)
{
    const WriteOptions options{.numbering = file.numbering};
    const std::string text = library ? ExchangeFile(exchange, kSaveExchangeFile) : parsed.fixPath;
    const Status written = MakeDnfRawFile(text, *file.db, options).AndThen([&] {
        return library ? library->DnfToV3Dnf(text, parsed.fixPath) : Status();
    });
    if (!written)
        err << "lumora-cli: " << written.message() << '\n';
    return written.ok();
}

}  // namespace

int RunCheck(const Arguments& args, std::ostream& out, std::ostream& err)
{
    CheckArguments parsed;
    if (!ParseCheckArguments(args, parsed, err)) {
        err << kCheckUsage;
        return kExitUsage;
    }
    if (!CheckReadable(parsed.path, err) || (!parsed.fixPath.empty() && !CheckFixTarget(parsed, err)))
        return kExitUsage;
    std::unique_ptr<ConversionLibrary> library;
    if (IsDnfPath(parsed.path) && !(library = OpenConversionLibrary(err)))
        return kExitUsage;
    const std::unique_ptr<ExchangeDirectory> exchange = MakeExchangeDirectory(err);
    if (!exchange)
        return kExitUsage;
    LoadedFile file;
    if (std::optional<int> failed =
            LoadChannelFile(parsed.path, parsed.flashType, library.get(), exchange->Path(), file, err))
        return *failed;

    // Favorite entries mean what the file records; a file without a
    // numbering line is read as the flash type numbers its services.
    const TNumbering numbering =
        file.numbering ? NumberingFor(*file.numbering) : NumberingOf(*file.db, static_cast<uint8_t>(parsed.flashType));
    const std::vector<TFinding> findings = CheckDatabase(*file.db, numbering, file.loadErrors);
    PrintCounts(*file.db, out);
    for (const TFinding& finding : findings)
        out << FindingLine(finding) << '\n';
    if (!parsed.fixPath.empty()) {
        int fixed = ApplyFixes(*file.db, numbering, findings);
        if (!WriteFixed(parsed, library.get(), exchange->Path(), file, err))
            return kExitUsage;
        err << "lumora-cli: " << fixed << " fixes written to \"" << parsed.fixPath << "\"\n";
    }
    return HasErrors(findings) ? kExitStopped : kExitOk;
}

}  // namespace lumora::cli
