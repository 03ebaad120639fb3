#include "serial_protocol.h"

namespace lumora::serial {

uint16_t Crc16(const uint8_t* data, std::size_t size, uint16_t crc)
{
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001) : static_cast<uint16_t>(crc >> 1);
    }
    return crc;
}

void PutU16(Bytes& out, uint16_t value)
{
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

void PutU32(Bytes& out, uint32_t value)
{
    PutU16(out, static_cast<uint16_t>(value >> 16));
    PutU16(out, static_cast<uint16_t>(value));
}

uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

uint32_t GetU32(const uint8_t* p) { return (static_cast<uint32_t>(GetU16(p)) << 16) | GetU16(p + 2); }

Bytes EncodeFrame(const Packet& packet)
{
    Bytes frame{kSync0, kSync1, static_cast<uint8_t>(packet.type)};
    PutU16(frame, packet.seq);
    PutU16(frame, static_cast<uint16_t>(packet.payload.size()));
    frame.insert(frame.end(), packet.payload.begin(), packet.payload.end());
    // The CRC covers type, sequence, length and payload.
    PutU16(frame, Crc16(frame.data() + 2, frame.size() - 2));
    return frame;
}

void FrameParser::Feed(const uint8_t* data, std::size_t size) { buffer_.insert(buffer_.end(), data, data + size); }

// The position of the next sync pair, or of a sync byte that ends the buffer
// (its pair may still come); the buffer size when there is none.
static std::size_t FindSync(const Bytes& buffer)
{
    for (std::size_t i = 0; i < buffer.size(); ++i)
        if (buffer[i] == kSync0 && (i + 1 == buffer.size() || buffer[i + 1] == kSync1))
            return i;
    return buffer.size();
}

FrameParser::Result FrameParser::Take(Packet& out)
{
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(FindSync(buffer_)));
    if (buffer_.size() < kHeaderSize)
        return Result::NeedMore;
    const std::size_t length = GetU16(&buffer_[5]);
    if (length > kMaxPayload) {
        // Not a frame header: a sync pair inside noise, or a damaged length.
        buffer_.erase(buffer_.begin(), buffer_.begin() + 2);
        return Result::BadFrame;
    }
    const std::size_t frameSize = kHeaderSize + length + kTrailerSize;
    if (buffer_.size() < frameSize)
        return Result::NeedMore;
    const auto payloadBegin = buffer_.begin() + static_cast<std::ptrdiff_t>(kHeaderSize);
    const auto payloadEnd = payloadBegin + static_cast<std::ptrdiff_t>(length);
    if (Crc16(&buffer_[2], kHeaderSize - 2 + length) != GetU16(&buffer_[kHeaderSize + length])) {
        buffer_.erase(buffer_.begin(), buffer_.begin() + 2);
        return Result::BadFrame;
    }
    out.type = static_cast<PacketType>(buffer_[2]);
    out.seq = GetU16(&buffer_[3]);
    out.payload.assign(payloadBegin, payloadEnd);
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(frameSize));
    return Result::Packet;
}

}  // namespace lumora::serial
