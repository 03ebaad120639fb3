// The fixed fields of the antenna, stream and service records in the two
// binary layouts, the channel-data file and the raw receiver image. Each
// layout of a record is one list, a function template over `Io` that the
// writer runs with a FieldWriter and the reader with a FieldReader; the
// names, which the two layouts store differently, follow the fields.
#pragma once

#include <array>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <tuple>

#include "byte_io.h"
#include "records.h"

namespace lumora::conv {

// Puts each visited field into the output at its own width.
class FieldWriter {
public:
    explicit FieldWriter(ByteWriter& w) : w_(w) {}

    template <std::integral T>
    void Int(T value)
    {
        w_.Int(value);
    }
    void Reserved(std::size_t bytes) { w_.Zeros(bytes); }
    // Booleans packed into one byte: flag i sets bits[i].
    template <typename... Flag>
    void Flags(std::tuple<Flag&...> flags, const std::array<uint8_t, sizeof...(Flag)>& bits)
    {
        uint8_t byte = 0;
        std::size_t i = 0;
        std::apply([&](const auto&... flag) { ((byte = static_cast<uint8_t>(byte | (flag ? bits[i] : 0)), ++i), ...); },
                   flags);
        w_.U8(byte);
    }

private:
    ByteWriter& w_;
};

// Takes each visited field from the input at its own width.
class FieldReader {
public:
    explicit FieldReader(ByteReader& r) : r_(r) {}

    template <std::integral T>
    void Int(T& value)
    {
        value = r_.Int<T>();
    }
    void Reserved(std::size_t bytes) { r_.Skip(bytes); }
    template <typename... Flag>
    void Flags(std::tuple<Flag&...> flags, const std::array<uint8_t, sizeof...(Flag)>& bits)
    {
        const uint8_t byte = r_.U8();
        std::size_t i = 0;
        std::apply([&](auto&... flag) { ((flag = (byte & bits[i]) != 0, ++i), ...); }, flags);
    }

private:
    ByteReader& r_;
};

// The antenna record's fields before its name: the same in both layouts.
template <typename Io, typename Antenna>
void AntennaFields(Io& io, Antenna& a)
{
    io.Int(a.dwLNBFreq);
    io.Int(a.wPosition);
    io.Int(a.wMovement);
    io.Int(a.ucSatelliteId);
    io.Int(a.ucOtherSetting);
    io.Int(a.ucMotorControl);
    io.Int(a.ucDiseqcCmd);
}

}  // namespace lumora::conv
