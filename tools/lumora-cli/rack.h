// Programming receivers on many ports at once: one thread per port, all
// sending the one image built and checked before any line is used. A
// receiver that fails fails alone; Ctrl+C stops every transfer the way the
// library stops one (the receiver is told and keeps what it had).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "raw_image.h"
#include "receiver_log.h"
#include "serial_port.h"

namespace lumora::cli {

// A receiver's place: a port index of the settings or a device named on the
// command line.
struct RackPort {
    std::optional<int> port;  // the library's index: COM 1 is 0
    std::string device;  // what is opened

    // How messages name it: "port 3" for a port, else the device.
    std::string Label() const;
};

// The labels of `ports`, in their order.
std::vector<std::string> Labels(const std::vector<RackPort>& ports);

// What every receiver of a run is sent, and how.
struct RackImage {
    std::string file;  // the file name given
    uint64_t fileSize = 0;
    conv::Bytes image;  // the download image sent
    uint32_t crc32 = 0;  // of `image`
    conv::Bytes raw;  // the raw image it carries; empty for firmware
    unsigned baud = 115200;
    bool verify = false;
    conv::RawImageInfo receiver;  // for reading back the channel data

    // What a receiver that took the image took, for the messages.
    std::string Taken() const;
};

// The download image `image` checked completely (header, records, every
// compressed record decoded) and described for the run; false after the
// reason was written to err.
bool PrepareRackImage(const std::string& file, conv::Bytes image, RackImage& prepared, std::ostream& err);

// How one receiver ended.
struct ReceiverOutcome {
    std::string result = "ok";  // "ok", "failed" or "aborted"
    std::string reason;
    std::string verify = "skipped";
    double seconds = 0;
    std::optional<std::string> receiver;  // the receiver's own words, when it gave any
};

// Called with the state of a receiver's transfer and its bytes done of all.
using ReceiverProgress = std::function<void(const char* state, uint32_t done, uint32_t total)>;

// Sends the image to the receiver on `line`, then reads its channel data back
// when the image asks for verifying.
ReceiverOutcome ProgramReceiver(serial::ByteChannel& line, const RackImage& image, const ReceiverProgress& progress);

// The message of an outcome, as shown after the port's label.
std::string OutcomeText(const ReceiverOutcome& outcome, const RackImage& image);

// The log line of an outcome on `where`.
ReceiverRecord MakeRecord(const RackPort& where, const RackImage& image, const ReceiverOutcome& outcome);

class RackDisplay;

// One port of a run: where it is, its row on the display, what its receivers
// get and where they are recorded.
struct RackPlace {
    const RackPort& where;
    std::size_t index;
    const RackImage& image;
    RackDisplay& display;
    ReceiverLog& log;

    // Shows a receiver's progress on the port's row.
    ReceiverProgress Progress() const;
    // Appends the outcome's line to the log when that is open, then shows
    // the outcome; false when the line could not be written.
    bool Record(const ReceiverOutcome& outcome) const;
};

// Programs the receivers on every port of `ports` at once and logs each in
// `log` when it is open. Exit status: 0 when every one succeeded, 1 when any
// failed, 130 after Ctrl+C.
int RunRack(const std::vector<RackPort>& ports, const RackImage& image, ReceiverLog& log, std::ostream& err);

// Station mode on every port of `ports` until Ctrl+C: waits for a receiver
// to answer, programs it, reports and logs it, then waits until it has gone
// before it takes the next one. Exit status 0 when every receiver succeeded,
// 1 otherwise (station.cpp).
int RunStationPorts(const std::vector<RackPort>& ports, const RackImage& image, ReceiverLog& log, std::ostream& err);

}  // namespace lumora::cli
