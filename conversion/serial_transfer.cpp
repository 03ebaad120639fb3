#include "serial_transfer.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string_view>

#include "atomic_file.h"

namespace lumora::serial {

namespace {

using Clock = std::chrono::steady_clock;

// Waiting is cut into slices so the progress callback can stop a transfer.
constexpr int kSliceMs = 100;
// The receiver checks a whole download image before it answers the end.
constexpr int kEndExtraMs = 10000;

const char* RequestName(PacketType type)
{
    switch (type) {
    case PacketType::UploadBegin: return "upload request";
    case PacketType::Read: return "read request";
    case PacketType::DownloadBegin: return "download request";
    case PacketType::Write: return "data packet";
    case PacketType::End: return "end of transfer";
    default: return "request";
    }
}

std::string PortText(unsigned port, const std::string& device)
{
    return "COM " + std::to_string(port + 1) + " (" + device + ")";
}

// Writes `bytes` to `path` so the file appears only when it is complete.
void WriteWholeFile(const std::string& path, const Bytes& bytes)
{
    const Status written =
        WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    if (!written)
        throw TransferFailed("Cannot write \"" + path + "\": " + SystemReasonOf(written, path));
}

Bytes ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw TransferFailed("Cannot open \"" + path + "\"");
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size <= 0 || size > static_cast<std::streamoff>(kMaxDownloadSize))
        throw TransferFailed("\"" + path + "\" is empty or too large to send");
    in.seekg(0);
    Bytes bytes(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), size);
    if (!in)
        throw TransferFailed("Cannot read \"" + path + "\"");
    return bytes;
}

}  // namespace

int AnswerTimeoutMs(unsigned baud)
{
    const unsigned frameMs = static_cast<unsigned>(kMaxFrame * 10 * 1000 / (baud ? baud : 9600));
    return static_cast<int>(2 * frameMs + 500);
}

HostSession::HostSession(ByteChannel& line, unsigned baud, ProgressFn progress)
    : line_(line), baud_(baud), progress_(std::move(progress)),
      // A fresh start keeps an answer left from an earlier session from matching.
      seq_(static_cast<uint16_t>(Clock::now().time_since_epoch().count()))
{
}

void HostSession::CheckProgress()
{
    if (progress_ && !progress_(done_, total_))
        throw TransferStopped();
}

void HostSession::FailAfterAttempts(PacketType type, bool heardAnything) const
{
    const std::string tries = " (" + std::to_string(kMaxAttempts) + " attempts at the " + RequestName(type) + ")";
    if (heardAnything)
        throw TransferFailed("Too many bad packets from the receiver" + tries);
    throw TransferFailed("No answer from the receiver" + tries);
}

Packet HostSession::Exchange(PacketType type, const Bytes& payload, int timeoutMs)
{
    const Packet request{type, ++seq_, payload};
    const Bytes frame = EncodeFrame(request);
    bool heardAnything = false;  // bytes came, but no answer that could be read
    std::string error;
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        if (!line_.Write(frame, error))
            throw TransferFailed("Cannot send to the receiver: " + error);
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        bool resend = false;
        while (!resend && Clock::now() < deadline) {
            CheckProgress();
            uint8_t buffer[512];
            const long n = line_.Read(buffer, sizeof buffer, kSliceMs, error);
            if (n < 0)
                throw TransferFailed("Cannot read from the receiver: " + error);
            heardAnything = heardAnything || n > 0;
            parser_.Feed(buffer, static_cast<std::size_t>(n));
            Packet answer;
            for (auto result = parser_.Take(answer); result != FrameParser::Result::NeedMore;
                 result = parser_.Take(answer)) {
                if (result == FrameParser::Result::BadFrame || answer.type == PacketType::Resend) {
                    resend = true;
                    continue;
                }
                if (answer.seq != request.seq)
                    continue;  // a late answer to an earlier request
                if (answer.type == PacketType::Nak) {
                    refusal_.assign(answer.payload.begin(), answer.payload.end());
                    throw TransferFailed("The receiver refused the " + std::string(RequestName(type)) + ": " +
                                         refusal_);
                }
                return answer;
            }
        }
    }
    FailAfterAttempts(type, heardAnything);
}

void HostSession::SendAbort()
{
    std::string ignored;
    line_.Write(EncodeFrame({PacketType::Abort, ++seq_, {}}), ignored);
}

