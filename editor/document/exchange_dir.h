// The private directory of the exchange files that pass between the editor
// and the conversion library. Each running program makes its own (mode 0700),
// so two editors never share one, and removes it when it ends.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "status.h"

namespace lumora {

// Names of the exchange files inside the directory.
inline constexpr const char* kInterchangeExchangeFile = "tmp.tmp";  // interchange text to and from the library
inline constexpr const char* kRawImageExchangeFile = "temp.dat";  // raw image received from a receiver
// The size of that image when the whole upload arrived.
inline constexpr std::uintmax_t kRawImageExchangeSize = 401408;
inline constexpr const char* kDownloadImageExchangeFile = "down.ddf";
inline constexpr const char* kSaveExchangeFile = "temp.tmp";  // interchange text of a save

class ExchangeDirectory {
public:
    // Makes a new directory under $TMPDIR (or /tmp), or says why it cannot.
    static Result<std::unique_ptr<ExchangeDirectory>> Make();
    // Removes the directory and every file in it.
    ~ExchangeDirectory();
    ExchangeDirectory(const ExchangeDirectory&) = delete;
    ExchangeDirectory& operator=(const ExchangeDirectory&) = delete;

    const std::string& Path() const { return path_; }

private:
    explicit ExchangeDirectory(std::string path) : path_(std::move(path)) {}

    std::string path_;
};

// The path of exchange file `name` in directory `dir`.
std::string ExchangeFile(const std::string& dir, const char* name);

// Makes directory `dir` again (mode 0700) when something removed it while
// the program runs. A directory found there that is not this user's private
// one (a link, another owner, open to others) is refused with a failure, so
// no exchange file goes where others could read or replace it.
Status EnsureExchangeDirectory(const std::string& dir);

// Deletes the file at `path`; a file that does not exist is not an error.
void DeleteExchangeFile(const std::string& path);

}  // namespace lumora
