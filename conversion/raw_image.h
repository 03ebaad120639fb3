// The raw receiver image: the receiver's channel-data memory as read over the
// serial port, and the content of a download image. Layout and rules:
// docs/raw-image.md.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "byte_io.h"
#include "records.h"

namespace lumora::conv {

inline constexpr std::size_t kRawImageSize = 401408;  // 0x62000
inline constexpr std::array<uint8_t, 8> kRawMagic = {'L', 'V', '3', 'I', 'M', 'G', 0, 0};
inline constexpr uint16_t kRawLayoutVersion = 1;

// Offsets of the tables inside the image.
inline constexpr std::size_t kRawMenuOffset = 0x00100;
inline constexpr std::size_t kRawAntennaOffset = 0x00200;
inline constexpr std::size_t kRawFavoriteOffset = 0x00600;
inline constexpr std::size_t kRawTSOffset = 0x01400;
inline constexpr std::size_t kRawNetworkOffset = 0x06400;
inline constexpr std::size_t kRawProviderOffset = 0x0A400;
inline constexpr std::size_t kRawServiceOffset = 0x0E400;
inline constexpr std::size_t kRawCrcOffset = 32;

inline constexpr std::size_t kRawAntennaRecord = 32;
inline constexpr std::size_t kRawTSRecord = 20;
inline constexpr std::size_t kRawNameRecord = 32;
inline constexpr std::size_t kRawServiceRecord = 64;

// Widths of the names the image keeps; longer names are cut.
inline constexpr std::size_t kRawLNBNameWidth = 20;
inline constexpr std::size_t kRawNetworkNameWidth = 32;
inline constexpr std::size_t kRawProviderNameWidth = 32;
inline constexpr std::size_t kRawServiceNameWidth = 30;

// What the image says about the receiver it belongs to.
struct RawImageInfo {
    uint8_t menuType = 0;
    uint8_t flashType = 0;
    uint8_t ant32 = 1;  // 0: 16 antenna slots, 1: 32

    int AntennaSlots() const { return ant32 ? 32 : 16; }
};

// The image of `db` for a receiver described by `info`. Antennas beyond the
// receiver's slots and the parts of names beyond their widths are left out.
Bytes EncodeRawImage(const TChannelDatabase& db, const RawImageInfo& info);

// Reads an image made for a receiver described by `expected` into `db`
// (tables, counts, menu record; antennas beyond the image's slots are set to
// their defaults). Returns false with the reason on a damaged image or one
// made for another receiver type.
bool DecodeRawImage(const Bytes& image, const RawImageInfo& expected, TChannelDatabase& db, std::string& reason);

}  // namespace lumora::conv
