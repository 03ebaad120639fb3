// stbsim [options]: simulated receivers on pseudo-terminals.
//
// Opens one pseudo-terminal pair per receiver (--count N, else one) and
// prints the devices to use, one a line (for example in LV3DLL_PORT0), then
// answers the serial transfer protocol like receivers until it is ended
// (SIGINT, SIGTERM): an upload sends the raw image; a download is checked
// completely and, when it carries channel data, becomes the raw image a later
// upload returns. Each finished download prints one line: "download accepted:
// ..." or "download refused: ...". With --count, every line after the devices
// starts with the receiver's number and a colon ("3: download accepted: ...").
// SIGUSR1 unplugs every receiver (it falls silent) or, when unplugged, puts a
// new one in its place (the starting image again).
//
//   --count N            simulate N receivers, each on its own pseudo-terminal
//   --raw FILE           start with the raw image in FILE
//   --text FILE          start with the raw image made from interchange file FILE
//   --menu-type N, --flash-type N, --ant32 N   the receiver type for --text and
//                        for the empty database used without --raw or --text
//   --save-raw FILE      write the raw image to FILE after each channel-data download
//   --save-firmware FILE write each accepted firmware image to FILE
//   --drop N             ignore every Nth packet received
//   --corrupt N          damage every Nth answer sent
//   --stop-after N       answer nothing after N packets
//   --delay MS           wait MS milliseconds before each answer
//   --pace               take and send bytes no faster than the bit rate the host set
//   --report-speed       print "upload at N bit/s" or "download at N bit/s"
//                        when a transfer begins
//   --fault K:WHAT       a fault of receiver K (from 1) only: silent (never
//                        answers), corrupt[=N] (damages every Nth answer, every
//                        one without N), refuse (refuses every download),
//                        store-other (keeps channel data that differ from those
//                        received), unplug[=N] (falls silent for good after N
//                        packets, 5 without N: early in a download)
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "conversions.h"
#include "full_write.h"
#include "program_info.h"
#include "raw_image.h"
#include "records.h"
#include "sim_receiver.h"

namespace {

volatile std::sig_atomic_t endRequested = 0;
volatile std::sig_atomic_t plugChanges = 0;  // SIGUSR1 received so far

void RequestEnd(int) { endRequested = 1; }
void TogglePlug(int) { plugChanges = plugChanges + 1; }

constexpr unsigned kMaxCount = 64;
constexpr unsigned kUnplugAfterDefault = 5;

struct Options {
    std::string rawFile, textFile, saveRaw, saveFirmware;
    lumora::conv::RawImageInfo info;
    stbsim::Faults faults;  // of every receiver
    std::vector<std::pair<unsigned, std::string>> receiverFaults;  // receiver number (from 1), fault
    unsigned count = 1;
    bool tagged = false;  // lines name their receiver
    bool reportSpeed = false;
};

constexpr const char* kUsage =
    "usage: stbsim [--count N] [--raw FILE | --text FILE] [--menu-type N] [--flash-type N] [--ant32 N]\n"
    "              [--save-raw FILE] [--save-firmware FILE] [--drop N] [--corrupt N] [--stop-after N]\n"
    "              [--delay MS] [--pace] [--report-speed] [--fault K:silent|corrupt[=N]|refuse|store-other|\n"
    "              unplug[=N]]...\n"
    "       stbsim --help | --version\n";

[[noreturn]] void Usage(const char* problem)
{
    std::fprintf(stderr, "stbsim: %s\n%s", problem, kUsage);
    std::exit(2);
}

unsigned Number(const char* text)
{
    char* end = nullptr;
    const unsigned long value = std::strtoul(text, &end, 10);
    if (!*text || *end || value > 1000000)
        Usage("a number is expected");
    return static_cast<unsigned>(value);
}

// "K:WHAT" of --fault: the receiver's number and the fault.
std::pair<unsigned, std::string> ReceiverFault(const std::string& text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0)
        Usage("--fault wants K:WHAT, for example 3:silent");
    return {Number(text.substr(0, colon).c_str()), text.substr(colon + 1)};
}

