// The block compressor: what compresses and what is refused, the stream's
// fine structure, and an independent decoder (lhasa) reading our streams.
#include <gtest/gtest.h>

#include <string>

#include "encode12.h"
#include "lh5_decoder.h"
#include "test_support.h"

namespace {

using enctest::Bytes;

// Compresses data; returns the stream, or nothing when it was refused.
bool Compress(const Bytes& data, Bytes& stream)
{
    stream.assign(data.size(), 0);
    const uint32_t size = encoder::CompressData(stream.data(), data.data(), static_cast<uint32_t>(data.size()));
    stream.resize(size);
    return size != 0;
}

Bytes Decode(const Bytes& stream, std::size_t size, std::string& error)
{
    Bytes out(size);
    error = encoder::DecodeLh5(stream.data(), stream.size(), out.data(), size);
    return out;
}

const std::size_t kBoundarySizes[] = {1, 6, 7, 8191, 8192, 8193, 16383, 16384, 32757, 32758};

struct Sample {
    const char* kind;
    Bytes (*make)(std::size_t);
};

const Sample kSamples[] = {
    {"text", [](std::size_t n) { return enctest::TextBytes(n); }},
    {"machine code", [](std::size_t n) { return enctest::MachineCodeBytes(n); }},
    {"random", [](std::size_t n) { return enctest::RandomBytes(n, static_cast<uint32_t>(n)); }},
    {"one byte repeated", [](std::size_t n) { return Bytes(n, 0x5A); }},
    {"two halves",
     [](std::size_t n) {
         Bytes b = enctest::TextBytes(n / 2);
         const Bytes r = enctest::RandomBytes(n - n / 2, 1);
         b.insert(b.end(), r.begin(), r.end());
         return b;
     }},
};

TEST(Compressor, StreamsDecodeToTheChunkOrAreRefused)
{
    for (const Sample& sample : kSamples) {
        for (std::size_t size : kBoundarySizes) {
            SCOPED_TRACE(std::string(sample.kind) + " " + std::to_string(size));
            const Bytes data = sample.make(size);
            Bytes stream;
            const bool compressed = Compress(data, stream);
            EXPECT_TRUE(size >= 7 || !compressed) << "a stream takes at least 7 bytes";
            if (!compressed) {
                EXPECT_TRUE(size <= 8 || std::string(sample.kind) == "random") << "refused";
                continue;
            }
            EXPECT_LE(stream.size(), size);
            std::string error;
            EXPECT_EQ(Decode(stream, size, error), data);
            EXPECT_EQ(error, "");
        }
    }
}

TEST(Compressor, SingleByteChunkIsOneLiteralAndLongMatches)
{
    Bytes stream;
    ASSERT_TRUE(Compress(Bytes(32758, 0x41), stream));
    EXPECT_LT(stream.size(), 30u);
    std::string error;
    EXPECT_EQ(Decode(stream, 32758, error), Bytes(32758, 0x41));
    EXPECT_EQ(error, "");
}

TEST(Compressor, OutputLimitIsTheChunkLength)
{
    // A stream exactly as long as its chunk still counts as compressed: search
    // small chunks over a four-letter alphabet for one.
    bool sawExact = false;
    for (std::size_t size = 7; size < 64 && !sawExact; ++size) {
        for (uint32_t seed = 0; seed < 200 && !sawExact; ++seed) {
            Bytes data = enctest::RandomBytes(size, seed);
            for (std::size_t i = 0; i < size; ++i)
                data[i] = static_cast<uint8_t>(data[i] & 3);
            Bytes stream;
            if (Compress(data, stream) && stream.size() == size) {
                sawExact = true;
                std::string error;
                EXPECT_EQ(Decode(stream, size, error), data);
            }
        }
    }
    EXPECT_TRUE(sawExact);
}

TEST(Compressor, CallsAreIndependent)
{
    const Bytes a = enctest::MachineCodeBytes(20000);
    const Bytes b = enctest::TextBytes(20000);
    Bytes first;
    Bytes again;
    Bytes other;
    ASSERT_TRUE(Compress(a, first));
    ASSERT_TRUE(Compress(b, other));
    ASSERT_TRUE(Compress(a, again));
    EXPECT_EQ(first, again);
}

// ---- lhasa reads our streams -------------------------------------------------

void PutLe(Bytes& b, uint32_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A level-0 archive with one "-lh5-" member holding the raw stream.
Bytes Lh5Archive(const Bytes& stream, const Bytes& original, const std::string& name, uint16_t crcXor = 0)
{
    Bytes h;
    const std::string method = "-lh5-";
    h.insert(h.end(), method.begin(), method.end());
    PutLe(h, static_cast<uint32_t>(stream.size()), 4);
    PutLe(h, static_cast<uint32_t>(original.size()), 4);
    PutLe(h, 0x5A210000, 4);  // a DOS time stamp
    h.push_back(0x20);  // attribute
    h.push_back(0);  // header level 0
    h.push_back(static_cast<uint8_t>(name.size()));
    h.insert(h.end(), name.begin(), name.end());
    PutLe(h, encoder::GetCrc16(original.data(), static_cast<uint32_t>(original.size())) ^ crcXor, 2);
    uint8_t sum = 0;
    for (uint8_t c : h)
        sum = static_cast<uint8_t>(sum + c);
    h.insert(h.begin(), sum);
    h.insert(h.begin(), static_cast<uint8_t>(h.size() - 1));
    h.insert(h.end(), stream.begin(), stream.end());
    h.push_back(0);  // end of archive
    return h;
}

TEST(Compressor, LhasaExtractsOurStreams)
{
    if (std::string(LHA_EXE).empty())
        GTEST_SKIP() << "lha (package lhasa) not installed";
    enctest::ScratchDir dir;
    int checked = 0;
    for (const Sample& sample : kSamples) {
        for (std::size_t size : kBoundarySizes) {
            SCOPED_TRACE(std::string(sample.kind) + " " + std::to_string(size));
            const Bytes data = sample.make(size);
            Bytes stream;
            if (!Compress(data, stream))
                continue;
            const std::string name = "chunk" + std::to_string(checked++);
            enctest::WriteBytes(dir.Path(name + ".lzh"), Lh5Archive(stream, data, name));
            int status = 1;
            enctest::RunCommand("cd " + dir.Dir() + " && " + LHA_EXE + " xfq " + name + ".lzh 2>&1", status);
            EXPECT_EQ(status, 0);
            EXPECT_EQ(enctest::ReadBytes(dir.Path(name)), data);
        }
    }
    EXPECT_GE(checked, 28);
}

TEST(Compressor, LhasaNoticesADamagedArchive)
{
    if (std::string(LHA_EXE).empty())
        GTEST_SKIP() << "lha (package lhasa) not installed";
    enctest::ScratchDir dir;
    const Bytes data = enctest::TextBytes(5000);
    Bytes stream;
    ASSERT_TRUE(Compress(data, stream));
    enctest::WriteBytes(dir.Path("bad.lzh"), Lh5Archive(stream, data, "bad", 1));
    int status = 0;
    enctest::RunCommand("cd " + dir.Dir() + " && " + LHA_EXE + " xfq bad.lzh 2>&1", status);
    EXPECT_NE(status, 0) << "the archive wrapper really is checked";
}

// ---- the decoder never leaves its buffers ------------------------------------

TEST(Lh5Decoder, DamagedStreamsAreRejectedSafely)
{
    const Bytes data = enctest::MachineCodeBytes(20000);
    Bytes stream;
    ASSERT_TRUE(Compress(data, stream));
    std::string error;
    Decode(Bytes(stream.begin(), stream.end() - 1), data.size(), error);
    EXPECT_NE(error, "") << "cut short";
    Bytes longer = stream;
    longer.push_back(0);
    Decode(longer, data.size(), error);
    EXPECT_EQ(error, "stream has bytes after its end");
    Decode(stream, data.size() + 1, error);
    EXPECT_NE(error, "") << "asks for more than the stream holds";
    Decode(stream, data.size() - 1, error);
    EXPECT_NE(error, "") << "stream holds more than asked for";
    int rejected = 0;
    for (std::size_t bit = 0; bit < stream.size() * 8; bit += 37) {
        Bytes bad = stream;
        bad[bit / 8] ^= static_cast<uint8_t>(0x80 >> (bit % 8));
        const Bytes out = Decode(bad, data.size(), error);
        rejected += !error.empty() || out != data;
    }
    EXPECT_GT(rejected, 0);
    for (uint32_t seed = 0; seed < 300; ++seed) {
        const Bytes noise = enctest::RandomBytes(1 + seed * 7 % 600, seed);
        Decode(noise, 1 + seed % 3000, error);
    }
}

}  // namespace
