// What the receiver transfer subcommands share: their options, the settings
// they start from (the editor's own unless --settings names a file), the
// library's transfer entries run with a progress bar on a terminal, and
// Ctrl+C, which stops a running transfer the way the editor's Cancel does.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "commands.h"
#include "conversion_binding.h"
#include "settings.h"

namespace lumora::cli {

// Which options a subcommand takes besides the port, speed and settings.
// Download, firmware and station serve many ports and take --verify and --log.
enum class TransferOptionSet { Firmware, Upload, Download, Station };

struct TransferOptions {
    std::vector<int> ports;  // the library's port indexes: COM 1 is 0
    std::vector<std::string> devices;
    bool verify = false;
    std::string logPath;
    std::optional<int> speedCode;  // the library's code: 0 = 115200 ... 4 = 9600 bit/s
    std::string settingsPath;
    std::optional<uint8_t> menuType, flashType, ant32;
    std::optional<std::string> systemId;
    std::string file;
};

// Parses the arguments of a transfer subcommand: exactly one file, and at
// least one port (--port N, --port N-M, --device PATH, repeated), exactly one
// for an upload, none twice. False with the reason on err.
bool ParseTransferOptions(const Arguments& args, TransferOptionSet set, TransferOptions& parsed, std::ostream& err);

// The settings the transfer uses: the file of --settings, else the editor's
// settings file, else the defaults; the options given replace their values,
// and a --device becomes the device of port 0 (the first port given is the
// settings' port). False with the reason on err.
bool ResolveTransferSettings(const TransferOptions& options, TSettings& settings, std::ostream& err);

// The receiver type of the settings, as the conversions take it.
ReceiverType SettingsReceiver(const TSettings& settings);

// Makes Ctrl+C (SIGINT) ask the running transfer to stop instead of ending
// the program; Interrupted() tells whether it was pressed.
void CatchInterrupt();
bool Interrupted();

enum class TransferResult { Done, Failed, Interrupted };

// Runs library entry `entry` ("UploadData" or "DownloadData") on `path` with
// the port and speed of `settings`. On a terminal standard error shows a
// progress bar named `label`; otherwise nothing. The reason of a failure is
// in `error`.
TransferResult RunLibraryTransfer(const ConversionLibrary& library, const char* entry, const TSettings& settings,
                                  const std::string& path, const char* label, std::ostream& err, std::string& error);

// The exit status and message of a transfer that did not end with Done.
int ReportTransferEnd(TransferResult result, const std::string& error, std::ostream& err);

}  // namespace lumora::cli
