// Databases, files and directories shared by the conversion tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "byte_io.h"
#include "records.h"

namespace lumora::test {

// A database with every table filled to its capacity and every field varied.
std::unique_ptr<TChannelDatabase> FullDatabase(uint32_t seed);

// A small database: a few antennas, streams, networks, providers, services
// and favorites.
std::unique_ptr<TChannelDatabase> SmallDatabase();

// The interchange text of `db` as the reader and writer settle it: reading it
// and writing it again gives the same text.
std::string CanonicalText(const TChannelDatabase& db);

// Reads interchange text into a fresh database; the test fails on any message.
std::unique_ptr<TChannelDatabase> ReadText(const std::string& text);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
conv::Bytes ToBytes(const std::string& text);
bool FileExists(const std::string& path);
int FilesIn(const std::string& dir);  // entries other than "." and ".."

std::string SamplePath();

// A fresh directory, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

}  // namespace lumora::test
