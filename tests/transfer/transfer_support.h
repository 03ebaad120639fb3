// Support for the transfer tests: the simulated receiver as a child process
// on its pseudo-terminal, the conversion library loaded the way the editor
// loads it, and scratch files.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace transfer_test {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& bytes);
void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
bool FileExists(const std::string& path);
// Starts `program` with `args`, its standard error (2) or output (1) going to
// `fd` as `toFd` says; -1 when it cannot be started.
pid_t SpawnWithFd(const char* program, const std::vector<std::string>& args, int fd, int toFd, int closeInChild = -1);

// A scratch directory with a short path (scripts limit paths to 80
// characters), removed with its files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// stbsim running with `args`; its device is exported as LV3DLL_PORT0 while
// it runs.
class SimProcess {
public:
    explicit SimProcess(const std::vector<std::string>& args);
    ~SimProcess();
    const std::string& Device() const { return device_; }
    pid_t Pid() const { return pid_; }
    // The next line stbsim printed, waiting at most `timeoutMs`; empty on timeout.
    std::string NextLine(int timeoutMs = 5000);

private:
    pid_t pid_ = -1;
    int out_ = -1;
    std::string pending_;
    std::string device_;
};

// The conversion library's entries, looked up by name.
struct Library {
    Library();
    ~Library();
    void* handle = nullptr;
    int (*UploadData)(uint8_t, uint8_t, const char*) = nullptr;
    int (*DownloadData)(uint8_t, uint8_t, const char*) = nullptr;
    void (*SetProgress)(int (*)(uint32_t, uint32_t, void*), void*) = nullptr;
    const char* (*LastError)() = nullptr;
    int (*DnfToRaw)(const char*, const char*, uint8_t, uint8_t, uint8_t) = nullptr;
    int (*RawToDnf)(const char*, const char*, uint8_t, uint8_t, uint8_t) = nullptr;
    int (*DnfToDDF)(const char*, const char*, uint8_t, uint8_t, uint8_t, uint32_t) = nullptr;
};

inline constexpr uint8_t kSpeed115200 = 0;
inline constexpr uint8_t kSpeed9600 = 4;
inline constexpr std::size_t kRawSize = 401408;

// `work` running in a forked child process; Finish() waits for it and returns
// the text it returned, or the message of what it threw.
struct ChildRun {
    pid_t pid = -1;
    int out = -1;
};
ChildRun StartChild(const std::function<std::string()>& work);
std::string Finish(ChildRun& child);

// Builds a download image with ddfenc from one data file; true on success.
bool BuildFirmware(const TempDir& dir, const Bytes& data, const std::string& image);

}  // namespace transfer_test
