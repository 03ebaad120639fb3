// lumora-cli import TARGET OUT SOURCE...: other programs' channel files
// merged into a .dnf or interchange file, as File > Import does in the
// editor. The receiver model of the settings decides satellite or cable; the
// orbital positions go to the antennas given with --position, else to the
// antennas the position table proposes.
#include <ostream>

#include "import_formats.h"
#include "import_plan.h"
#include "import_text.h"
#include "merge_cli.h"
#include "settings.h"

namespace lumora::cli {
namespace {

constexpr std::string_view kImportUsage =
    "usage: lumora-cli import TARGET OUT SOURCE... [--settings LV32.cfg] [--model N] [--flash-type N] "
    "[--position POS=ANTENNA]... [--only POS|NAME]... [--tv] [--radio] [--free-only] [--policy fill|theirs|mine] "
    "[--favorites] [--dry-run]\n";

struct ImportArguments {
    MergeArguments merge;
    std::string settingsPath;
    int model = -1;
    TImportPlan plan;
};

// "19.2E=3" (antennas numbered from 1); "unknown=N" for a file without positions.
bool ParsePositionOption(const Arguments& args, std::size_t& i, TImportPlan& plan, std::ostream& err)
{
    const std::string value = i + 1 < args.size() ? args[++i] : std::string();
    const std::size_t eq = value.find('=');
    const std::string name = value.substr(0, eq);
    const std::optional<int32_t> position = name == "unknown" ? kNoPosition : ParsePosition(name);
    const std::optional<uint64_t> antenna =
        eq == std::string::npos ? std::nullopt : ParseUnsigned(std::string_view(value).substr(eq + 1));
    if (!position || !antenna || *antenna < 1 || *antenna > uint64_t(kAntennaCapacity)) {
        err << "lumora-cli: --position wants POSITION=ANTENNA such as 19.2E=3 (antennas 1 to 32), not '" << value
            << "'\n";
        return false;
    }
    plan.antennaOfPosition[*position] = int32_t(*antenna) - 1;
    return true;
}

bool ParseImportOption(const Arguments& args, std::size_t& i, ImportArguments& parsed, std::ostream& err)
{
    const std::string& arg = args[i];
    if (arg == "--settings" || arg == "--only") {
        if (i + 1 >= args.size())
            return false;
        (arg == "--settings" ? parsed.settingsPath = args[++i] : parsed.plan.only.emplace_back(args[++i]));
        return true;
    }
    if (arg == "--model")
        return ParseSmallNumber(args, i, "--model", kModelCount - 1, parsed.model, err);
    if (arg == "--position")
        return ParsePositionOption(args, i, parsed.plan, err);
    return arg != "--antenna" && ParseMergeOption(args, i, parsed.merge, err);
}

bool ParseImportArguments(const Arguments& args, ImportArguments& parsed, std::ostream& err)
{
    return SplitMergeArguments(args, parsed.merge.paths,
                               [&](std::size_t& i) { return ParseImportOption(args, i, parsed, err); }) &&
           parsed.merge.paths.size() >= 3;
}

// The settings given, else the editor's; a given file that cannot be read is
// an error, the editor's missing one is not.
bool LoadImportSettings(const ImportArguments& parsed, TSettings& settings, std::ostream& err)
{
    const bool given = !parsed.settingsPath.empty();
    const Result<std::optional<TSettings>> read = ReadSettingsFile(parsed.settingsPath);
    if (!read) {
        err << "lumora-cli: " << read.message() << '\n';
        return false;
    }
    if (read.value())
        settings = *read.value();
    else if (given) {
        err << "lumora-cli: \"" << parsed.settingsPath << "\" does not exist\n";
        return false;
    }
    if (parsed.model >= 0)
        settings.SystemInfo.MODEL = uint8_t(parsed.model);
    return true;
}

bool ReadSources(const std::vector<std::string>& paths, TImportData& data, std::ostream& err)
{
    for (std::size_t i = 2; i < paths.size(); ++i)
        if (const Status read = ReadImportPath(paths[i], data); !read) {
            err << "lumora-cli: " << read.message() << '\n';
            return false;
        }
    if (paths.size() > 3)
        data.name = BaseName(paths[2]) + " and " + std::to_string(paths.size() - 3) + " more";
    return true;
}

void PrintPositions(const std::vector<TPositionChoice>& choices, std::ostream& out)
{
    for (const TPositionChoice& choice : choices)
        out << PositionLabel(choice.position) << (choice.satellite.empty() ? "" : " " + choice.satellite) << ": "
            << choice.streams << " streams to antenna "
            << (choice.antenna < 0 ? std::string("(none free)") : std::to_string(choice.antenna + 1)) << '\n';
}

}  // namespace

int RunImport(const Arguments& args, std::ostream& out, std::ostream& err)
{
    ImportArguments parsed;
    if (!ParseImportArguments(args, parsed, err)) {
        err << kImportUsage;
        return kExitUsage;
    }
    TSettings settings;
    FileReader reader;
    LoadedFile target;
    TImportData data;
    if (!LoadImportSettings(parsed, settings, err) ||
        !reader.Read(parsed.merge.paths[0], parsed.merge.flashType, target, err))
        return kExitUsage;
    if (!ReadSources(parsed.merge.paths, data, err))
        return kExitFailed;
    parsed.plan.cable = IsCableModel(settings.SystemInfo.MODEL);
    const TPositionTable table = LoadUserPositionTable();
    const std::vector<TPositionChoice> choices = ProposeAntennas(data, parsed.plan, *target.db, settings, table);
    PrintPositions(choices, out);
    TImportSource source;
    if (const Status built = BuildImportSource(data, parsed.plan, choices, *target.db, settings, source); !built) {
        for (const std::string& line : source.dropped)
            out << line << '\n';
        out << built.message() << '\n';
        return kExitFailed;
    }
    const TNumbering numbering = FileNumbering(target, parsed.merge.flashType);
    auto merged = std::make_unique<TChannelDatabase>();
    const TMergeReport report = MergeDatabases({*target.db, numbering}, source.Source(), parsed.merge.options,
                                               IdentityRulesOf(settings), parsed.merge.dryRun ? nullptr : merged.get());
    for (const std::string& line : MergeReportLines(report))
        out << line << '\n';
    if (!report.Fits())
        return kExitFailed;
    if (parsed.merge.dryRun)
        return kExitOk;
    return WriteAtomically(parsed.merge.paths[1], *merged, numbering, reader, err) ? kExitOk : kExitUsage;
}

}  // namespace lumora::cli
