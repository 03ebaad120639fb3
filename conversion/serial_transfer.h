// The host side of the serial transfer protocol (docs/serial-protocol.md):
// reading the receiver's raw image (upload) and sending it a download image
// (download), with retransmission, progress and stopping.
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "serial_port.h"
#include "serial_protocol.h"

namespace lumora::serial {

// Called with the bytes done and the bytes in all; also called while waiting
// for the receiver, so a stop is noticed quickly. Returns false to stop.
using ProgressFn = std::function<bool(uint32_t done, uint32_t total)>;

// The largest images a transfer takes.
inline constexpr uint32_t kMaxUploadSize = 16u << 20;
inline constexpr uint32_t kMaxDownloadSize = 64u << 20;
// How often one request is sent before the transfer fails.
inline constexpr int kMaxAttempts = 6;

// The text of a transfer stopped through the progress callback.
inline constexpr const char* kStoppedText = "The transfer was stopped by the user.";

class TransferFailed : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};
class TransferStopped : public std::runtime_error {
public:
    TransferStopped() : std::runtime_error(kStoppedText) {}
};

// How long to wait for an answer at `baud`: twice the time of the largest
// frame each way, and a margin for the receiver.
int AnswerTimeoutMs(unsigned baud);

// One conversation with a receiver over an open line. Throws TransferFailed
// or TransferStopped.
class HostSession {
public:
    HostSession(ByteChannel& line, unsigned baud, ProgressFn progress);

    Bytes Upload();
    void Download(const Bytes& image);
    // Tells the receiver to drop the transfer; no answer is awaited.
    void SendAbort();
    // Whether a receiver answers on the line: sends Abort, which a receiver
    // acknowledges without changing what it holds, once, and waits at most
    // `timeoutMs` for its Ack. Stops through the progress callback like a
    // transfer.
    bool Probe(int timeoutMs);
    // The reason the receiver gave with its last refusal (Nak); empty when
    // it refused nothing.
    const std::string& Refusal() const { return refusal_; }

private:
    // Sends a request and returns its answer (Ack or Data; a Nak fails the
    // transfer), sending it again on a timeout or a damaged answer.
    Packet Exchange(PacketType type, const Bytes& payload, int timeoutMs);
    void CheckProgress();
    [[noreturn]] void FailAfterAttempts(PacketType type, bool heardAnything) const;

    ByteChannel& line_;
    unsigned baud_;
    ProgressFn progress_;
    FrameParser parser_;
    uint16_t seq_ = 0;
    uint32_t done_ = 0;
    uint32_t total_ = 0;
    std::string refusal_;
};

// The transfers as the library's entries run them: open port `port` at
// `speedCode`, transfer, close. False with the reason in `error`; `stopped`
// tells a stop through the progress callback from a failure.
bool UploadToFile(unsigned port, unsigned speedCode, const std::string& path, const ProgressFn& progress,
                  std::string& error, bool& stopped);
bool DownloadFromFile(unsigned port, unsigned speedCode, const std::string& path, const ProgressFn& progress,
                      std::string& error, bool& stopped);

}  // namespace lumora::serial
