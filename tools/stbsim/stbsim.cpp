// stbsim [options]: a simulated receiver on a pseudo-terminal.
//
// Opens a pseudo-terminal pair and prints the device to use on the first line
// of its output (for example in LV3DLL_PORT0), then answers the serial
// transfer protocol like a receiver until it is ended (SIGINT, SIGTERM): an
// upload sends its raw image; a download is checked completely and, when it
// carries channel data, becomes the raw image a later upload returns. Each
// finished download prints one line: "download accepted: ..." or
// "download refused: ...".
//
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
//   --pace               send no faster than the bit rate the host set
//   --report-speed       print "upload at N bit/s" or "download at N bit/s"
//                        when a transfer begins
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#include "conversions.h"
#include "full_write.h"
#include "raw_image.h"
#include "records.h"
#include "sim_receiver.h"

namespace {

volatile std::sig_atomic_t endRequested = 0;

void RequestEnd(int) { endRequested = 1; }

struct Options {
    std::string rawFile, textFile, saveRaw, saveFirmware;
    lumora::conv::RawImageInfo info;
    stbsim::Faults faults;
    bool reportSpeed = false;
};

[[noreturn]] void Usage(const char* problem)
{
    std::fprintf(stderr,
                 "stbsim: %s\nusage: stbsim [--raw FILE | --text FILE] [--menu-type N] [--flash-type N] "
                 "[--ant32 N] [--save-raw FILE] [--save-firmware FILE] [--drop N] [--corrupt N] "
                 "[--stop-after N] [--delay MS] [--pace] [--report-speed]\n",
                 problem);
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

Options ParseOptions(int argc, char** argv)
{
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
        else
            Usage(("unknown option " + name).c_str());
    }
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

}  // namespace

int main(int argc, char** argv)
{
    const Options options = ParseOptions(argc, argv);
    stbsim::SimReceiver receiver(InitialImage(options), options.faults);
    receiver.onDownload = [&](const stbsim::DownloadOutcome& outcome) {
        if (outcome.channelData && !options.saveRaw.empty())
            WriteFile(options.saveRaw, receiver.RawImage());
        if (outcome.accepted && !outcome.channelData && !options.saveFirmware.empty())
            WriteFile(options.saveFirmware, receiver.Firmware());
        std::printf("%s\n", outcome.text.c_str());
        std::fflush(stdout);
    };

    if (options.reportSpeed)
        receiver.onBegin = [](const char* kind, unsigned baud) {
            std::printf("%s at %u bit/s\n", kind, baud);
            std::fflush(stdout);
        };

    std::string device;
    int keepSlave = -1;
    const int master = OpenPseudoTerminal(device, keepSlave);
    if (master < 0) {
        std::fprintf(stderr, "stbsim: cannot open a pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    struct sigaction action {};
    action.sa_handler = RequestEnd;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    std::printf("%s\n", device.c_str());
    std::fflush(stdout);

    lumora::serial::ByteChannel line(master);
    while (!endRequested) {
        uint8_t buffer[4096];
        std::string error;
        const long n = line.Read(buffer, sizeof buffer, 100, error);
        if (n < 0) {
            std::fprintf(stderr, "stbsim: %s\n", error.c_str());
            return 1;
        }
        receiver.Receive(buffer, static_cast<std::size_t>(n), line);
    }
    ::close(keepSlave);
    return 0;
}
