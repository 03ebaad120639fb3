// lumora-cli upload, download and firmware, run as programs against stbsim:
// whole transfers, failures with their message and status, and Ctrl+C in the
// middle of an upload.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <regex>

#include "cli_support.h"
#include "interchange.h"
#include "transfer_support.h"

extern char** environ;

namespace transfer_test {
namespace {

using namespace lumora;

const std::string kSample = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";

class CliTransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The receiver type and system id come from a settings file, as the editor's do.
        WriteText(settings, "[SYSTEMINFO]\r\nPORT=3\r\nBAUD=4\r\nMENUTYPE=0\r\nFLASHTYPE=0\r\nANT32=1\r\n"
                            "SYSTEMID=002A0010\r\n");
        ASSERT_EQ(lib.DnfToRaw(kSample.c_str(), dir.File("start.raw").c_str(), 0, 0, 1), 1) << lib.LastError();
    }

    // The raw image of channel-data file `dnf`, converted by lumora-cli and the library.
    Bytes RawOfDnf(const std::string& dnf)
    {
        EXPECT_EQ(RunCli({"convert", dnf, dir.File("back.txt")}).status, 0);
        EXPECT_EQ(lib.DnfToRaw(dir.File("back.txt").c_str(), dir.File("back.raw").c_str(), 0, 0, 1), 1);
        return ReadFile(dir.File("back.raw"));
    }

    // A channel-data file of the sample with one service renamed.
    std::string EditedSample(const std::string& name)
    {
        std::string text = ReadText(kSample);
        text.replace(text.find("Harbor Shop"), name.size(), name);
        WriteText(dir.File("edited.txt"), text);
        EXPECT_EQ(RunCli({"convert", dir.File("edited.txt"), dir.File("edited.dnf")}).status, 0);
        return dir.File("edited.dnf");
    }

    TempDir dir;
    Library lib;
    std::string settings = dir.File("LV32.cfg");
};

TEST_F(CliTransferTest, UploadDownloadAndFirmwareReachTheReceiver)
{
    SimProcess sim(
        {"--raw", dir.File("start.raw"), "--save-raw", dir.File("held.raw"), "--save-firmware", dir.File("held.ddf")});
    const std::string edited = EditedSample("Harbor Moon");
    ASSERT_TRUE(BuildFirmware(dir, Bytes(1500, 0x5A), dir.File("fw.ddf")));
    const std::string up = dir.File("up.dnf");
    struct Row {
        std::vector<std::string> args;
        std::string receiverSays;  // stbsim's line for a download; empty for an upload
        std::function<void()> check;
    };
    const Row rows[] = {
        {{"upload", up}, "", [&] { EXPECT_EQ(RawOfDnf(up), ReadFile(dir.File("start.raw"))); }},
        {{"download", edited},
         "download accepted: channel data, 401408 bytes, ID 002a0010",
         [&] { EXPECT_EQ(ReadFile(dir.File("held.raw")), RawOfDnf(edited)); }},
        {{"download", "--system-id", "ABCD", "--speed", "9600", edited},
         "download accepted: channel data, 401408 bytes, ID 0000abcd",
         [] {}},
        {{"firmware", dir.File("fw.ddf")},
         "download accepted: firmware, 1 records",
         [&] { EXPECT_EQ(ReadFile(dir.File("held.ddf")), ReadFile(dir.File("fw.ddf"))); }},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args{row.args.front(), "--device", sim.Device(), "--settings", settings};
        args.insert(args.end(), row.args.begin() + 1, row.args.end());
        SCOPED_TRACE(row.args.front() + " " + row.args[1]);
        const CliRun run = RunCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        // Not a terminal: no progress bar, only the final message.
        EXPECT_TRUE(std::regex_match(run.err, std::regex("lumora-cli: [^\r\n]*\n"))) << run.err;
        if (!row.receiverSays.empty()) {
            EXPECT_EQ(sim.NextLine().rfind(row.receiverSays, 0), 0u);
        }
        row.check();
    }
}

