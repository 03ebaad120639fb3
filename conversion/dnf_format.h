// The binary channel-data file (".dnf"): the form in which users keep their
// channel databases. Layout and rules: docs/dnf-format.md.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "byte_io.h"
#include "records.h"

namespace lumora::conv {

inline constexpr std::array<uint8_t, 8> kDnfMagic = {'L', 'V', '3', 'D', 'N', 'F', 0x1A, '\n'};
// Version 2 added the favorite numbering (header byte 72); version 1 files
// are still read.
inline constexpr uint16_t kDnfVersion = 2;
inline constexpr uint16_t kDnfOldestVersion = 1;
inline constexpr std::size_t kDnfNumberingOffset = 72;
inline constexpr std::size_t kDnfHeaderSize = 80;
inline constexpr std::size_t kDnfCrcSize = 4;

// Fixed record sizes of format versions 1 and 2.
inline constexpr std::size_t kDnfAntennaRecord = 20;
inline constexpr std::size_t kDnfTSRecord = 28;
inline constexpr std::size_t kDnfNetworkRecord = 12;
inline constexpr std::size_t kDnfProviderRecord = 12;
inline constexpr std::size_t kDnfFavoriteRecord = 4;
inline constexpr std::size_t kDnfServiceRecord = 40;
inline constexpr std::size_t kDnfMenuRecord = 96;  // 93 bytes of fields, then zeros

// The largest channel-data file, for writing and reading alike: a file above
// it is neither written nor read into memory. Only very long network,
// provider or satellite names can come near it.
inline constexpr std::size_t kDnfMaxFileSize = 64u << 20;

// Empty when a file of `size` bytes is within kDnfMaxFileSize, else the reason.
std::string DnfSizeProblem(std::size_t size);

// Every table of `db` up to its count, every field of every record, and the
// numbering of its favorite entries when it is known.
Bytes EncodeDnf(const TChannelDatabase& db, std::optional<FavoriteNumbering> numbering = std::nullopt);

// Fills the tables, counts and menu record of `db` from a whole file, and
// `numbering` (when given) with the favorite numbering the file records:
// none for a version 1 file or a file made without one. On a damaged or
// foreign file returns false with the reason in `reason`; `db` is then partly
// filled and must be discarded.
bool DecodeDnf(const Bytes& file, TChannelDatabase& db, std::string& reason,
               std::optional<FavoriteNumbering>* numbering = nullptr);

}  // namespace lumora::conv
