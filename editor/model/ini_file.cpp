#include "ini_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "atomic_file.h"
#include "intparse.h"

namespace lumora {

namespace {

constexpr const char* kBlanks = " \t";

// Far above any initialisation file the program writes; a larger file is
// something else, and reading it whole could exhaust the memory.
constexpr std::uintmax_t kMaxFileSize = 1024 * 1024;

std::string Trim(const std::string& s)
{
    std::size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

bool SameName(const std::string& a, const std::string& b)
{
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return false;
    return true;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// The profile functions drop one pair of matching quotes around a value.
std::string Unquote(const std::string& value)
{
    if (value.size() >= 2 && IsQuote(value.front()) && value.front() == value.back())
        return value.substr(1, value.size() - 2);
    return value;
}

// The text to store so that reading gives `value` back: a line break would
// split the entry, and blanks or quotes at the ends would be stripped.
std::string StoredValue(std::string value)
{
    for (char& c : value)
        if (c == '\r' || c == '\n')
            c = ' ';
    if (Trim(value) != value || Unquote(value) != value)
        return '"' + value + '"';
    return value;
}

// The name of a "[Section]" line (everything between '[' and the last ']',
// blanks included, as the profile functions take it), or nothing for any
// other line.
std::optional<std::string> SectionName(const std::string& line)
{
    std::string text = Trim(line);
    std::size_t close = text.rfind(']');
    if (text.empty() || text.front() != '[' || close == std::string::npos)
        return std::nullopt;
    return text.substr(1, close - 1);
}

Status FileError(const std::string& path, int error) { return Status::Failure(path + ": " + std::strerror(error)); }

}  // namespace

Result<TIniFile> TIniFile::Load(const std::string& path)
{
    std::error_code ec;
    auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
        return TIniFile();
    if (std::filesystem::is_directory(status))
        return FileError(path, EISDIR);
    auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxFileSize)
        return Status::Failure(path + ": too large for an initialisation file (" + std::to_string(size) + " bytes)");
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return FileError(path, errno ? errno : EIO);
    std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return FileError(path, EIO);
    return FromText(std::move(text), path);
}

Result<TIniFile> TIniFile::FromText(std::string text, const std::string& origin)
{
    TIniFile ini;
    // Text in any 8-bit character set has no zero bytes; binary data and
    // UTF-16 text do, and rewriting them would damage them further.
    if (std::size_t zero = text.find('\0'); zero != std::string::npos)
        return Status::Failure(origin + ": not a text file (a zero byte at offset " + std::to_string(zero) + ")");
    if (text.starts_with("\xEF\xBB\xBF"))  // a byte-order mark some editors add
        text.erase(0, 3);

    std::size_t newline = text.find('\n');
    if (newline != std::string::npos && (newline == 0 || text[newline - 1] != '\r'))
        ini.lineEnd_ = "\n";
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        ini.lines_.push_back(std::move(line));
        start = end == std::string::npos ? text.size() : end + 1;
    }
    return ini;
}

std::optional<TIniFile::Range> TIniFile::FindSection(const std::string& section) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        auto name = SectionName(lines_[i]);
        if (!name || !SameName(*name, section))
            continue;
        std::size_t end = i + 1;
        while (end < lines_.size() && !SectionName(lines_[end]))
            ++end;
        return Range{i, end};
    }
    return std::nullopt;
}

std::optional<std::size_t> TIniFile::FindKey(const Range& range, const std::string& key) const
{
    for (std::size_t i = range.header + 1; i < range.end; ++i) {
        const std::string& line = lines_[i];
        std::size_t eq = line.find('=');
        if (eq == std::string::npos || Trim(line).starts_with(';'))
            continue;
        if (SameName(Trim(line.substr(0, eq)), key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> TIniFile::Find(const std::string& section, const std::string& key) const
{
    auto range = FindSection(section);
    if (!range)
        return std::nullopt;
    auto line = FindKey(*range, key);
    if (!line)
        return std::nullopt;
    const std::string& text = lines_[*line];
    return Unquote(Trim(text.substr(text.find('=') + 1)));
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key, const std::string& def) const
{
    return Find(section, key).value_or(def);
}

int32_t TIniFile::ReadInteger(const std::string& section, const std::string& key, int32_t def) const
{
    auto value = Find(section, key);
    if (!value)
        return def;
    try {
        return StrToInt(*value);
    } catch (const EConvertError&) {
        return def;
    }
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value)
{
    auto range = FindSection(section);
    if (!range) {
        lines_.push_back('[' + section + ']');
        lines_.push_back(key + '=' + StoredValue(value));
        return;
    }
    if (auto line = FindKey(*range, key)) {
        std::string& text = lines_[*line];
        text = text.substr(0, text.find('=') + 1) + StoredValue(value);
        return;
    }
    std::size_t insertAt = range->end;
    while (insertAt > range->header + 1 && Trim(lines_[insertAt - 1]).empty())
        --insertAt;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), key + '=' + StoredValue(value));
}

void TIniFile::WriteInteger(const std::string& section, const std::string& key, int32_t value)
{
    WriteString(section, key, std::to_string(value));
}

std::string TIniFile::Text() const
{
    std::string text;
    for (const std::string& line : lines_)
        text += line + lineEnd_;
    return text;
}

Status TIniFile::Save(const std::string& path) const { return WriteFileAtomically(path, Text()); }

}  // namespace lumora
