// lumora-cli serving many receivers at once, run as a program against stbsim
// --count: each receiver fails alone, the log holds one well-formed line per
// receiver, --verify catches a receiver that keeps another list, and station
// mode takes receivers in turn, stops on Ctrl+C and keeps its log through a
// kill.
#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "cli_support.h"
#include "transfer_support.h"

namespace transfer_test {
namespace {

// One log line with exactly the keys in their order; captures port, device,
// file_size, image_size, image_crc32, result, reason, verify, receiver.
const std::regex
    kLogLine(R"re(\{"time":"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ","port":(null|\d+),"device":"([^"]+)",)re"
             R"re("file":"[^"]+","file_size":(\d+),"image_size":(\d+),"image_crc32":"([0-9a-f]{8})",)re"
             R"re("result":"(ok|failed|aborted)","reason":"((?:[^"\\]|\\.)*)","verify":"(ok|failed|skipped)",)re"
             R"re("duration_s":\d+\.\d{3},"receiver":(null|"(?:[^"\\]|\\.)*")\})re");

struct LogLine {
    std::string port, device, imageSize, crc, result, reason, verify, receiver;
};

// The log's lines, each checked against kLogLine; a line that does not match
// fails the test.
std::vector<LogLine> ReadLog(const std::string& path)
{
    std::vector<LogLine> lines;
    const std::string text = ReadText(path);
    EXPECT_TRUE(text.empty() || text.back() == '\n') << text;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        EXPECT_TRUE(std::regex_match(line, m, kLogLine)) << line;
        if (m.empty())
            continue;
        lines.push_back({m[1], m[2], m[4], m[5], m[6], m[7], m[8], m[9]});
    }
    return lines;
}

std::size_t Count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The next line of stbsim that contains `part`; empty when none came in time.
std::string SimLineWith(SimProcess& sim, const std::string& part)
{
    for (std::string line = sim.NextLine(kHangLimitMs); !line.empty(); line = sim.NextLine(kHangLimitMs))
        if (line.find(part) != std::string::npos)
            return line;
    return {};
}

// lumora-cli running in the background, its standard error read on demand.
struct CliProcess {
    explicit CliProcess(const std::vector<std::string>& args)
    {
        int fds[2];
        if (::pipe(fds) == 0) {
            pid = StartCli(args, fds[1]);
            ::close(fds[1]);
            err = fds[0];
        }
    }
    ~CliProcess()
    {
        if (pid > 0 && !ended)
            WaitFor(pid, false);
        ::close(err);
    }
    // Reads standard error until `part` has appeared `times` times.
    bool Await(const std::string& part, std::size_t times = 1)
    {
        return ReadUntil(err, text, [&](const std::string& t) { return Count(t, part) >= times; });
    }
    // Signals `signal` and returns the exit status (-1 when killed).
    int Stop(int signal)
    {
        ::kill(pid, signal);
        const bool done = ReadUntil(err, text);
        ended = true;
        return WaitFor(pid, done);
    }

    pid_t pid = -1;
    int err = -1;
    bool ended = false;
    std::string text;
};

TEST(ProgramInfo, EveryProgramAnswersHelpAndVersion)
{
    for (const char* program : {LUMORA_CLI_PATH, STBSIM_PATH, DDFENC_PATH}) {
        const std::string name = std::filesystem::path(program).filename();
        for (const std::string option : {"--help", "--version"}) {
            SCOPED_TRACE(name + " " + option);
            int fds[2];
            ASSERT_EQ(::pipe(fds), 0);
            const pid_t pid = SpawnWithFd(program, {option}, fds[1], 1);
            ::close(fds[1]);
            std::string out;
            const bool ended = ReadUntil(fds[0], out);
            ::close(fds[0]);
            EXPECT_EQ(WaitFor(pid, ended), 0) << out;
            if (option == "--version")
                EXPECT_TRUE(std::regex_match(out, std::regex(name + R"re( \d+\.\d+(\.\d+)*\n)re"))) << out;
            else
                EXPECT_EQ(out.rfind("usage: " + name, 0), 0u) << out;
        }
    }
    const CliRun sub = RunCli({"station", "--help"});  // usage on standard output, none on error
    EXPECT_EQ(sub.status, 0);
    EXPECT_EQ(sub.err, "");
}

class RackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        WriteText(settings, "[SYSTEMINFO]\r\nPORT=3\r\nBAUD=4\r\nMENUTYPE=0\r\nFLASHTYPE=0\r\nANT32=1\r\n"
                            "SYSTEMID=002A0010\r\n");
        ASSERT_EQ(lib.DnfToRaw(kSample.c_str(), start.c_str(), 0, 0, 1), 1) << lib.LastError();
        ASSERT_EQ(RunCli({"convert", kSample, dnf}).status, 0);
    }
    void TearDown() override
    {
        for (int port = 1; port < 8; ++port)
            ::unsetenv(("LV3DLL_PORT" + std::to_string(port)).c_str());
    }

    const std::string kSample = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";
    TempDir dir;
    Library lib;
    std::string settings = dir.File("LV32.cfg");
    std::string start = dir.File("start.raw");
    std::string dnf = dir.File("list.dnf");
    std::string log = dir.File("rack.jsonl");
};

TEST_F(RackTest, RackOfEightEachFailingReceiverFailsAloneAndEveryOneIsLogged)
{
    SimProcess sim(
        {"--count", "8", "--raw", start, "--fault", "2:silent", "--fault", "5:refuse", "--fault", "7:unplug=4"});
    std::vector<std::string> devices{sim.Device()};
    for (int port = 1; port < 8; ++port) {
        devices.push_back(sim.NextLine(10000));
        ::setenv(("LV3DLL_PORT" + std::to_string(port)).c_str(), devices.back().c_str(), 1);
    }
    const CliRun run = RunCli({"download", "--port", "1-8", "--settings", settings, "--log", log, dnf});
    EXPECT_EQ(run.status, 1) << run.err;

    const std::map<std::string, std::string> failures = {
        {"2", "No answer from the receiver (6 attempts at the download request)"},
        {"5", "The receiver refused the end of transfer: download refused: the receiver refuses every image"},
        {"7", "No answer from the receiver (6 attempts at the data packet)"}};
    const std::vector<LogLine> lines = ReadLog(log);
    ASSERT_EQ(lines.size(), 8u);
    for (const LogLine& line : lines) {
        SCOPED_TRACE("port " + line.port);
        const int index = std::stoi(line.port) - 1;
        ASSERT_TRUE(index >= 0 && index < 8);
        EXPECT_EQ(line.device, devices[std::size_t(index)]);
        EXPECT_EQ(line.crc, lines[0].crc);  // one image for all
        EXPECT_EQ(line.verify, "skipped");
        const auto failure = failures.find(line.port);
        if (failure == failures.end()) {
            EXPECT_EQ(line.result, "ok");
            EXPECT_EQ(line.reason, "");
            EXPECT_NE(run.err.find("lumora-cli: port " + line.port + ": the receiver accepted the channel data of"),
                      std::string::npos);
            continue;
        }
        EXPECT_EQ(line.result, "failed");
        EXPECT_EQ(line.reason.rfind(failure->second, 0), 0u) << line.reason;
        EXPECT_NE(run.err.find("lumora-cli: port " + line.port + ": " + failure->second), std::string::npos) << run.err;
        // Only a receiver that refused has words of its own.
        EXPECT_EQ(line.receiver != "null", line.port == "5") << line.receiver;
    }
    EXPECT_EQ(Count(run.err, "\n"), 8u) << run.err;
}

TEST_F(RackTest, VerifyCatchesAReceiverThatKeepsAnotherList)
{
    SimProcess sim({"--count", "2", "--raw", start, "--fault", "2:store-other"});
    const std::string other = sim.NextLine(10000);
    const CliRun run = RunCli({"download", "--device", sim.Device(), "--device", other, "--verify", "--settings",
                               settings, "--log", log, dnf});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("lumora-cli: " + sim.Device() + ": the receiver accepted the channel data of \"" + dnf +
                           "\", verified"),
              std::string::npos)
        << run.err;
    std::smatch m;
    const std::regex named("lumora-cli: " + other +
                           R"re(: verify failed: service 1 "[^"]+" wAudioPID (\d+), sent (\d+))re");
    ASSERT_TRUE(std::regex_search(run.err, m, named)) << run.err;
    EXPECT_EQ(std::stoi(m[1]), std::stoi(m[2]) + 1);
    const std::vector<LogLine> lines = ReadLog(log);
    ASSERT_EQ(lines.size(), 2u);
    for (const LogLine& line : lines) {
        EXPECT_EQ(line.port, "null");
        const bool faulty = line.device == other;
        EXPECT_EQ(line.result, faulty ? "failed" : "ok");
        EXPECT_EQ(line.verify, faulty ? "failed" : "ok");
    }
}

TEST_F(RackTest, CtrlCAbortsEveryTransferAndLogsThem)
{
    // Slow answers keep both transfers running long enough to interrupt them.
    SimProcess sim({"--count", "2", "--raw", start, "--delay", "200", "--report-speed"});
    const std::string other = sim.NextLine(10000);
    CliProcess cli(
        {"download", "--device", sim.Device(), "--device", other, "--settings", settings, "--log", log, dnf});
    ASSERT_FALSE(SimLineWith(sim, "download at").empty());
    ASSERT_FALSE(SimLineWith(sim, "download at").empty());
    EXPECT_EQ(cli.Stop(SIGINT), 130) << cli.text;
    EXPECT_EQ(Count(cli.text, "interrupted; the transfer was stopped"), 2u) << cli.text;
    const std::vector<LogLine> lines = ReadLog(log);
    ASSERT_EQ(lines.size(), 2u);
    for (const LogLine& line : lines)
        EXPECT_EQ(line.result, "aborted");
}

TEST_F(RackTest, StationTakesReceiversInTurnAndItsLogSurvivesAKill)
{
    SimProcess sim({"--raw", start, "--report-speed"});
    {
        CliProcess station({"station", "--device", sim.Device(), "--settings", settings, "--log", log, dnf});
        ASSERT_FALSE(SimLineWith(sim, "download accepted").empty());
        ASSERT_TRUE(station.Await("the receiver accepted")) << station.text;
        ::kill(sim.Pid(), SIGUSR1);  // the receiver is taken away...
        ASSERT_TRUE(station.Await("the receiver was taken away")) << station.text;
        ::kill(sim.Pid(), SIGUSR1);  // ...and the next one put in its place
        ASSERT_FALSE(SimLineWith(sim, "download accepted").empty());
        ASSERT_TRUE(station.Await("the receiver accepted", 2)) << station.text;
        EXPECT_EQ(station.Stop(SIGINT), 0) << station.text;
        EXPECT_NE(station.text.find("lumora-cli: " + sim.Device() + ": 2 programmed, 0 failed"), std::string::npos)
            << station.text;
    }
    // The receiver still on the rack is new to a second station, which is
    // killed in the middle of programming it.
    CliProcess station({"station", "--device", sim.Device(), "--settings", settings, "--log", log, dnf});
    ASSERT_FALSE(SimLineWith(sim, "download at").empty());
    EXPECT_EQ(station.Stop(SIGKILL), -1);
    const std::vector<LogLine> lines = ReadLog(log);
    ASSERT_EQ(lines.size(), 2u);
    for (const LogLine& line : lines)
        EXPECT_EQ(line.result, "ok");
}

}  // namespace
}  // namespace transfer_test
