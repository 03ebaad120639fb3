#include "transfer_support.h"

#include <dlfcn.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace transfer_test {

Bytes ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::string& path, const std::string& text) { WriteFile(path, Bytes(text.begin(), text.end())); }

std::string ReadText(const std::string& path)
{
    const Bytes bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

bool FileExists(const std::string& path) { return std::filesystem::exists(path); }

TempDir::TempDir()
{
    char name[] = "/tmp/xferXXXXXX";
    if (!::mkdtemp(name))
        throw std::runtime_error("cannot make a scratch directory");
    path_ = name;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

pid_t SpawnWithFd(const char* program, const std::vector<std::string>& args, int fd, int toFd, int closeInChild)
{
    std::vector<std::string> all{program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fd, toFd);
    if (closeInChild >= 0)
        posix_spawn_file_actions_addclose(&actions, closeInChild);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, program, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

SimProcess::SimProcess(const std::vector<std::string>& args)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        throw std::runtime_error("pipe");
    pid_ = SpawnWithFd(STBSIM_PATH, args, pipeFds[1], 1, pipeFds[0]);
    ::close(pipeFds[1]);
    out_ = pipeFds[0];
    if (pid_ < 0)
        throw std::runtime_error("cannot start stbsim");
    device_ = NextLine(10000);
    if (device_.empty())
        throw std::runtime_error("stbsim printed no device");
    ::setenv("LV3DLL_PORT0", device_.c_str(), 1);
}

SimProcess::~SimProcess()
{
    ::unsetenv("LV3DLL_PORT0");
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
    }
    if (out_ >= 0)
        ::close(out_);
}

std::string SimProcess::NextLine(int timeoutMs)
{
    for (;;) {
        if (const std::size_t end = pending_.find('\n'); end != std::string::npos) {
            std::string line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return line;
        }
        pollfd pfd{out_, POLLIN, 0};
        if (::poll(&pfd, 1, timeoutMs) <= 0)
            return {};
        char buffer[256];
        const ssize_t n = ::read(out_, buffer, sizeof buffer);
        if (n <= 0)
            return {};
        pending_.append(buffer, static_cast<std::size_t>(n));
    }
}

template <typename Fn>
static void Find(void* handle, const char* name, Fn& fn)
{
    fn = reinterpret_cast<Fn>(::dlsym(handle, name));
    if (!fn)
        throw std::runtime_error(std::string("entry missing: ") + name);
}

Library::Library()
{
    handle = ::dlopen(LV3DLL_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        throw std::runtime_error(::dlerror());
    Find(handle, "UploadData", UploadData);
    Find(handle, "DownloadData", DownloadData);
    Find(handle, "LV3SetProgressCallback", SetProgress);
    Find(handle, "LV3LastError", LastError);
    Find(handle, "DnfToRaw", DnfToRaw);
    Find(handle, "RawToDnf", RawToDnf);
    Find(handle, "DnfToDDF", DnfToDDF);
}

Library::~Library()
{
    SetProgress(nullptr, nullptr);
    ::dlclose(handle);
}

ChildRun StartChild(const std::function<std::string()>& work)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string result;
        try {
            result = work();
        } catch (const std::exception& e) {
            result = e.what();
        }
        [[maybe_unused]] const ssize_t ignored = ::write(fds[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    return {pid, fds[0]};
}

std::string Finish(ChildRun& child)
{
    std::string text;
    char buffer[512];
    for (ssize_t n; (n = ::read(child.out, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    ::close(child.out);
    int status = 0;
    ::waitpid(child.pid, &status, 0);
    return text;
}

bool BuildFirmware(const TempDir& dir, const Bytes& data, const std::string& image)
{
    const std::string dataFile = dir.File("app.bin");
    WriteFile(dataFile, data);
    std::ostringstream script;
    script << "[header\nid = $2A0010\ne_id = $2A001F\nver = 2\n]\n"
           << "[data\nfile = \"" << dataFile << "\"\ntype = application\ncompression = yes\naddress = $10000\n]\n";
    WriteText(dir.File("fw.cfg"), script.str());
    const std::string command = std::string(DDFENC_PATH) + " " + dir.File("fw.cfg") + " " + image + " > /dev/null 2>&1";
    return std::system(command.c_str()) == 0 && FileExists(image);
}

}  // namespace transfer_test
