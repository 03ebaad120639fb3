// lumora-cli: command-line work on interchange and channel-data files, and
// transfers with a receiver.
#include <iostream>
#include <span>

#include "commands.h"
#include "program_info.h"

namespace lumora::cli {
namespace {

constexpr Command kCommands[] = {
    {"dump", "[--flash-type N] FILE",
     "read an interchange file as the editor does and write it back to standard output", RunDump},
    {"convert", "IN OUT", "convert a channel-data file (.dnf) to interchange text or back, by extension", RunConvert},
    {"check", "FILE [--flash-type N] [--fix OUT]",
     "check a .dnf or interchange file: table counts, then the findings one a line; --fix writes the safe fixes "
     "to OUT",
     RunCheck},
    {"ddf", "IN OUT --system-id HEX [--menu-type N] [--flash-type N] [--ant32 0|1]",
     "build the download image of interchange text or a .dnf file", RunDdf},
    {"upload",
     "--port N|--device PATH [--speed BPS] [--settings LV32.cfg] [--menu-type N] [--flash-type N] "
     "[--ant32 0|1] OUT.dnf",
     "receive the receiver's channel data into a .dnf file, as Data Upload does", RunUpload},
    {"download",
     "--port N[-M]|--device PATH... [--speed BPS] [--settings LV32.cfg] [--menu-type N] [--flash-type N] "
     "[--ant32 0|1] [--system-id HEX] [--verify] [--log FILE] IN.dnf",
     "send a .dnf file to the receivers on every port given at once, as Data Download does", RunDownload},
    {"firmware", "--port N[-M]|--device PATH... [--speed BPS] [--settings LV32.cfg] [--verify] [--log FILE] IMAGE.ddf",
     "send a download image (.ddf) to the receivers on every port given at once, as Download Firmware does",
     RunFirmware},
    {"station",
     "--port N[-M]|--device PATH... [--speed BPS] [--settings LV32.cfg] [--menu-type N] [--flash-type N] "
     "[--ant32 0|1] [--system-id HEX] [--verify] [--log FILE] IN.dnf|IMAGE.ddf",
     "program each receiver put on one of the ports, one after the other on each port, until Ctrl+C", RunStation},
    {"export", "[--flash-type N] [--radio] FILE.dnf OUT.csv|OUT.html|OUT.channels|OUT.dvbv5|OUT.conf",
     "write the \"All Service\" list of a .dnf file as CSV or as an HTML page, or every service as a dvbv5 "
     "channel file or a VDR channels.conf, by extension",
     RunExport},
    {"import-order", "[--flash-type N] [--radio] FILE.dnf ORDER.csv OUT.dnf",
     "put the services of a .dnf file in the order of a CSV's rows and save the result", RunImportOrder},
    {"diff", "A B [--flash-type N] [--json]",
     "compare two .dnf or interchange files: one difference a line, or JSON; exit 1 when they differ", RunDiff},
    {"merge",
     "TARGET SOURCE OUT [--flash-type N] [--antenna N]... [--tv] [--radio] [--free-only] "
     "[--policy fill|theirs|mine] [--favorites] [--dry-run]",
     "merge SOURCE (whole, or the antennas given) into TARGET; the report on standard output, OUT written when it "
     "fits",
     RunMerge},
    {"import",
     "TARGET OUT SOURCE... [--settings LV32.cfg] [--model N] [--flash-type N] [--position POS=ANTENNA]... "
     "[--only POS|NAME]... [--tv] [--radio] [--free-only] [--policy fill|theirs|mine] [--favorites] [--dry-run]",
     "merge satellites.xml, cables.xml, dvbv5, initial-tuning, VDR channels.conf or lamedb files (or a folder of "
     "tuning tables) into TARGET; the report on standard output, OUT written when it fits",
     RunImport},
};

void PrintUsage(std::ostream& err)
{
    err << "usage: lumora-cli COMMAND [ARGUMENTS]\n       lumora-cli --help | --version\n\ncommands:\n";
    for (const Command& command : kCommands)
        err << "  " << command.name << ' ' << command.synopsis << "\n      " << command.summary << '\n';
}

const Command* FindCommand(std::string_view name)
{
    for (const Command& command : kCommands)
        if (command.name == name)
            return &command;
    return nullptr;
}

}  // namespace
}  // namespace lumora::cli

int main(int argc, char** argv)
{
    using namespace lumora::cli;
    std::span<char*> args(argv, static_cast<std::size_t>(argc));
    if (args.size() == 2 && std::string_view(args[1]) == "--help") {
        PrintUsage(std::cout);
        return kExitOk;
    }
    if (lumora::AnswerHelpOrVersion(argc, argv, "lumora-cli", ""))
        return kExitOk;
    const Command* command = args.size() >= 2 ? FindCommand(args[1]) : nullptr;
    if (command == nullptr) {
        PrintUsage(std::cerr);
        return kExitUsage;
    }
    if (args.size() == 3 && std::string_view(args[2]) == "--help") {
        std::cout << "usage: lumora-cli " << command->name << ' ' << command->synopsis << "\n    " << command->summary
                  << '\n';
        return kExitOk;
    }
    Arguments rest(args.begin() + 2, args.end());
    return command->run(rest, std::cout, std::cerr);
}
