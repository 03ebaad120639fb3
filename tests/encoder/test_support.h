// Shared helpers of the encoder tests: a scratch directory, files, captured
// standard output and the command-line programs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace enctest {

using Bytes = std::vector<uint8_t>;

// A fresh directory that is removed with everything in it.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    const std::string& Dir() const { return dir_; }

private:
    std::string dir_;
};

void WriteFile(const std::string& path, const std::string& text);
void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);
bool FileExists(const std::string& path);

// Runs fn with standard output going to a file, and returns what it printed.
std::string CaptureStdout(const std::function<void()>& fn);

// Runs a shell command line; returns its standard output, exit status in status.
std::string RunCommand(const std::string& command, int& status);

// Sample data of several kinds.
Bytes TextBytes(std::size_t n);
Bytes RandomBytes(std::size_t n, uint32_t seed);
Bytes MachineCodeBytes(std::size_t n);

// A script with a header (ver selects the layout) and the given data lists,
// each written as {file, type word, compression word, address text}.
struct DataList {
    std::string file;
    std::string type;
    std::string compression;
    std::string address;
};
std::string Script(int ver, const std::vector<DataList>& lists, const std::string& id = "$2A0010");

uint16_t Get16(const Bytes& b, std::size_t at);
uint32_t Get32(const Bytes& b, std::size_t at);

}  // namespace enctest
