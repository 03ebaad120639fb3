#include "rack.h"

#include <unistd.h>

#include <chrono>

#include "commands.h"
#include "conversions.h"
#include "crc32.h"
#include "ddf_image.h"
#include "rack_display.h"
#include "serial_transfer.h"
#include "transfer_cli.h"
#include "verify_records.h"

namespace lumora::cli {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// A transfer's progress callback: passes the counts on and stops on Ctrl+C.
serial::ProgressFn Reporting(const ReceiverProgress& progress, const char* state)
{
    return [&progress, state](uint32_t done, uint32_t total) {
        if (progress)
            progress(state, done, total);
        return !Interrupted();
    };
}

// Reads the receiver's channel data back and compares it with what was sent.
void Verify(serial::ByteChannel& line, const RackImage& image, const ReceiverProgress& progress,
            ReceiverOutcome& outcome)
{
    serial::HostSession session(line, image.baud, Reporting(progress, "verifying"));
    std::optional<std::string> difference;
    try {
        difference = FirstDifference(image.raw, session.Upload(), image.receiver);
    } catch (const serial::TransferStopped& e) {
        session.SendAbort();
        outcome = {"aborted", e.what(), "skipped", 0, std::nullopt};
        return;
    } catch (const serial::TransferFailed& e) {
        session.SendAbort();
        difference = std::string("the channel data could not be read back: ") + e.what();
    }
    outcome.verify = difference ? "failed" : "ok";
    if (difference) {
        outcome.result = "failed";
        outcome.reason = "verify failed: " + *difference;
    }
}

}  // namespace

std::string RackPort::Label() const { return port ? "port " + std::to_string(*port + 1) : device; }

std::vector<std::string> Labels(const std::vector<RackPort>& ports)
{
    std::vector<std::string> labels;
    for (const RackPort& port : ports)
        labels.push_back(port.Label());
    return labels;
}

std::string RackImage::Taken() const
{
    return (raw.empty() ? "the firmware \"" : "the channel data of \"") + file + "\"";
}

bool PrepareRackImage(const std::string& file, conv::Bytes image, RackImage& prepared, std::ostream& err)
{
    // A damaged image would go over every line only to be refused at its end.
    const encoder::DdfCheckResult check = encoder::CheckDdfImage(image.data(), image.size(), true);
    if (!check.valid) {
        err << "lumora-cli: \"" << file << "\" is not a valid download image: " << check.fault << '\n';
        return false;
    }
    if (image.size() > serial::kMaxDownloadSize) {
        err << "lumora-cli: \"" << file << "\" is too large to send\n";
        return false;
    }
    if (!conv::RawFromDownloadRecords(check.records, prepared.raw))
        prepared.raw.clear();
    prepared.crc32 = conv::Crc32(image.data(), image.size());
    prepared.image = std::move(image);
    prepared.file = file;
    return true;
}

ReceiverOutcome ProgramReceiver(serial::ByteChannel& line, const RackImage& image, const ReceiverProgress& progress)
{
    const auto start = Clock::now();
    ReceiverOutcome outcome;
    serial::HostSession session(line, image.baud, Reporting(progress, "sending"));
    try {
        session.Download(image.image);
    } catch (const serial::TransferStopped& e) {
        session.SendAbort();
        outcome = {"aborted", e.what(), "skipped", 0, std::nullopt};
    } catch (const serial::TransferFailed& e) {
        session.SendAbort();
        outcome.result = "failed";
        outcome.reason = e.what();
        if (!session.Refusal().empty())
            outcome.receiver = session.Refusal();
    }
    if (outcome.result == "ok" && image.verify && !image.raw.empty())
        Verify(line, image, progress, outcome);
    outcome.seconds = SecondsSince(start);
    return outcome;
}

std::string OutcomeText(const ReceiverOutcome& outcome, const RackImage& image)
{
    if (outcome.result == "ok")
        return "the receiver accepted " + image.Taken() + (outcome.verify == "ok" ? ", verified" : "");
    if (outcome.result == "aborted")
        return "interrupted; the transfer was stopped";
    return outcome.reason;
}

ReceiverRecord MakeRecord(const RackPort& where, const RackImage& image, const ReceiverOutcome& outcome)
{
    ReceiverRecord record;
    record.time = UtcTimestamp();
    if (where.port)
        record.port = *where.port + 1;
    record.device = where.device;
    record.file = image.file;
    record.fileSize = image.fileSize;
    record.imageSize = image.image.size();
    record.imageCrc32 = image.crc32;
    record.result = outcome.result;
    record.reason = outcome.reason;
    record.verify = outcome.verify;
    record.durationSeconds = outcome.seconds;
    record.receiver = outcome.receiver;
    return record;
}

ReceiverProgress RackPlace::Progress() const
{
    return [this](const char* state, uint32_t done, uint32_t total) { display.Show(index, state, done, total); };
}

bool RackPlace::Record(const ReceiverOutcome& outcome) const
{
    // The log line goes first: whoever sees the message can rely on the record.
    std::string error;
    const bool logged = !log.IsOpen() || log.Append(MakeRecord(where, image, outcome), error);
    display.Show(index, outcome.result);
    display.Report(index, OutcomeText(outcome, image));
    if (!logged)
        display.Report(index, error);
    return logged;
}

namespace {

// One port of a rack: open, program, report, log. Returns the result and
// whether its log line was written.
std::pair<std::string, bool> ProgramPort(const RackPlace& place)
{
    ReceiverOutcome outcome;
    serial::SerialPort line;
    std::string reason;
    if (!line.Open(place.where.device, place.image.baud, reason)) {
        outcome.result = "failed";
        outcome.reason = "Cannot open serial port " + place.where.device + ": " + reason;
    } else {
        outcome = ProgramReceiver(line, place.image, place.Progress());
    }
    return {outcome.result, place.Record(outcome)};
}

}  // namespace

int RunRack(const std::vector<RackPort>& ports, const RackImage& image, ReceiverLog& log, std::ostream& err)
{
    RackDisplay display(Labels(ports), err, ::isatty(2) == 1);
    std::vector<std::pair<std::string, bool>> results(ports.size());
    RunOnEveryPort(display, ports.size(), [&](std::size_t i) {
        results[i] = ProgramPort({ports[i], i, image, display, log});
    });
    if (Interrupted())
        return kExitInterrupted;
    for (const auto& [result, logged] : results)
        if (result != "ok" || !logged)
            return kExitFailed;
    return kExitOk;
}

}  // namespace lumora::cli
