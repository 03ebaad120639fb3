// lumora-cli convert IN OUT: a channel-data file (".dnf") to interchange text,
// or interchange text to a channel-data file, chosen by the file names'
// extensions, through the conversion library as the editor uses it.
#include <ostream>

#include "conversion_cli.h"

namespace lumora::cli {

int RunConvert(const Arguments& args, std::ostream& /*out*/, std::ostream& err)
{
    if (args.size() != 2 || IsDnfPath(args[0]) == IsDnfPath(args[1])) {
        err << "usage: lumora-cli convert IN OUT\n"
               "       exactly one of IN and OUT is a channel-data file (.dnf)\n";
        return kExitUsage;
    }
    if (!CheckReadable(args[0], err))
        return kExitUsage;
    auto library = OpenConversionLibrary(err);
    if (!library)
        return kExitUsage;
    const Status converted =
        IsDnfPath(args[0]) ? library->V3DnfToDnf(args[0], args[1]) : library->DnfToV3Dnf(args[0], args[1]);
    if (!converted) {
        err << "lumora-cli: " << converted.message() << '\n';
        return kExitStopped;
    }
    return kExitOk;
}

}  // namespace lumora::cli
