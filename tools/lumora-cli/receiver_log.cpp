#include "receiver_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace lumora::cli {
namespace {

// A JSON string literal of `text`; bytes that are not valid UTF-8 would make
// the line unreadable, so they become U+FFFD.
std::string JsonString(const std::string& text)
{
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            const int length = c >= 0xF0 && c < 0xF5 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
            bool valid = length > 0 && i + length <= text.size();
            for (int k = 1; valid && k < length; ++k)
                valid = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
            if (valid) {
                out.append(text, i, static_cast<std::size_t>(length));
                i += static_cast<std::size_t>(length - 1);
            } else {
                out += "\xEF\xBF\xBD";
            }
        }
    }
    return out + '"';
}

}  // namespace

std::string UtcTimestamp()
{
    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    ::gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

std::string RecordJson(const ReceiverRecord& r)
{
    char crc[16];
    std::snprintf(crc, sizeof crc, "%08x", r.imageCrc32);
    char duration[32];
    std::snprintf(duration, sizeof duration, "%.3f", std::isfinite(r.durationSeconds) ? r.durationSeconds : 0.0);
    std::string line = "{\"time\":" + JsonString(r.time);
    line += ",\"port\":" + (r.port ? std::to_string(*r.port) : std::string("null"));
    line += ",\"device\":" + JsonString(r.device);
    line += ",\"file\":" + JsonString(r.file);
    line += ",\"file_size\":" + std::to_string(r.fileSize);
    line += ",\"image_size\":" + std::to_string(r.imageSize);
    line += ",\"image_crc32\":" + JsonString(crc);
    line += ",\"result\":" + JsonString(r.result);
    line += ",\"reason\":" + JsonString(r.reason);
    line += ",\"verify\":" + JsonString(r.verify);
    line += ",\"duration_s\":" + std::string(duration);
    line += ",\"receiver\":" + (r.receiver ? JsonString(*r.receiver) : std::string("null"));
    return line + '}';
}

ReceiverLog::~ReceiverLog()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool ReceiverLog::Open(const std::string& path, std::string& error)
{
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (fd_ < 0)
        error = "\"" + path + "\": " + std::strerror(errno);
    return fd_ >= 0;
}

bool ReceiverLog::Append(const ReceiverRecord& record, std::string& error)
{
    // One write of the whole line: with O_APPEND it lands in one piece after
    // whatever another writer appended.
    const std::string line = RecordJson(record) + '\n';
    ssize_t written;
    do
        written = ::write(fd_, line.data(), line.size());
    while (written < 0 && errno == EINTR);
    if (written != static_cast<ssize_t>(line.size())) {
        error = std::string("cannot write the log: ") + (written < 0 ? std::strerror(errno) : "the disk is full");
        return false;
    }
    if (::fsync(fd_) != 0) {
        error = std::string("cannot write the log: ") + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace lumora::cli