// The faults of every receiver with those of --fault for receiver `number`.
stbsim::Faults FaultsOf(const Options& o, unsigned number)
{
    stbsim::Faults faults = o.faults;
    for (const auto& [receiver, what] : o.receiverFaults) {
        if (receiver != number)
            continue;
        const std::size_t equals = what.find('=');
        const std::string name = what.substr(0, equals);
        const unsigned n = equals == std::string::npos ? 0 : Number(what.c_str() + equals + 1);
        if (name == "silent")
            faults.silent = true;
        else if (name == "corrupt")
            faults.corruptEvery = n ? n : 1;
        else if (name == "refuse")
            faults.refuse = true;
        else if (name == "store-other")
            faults.storeOther = true;
        else if (name == "unplug")
            faults.stopAfter = n ? n : kUnplugAfterDefault;
        else
            Usage(("unknown fault " + what).c_str());
    }
    return faults;
}

Options ParseOptions(int argc, char** argv)
{
    if (lumora::AnswerHelpOrVersion(argc, argv, "stbsim", kUsage))
        std::exit(0);
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--pace" || name == "--report-speed") {
            (name == "--pace" ? o.faults.pace : o.reportSpeed) = true;
            continue;
        }
        if (i + 1 >= argc)
            Usage(("missing value of " + name).c_str());
        const char* value = argv[++i];
        if (name == "--raw")
            o.rawFile = value;
        else if (name == "--text")
            o.textFile = value;
        else if (name == "--save-raw")
            o.saveRaw = value;
        else if (name == "--save-firmware")
            o.saveFirmware = value;
        else if (name == "--menu-type")
            o.info.menuType = static_cast<uint8_t>(Number(value));
        else if (name == "--flash-type")
            o.info.flashType = static_cast<uint8_t>(Number(value));
        else if (name == "--ant32")
            o.info.ant32 = Number(value) ? 1 : 0;
        else if (name == "--drop")
            o.faults.dropEvery = Number(value);
        else if (name == "--corrupt")
            o.faults.corruptEvery = Number(value);
        else if (name == "--stop-after")
            o.faults.stopAfter = Number(value);
        else if (name == "--delay")
            o.faults.delayMs = Number(value);
        else if (name == "--count") {
            o.count = Number(value);
            o.tagged = true;
        } else if (name == "--fault")
            o.receiverFaults.push_back(ReceiverFault(value));
        else
            Usage(("unknown option " + name).c_str());
    }
    if (o.count < 1 || o.count > kMaxCount)
        Usage("--count wants 1 to 64 receivers");
    for (const auto& fault : o.receiverFaults)
        if (fault.first < 1 || fault.first > o.count)
            Usage("--fault names a receiver that is not simulated");
    return o;
}

bool ReadFile(const std::string& path, stbsim::Bytes& bytes)
{
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return in.good() || in.eof();
}

bool WriteFile(const std::string& path, const stbsim::Bytes& bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    const bool written = lumora::WriteFully(fd, bytes.data(), bytes.size());
    return ::close(fd) == 0 && written;
}

// The raw image the receiver starts with.
stbsim::Bytes InitialImage(const Options& o)
{
    stbsim::Bytes raw;
    std::string error;
    if (!o.rawFile.empty()) {
        if (!ReadFile(o.rawFile, raw))
            Usage(("cannot read " + o.rawFile).c_str());
        return raw;
    }
    if (!o.textFile.empty()) {
        char temp[] = "/tmp/stbsim-raw-XXXXXX";
        const int fd = ::mkstemp(temp);
        if (fd < 0)
            Usage("cannot make a temporary file");
        ::close(fd);
        const bool made = lumora::conv::TextToRaw(o.textFile, temp, o.info, error) && ReadFile(temp, raw);
        ::unlink(temp);
        if (!made)
            Usage(error.c_str());
        return raw;
    }
    lumora::TChannelDatabase db;
    lumora::InitDatabase(db, o.info.flashType);
    return lumora::conv::EncodeRawImage(db, o.info);
}

// Opens the pseudo-terminal; `keepSlave` holds the slave side open so the
// master never sees a hang-up between two host sessions.
int OpenPseudoTerminal(std::string& device, int& keepSlave)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0 || !::ptsname(master))
        return -1;
    device = ::ptsname(master);
    keepSlave = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (keepSlave < 0)
        return -1;
    termios tio{};
    ::tcgetattr(keepSlave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(keepSlave, TCSANOW, &tio);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    return master;
}

