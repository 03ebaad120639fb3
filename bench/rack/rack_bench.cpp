// A rack of simulated receivers, paced at 115,200 bit/s, programmed by one
// lumora-cli download of a full channel list (4000 services): the wall time
// for 1, 4 and 16 receivers (the rack should take hardly longer than one
// receiver) and the CPU time lumora-cli spends per receiver, as a share of one
// core over the run.
#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fcntl.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "full_tables.h"
#include "interchange.h"

extern char** environ;

namespace {

const std::string kSample = std::string(LUMORA_EXAMPLES_DIR) + "/sample.txt";

// Starts `program`; its standard output goes to `outFd` when that is given,
// its standard error to /dev/null.
pid_t Spawn(const char* program, std::vector<std::string> args, int outFd)
{
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// Reads whole lines from `fd` until `count` arrived.
std::vector<std::string> ReadLines(int fd, std::size_t count)
{
    std::vector<std::string> lines;
    std::string pending;
    while (lines.size() < count) {
        pollfd pfd{fd, POLLIN, 0};
        char buffer[512];
        if (::poll(&pfd, 1, 10000) <= 0)
            break;
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n <= 0)
            break;
        pending.append(buffer, std::size_t(n));
        for (std::size_t end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
            lines.push_back(pending.substr(0, end));
            pending.erase(0, end + 1);
        }
    }
    return lines;
}

// A full list as interchange text: every table at capacity, the services'
// values spread at random so that the image compresses as a real one would.
bool WriteFullList(const std::string& path)
{
    auto db = std::make_unique<lumora::TChannelDatabase>();
    lumora::InitDatabase(*db, 0);
    lumora::bench::FillNetworksProvidersAndStreams(*db);
    std::mt19937 random(2026);
    for (int r = 0; r < lumora::kServiceCapacity; ++r) {
        lumora::TServiceItem& s = db->ServiceInfo.pServiceInfo[std::size_t(r)];
        s.szServiceName = "Service " + std::to_string(random() % 100000);
        s.wServiceId = uint16_t(random());
        s.wPmtPID = uint16_t(random() % 8000);
        s.wVideoPID = uint16_t(random() % 8000);
        s.wAudioPID = uint16_t(random() % 8000);
        s.wPCRPID = s.wVideoPID;
        s.pTSIndex = r / 4;
        s.pProviderIndex = r % lumora::kProviderCapacity;
    }
    db->ServiceInfo.wTVNum = uint16_t(lumora::kServiceCapacity);
    return lumora::MakeDnfRawFile(path, *db).ok();
}

// The scratch files every run shares: a settings file for 115,200 bit/s, the
// starting raw image of the receivers and the channel-data file sent.
struct Inputs {
    Inputs()
    {
        std::filesystem::create_directories(dir);
        std::ofstream(settings) << "[SYSTEMINFO]\r\nPORT=0\r\nBAUD=4\r\nMENUTYPE=0\r\nFLASHTYPE=0\r\nANT32=1\r\n"
                                   "SYSTEMID=002A0010\r\n";
        void* library = ::dlopen(LV3DLL_PATH, RTLD_NOW);
        auto dnfToRaw = library ? reinterpret_cast<int (*)(const char*, const char*, uint8_t, uint8_t, uint8_t)>(
                                      ::dlsym(library, "DnfToRaw"))
                                : nullptr;
        ok = dnfToRaw && dnfToRaw(kSample.c_str(), raw.c_str(), 0, 0, 1) == 1;
        int status = -1;
        ok = ok && WriteFullList(text);
        const pid_t convert = Spawn(LUMORA_CLI_PATH, {"convert", text, dnf}, -1);
        ok = ok && convert > 0 && ::waitpid(convert, &status, 0) == convert && status == 0;
    }
    ~Inputs() { std::filesystem::remove_all(dir); }

    std::string dir = "/tmp/rack-bench-" + std::to_string(::getpid());
    std::string settings = dir + "/LV32.cfg";
    std::string raw = dir + "/start.raw";
    std::string text = dir + "/list.txt";
    std::string log = dir + "/rack.jsonl";
    std::string dnf = dir + "/list.dnf";
    bool ok = false;
};

// The size of the download image sent, from the last line of the log.
long ImageSizeLogged(const std::string& log)
{
    std::ifstream in(log);
    std::string line, last;
    while (std::getline(in, line))
        last = line;
    const std::size_t at = last.find("\"image_size\":");
    return at == std::string::npos ? 0 : std::atol(last.c_str() + at + 13);
}

void RackDownload(benchmark::State& state)
{
    static const Inputs inputs;
    if (!inputs.ok) {
        state.SkipWithError("cannot prepare the inputs");
        return;
    }
    const auto receivers = static_cast<std::size_t>(state.range(0));
    double cpuSeconds = 0, wallSeconds = 0;
    for (auto _ : state) {
        int fds[2];
        if (::pipe(fds) != 0) {
            state.SkipWithError("pipe");
            return;
        }
        const pid_t sim =
            Spawn(STBSIM_PATH, {"--count", std::to_string(receivers), "--pace", "--raw", inputs.raw}, fds[1]);
        ::close(fds[1]);
        std::vector<std::string> args{"download", "--settings", inputs.settings, "--log", inputs.log};
        for (const std::string& device : ReadLines(fds[0], receivers)) {
            args.push_back("--device");
            args.push_back(device);
        }
        args.push_back(inputs.dnf);
        const auto start = std::chrono::steady_clock::now();
        const pid_t cli = Spawn(LUMORA_CLI_PATH, args, -1);
        int status = -1;
        rusage usage{};
        ::wait4(cli, &status, 0, &usage);
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ::kill(sim, SIGTERM);
        ::waitpid(sim, nullptr, 0);
        ::close(fds[0]);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("lumora-cli download failed");
            return;
        }
        state.SetIterationTime(wall);
        wallSeconds += wall;
        cpuSeconds += double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                      double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    }
    const double runs = double(state.iterations());
    state.counters["wall_s"] = wallSeconds / runs;
    state.counters["cli_cpu_s"] = cpuSeconds / runs;
    state.counters["image_bytes"] = double(ImageSizeLogged(inputs.log));
    state.counters["cli_cpu_pct_per_receiver"] = 100.0 * cpuSeconds / wallSeconds / double(receivers);
}

BENCHMARK(RackDownload)->Arg(1)->Arg(4)->Arg(16)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
