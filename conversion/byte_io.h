// Little-endian byte buffers for the library's binary formats. The reader
// checks every access against the end of its data: a damaged file can make a
// read fail, never make it leave the buffer.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace lumora::conv {

using Bytes = std::vector<uint8_t>;

// Raised when a read would run past the end of the data.
class TruncatedData : public std::runtime_error {
public:
    TruncatedData() : std::runtime_error("the data ends inside a record") {}
};

class ByteWriter {
public:
    explicit ByteWriter(Bytes& out) : out_(out) {}

    void U8(uint8_t v) { out_.push_back(v); }
    void U16(uint16_t v)
    {
        U8(static_cast<uint8_t>(v));
        U8(static_cast<uint8_t>(v >> 8));
    }
    void U32(uint32_t v)
    {
        U16(static_cast<uint16_t>(v));
        U16(static_cast<uint16_t>(v >> 16));
    }
    void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    // An integer of 1, 2 or 4 bytes at its own width.
    template <std::integral T>
    void Int(T v)
    {
        static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4);
        if constexpr (sizeof(T) == 1)
            U8(static_cast<uint8_t>(v));
        else if constexpr (sizeof(T) == 2)
            U16(static_cast<uint16_t>(v));
        else
            U32(static_cast<uint32_t>(v));
    }
    void Zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
    void Raw(const void* data, std::size_t n)
    {
        auto p = static_cast<const uint8_t*>(data);
        out_.insert(out_.end(), p, p + n);
    }
    // `text` cut to `width` bytes and padded with NUL bytes to exactly `width`.
    void FixedText(const std::string& text, std::size_t width)
    {
        std::size_t n = text.size() < width ? text.size() : width;
        Raw(text.data(), n);
        Zeros(width - n);
    }
    std::size_t Size() const { return out_.size(); }

private:
    Bytes& out_;
};

class ByteReader {
public:
    ByteReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    uint8_t U8()
    {
        Need(1);
        return data_[pos_++];
    }
    uint16_t U16()
    {
        uint16_t lo = U8();
        return static_cast<uint16_t>(lo | (U8() << 8));
    }
    uint32_t U32()
    {
        uint32_t lo = U16();
        return lo | (static_cast<uint32_t>(U16()) << 16);
    }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    // An integer of 1, 2 or 4 bytes at its own width.
    template <std::integral T>
    T Int()
    {
        static_assert(sizeof(T) == 1 || sizeof(T) == 2 || sizeof(T) == 4);
        if constexpr (sizeof(T) == 1)
            return static_cast<T>(U8());
        else if constexpr (sizeof(T) == 2)
            return static_cast<T>(U16());
        else
            return static_cast<T>(U32());
    }
    void Skip(std::size_t n)
    {
        Need(n);
        pos_ += n;
    }
    // A NUL-padded text field of `width` bytes: the bytes before the first NUL.
    std::string FixedText(std::size_t width)
    {
        Need(width);
        const char* p = reinterpret_cast<const char*>(data_ + pos_);
        pos_ += width;
        return std::string(p, strnlen(p, width));
    }
    std::string Text(std::size_t offset, std::size_t length) const
    {
        if (offset > size_ || length > size_ - offset)
            throw TruncatedData();
        return std::string(reinterpret_cast<const char*>(data_ + offset), length);
    }
    void Seek(std::size_t pos)
    {
        if (pos > size_)
            throw TruncatedData();
        pos_ = pos;
    }
    std::size_t Position() const { return pos_; }

private:
    void Need(std::size_t n) const
    {
        if (n > size_ - pos_)
            throw TruncatedData();
    }

    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

inline void PutU32At(Bytes& out, std::size_t offset, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.at(offset + i) = static_cast<uint8_t>(v >> (8 * i));
}

inline uint32_t GetU32At(const Bytes& in, std::size_t offset)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | in.at(offset + i);
    return v;
}

}  // namespace lumora::conv
