// The record of every receiver a rack or station programmed: one JSON object
// a line, appended with O_APPEND and synced line by line, so a crash loses no
// finished receiver's line and several programs can share one file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace lumora::cli {

struct ReceiverRecord {
    std::string time;  // UTC, ISO 8601 with Z
    std::optional<int> port;  // counted from 1; none when the device was named
    std::string device;
    std::string file;  // as given on the command line
    uint64_t fileSize = 0;
    uint64_t imageSize = 0;
    uint32_t imageCrc32 = 0;  // of the bytes sent
    std::string result;  // "ok", "failed" or "aborted"
    std::string reason;  // empty when ok
    std::string verify;  // "ok", "failed" or "skipped"
    double durationSeconds = 0;
    std::optional<std::string> receiver;  // the receiver's reply, when it gave one
};

// The current time as the log writes it, for example "2026-12-10T16:11:12Z".
std::string UtcTimestamp();

// One record as a JSON object on one line, without the line break.
std::string RecordJson(const ReceiverRecord& record);

// The log file, opened for appending. Thread-safe: each line goes out in one
// write, followed by fsync.
class ReceiverLog {
public:
    ReceiverLog() = default;
    ~ReceiverLog();
    ReceiverLog(const ReceiverLog&) = delete;
    ReceiverLog& operator=(const ReceiverLog&) = delete;

    // Opens (creating) `path`; false with the reason in `error`.
    bool Open(const std::string& path, std::string& error);
    bool IsOpen() const { return fd_ >= 0; }
    // Appends the record's line; false with the reason when it could not be
    // written completely or synced.
    bool Append(const ReceiverRecord& record, std::string& error);

private:
    int fd_ = -1;
};

}  // namespace lumora::cli
