// lumora-cli station: a rack that programs receivers as they are put on it.
// Each port waits for a receiver to answer, programs it, then waits until it
// has gone, so a receiver left on the rack is never programmed twice.
#include <unistd.h>

#include <chrono>
#include <deque>
#include <thread>

#include "commands.h"
#include "rack.h"
#include "rack_display.h"
#include "serial_transfer.h"
#include "transfer_cli.h"

namespace lumora::cli {
namespace {

using Clock = std::chrono::steady_clock;

// A receiver has gone when it has not answered for this long.
constexpr auto kGoneAfter = std::chrono::seconds(3);
// Between two presence probes of a receiver that answered, and between two
// tries to open a port that cannot be opened.
constexpr auto kProbePause = std::chrono::milliseconds(500);
constexpr auto kReopenPause = std::chrono::seconds(2);

// Waits `pause` unless Ctrl+C comes first.
void Pause(Clock::duration pause)
{
    const auto end = Clock::now() + pause;
    while (!Interrupted() && Clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

class StationWorker {
public:
    explicit StationWorker(const RackPlace& place) : place_(place) {}

    void Run()
    {
        while (!Interrupted()) {
            if (!line_.IsOpen() && !OpenLine())
                continue;
            place_.display.Show(place_.index, "waiting for a receiver");
            if (!Answers())
                continue;
            const ReceiverOutcome outcome = ProgramReceiver(line_, place_.image, place_.Progress());
            const bool logged = place_.Record(outcome);
            (outcome.result == "ok" && logged ? programmed : failed) += 1;
            if (outcome.result == "aborted")
                break;
            place_.display.Show(place_.index, outcome.result + "; waiting for the receiver to be taken away");
            WaitUntilGone();
            if (!Interrupted())
                place_.display.Report(place_.index, "the receiver was taken away; waiting for the next one");
        }
    }

    int programmed = 0;
    int failed = 0;
    bool failedToOpen = false;

private:
    bool OpenLine()
    {
        std::string reason;
        if (line_.Open(place_.where.device, place_.image.baud, reason))
            return true;
        if (!reportedOpenFailure_)
            place_.display.Report(place_.index, "Cannot open serial port " + place_.where.device + ": " + reason);
        reportedOpenFailure_ = true;
        failedToOpen = true;
        place_.display.Show(place_.index, "cannot open the port");
        Pause(kReopenPause);
        return false;
    }

    // Whether a receiver answers a probe; false on Ctrl+C.
    bool Answers()
    {
        serial::HostSession session(line_, place_.image.baud, [](uint32_t, uint32_t) { return !Interrupted(); });
        try {
            return session.Probe(serial::AnswerTimeoutMs(place_.image.baud));
        } catch (const serial::TransferStopped&) {
            return false;
        }
    }

    void WaitUntilGone()
    {
        auto lastAnswer = Clock::now();
        while (!Interrupted() && Clock::now() - lastAnswer < kGoneAfter) {
            if (Answers()) {
                lastAnswer = Clock::now();
                Pause(kProbePause);
            }
        }
    }

    const RackPlace place_;
    serial::SerialPort line_;
    bool reportedOpenFailure_ = false;
};

}  // namespace

int RunStationPorts(const std::vector<RackPort>& ports, const RackImage& image, ReceiverLog& log, std::ostream& err)
{
    RackDisplay display(Labels(ports), err, ::isatty(2) == 1);
    std::deque<StationWorker> workers;  // they hold their open port and stay where they are
    for (std::size_t i = 0; i < ports.size(); ++i)
        workers.emplace_back(RackPlace{ports[i], i, image, display, log});
    RunOnEveryPort(display, ports.size(), [&](std::size_t i) { workers[i].Run(); });
    int programmed = 0, failed = 0;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const StationWorker& worker = workers[i];
        display.Report(i, std::to_string(worker.programmed) + " programmed, " + std::to_string(worker.failed) +
                              " failed" + (worker.failedToOpen ? ", the port could not always be opened" : ""));
        programmed += worker.programmed;
        failed += worker.failed + (worker.failedToOpen ? 1 : 0);
    }
    display.Note("station stopped: " + std::to_string(programmed) + " receivers programmed, " + std::to_string(failed) +
                 " failed");
    return failed == 0 ? kExitOk : kExitFailed;
}

}  // namespace lumora::cli
