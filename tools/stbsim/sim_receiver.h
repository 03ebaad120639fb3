// The simulated receiver: answers the serial transfer protocol the way a
// receiver does, with faults on request for tests.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "serial_port.h"
#include "serial_protocol.h"

namespace stbsim {

using lumora::serial::Bytes;
using lumora::serial::Packet;

struct Faults {
    unsigned dropEvery = 0;  // ignore every Nth packet received (0: none)
    unsigned corruptEvery = 0;  // damage every Nth answer sent (0: none)
    unsigned stopAfter = 0;  // answer nothing after N packets received (0: never)
    unsigned delayMs = 0;  // wait before each answer
    bool pace = false;  // take and send bytes no faster than the bit rate the host set
    bool silent = false;  // answer nothing at all
    bool refuse = false;  // refuse every download at its end
    bool storeOther = false;  // keep channel data that differ from those received
};

// What a download ended with.
struct DownloadOutcome {
    bool accepted = false;
    bool channelData = false;  // the image carried a raw image, now the receiver's own
    std::string text;  // what happened, one line
};

class SimReceiver {
public:
    SimReceiver(Bytes rawImage, Faults faults);

    // Handles the bytes that arrived; answers go to `line`.
    void Receive(const uint8_t* data, std::size_t size, lumora::serial::ByteChannel& line);

    const Bytes& RawImage() const { return raw_; }
    const Bytes& Firmware() const { return firmware_; }
    // Called after each completed download with its outcome.
    std::function<void(const DownloadOutcome&)> onDownload;
    // Called when an upload or a download begins, with "upload" or
    // "download" and the bit rate the host set on the line.
    std::function<void(const char* kind, unsigned baud)> onBegin;

private:
    enum class State { Idle, Uploading, Downloading };

    void Handle(const Packet& request, lumora::serial::ByteChannel& line);
    Packet Answer(const Packet& request, int fd);
    Packet AnswerRead(const Packet& request) const;
    Packet AnswerWrite(const Packet& request);
    Packet AnswerEnd(const Packet& request);
    DownloadOutcome AcceptImage(const Bytes& image);
    void Send(Packet answer, lumora::serial::ByteChannel& line);
    void Pace(std::size_t bytes, int fd) const;

    Bytes raw_;
    Bytes firmware_;
    Faults faults_;
    State state_ = State::Idle;
    Bytes incoming_;  // the download image being received
    lumora::serial::FrameParser parser_;
    unsigned received_ = 0;
    unsigned sent_ = 0;
    // The last request answered, so a repeated request gets the same answer.
    bool haveLast_ = false;
    uint16_t lastSeq_ = 0;
    lumora::serial::PacketType lastType_{};
    Packet lastAnswer_;
};

}  // namespace stbsim