TEST_F(CliTransferTest, FailuresGiveTheReasonAndStatus1)
{
    SimProcess sim({"--raw", dir.File("start.raw")});
    int silentLine = ::posix_openpt(O_RDWR | O_NOCTTY);  // a port where no receiver answers
    ASSERT_GE(silentLine, 0);
    ASSERT_EQ(::grantpt(silentLine), 0);
    ASSERT_EQ(::unlockpt(silentLine), 0);
    const std::string silentDevice = ::ptsname(silentLine);

    // Services without providers are refused by the editor's download check.
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    ASSERT_EQ(ReadInterchangeFile(kSample, *db, [](const std::string&) {}).status, ReadStatus::Complete);
    db->ProviderInfo.wProviderNum = 0;
    for (TServiceItem& service : db->ServiceInfo.pServiceInfo)
        service.pProviderIndex = -1;
    Status status;
    status = MakeDnfRawFile(dir.File("noprov.txt"), *db);
    ASSERT_TRUE(status.ok()) << status.message();
    ASSERT_EQ(RunCli({"convert", dir.File("noprov.txt"), dir.File("noprov.dnf")}).status, 0);

    const std::string up = dir.File("up.dnf");
    WriteText(up, "kept");
    struct Row {
        std::vector<std::string> args;
        std::string device;
        std::string message;
    };
    const Row rows[] = {
        {{"upload", up},
         silentDevice,
         "No answer from the receiver (6 attempts at the upload request) on " + silentDevice},
        {{"upload", up}, "/nonexistent/ttyX", "Cannot open serial port /nonexistent/ttyX"},
        {{"download", dir.File("noprov.dnf")},
         sim.Device(),
         "No Provider or No Network information. Please insert the information\n"
         "lumora-cli: Download Operation was canceled."},
        {{"download", dir.File("missing.dnf")}, sim.Device(), "\"" + dir.File("missing.dnf") + "\": No such file"},
        {{"firmware", dir.File("missing.ddf")}, sim.Device(), "\"" + dir.File("missing.ddf") + "\": No such file"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.front() + " " + row.args[1] + " on " + row.device);
        const CliRun run = RunCli({row.args.front(), "--device", row.device, "--settings", settings, row.args.back()});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.rfind("lumora-cli: " + row.message, 0), 0u) << run.err;
        EXPECT_EQ(ReadText(up), "kept");  // a failed upload leaves the old file alone
    }
    EXPECT_EQ(sim.NextLine(500), "");  // nothing refused reached the receiver
    ::close(silentLine);
}

TEST_F(CliTransferTest, CtrlCStopsAnUploadAndLeavesNoFile)
{
    // Slow answers keep the upload running long enough to interrupt it.
    SimProcess sim({"--raw", dir.File("start.raw"), "--delay", "20"});
    ASSERT_TRUE(BuildFirmware(dir, Bytes(1500, 0x5A), dir.File("fw.ddf")));
    // Standard error on a terminal, where the progress bar is drawn.
    int terminal = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    ASSERT_EQ(::grantpt(terminal), 0);
    ASSERT_EQ(::unlockpt(terminal), 0);
    const int errSide = ::open(::ptsname(terminal), O_RDWR | O_NOCTTY);
    ASSERT_GE(errSide, 0);

    const std::string up = dir.File("up.dnf");
    const pid_t cli = StartCli({"upload", "--device", sim.Device(), "--settings", settings, up}, errSide);
    ASSERT_GT(cli, 0);
    ::close(errSide);
    const std::regex midway("\rReceiving \\[#*-+\\] \\d+%  [1-9]\\d*/401408 bytes$");
    std::string shown;
    ASSERT_TRUE(ReadUntil(terminal, shown, [&](const std::string& text) { return std::regex_search(text, midway); }))
        << shown;
    ::kill(cli, SIGINT);
    const bool ended = ReadUntil(terminal, shown);
    EXPECT_EQ(WaitFor(cli, ended), 130) << shown;
    ::close(terminal);
    EXPECT_NE(shown.find("lumora-cli: interrupted; the transfer was stopped"), std::string::npos) << shown;
    // The bar last drawn shows the transfer stopped short of the whole image.
    const std::regex bar("(\\d+)/401408 bytes");
    std::string lastCount;
    for (auto it = std::sregex_iterator(shown.begin(), shown.end(), bar); it != std::sregex_iterator(); ++it)
        lastCount = (*it)[1];
    EXPECT_LT(std::stoul(lastCount), kRawSize) << shown;
    EXPECT_FALSE(FileExists(up));

    // The receiver was told and serves the next command.
    const CliRun next = RunCli({"firmware", "--device", sim.Device(), "--settings", settings, dir.File("fw.ddf")});
    EXPECT_EQ(next.status, 0) << next.err;
    EXPECT_EQ(sim.NextLine().rfind("download accepted: firmware", 0), 0u);
}

}  // namespace
}  // namespace transfer_test
