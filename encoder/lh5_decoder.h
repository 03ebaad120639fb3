// Strict decoder of the compressed-chunk format (lh5 bit stream, 8192-byte
// window), for checking images: it never reads or writes outside its buffers,
// whatever the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace encoder {

// Decodes the stream in[0..inLen) into exactly outLen bytes at out. Returns an
// empty string on success, else what is wrong with the stream. The stream must
// yield exactly outLen bytes, end with its last block, use its inLen bytes
// fully (up to at most 7 zero padding bits), and refer only to bytes already
// decoded.
std::string DecodeLh5(const uint8_t* in, std::size_t inLen, uint8_t* out, std::size_t outLen);

}  // namespace encoder
