#include "test_support.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace enctest {

ScratchDir::ScratchDir()
{
    char pattern[] = "/tmp/encoder-test-XXXXXX";
    if (::mkdtemp(pattern) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    dir_ = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

void WriteFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

void WriteBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

std::string CaptureStdout(const std::function<void()>& fn)
{
    std::fflush(stdout);
    char name[] = "/tmp/encoder-stdout-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0)
        throw std::runtime_error("mkstemp failed");
    const int saved = ::dup(STDOUT_FILENO);
    ::dup2(fd, STDOUT_FILENO);
    fn();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    ::close(fd);
    const Bytes out = ReadBytes(name);
    ::unlink(name);
    return std::string(out.begin(), out.end());
}

std::string RunCommand(const std::string& command, int& status)
{
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr)
        throw std::runtime_error("popen failed");
    std::string out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;)
        out.append(buf, n);
    const int raw = ::pclose(pipe);
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return out;
}

Bytes TextBytes(std::size_t n)
{
    static const std::string kText =
        "The receiver keeps its channel list in flash; each service names its transport stream, "
        "its network and its provider. Favorite lists refer to services by index.\n";
    Bytes out(n);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<uint8_t>(kText[(i * 7 / 6) % kText.size()]);
    return out;
}

Bytes RandomBytes(std::size_t n, uint32_t seed)
{
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto& b : out)
        b = static_cast<uint8_t>(rng());
    return out;
}

Bytes MachineCodeBytes(std::size_t n)
{
    static const Bytes lib = ReadBytes("/usr/lib/x86_64-linux-gnu/libstdc++.so.6");
    Bytes out(n);
    for (std::size_t i = 0; i < n && !lib.empty(); ++i)
        out[i] = lib[(i + 4096) % lib.size()];
    return out;
}

std::string Script(int ver, const std::vector<DataList>& lists, const std::string& id)
{
    std::string s = "[header\n id = " + id + "\n ver = " + std::to_string(ver) + "\n]\n";
    for (const DataList& d : lists) {
        s += "[data\n file = \"" + d.file + "\"\n type = " + d.type + "\n compression = " + d.compression +
             "\n address = " + d.address + "\n]\n";
    }
    return s;
}

uint16_t Get16(const Bytes& b, std::size_t at) { return static_cast<uint16_t>(b.at(at) << 8 | b.at(at + 1)); }

uint32_t Get32(const Bytes& b, std::size_t at) { return static_cast<uint32_t>(Get16(b, at)) << 16 | Get16(b, at + 2); }

}  // namespace enctest
