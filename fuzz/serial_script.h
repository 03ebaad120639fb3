// Line traffic played from a fuzz input, for the serial protocol targets.
// The input is a list of steps; each step is the bytes of one arrival:
//   tag with bit 0 clear: tag / 2 raw bytes follow (noise, cut or damaged
//     frames, anything);
//   tag with bit 0 set: a well-formed frame, made here so that its checksum
//     matches: type (1 byte), sequence offset (1 byte, signed, added to the
//     sequence number of the last frame written to the line), payload length
//     (2 bytes, big-endian, cut to what is left), payload.
// Random bytes almost never carry a matching CRC-16; framed steps let the
// fuzzer reach the protocol above the frame parser as well.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "serial_port.h"
#include "serial_protocol.h"

namespace fuzz {

using lumora::serial::Bytes;

// `size` bytes of a repeating pattern, as an image to send or to hold.
inline Bytes PatternedImage(std::size_t size, unsigned step)
{
    Bytes image(size);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * step);
    return image;
}

class SerialScript {
public:
    SerialScript(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool AtEnd() const { return size_ == 0; }

    // The bytes of the next step; `lastSeq` is the sequence number framed
    // steps answer to.
    Bytes NextStep(uint16_t lastSeq)
    {
        const uint8_t tag = Take();
        if (!(tag & 1))
            return TakeBytes(tag / 2);
        lumora::serial::Packet packet;
        packet.type = static_cast<lumora::serial::PacketType>(Take());
        packet.seq = static_cast<uint16_t>(lastSeq + static_cast<int8_t>(Take()));
        const std::size_t length = (std::size_t(Take()) << 8) | Take();
        packet.payload = TakeBytes(std::min(length, lumora::serial::kMaxPayload));
        return lumora::serial::EncodeFrame(packet);
    }

private:
    uint8_t Take()
    {
        if (size_ == 0)
            return 0;
        --size_;
        return *data_++;
    }
    Bytes TakeBytes(std::size_t count)
    {
        count = std::min(count, size_);
        Bytes bytes(data_, data_ + count);
        data_ += count;
        size_ -= count;
        return bytes;
    }

    const uint8_t* data_;
    std::size_t size_;
};

// A line whose received bytes come from a script, step by step, answering
// the last frame written to it; reading past the script's end fails at once,
// so a session never waits for a time-out.
class ScriptedLine : public lumora::serial::ByteChannel {
public:
    explicit ScriptedLine(SerialScript& script) : script_(script) {}

    long Read(uint8_t* data, std::size_t size, int, std::string& error) override
    {
        while (pending_.empty()) {
            if (script_.AtEnd()) {
                error = "the script has ended";
                return -1;
            }
            pending_ = script_.NextStep(lastSeq_);
        }
        const std::size_t count = std::min(size, pending_.size());
        std::copy(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count), data);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
        return static_cast<long>(count);
    }

    bool Write(const Bytes& bytes, std::string&) override
    {
        if (bytes.size() >= lumora::serial::kHeaderSize)
            lastSeq_ = lumora::serial::GetU16(&bytes[3]);
        return true;
    }

private:
    SerialScript& script_;
    Bytes pending_;
    uint16_t lastSeq_ = 0;
};

}  // namespace fuzz
