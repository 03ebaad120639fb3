#include "import_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "interchange.h"

namespace lumora {
namespace {

// Decodes one UTF-8 sequence at `i`; none when it is not valid (overlong
// forms and surrogates included).
std::optional<char32_t> DecodeUtf8(std::string_view s, std::size_t& i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char lead = byte(i);
    int extra = 0;
    char32_t cp = 0;
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        extra = 1;
        cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        extra = 2;
        cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        extra = 3;
        cp = lead & 0x07;
    } else {
        return std::nullopt;
    }
    if (s.size() - i <= std::size_t(extra))
        return std::nullopt;
    for (int k = 1; k <= extra; ++k) {
        const unsigned char c = byte(i + std::size_t(k));
        if ((c & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (c & 0x3F);
    }
    constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    i += std::size_t(extra) + 1;
    return cp;
}

// The code points of a name: UTF-8 when it is valid, else ISO 8859-1.
std::u32string Decode(std::string_view raw, TSourceText text)
{
    std::u32string out;
    if (text == TSourceText::Utf8 && IsValidUtf8(raw)) {
        for (std::size_t i = 0; i < raw.size();)
            out.push_back(*DecodeUtf8(raw, i));
    } else {
        for (char c : raw)
            out.push_back(static_cast<unsigned char>(c));
    }
    return out;
}

// A control character: C0, DEL and C1 (the DVB text control codes 0x80..0x9F).
bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

TImportedName ToLatin1(std::string_view raw, TSourceText text)
{
    TImportedName result;
    for (char32_t c : Decode(raw, text)) {
        if (IsControl(c)) {
            result.changed = true;
            continue;
        }
        if (c > 0xFF) {
            c = U'?';
            result.changed = true;
        }
        result.name.push_back(static_cast<char>(static_cast<unsigned char>(c)));
    }
    return result;
}

// Blanks and control bytes, as the interchange reader trims them.
bool IsBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string Trimmed(const std::string& name)
{
    std::size_t first = 0, last = name.size();
    while (first < last && IsBlankByte(name[first]))
        ++first;
    while (last > first && IsBlankByte(name[last - 1]))
        --last;
    return name.substr(first, last - first);
}

}  // namespace

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();)
        if (!DecodeUtf8(bytes, i))
            return false;
    return true;
}

std::string Latin1ToUtf8(std::string_view latin1)
{
    std::string out;
    out.reserve(latin1.size());
    for (char ch : latin1) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out.push_back(ch);
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

TImportedName ImportPlainName(std::string_view raw, TSourceText text)
{
    TImportedName result = ToLatin1(raw, text);
    const std::string trimmed = Trimmed(result.name);
    if (trimmed.size() != result.name.size())
        result.name = trimmed;
    return result;
}

TImportedName ImportServiceName(std::string_view raw, TSourceText text)
{
    TImportedName result = ImportPlainName(raw, text);
    if (result.name.size() > kServiceNameLength) {
        result.name = Trimmed(result.name.substr(0, kServiceNameLength));
        result.changed = true;
    }
    // The interchange reader gives a short name ending in a byte above 127 a
    // trailing blank: store it so, or the name changes on its first reopen.
    if (!result.name.empty() && result.name.size() < kServiceNameLength &&
        static_cast<unsigned char>(result.name.back()) > 127)
        result.name += ' ';
    return result;
}

std::optional<int32_t> ParsePosition(std::string_view text)
{
    text = TrimBlanks(text);
    if (text.size() < 2)
        return std::nullopt;
    const char side = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
    if (side != 'E' && side != 'W')
        return std::nullopt;
    text.remove_suffix(1);
    const std::size_t dot = text.find('.');
    const std::optional<uint64_t> whole = ParseUnsigned(text.substr(0, dot));
    uint64_t tenths = 0;
    if (dot != std::string_view::npos) {
        const std::string_view fraction = text.substr(dot + 1);
        const std::optional<uint64_t> digit = ParseUnsigned(fraction);
        if (fraction.size() != 1 || !digit)
            return std::nullopt;
        tenths = *digit;
    }
    if (!whole || *whole > 180 || *whole * 10 + tenths > 1800)
        return std::nullopt;
    const int32_t value = int32_t(*whole * 10 + tenths);
    return side == 'W' ? -value : value;
}

std::string PositionText(int32_t tenths)
{
    const int32_t magnitude = std::abs(tenths);
    return std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10) + (tenths < 0 ? "W" : "E");
}

std::vector<std::string_view> SplitFields(std::string_view text, char separator)
{
    std::vector<std::string_view> fields;
    for (;;) {
        const std::size_t at = text.find(separator);
        fields.push_back(text.substr(0, at));
        if (at == std::string_view::npos)
            return fields;
        text.remove_prefix(at + 1);
    }
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::optional<uint64_t> ParseUnsigned(std::string_view text, int base)
{
    uint64_t value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<int64_t> ParseSigned(std::string_view text)
{
    int64_t value = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || text.front() == '+')
        return std::nullopt;
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        lines.push_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

}  // namespace lumora
