// lh5 decoder with every length, table and distance checked against its bounds.
#include "lh5_decoder.h"

#include <array>
#include <cstring>
#include <vector>

namespace encoder {

namespace {

constexpr int kNC = 510;
constexpr int kNT = 19;
constexpr int kNP = 14;
constexpr int kMaxCodeLen = 16;

class BitReader {
public:
    BitReader(const uint8_t* in, std::size_t len) : in_(in), bits_(len * 8) {}

    // Reads n bits (0..16), most significant first; past the end it fails.
    bool Get(int n, uint32_t& value)
    {
        if (pos_ + static_cast<std::size_t>(n) > bits_)
            return false;
        value = Peek(n);
        pos_ += static_cast<std::size_t>(n);
        return true;
    }

    // The next n bits without consuming them; bits past the end read as 0.
    uint32_t Peek(int n) const
    {
        uint32_t v = 0;
        for (int k = 0; k < 3; ++k) {
            const std::size_t byte = (pos_ >> 3) + static_cast<std::size_t>(k);
            v = (v << 8) | (byte < bits_ / 8 ? in_[byte] : 0u);
        }
        v = (v << (pos_ & 7)) & 0xFFFFFFu;
        return n == 0 ? 0 : v >> (24 - n);
    }

    bool Skip(int n)
    {
        if (pos_ + static_cast<std::size_t>(n) > bits_)
            return false;
        pos_ += static_cast<std::size_t>(n);
        return true;
    }

    std::size_t Position() const { return pos_; }
    std::size_t Size() const { return bits_; }

private:
    const uint8_t* in_;
    std::size_t bits_;
    std::size_t pos_ = 0;
};

// A canonical Huffman code: shorter codes first, equal lengths in symbol order.
// It is decoded one length at a time rather than through a table of every
// 16-bit prefix, so a stream of many tiny blocks costs time in proportion to
// its length, not 64 Ki table entries per table it declares.
class HuffmanTable {
public:
    // Builds the code from lengths; false when the lengths over- or under-fill it.
    bool Build(const uint8_t* len, int n)
    {
        count_.fill(0);
        for (int i = 0; i < n; ++i)
            ++count_[len[i]];
        uint32_t total = 0;
        for (int l = 1; l <= kMaxCodeLen; ++l)
            total += count_[static_cast<std::size_t>(l)] << (kMaxCodeLen - l);
        if (total != (1u << kMaxCodeLen))
            return false;
        std::array<uint32_t, kMaxCodeLen + 2> next{};  // where each length's symbols go
        for (int l = 1; l <= kMaxCodeLen; ++l) {
            next[static_cast<std::size_t>(l) + 1] =
                next[static_cast<std::size_t>(l)] + count_[static_cast<std::size_t>(l)];
        }
        symbols_.resize(next[kMaxCodeLen + 1]);
        for (int i = 0; i < n; ++i) {
            if (len[i] != 0)
                symbols_[next[len[i]]++] = static_cast<uint16_t>(i);
        }
        single_ = -1;
        return true;
    }

    // A code of one symbol that takes no bits.
    void BuildSingle(int symbol) { single_ = symbol; }

    bool Decode(BitReader& bits, int& symbol) const
    {
        if (single_ >= 0) {
            symbol = single_;
            return true;
        }
        const uint32_t ahead = bits.Peek(kMaxCodeLen);
        uint32_t code = 0;  // the first l bits ahead
        uint32_t first = 0;  // the first code of length l
        uint32_t index = 0;  // position of that code's symbol in symbols_
        for (int l = 1; l <= kMaxCodeLen; ++l) {
            code |= (ahead >> (kMaxCodeLen - l)) & 1u;
            const uint32_t count = count_[static_cast<std::size_t>(l)];
            if (code - first < count) {
                symbol = symbols_[index + code - first];
                return bits.Skip(l);
            }
            index += count;
            first = (first + count) << 1;
            code <<= 1;
        }
        return false;  // unreachable for a complete code
    }

private:
    std::array<uint32_t, kMaxCodeLen + 1> count_{};
    std::vector<uint16_t> symbols_;
    int single_ = -1;
};

class Lh5Decoder {
public:
    Lh5Decoder(const uint8_t* in, std::size_t inLen, uint8_t* out, std::size_t outLen)
        : bits_(in, inLen), out_(out), outLen_(outLen)
    {
    }

    std::string Run();

private:
    bool ReadPtLen(int nn, int nBit, int iSpecial);
    bool ReadCLen();
    bool ReadBlockHead(uint32_t& codes);
    bool DecodeCode();

    BitReader bits_;
    uint8_t* out_;
    std::size_t outLen_;
    std::size_t produced_ = 0;
    HuffmanTable ptTable_;
    HuffmanTable cTable_;
    std::string error_;

