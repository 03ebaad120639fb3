// lumora-cli diff A B and merge TARGET SOURCE OUT: the compare-and-merge
// engine on .dnf or interchange files, read as the editor opens them. The
// receiver model and satellite names of the editor's settings decide the
// identity rules, as in the editor.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>

#include "conversion_cli.h"
#include "database_merge.h"
#include "interchange.h"
#include "merge_cli.h"
#include "service_numbering.h"
#include "settings.h"

namespace lumora::cli {
namespace {

constexpr std::string_view kDiffUsage = "usage: lumora-cli diff A B [--flash-type N] [--json]\n";
constexpr std::string_view kMergeUsage =
    "usage: lumora-cli merge TARGET SOURCE OUT [--flash-type N] [--antenna N]... [--tv] [--radio] [--free-only] "
    "[--policy fill|theirs|mine] [--favorites] [--dry-run]\n";
constexpr int kExitDifferent = 1;  // diff: the databases differ; merge: it does not fit

struct DiffArguments {
    std::vector<std::string> paths;
    int flashType = 0;
    bool json = false;
};

bool ParseDiffArguments(const Arguments& args, DiffArguments& parsed, std::ostream& err)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--flash-type") {
            if (!ParseFlashType(args, i, parsed.flashType, err))
                return false;
        } else if (args[i] == "--json") {
            parsed.json = true;
        } else if (args[i].starts_with("--") || args[i].empty()) {
            return false;
        } else {
            parsed.paths.push_back(args[i]);
        }
    }
    return parsed.paths.size() == 2;
}

bool ParsePolicy(const Arguments& args, std::size_t& i, TMergePolicy& policy, std::ostream& err)
{
    const std::string value = i + 1 < args.size() ? args[++i] : std::string();
    for (TMergePolicy p : {TMergePolicy::FillEmpty, TMergePolicy::TakeTheirs, TMergePolicy::KeepMine})
        if (value == PolicyName(p)) {
            policy = p;
            return true;
        }
    err << "lumora-cli: --policy wants fill, theirs or mine, not '" << value << "'\n";
    return false;
}

bool ParseMergeArguments(const Arguments& args, MergeArguments& parsed, std::ostream& err)
{
    return SplitMergeArguments(args, parsed.paths,
                               [&](std::size_t& i) { return ParseMergeOption(args, i, parsed, err); }) &&
           parsed.paths.size() == 3;
}

}  // namespace

// The identity rules of the editor's settings; the defaults without them.
TIdentityRules EditorIdentityRules() { return IdentityRulesOf(EditorSettings()); }

// What a file's favorite entries mean: what it records, else the flash type.
TNumbering FileNumbering(const LoadedFile& file, int flashType)
{
    return file.numbering ? NumberingFor(*file.numbering) : NumberingOf(*file.db, static_cast<uint8_t>(flashType));
}

bool ParseMergeOption(const Arguments& args, std::size_t& i, MergeArguments& parsed, std::ostream& err)
{
    TMergeSelection& selection = parsed.options.selection;
    const std::string& arg = args[i];
    if (arg == "--flash-type")
        return ParseFlashType(args, i, parsed.flashType, err);
    if (arg == "--antenna") {
        int antenna = 0;
        if (!ParseSmallNumber(args, i, "--antenna", kAntennaCapacity, antenna, err) || antenna == 0)
            return false;
        selection.whole = false;
        selection.antennas.push_back(antenna - 1);
    } else if (arg == "--tv" || arg == "--radio") {
        if (!parsed.typeGiven)
            selection.tv = selection.radio = false;
        parsed.typeGiven = true;
        (arg == "--tv" ? selection.tv : selection.radio) = true;
    } else if (arg == "--free-only") {
        selection.freeOnly = true;
    } else if (arg == "--policy") {
        return ParsePolicy(args, i, parsed.options.policy, err);
    } else if (arg == "--favorites") {
        parsed.options.favorites = true;
    } else if (arg == "--dry-run") {
        parsed.dryRun = true;
    } else {
        return false;
    }
    return true;
}

// Writes `db` to `path` in the format its name says, through a temporary
// file beside it that is renamed over it only once complete.
bool WriteAtomically(const std::string& path, const TChannelDatabase& db, const TNumbering& numbering,
                     FileReader& reader, std::ostream& err)
{
    const WriteOptions options{.numbering = FavoriteNumberingOf(numbering)};
    if (!IsDnfPath(path)) {
        const Status written = MakeDnfRawFile(path, db, options);
        if (written)
            return true;
        err << "lumora-cli: " << written.message() << '\n';
        return false;
    }
    ConversionLibrary* library = reader.Library(err);
    const ExchangeDirectory* exchange = reader.Exchange(err);
    if (!library || !exchange)
        return false;
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        err << "lumora-cli: \"" << path << "\" cannot be written\n";
        return false;
    }
    ::close(fd);
    const std::string text = ExchangeFile(exchange->Path(), kSaveExchangeFile);
    const Status converted =
        MakeDnfRawFile(text, db, options).AndThen([&] { return library->DnfToV3Dnf(text, temporary); });
    const bool written = converted && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!written) {
        ::unlink(temporary.c_str());
        const std::string& error = converted.message();
        err << "lumora-cli: \"" << path << "\" " << (error.empty() ? "cannot be written" : error) << '\n';
    }
    return written;
}

std::string BaseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int RunDiff(const Arguments& args, std::ostream& out, std::ostream& err)
{
    DiffArguments parsed;
    if (!ParseDiffArguments(args, parsed, err)) {
        err << kDiffUsage;
        return kExitUsage;
    }
    FileReader reader;
    LoadedFile a, b;
    if (!reader.ReadTwo(parsed.paths, parsed.flashType, a, b, err))
        return kExitUsage;
    const TCompareReport report =
        CompareDatabases({*a.db, FileNumbering(a, parsed.flashType)}, {*b.db, FileNumbering(b, parsed.flashType)},
                         IdentityRulesOf(EditorSettings()));
    if (parsed.json) {
        out << CompareReportJson(report) << '\n';
    } else {
        for (const TDifference& difference : report.differences)
            for (const std::string& line : DifferenceLines(difference))
                out << line << '\n';
    }
    return report.Equal() ? kExitOk : kExitDifferent;
}

int RunMerge(const Arguments& args, std::ostream& out, std::ostream& err)
{
    MergeArguments parsed;
    if (!ParseMergeArguments(args, parsed, err)) {
        err << kMergeUsage;
        return kExitUsage;
    }
    FileReader reader;
    LoadedFile target, source;
    if (!reader.ReadTwo(parsed.paths, parsed.flashType, target, source, err))
        return kExitUsage;
    const TNumbering numbering = FileNumbering(target, parsed.flashType);
    const TMergeSource from{*source.db, FileNumbering(source, parsed.flashType), BaseName(parsed.paths[1]),
                            source.loadErrors};
    auto merged = std::make_unique<TChannelDatabase>();
    const TMergeReport report =
        MergeDatabases({*target.db, numbering}, from, parsed.options, IdentityRulesOf(EditorSettings()),
                       parsed.dryRun ? nullptr : merged.get());
    for (const std::string& line : MergeReportLines(report))
        out << line << '\n';
    if (!report.Fits())
        return kExitDifferent;
    if (parsed.dryRun)
        return kExitOk;
    if (!WriteAtomically(parsed.paths[2], *merged, numbering, reader, err))
        return kExitUsage;
    return kExitOk;
}

}  // namespace lumora::cli
