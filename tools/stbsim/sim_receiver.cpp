#include "sim_receiver.h"

#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "conversions.h"
#include "ddf_image.h"
#include "raw_image.h"
#include "serial_transfer.h"

namespace stbsim {

using lumora::serial::ByteChannel;
using lumora::serial::FrameParser;
using lumora::serial::PacketType;

namespace {

Packet Reply(PacketType type, uint16_t seq, Bytes payload = {}) { return Packet{type, seq, std::move(payload)}; }

Packet Refuse(uint16_t seq, const std::string& reason)
{
    return Reply(PacketType::Nak, seq, Bytes(reason.begin(), reason.end()));
}

unsigned LineBaud(int fd)
{
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return 9600;
    switch (::cfgetospeed(&tio)) {
    case B115200: return 115200;
    case B57600: return 57600;
    case B38400: return 38400;
    case B19200: return 19200;
    default: return 9600;
    }
}

// Changes the audio PID of the first service of a raw image, the way a
// faulty receiver would keep something other than what it was sent.
void AlterFirstService(Bytes& raw)
{
    lumora::conv::RawImageInfo info;
    info.menuType = raw[10];
    info.flashType = raw[11];
    info.ant32 = raw[12] == 32 ? 1 : 0;
    auto db = std::make_unique<lumora::TChannelDatabase>();
    std::string reason;
    if (!lumora::conv::DecodeRawImage(raw, info, *db, reason) || db->ServiceInfo.Count() == 0)
        return;
    db->ServiceInfo.pServiceInfo[0].wAudioPID += 1;
    raw = lumora::conv::EncodeRawImage(*db, info);
}

}  // namespace

SimReceiver::SimReceiver(Bytes rawImage, Faults faults) : raw_(std::move(rawImage)), faults_(faults) {}

void SimReceiver::Receive(const uint8_t* data, std::size_t size, ByteChannel& line)
{
    if (faults_.pace)
        Pace(size, line.Fd());
    if (faults_.silent)
        return;
    parser_.Feed(data, size);
    Packet request;
    for (auto result = parser_.Take(request); result != FrameParser::Result::NeedMore; result = parser_.Take(request)) {
        if (faults_.stopAfter && received_ >= faults_.stopAfter)
            continue;
        if (result == FrameParser::Result::BadFrame) {
            Send(Reply(PacketType::Resend, 0), line);
            continue;
        }
        ++received_;
        if (faults_.dropEvery && received_ % faults_.dropEvery == 0)
            continue;
        Handle(request, line);
    }
}

void SimReceiver::Handle(const Packet& request, ByteChannel& line)
{
    // A request sent again because its answer was lost gets the same answer.
    if (!(haveLast_ && request.seq == lastSeq_ && request.type == lastType_)) {
        lastAnswer_ = Answer(request, line.Fd());
        lastSeq_ = request.seq;
        lastType_ = request.type;
        haveLast_ = true;
    }
    Send(lastAnswer_, line);
}

Packet SimReceiver::Answer(const Packet& request, int fd)
{
    if (onBegin && (request.type == PacketType::UploadBegin || request.type == PacketType::DownloadBegin))
        onBegin(request.type == PacketType::UploadBegin ? "upload" : "download", LineBaud(fd));
    switch (request.type) {
    case PacketType::UploadBegin: {
        state_ = State::Uploading;
        Bytes size;
        lumora::serial::PutU32(size, static_cast<uint32_t>(raw_.size()));
        return Reply(PacketType::Ack, request.seq, size);
    }
    case PacketType::Read: return AnswerRead(request);
    case PacketType::DownloadBegin: {
        if (request.payload.size() != 4)
            return Refuse(request.seq, "malformed download request");
        const uint32_t size = lumora::serial::GetU32(request.payload.data());
        if (size == 0 || size > lumora::serial::kMaxDownloadSize)
            return Refuse(request.seq, "image size " + std::to_string(size) + " not accepted");
        incoming_.assign(size, 0);
        state_ = State::Downloading;
        return Reply(PacketType::Ack, request.seq);
    }
    case PacketType::Write: return AnswerWrite(request);
    case PacketType::End: return AnswerEnd(request);
    case PacketType::Abort:
        state_ = State::Idle;
        incoming_.clear();
        return Reply(PacketType::Ack, request.seq);
    default: return Refuse(request.seq, "unknown request");
    }
}

Packet SimReceiver::AnswerRead(const Packet& request) const
{
    if (state_ != State::Uploading || request.payload.size() != 6)
        return Refuse(request.seq, "no upload in progress");
    const uint32_t offset = lumora::serial::GetU32(request.payload.data());
    const uint32_t length = lumora::serial::GetU16(request.payload.data() + 4);
    if (length > lumora::serial::kMaxChunk || offset > raw_.size() || length > raw_.size() - offset)
        return Refuse(request.seq, "read outside the image");
    return Reply(PacketType::Data, request.seq, Bytes(raw_.begin() + offset, raw_.begin() + offset + length));
}

Packet SimReceiver::AnswerWrite(const Packet& request)
{
    if (state_ != State::Downloading || request.payload.size() < 4)
        return Refuse(request.seq, "no download in progress");
    const uint32_t offset = lumora::serial::GetU32(request.payload.data());
    const std::size_t length = request.payload.size() - 4;
    if (offset > incoming_.size() || length > incoming_.size() - offset)
        return Refuse(request.seq, "data outside the image");
    std::copy(request.payload.begin() + 4, request.payload.end(), incoming_.begin() + offset);
    return Reply(PacketType::Ack, request.seq);
}

Packet SimReceiver::AnswerEnd(const Packet& request)
{
    if (request.payload.size() != 2 || state_ == State::Idle)
        return Refuse(request.seq, "no transfer in progress");
    const uint16_t crc = lumora::serial::GetU16(request.payload.data());
    const State state = state_;
    state_ = State::Idle;
    if (state == State::Uploading)
        return lumora::serial::Crc16(raw_.data(), raw_.size()) == crc ? Reply(PacketType::Ack, request.seq)
                                                                      : Refuse(request.seq, "image CRC differs");
    const Bytes image = std::move(incoming_);
    incoming_.clear();
    DownloadOutcome outcome;
    if (lumora::serial::Crc16(image.data(), image.size()) != crc)
        outcome.text = "download refused: the image CRC differs (data lost in transfer)";
    else if (faults_.refuse)
        outcome.text = "download refused: the receiver refuses every image (test fault)";
    else
        outcome = AcceptImage(image);
    if (onDownload)
        onDownload(outcome);
    return outcome.accepted ? Reply(PacketType::Ack, request.seq) : Refuse(request.seq, outcome.text);
}

DownloadOutcome SimReceiver::AcceptImage(const Bytes& image)
{
    DownloadOutcome outcome;
    const encoder::DdfCheckResult check = encoder::CheckDdfImage(image.data(), image.size(), true);
    if (!check.valid) {
        outcome.text = "download refused: " + check.fault;
        return outcome;
    }
    outcome.accepted = true;
    if (Bytes raw; lumora::conv::RawFromDownloadRecords(check.records, raw)) {
        raw_ = std::move(raw);
        if (faults_.storeOther)
            AlterFirstService(raw_);
        outcome.channelData = true;
        outcome.text = "download accepted: channel data, " + std::to_string(raw_.size()) + " bytes";
    } else {
        firmware_ = image;
        outcome.text = "download accepted: firmware, " + std::to_string(check.records.size()) + " records, " +
                       std::to_string(image.size()) + " bytes";
    }
    char id[32];
    std::snprintf(id, sizeof id, ", ID %08x", static_cast<unsigned>(check.header.id));
    outcome.text += id;
    return outcome;
}

void SimReceiver::Pace(std::size_t bytes, int fd) const
{
    const auto microseconds = static_cast<long long>(bytes) * 10 * 1000000 / LineBaud(fd);
    std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
}

void SimReceiver::Send(Packet answer, ByteChannel& line)
{
    Bytes frame = lumora::serial::EncodeFrame(answer);
    ++sent_;
    if (faults_.corruptEvery && sent_ % faults_.corruptEvery == 0)
        frame[frame.size() / 2] ^= 0x5A;
    if (faults_.delayMs)
        std::this_thread::sleep_for(std::chrono::milliseconds(faults_.delayMs));
    if (faults_.pace)
        Pace(frame.size(), line.Fd());
    std::string ignored;
    line.Write(frame, ignored);
}

}  // namespace stbsim
