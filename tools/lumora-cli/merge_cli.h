// What the merge and import commands share: reading the files of one
// command, the merge options of the command line, and writing the result.
#pragma once

#include <iosfwd>
#include <memory>
#include <string>

#include "commands.h"
#include "conversion_cli.h"
#include "database_identity.h"
#include "database_merge.h"
#include "service_numbering.h"

namespace lumora::cli {

// Files read for one command, with the conversion library loaded once when
// a .dnf file is among them.
class FileReader {
public:
    bool Read(const std::string& path, int flashType, LoadedFile& file, std::ostream& err)
    {
        if (!CheckReadable(path, err))
            return false;
        if (IsDnfPath(path) && !library_ && !(library_ = OpenConversionLibrary(err)))
            return false;
        const ExchangeDirectory* exchange = Exchange(err);
        return exchange && !LoadChannelFile(path, flashType, IsDnfPath(path) ? library_.get() : nullptr,
                                            exchange->Path(), file, err);
    }

    // The first two files of `paths`.
    bool ReadTwo(const std::vector<std::string>& paths, int flashType, LoadedFile& first, LoadedFile& second,
                 std::ostream& err)
    {
        return Read(paths[0], flashType, first, err) && Read(paths[1], flashType, second, err);
    }

    ConversionLibrary* Library(std::ostream& err)
    {
        if (!library_)
            library_ = OpenConversionLibrary(err);
        return library_.get();
    }
    // The command's exchange directory, made on first use; null, with the
    // reason on err, when it cannot be made.
    const ExchangeDirectory* Exchange(std::ostream& err)
    {
        if (!exchange_)
            exchange_ = MakeExchangeDirectory(err);
        return exchange_.get();
    }

private:
    std::unique_ptr<ConversionLibrary> library_;
    std::unique_ptr<ExchangeDirectory> exchange_;
};

struct MergeArguments {
    std::vector<std::string> paths;
    int flashType = 0;
    TMergeOptions options;
    bool typeGiven = false;
    bool dryRun = false;
};

// Parses one merge option at args[i] (--flash-type, --antenna, --tv,
// --radio, --free-only, --policy, --favorites, --dry-run); false when it is
// none of them or its value is wrong.
bool ParseMergeOption(const Arguments& args, std::size_t& i, MergeArguments& parsed, std::ostream& err);

// Splits `args` into file paths and options: each "--" argument goes to
// `option` (which may take the next argument as its value and returns false
// on a wrong one). False on a wrong option or an empty argument.
template <typename Option>
bool SplitMergeArguments(const Arguments& args, std::vector<std::string>& paths, Option&& option)
{
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i].empty())
            return false;
        if (!args[i].starts_with("--"))
            paths.push_back(args[i]);
        else if (!option(i))
            return false;
    }
    return true;
}

// The identity rules of the editor's settings; the defaults without them.
TIdentityRules EditorIdentityRules();
// What a file's favorite entries mean: what it records, else the flash type.
TNumbering FileNumbering(const LoadedFile& file, int flashType);
// Writes `db` to `path` (.dnf through the conversion library, else
// interchange text), replacing it only once complete.
bool WriteAtomically(const std::string& path, const TChannelDatabase& db, const TNumbering& numbering,
                     FileReader& reader, std::ostream& err);
std::string BaseName(const std::string& path);

}  // namespace lumora::cli