bool HostSession::Probe(int timeoutMs)
{
    const Packet request{PacketType::Abort, ++seq_, {}};
    std::string error;
    if (!line_.Write(EncodeFrame(request), error))
        return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
        CheckProgress();
        uint8_t buffer[512];
        const long n = line_.Read(buffer, sizeof buffer, kSliceMs, error);
        if (n < 0)
            return false;
        parser_.Feed(buffer, static_cast<std::size_t>(n));
        Packet answer;
        for (auto result = parser_.Take(answer); result != FrameParser::Result::NeedMore; result = parser_.Take(answer))
            if (result == FrameParser::Result::Packet && answer.type == PacketType::Ack && answer.seq == request.seq)
                return true;
    }
    return false;
}

Bytes HostSession::Upload()
{
    const int timeout = AnswerTimeoutMs(baud_);
    const Packet begin = Exchange(PacketType::UploadBegin, {}, timeout);
    if (begin.payload.size() != 4)
        throw TransferFailed("The receiver's answer to the upload request is malformed");
    total_ = GetU32(begin.payload.data());
    if (total_ == 0 || total_ > kMaxUploadSize)
        throw TransferFailed("The receiver offers an image of " + std::to_string(total_) + " bytes");
    Bytes image;
    image.reserve(total_);
    while (done_ < total_) {
        const uint16_t length = static_cast<uint16_t>(std::min<uint32_t>(kMaxChunk, total_ - done_));
        Bytes request;
        PutU32(request, done_);
        PutU16(request, length);
        const Packet data = Exchange(PacketType::Read, request, timeout);
        if (data.type != PacketType::Data || data.payload.size() != length)
            throw TransferFailed("The receiver sent " + std::to_string(data.payload.size()) + " bytes for a read of " +
                                 std::to_string(length));
        image.insert(image.end(), data.payload.begin(), data.payload.end());
        done_ += length;
        CheckProgress();
    }
    Bytes end;
    PutU16(end, Crc16(image.data(), image.size()));
    Exchange(PacketType::End, end, timeout);
    return image;
}

void HostSession::Download(const Bytes& image)
{
    const int timeout = AnswerTimeoutMs(baud_);
    total_ = static_cast<uint32_t>(image.size());
    Bytes begin;
    PutU32(begin, total_);
    Exchange(PacketType::DownloadBegin, begin, timeout);
    while (done_ < total_) {
        const uint32_t length = std::min<uint32_t>(kMaxChunk, total_ - done_);
        Bytes request;
        PutU32(request, done_);
        request.insert(request.end(), image.begin() + done_, image.begin() + done_ + length);
        Exchange(PacketType::Write, request, timeout);
        done_ += length;
        CheckProgress();
    }
    Bytes end;
    PutU16(end, Crc16(image.data(), image.size()));
    Exchange(PacketType::End, end, timeout + kEndExtraMs);
}

namespace {

// Opens the port, runs `transfer` on a session and turns its outcome into
// the entries' result.
template <typename Transfer>
bool RunOnPort(unsigned port, unsigned speedCode, const ProgressFn& progress, std::string& error, bool& stopped,
               Transfer&& transfer)
{
    stopped = false;
    const unsigned baud = BaudForSpeedCode(speedCode);
    if (baud == 0) {
        error = "Unknown speed code " + std::to_string(speedCode);
        return false;
    }
    const std::string device = DeviceForPort(port);
    SerialPort line;
    std::string reason;
    if (!line.Open(device, baud, reason)) {
        error = "Cannot open serial port " + PortText(port, device) + ": " + reason;
        return false;
    }
    HostSession session(line, baud, progress);
    try {
        transfer(session);
        return true;
    } catch (const TransferStopped& e) {
        stopped = true;
        error = e.what();
    } catch (const TransferFailed& e) {
        error = std::string(e.what()) + " on " + PortText(port, device);
    }
    session.SendAbort();
    return false;
}

}  // namespace

bool UploadToFile(unsigned port, unsigned speedCode, const std::string& path, const ProgressFn& progress,
                  std::string& error, bool& stopped)
{
    // A failed or stopped upload leaves no file, so a file means a whole image.
    std::remove(path.c_str());
    Bytes image;
    if (!RunOnPort(port, speedCode, progress, error, stopped, [&](HostSession& session) { image = session.Upload(); }))
        return false;
    try {
        WriteWholeFile(path, image);
    } catch (const TransferFailed& e) {
        error = e.what();
        return false;
    }
    return true;
}

bool DownloadFromFile(unsigned port, unsigned speedCode, const std::string& path, const ProgressFn& progress,
                      std::string& error, bool& stopped)
{
    Bytes image;
    try {
        image = ReadWholeFile(path);
    } catch (const TransferFailed& e) {
        stopped = false;
        error = e.what();
        return false;
    }
    return RunOnPort(port, speedCode, progress, error, stopped, [&](HostSession& session) { session.Download(image); });
}

}  // namespace lumora::serial
