#include "intparse.h"

#include <algorithm>
#include <limits>

namespace lumora {

namespace {

std::string ConvertErrorMessage(const std::string& text)
{
    std::string shown = text;
    std::replace(shown.begin(), shown.end(), '\0', ' ');
    return "'" + shown + "' is not a valid integer value";
}

}  // namespace

EConvertError::EConvertError(const std::string& text) : std::runtime_error(ConvertErrorMessage(text)) {}

namespace {

int DigitValue(char c, int base)
{
    int v;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    else
        return -1;
    return v < base ? v : -1;
}

// Reads the digits of text[pos..] in `base` into `magnitude`; false when there
// are none, when anything else follows, or when the value exceeds `limit`.
bool ReadDigits(const std::string& text, std::size_t pos, int base, uint64_t limit, uint64_t& magnitude)
{
    if (pos >= text.size())
        return false;
    magnitude = 0;
    for (; pos < text.size(); ++pos) {
        int d = DigitValue(text[pos], base);
        if (d < 0)
            return false;
        magnitude = magnitude * base + d;
        if (magnitude > limit)
            return false;
    }
    return true;
}

struct Parsed {
    bool negative = false;
    uint64_t magnitude = 0;
    bool hex = false;
};

// Shared grammar of both parsers; `interchange` selects the interchange
// file's leading blanks and extra hexadecimal prefixes.
bool Parse(const std::string& text, bool interchange, uint64_t decimalLimit, Parsed& out)
{
    std::size_t pos = 0;
    if (interchange)
        while (pos < text.size() && text[pos] == ' ')
            ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        out.negative = text[pos] == '-';
        ++pos;
    }
    std::size_t prefix = 0;
    if (pos < text.size() && text[pos] == '$')
        prefix = 1;
    else if (interchange && pos < text.size() && (text[pos] == 'x' || text[pos] == 'X'))
        prefix = 1;
    else if (interchange && pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X'))
        prefix = 2;
    out.hex = prefix != 0;
    // Hexadecimal digits give a 32-bit pattern, as the platform parser does.
    uint64_t limit = out.hex ? 0xFFFFFFFFull : decimalLimit;
    return ReadDigits(text, pos + prefix, out.hex ? 16 : 10, limit, out.magnitude);
}

bool ToInt32(const Parsed& p, int32_t& value)
{
    if (p.hex) {
        uint32_t bits = uint32_t(p.magnitude);
        value = p.negative ? int32_t(0u - bits) : int32_t(bits);
        return true;
    }
    int64_t v = p.negative ? -int64_t(p.magnitude) : int64_t(p.magnitude);
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return false;
    value = int32_t(v);
    return true;
}

}  // namespace

int32_t StrToInt(const std::string& text)
{
    Parsed p;
    int32_t value = 0;
    if (!Parse(text, false, 2147483648ull, p) || !ToInt32(p, value))
        throw EConvertError(text);
    return value;
}

bool ConvertInterchangeNumber(const std::string& text, int32_t& value)
{
    Parsed p;
    return Parse(text, true, 2147483648ull, p) && ToInt32(p, value);
}

bool ConvertInterchangeUnsigned32(const std::string& text, uint32_t& value)
{
    int32_t signedValue = 0;
    if (ConvertInterchangeNumber(text, signedValue)) {
        value = uint32_t(signedValue);
        return true;
    }
    Parsed p;
    if (!Parse(text, true, 0xFFFFFFFFull, p) || p.negative)
        return false;
    value = uint32_t(p.magnitude);
    return true;
}

}  // namespace lumora
