// Integer parsing.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace lumora {

// Raised when a text typed by a person (or read where a number is required)
// is not an integer. Its message is shown by the general error handler.
// The message holds the whole text, with every NUL shown as a blank: what()
// is a C string, and a NUL inside it would cut the message short for every
// reader of what(), the conversion library's C interface included.
class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const std::string& text);
    // The whole message: what() as a string.
    std::string Message() const { return what(); }
};

// The platform integer parser: optional sign, then decimal digits or
// hexadecimal digits after "$". Throws EConvertError with
// "'<text>' is not a valid integer value" for anything else or on overflow.
int32_t StrToInt(const std::string& text);

// The interchange file's number rule: optional leading blanks, optional sign,
// decimal digits or hexadecimal digits after "$", "x", "X", "0x" or "0X", and
// nothing after the digits. Returns false when the text does not convert.
bool ConvertInterchangeNumber(const std::string& text, int32_t& value);

// As above, but also accepts the unsigned decimal form 2147483648..4294967295
// that the writer uses for unsigned 32-bit fields; the value is that bit pattern.
bool ConvertInterchangeUnsigned32(const std::string& text, uint32_t& value);

}  // namespace lumora