    bool Fail(const char* why)
    {
        if (error_.empty())
            error_ = why;
        return false;
    }
};

bool Lh5Decoder::ReadPtLen(int nn, int nBit, int iSpecial)
{
    uint32_t n = 0;
    if (!bits_.Get(nBit, n))
        return Fail("stream ends inside a code-length table");
    if (n == 0) {
        uint32_t c = 0;
        if (!bits_.Get(nBit, c))
            return Fail("stream ends inside a code-length table");
        if (c >= static_cast<uint32_t>(nn))
            return Fail("code-length table names a symbol out of range");
        ptTable_.BuildSingle(static_cast<int>(c));
        return true;
    }
    if (n > static_cast<uint32_t>(nn))
        return Fail("code-length table too long");
    std::array<uint8_t, kNT> len{};
    int i = 0;
    while (i < static_cast<int>(n)) {
        uint32_t c = 0;
        if (!bits_.Get(3, c))
            return Fail("stream ends inside a code-length table");
        if (c == 7) {
            uint32_t bit = 1;
            while (bits_.Get(1, bit) && bit == 1) {
                if (++c > kMaxCodeLen)
                    return Fail("code length above 16");
            }
            if (bit != 0)
                return Fail("stream ends inside a code-length table");
        }
        len[static_cast<std::size_t>(i++)] = static_cast<uint8_t>(c);
        if (i == iSpecial) {
            uint32_t zeros = 0;
            if (!bits_.Get(2, zeros))
                return Fail("stream ends inside a code-length table");
            for (; zeros > 0 && i < nn; --zeros)
                len[static_cast<std::size_t>(i++)] = 0;
        }
    }
    if (!ptTable_.Build(len.data(), nn))
        return Fail("code lengths do not form a complete code");
    return true;
}

bool Lh5Decoder::ReadCLen()
{
    uint32_t n = 0;
    if (!bits_.Get(9, n))
        return Fail("stream ends inside the literal/length table");
    if (n == 0) {
        uint32_t c = 0;
        if (!bits_.Get(9, c))
            return Fail("stream ends inside the literal/length table");
        if (c >= kNC)
            return Fail("literal/length table names a symbol out of range");
        cTable_.BuildSingle(static_cast<int>(c));
        return true;
    }
    if (n > kNC)
        return Fail("literal/length table too long");
    std::array<uint8_t, kNC> len{};
    uint32_t i = 0;
    while (i < n) {
        int t = 0;
        if (!ptTable_.Decode(bits_, t))
            return Fail("stream ends inside the literal/length table");
        if (t > 2) {
            len[i++] = static_cast<uint8_t>(t - 2);
            continue;
        }
        uint32_t run = 1;
        if (t == 1 || t == 2) {
            const int width = t == 1 ? 4 : 9;
            if (!bits_.Get(width, run))
                return Fail("stream ends inside the literal/length table");
            run += t == 1 ? 3 : 20;
        }
        if (i + run > n)
            return Fail("zero run past the end of the literal/length table");
        i += run;  // the lengths are zero already
    }
    if (!cTable_.Build(len.data(), kNC))
        return Fail("literal/length lengths do not form a complete code");
    return true;
}

bool Lh5Decoder::ReadBlockHead(uint32_t& codes)
{
    if (!bits_.Get(16, codes))
        return Fail("stream ends before a block");
    if (codes == 0)
        return Fail("block of no codes");
    if (!ReadPtLen(kNT, 5, 3) || !ReadCLen())
        return false;
    // The position code replaces the code-length code, which is no longer needed.
    return ReadPtLen(kNP, 4, -1);
}

bool Lh5Decoder::DecodeCode()
{
    int c = 0;
    if (!cTable_.Decode(bits_, c))
        return Fail("stream ends inside a code");
    if (c < 256) {
        if (produced_ >= outLen_)
            return Fail("stream yields more bytes than the uncompressed length");
        out_[produced_++] = static_cast<uint8_t>(c);
        return true;
    }
    const std::size_t length = static_cast<std::size_t>(c) - 253;
    int p = 0;
    if (!ptTable_.Decode(bits_, p))
        return Fail("stream ends inside a code");
    uint32_t distance = static_cast<uint32_t>(p);
    if (p > 1) {
        uint32_t extra = 0;
        if (!bits_.Get(p - 1, extra))
            return Fail("stream ends inside a code");
        distance = (1u << (p - 1)) + extra;
    }
    ++distance;
    if (distance > produced_)
        return Fail("match refers to bytes before the chunk");
    if (length > outLen_ - produced_)
        return Fail("stream yields more bytes than the uncompressed length");
    for (std::size_t k = 0; k < length; ++k, ++produced_)
        out_[produced_] = out_[produced_ - distance];
    return true;
}

std::string Lh5Decoder::Run()
{
    while (produced_ < outLen_) {
        uint32_t codes = 0;
        if (!ReadBlockHead(codes))
            return error_;
        for (; codes > 0; --codes) {
            if (produced_ == outLen_)
                return "stream holds codes past the uncompressed length";
            if (!DecodeCode())
                return error_;
        }
    }
    const std::size_t used = (bits_.Position() + 7) / 8;
    if (used * 8 != bits_.Size())
        return "stream has bytes after its end";
    if (bits_.Peek(static_cast<int>(bits_.Size() - bits_.Position())) != 0)
        return "padding bits are not zero";
    return {};
}

}  // namespace

std::string DecodeLh5(const uint8_t* in, std::size_t inLen, uint8_t* out, std::size_t outLen)
{
    if (outLen == 0)
        return inLen == 0 ? std::string() : "stream for an empty chunk";
    Lh5Decoder decoder(in, inLen, out, outLen);
    return decoder.Run();
}

}  // namespace encoder
