// Inputs the fuzz targets in fuzz/ found trouble with, each read back through
// the same entry its target uses, with the verdict it must get now.
#include <gtest/gtest.h>

#include <string>

#include "lh5_decoder.h"
#include "test_support.h"

namespace {

using enctest::Bytes;

// The lh5 target's input: two bytes of uncompressed length, then the stream.
std::string DecodeVerdict(const Bytes& input, Bytes& out)
{
    out.assign(static_cast<std::size_t>(enctest::Get16(input, 0)), 0xFF);
    return encoder::DecodeLh5(input.data() + 2, input.size() - 2, out.data(), out.size());
}

struct Finding {
    const char* file;  // in tests/encoder/data/fuzz/
    std::string (*verdict)(const Bytes& input, Bytes& out);
    const char* fault;  // empty when the input is valid
    std::size_t zeroBytes;  // what a valid input decodes to
};

const Finding kFindings[] = {
    // 2000 blocks of one literal each, every block declaring three full
    // Huffman codes: decoding took seconds when each code filled a 64 Ki table.
    {"lh5_one_byte_blocks.bin", DecodeVerdict, "", 2000},
};

TEST(FuzzFindings, EachInputGetsItsVerdict)
{
    for (const Finding& f : kFindings) {
        SCOPED_TRACE(f.file);
        const Bytes input = enctest::ReadBytes(std::string(ENCODER_TEST_DATA "/fuzz/") + f.file);
        ASSERT_GE(input.size(), 2u);
        Bytes out;
        EXPECT_EQ(f.verdict(input, out), f.fault);
        if (*f.fault == '\0') {
            EXPECT_EQ(out, Bytes(f.zeroBytes, 0));
        }
    }
}

}  // namespace
