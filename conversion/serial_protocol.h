// The framing of the serial transfer protocol (docs/serial-protocol.md):
// packets with a type, a sequence number, a length and a CRC-16, and a parser
// that finds them in a byte stream that may hold noise, lost bytes and
// damaged frames.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumora::serial {

using Bytes = std::vector<uint8_t>;

enum class PacketType : uint8_t {
    // Host to receiver.
    UploadBegin = 0x01,  // payload: none; answered by Ack with the image size
    Read = 0x02,  // payload: offset u32, length u16; answered by Data
    DownloadBegin = 0x03,  // payload: image size u32; answered by Ack
    Write = 0x04,  // payload: offset u32, bytes; answered by Ack
    End = 0x05,  // payload: CRC-16 of the whole image u16; answered by Ack or Nak
    Abort = 0x06,  // payload: none; answered by Ack
    // Receiver to host.
    Ack = 0x10,  // payload depends on the request
    Data = 0x11,  // payload: the bytes asked for
    Nak = 0x12,  // payload: the reason, text
    Resend = 0x13,  // payload: none; the last frame arrived damaged
};

inline constexpr uint8_t kSync0 = 0xA5;
inline constexpr uint8_t kSync1 = 0x5A;
inline constexpr std::size_t kHeaderSize = 7;  // sync 2, type 1, sequence 2, length 2
inline constexpr std::size_t kTrailerSize = 2;  // CRC-16
inline constexpr std::size_t kMaxChunk = 1024;  // image bytes in one Data or Write packet
inline constexpr std::size_t kMaxPayload = kMaxChunk + 8;
inline constexpr std::size_t kMaxFrame = kHeaderSize + kMaxPayload + kTrailerSize;

struct Packet {
    PacketType type = PacketType::Ack;
    uint16_t seq = 0;
    Bytes payload;
};

// CRC-16/ARC (polynomial 0x8005 reflected, initial value 0), the CRC of the
// download image, continued from `crc`.
uint16_t Crc16(const uint8_t* data, std::size_t size, uint16_t crc = 0);

// The frame of `packet`; its payload must not exceed kMaxPayload.
Bytes EncodeFrame(const Packet& packet);

// Collects received bytes and takes whole frames out of them. Bytes before a
// sync pair are skipped; a frame whose CRC does not match is reported once and
// the search goes on from the byte after its sync pair, so a good frame that
// follows a damaged one is still found.
class FrameParser {
public:
    enum class Result { NeedMore, Packet, BadFrame };

    void Feed(const uint8_t* data, std::size_t size);
    Result Take(Packet& out);
    void Clear() { buffer_.clear(); }

private:
    Bytes buffer_;
};

// Big-endian fields of payloads.
void PutU16(Bytes& out, uint16_t value);
void PutU32(Bytes& out, uint32_t value);
uint16_t GetU16(const uint8_t* p);
uint32_t GetU32(const uint8_t* p);

}  // namespace lumora::serial