// Lines of output, each written whole, tagged with the receiver when asked.
class Output {
public:
    explicit Output(bool tagged) : tagged_(tagged) {}
    void Line(unsigned number, const std::string& text)
    {
        std::lock_guard lock(mutex_);
        if (tagged_)
            std::printf("%u: ", number);
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }

private:
    std::mutex mutex_;
    const bool tagged_;
};

// One simulated receiver on its pseudo-terminal, answering on its own thread
// so that paced receivers keep their pace side by side.
class SimulatedReceiver {
public:
    SimulatedReceiver(const Options& options, unsigned number, const stbsim::Bytes& start, Output& output)
        : options_(options), number_(number), start_(start), output_(output)
    {
        master_ = OpenPseudoTerminal(device_, keepSlave_);
    }
    ~SimulatedReceiver()
    {
        if (keepSlave_ >= 0)
            ::close(keepSlave_);
    }

    bool IsOpen() const { return master_ >= 0; }
    const std::string& Device() const { return device_; }

    // Answers until the program is asked to end; false on a line failure.
    bool Serve()
    {
        lumora::serial::ByteChannel line(master_);
        auto receiver = NewReceiver();
        bool plugged = true;
        int plugState = plugChanges;
        while (!endRequested) {
            if (plugState != plugChanges) {
                plugState = plugChanges;
                plugged = !plugged;
                if (plugged)
                    receiver = NewReceiver();  // another receiver, fresh from the box
            }
            uint8_t buffer[4096];
            std::string error;
            const long n = line.Read(buffer, sizeof buffer, 100, error);
            if (n < 0) {
                std::fprintf(stderr, "stbsim: %s\n", error.c_str());
                return false;
            }
            if (plugged)
                receiver->Receive(buffer, static_cast<std::size_t>(n), line);
        }
        return true;
    }

private:
    std::unique_ptr<stbsim::SimReceiver> NewReceiver()
    {
        auto receiver = std::make_unique<stbsim::SimReceiver>(start_, FaultsOf(options_, number_));
        stbsim::SimReceiver* r = receiver.get();
        receiver->onDownload = [this, r](const stbsim::DownloadOutcome& outcome) {
            if (outcome.channelData && !options_.saveRaw.empty())
                WriteFile(options_.saveRaw, r->RawImage());
            if (outcome.accepted && !outcome.channelData && !options_.saveFirmware.empty())
                WriteFile(options_.saveFirmware, r->Firmware());
            output_.Line(number_, outcome.text);
        };
        if (options_.reportSpeed)
            receiver->onBegin = [this](const char* kind, unsigned baud) {
                output_.Line(number_, std::string(kind) + " at " + std::to_string(baud) + " bit/s");
            };
        return receiver;
    }

    const Options& options_;
    const unsigned number_;
    const stbsim::Bytes& start_;
    Output& output_;
    std::string device_;
    int master_ = -1;
    int keepSlave_ = -1;
};

}  // namespace

int main(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    const stbsim::Bytes start = InitialImage(options);
    Output output(options.tagged);
    std::deque<SimulatedReceiver> receivers;
    for (unsigned number = 1; number <= options.count; ++number) {
        receivers.emplace_back(options, number, start, output);
        if (!receivers.back().IsOpen()) {
            std::fprintf(stderr, "stbsim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
            return 1;
        }
    }
    struct sigaction action {};
    action.sa_handler = RequestEnd;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    action.sa_handler = TogglePlug;
    ::sigaction(SIGUSR1, &action, nullptr);
    for (const SimulatedReceiver& receiver : receivers)
        std::printf("%s\n", receiver.Device().c_str());
    std::fflush(stdout);

    std::atomic<bool> failed = false;
    std::vector<std::thread> threads;
    for (SimulatedReceiver& receiver : receivers)
        threads.emplace_back([&receiver, &failed] {
            if (!receiver.Serve())
                failed = true;
        });
    for (std::thread& thread : threads)
        thread.join();
    return failed ? 1 : 0;
}
