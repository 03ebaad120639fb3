// The subcommands of lumora-cli. Each takes the arguments after its name and
// returns the process exit status; it writes only to the streams it is given.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace lumora::cli {

// Exit statuses shared by the subcommands.
inline constexpr int kExitOk = 0;
inline constexpr int kExitStopped = 1;  // the input was read only in part
inline constexpr int kExitUsage = 2;  // bad arguments, an input that cannot be opened, output failed
inline constexpr int kExitFailed = 1;  // a receiver transfer or its preparation failed
inline constexpr int kExitInterrupted = 130;  // Ctrl+C stopped a receiver transfer

using Arguments = std::vector<std::string>;
using CommandFunction = int (*)(const Arguments& args, std::ostream& out, std::ostream& err);

struct Command {
    std::string_view name;
    std::string_view synopsis;  // arguments, as shown in the usage text
    std::string_view summary;
    CommandFunction run;
};

int RunDump(const Arguments& args, std::ostream& out, std::ostream& err);
// Conversions through the conversion library (cmd_convert.cpp, cmd_check.cpp, cmd_ddf.cpp).
int RunConvert(const Arguments& args, std::ostream& out, std::ostream& err);
int RunCheck(const Arguments& args, std::ostream& out, std::ostream& err);
int RunDdf(const Arguments& args, std::ostream& out, std::ostream& err);
// Transfers with a receiver on a serial port (cmd_transfer.cpp).
int RunUpload(const Arguments& args, std::ostream& out, std::ostream& err);
int RunDownload(const Arguments& args, std::ostream& out, std::ostream& err);
int RunFirmware(const Arguments& args, std::ostream& out, std::ostream& err);
int RunStation(const Arguments& args, std::ostream& out, std::ostream& err);
// The service list to CSV or HTML, and a CSV's order into a .dnf (cmd_export.cpp).
int RunExport(const Arguments& args, std::ostream& out, std::ostream& err);
int RunImportOrder(const Arguments& args, std::ostream& out, std::ostream& err);
// Compare two channel-data files, merge one into another (cmd_compare.cpp).
int RunDiff(const Arguments& args, std::ostream& out, std::ostream& err);
int RunMerge(const Arguments& args, std::ostream& out, std::ostream& err);
// Other programs' channel files merged into a file (cmd_import.cpp).
int RunImport(const Arguments& args, std::ostream& out, std::ostream& err);

// Parses "--flash-type N" (N 0..255) from args[index + 1]; false with a message
// on err when the value is missing or not a number in range.
bool ParseFlashType(const Arguments& args, std::size_t& index, int& flashType, std::ostream& err);

}  // namespace lumora::cli
