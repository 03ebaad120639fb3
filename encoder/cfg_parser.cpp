// The configuration-script parser: header list, data lists, keys and values.
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "encode12.h"

namespace encoder {

namespace {

// A script line holds at most this many characters before its line end; the
// line buffer takes one more (the line end) and the terminating zero.
constexpr int kMaxLineChars = 78;
constexpr int kLineBufSize = kMaxLineChars + 2;

// Reads the script from a file through a fixed buffer, or from text in memory,
// with text-mode line ends: a carriage return right before a line feed is dropped.
class ScriptReader {
public:
    explicit ScriptReader(int fd) : fd_(fd), data_(buf_) {}
    ScriptReader(const char* text, std::size_t size) : data_(text), len_(size) {}

    // Reads the next line the way a line read of kLineBufSize - 1 characters does:
    // up to and including its line feed, at most kLineBufSize - 1 characters.
    // Returns the number of characters read, 0 at the end of the file.
    int ReadLine(char* line)
    {
        int n = 0;
        while (n < kLineBufSize - 1) {
            int c = GetChar();
            if (c < 0)
                break;
            line[n++] = static_cast<char>(c);
            if (c == '\n')
                break;
        }
        line[n] = '\0';
        return n;
    }

    bool Failed() const { return failed_; }

private:
    int RawByte()
    {
        if (pos_ == len_ && !Fill())
            return -1;
        return static_cast<unsigned char>(data_[pos_++]);
    }

    int GetChar()
    {
        int c = RawByte();
        if (c == '\r') {
            if (pos_ == len_ && !Fill())
                return c;
            if (data_[pos_] == '\n')
                c = RawByte();
        }
        return c;
    }

    // Text in memory has nothing more once its bytes are read.
    bool Fill()
    {
        if (fd_ < 0)
            return false;
        ssize_t got;
        do {
            got = ::read(fd_, buf_, sizeof buf_);
        } while (got < 0 && errno == EINTR);
        if (got < 0)
            failed_ = true;
        pos_ = 0;
        len_ = got > 0 ? static_cast<std::size_t>(got) : 0;
        return len_ > 0;
    }

    int fd_ = -1;
    char buf_[4096];
    const char* data_;
    std::size_t pos_ = 0;
    std::size_t len_ = 0;
    bool failed_ = false;
};

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Keys and words match without regard to case, over the word's own length.
bool StartsWithWord(const char* s, const char* word) { return strncasecmp(s, word, std::strlen(word)) == 0; }

const char* SkipBlanks(const char* s)
{
    while (IsBlank(*s))
        ++s;
    return s;
}

bool AtLineEnd(const char* s) { return *s == '\0' || *s == '\n'; }

// After a key: optional blanks, "=", optional blanks, and a value. Returns the
// value's first character, or nullptr when "=" or the value is missing.
const char* ValueAfterKey(const char* s)
{
    s = SkipBlanks(s);
    if (*s != '=')
        return nullptr;
    s = SkipBlanks(s + 1);
    return AtLineEnd(s) ? nullptr : s;
}

// A decimal run, or "$" and a hexadecimal run; both modulo 2^32.
bool ParseNumber(const char* s, uint32_t& value)
{
    if (IsDigit(*s)) {
        value = 0;
        for (; IsDigit(*s); ++s)
            value = value * 10u + static_cast<uint32_t>(*s - '0');
        return true;
    }
    if (*s == '$' && HexDigit(s[1]) >= 0) {
        value = StrToHex(s + 1);
        return true;
    }
    return false;
}

struct HeaderKeys {
    bool exist = false;
    bool idExist = false;
    bool idEndExist = false;
    bool verExist = false;
};

struct DataKeys {
    bool fileExist = false;
    bool typeExist = false;
    bool compExist = false;
    bool addrExist = false;
};

enum ListType { kNoList = 0, kHeaderList = 1, kDataList = 2 };

class CfgParser {
public:
    // Each handler returns nullptr when the line is fine, else the error message.
    const char* OpenList(const char* s);
    const char* CloseList();
    const char* HeaderKey(const char* s);
    const char* DataKey(const char* s);

    int listType = kNoList;
    HeaderKeys header;
    DataKeys data;

private:
    const char* NumberKey(const char* s, bool& seen, const char* dupErr, uint32_t& value);
    const char* FileKey(const char* s, DataListEntry& entry);
    const char* TypeKey(const char* s, DataListEntry& entry);
    const char* CompressionKey(const char* s, DataListEntry& entry);
};

const char* CfgParser::OpenList(const char* s)
{
    if (listType != kNoList)
        return "'[' duplicated";
    const char* word = DelWhiteSpace(s + 1);
    if (word == nullptr)
        return _syntaxErr;
    if (StartsWithWord(word, "header")) {
        if (header.exist)
            return "Header duplicated";
        listType = kHeaderList;
        header.exist = true;
        return nullptr;
    }
    if (StartsWithWord(word, "data")) {
        if (++_nDataList >= kDataListSlots)
            return "Too many data list";
        std::memset(&_dataList[_nDataList - 1], 0, sizeof(DataListEntry));
        listType = kDataList;
        return nullptr;
    }
    return "Invalid list type";
}

const char* CfgParser::CloseList()
{
    if (listType == kNoList)
        return "No match '['";
    if (listType == kHeaderList) {
        if (!header.idExist)
            return "Not defined ID";
        if (!header.verExist)
            return "Not defined VER";
        if (!header.idEndExist)
            _idEnd = _id;
    } else {
        if (!data.fileExist)
            return "Not defined FILE";
        if (!data.typeExist)
            return "Not defined TYPE";
        if (!data.compExist)
            return "Not defined COMPRESSION";
        if (!data.addrExist)
            return "Not defined ADDRESS";
        data = DataKeys{};
    }
    listType = kNoList;
    return nullptr;
}

const char* CfgParser::NumberKey(const char* s, bool& seen, const char* dupErr, uint32_t& value)
{
    if (seen)
        return dupErr;
    const char* v = ValueAfterKey(s);
    if (v == nullptr || !ParseNumber(v, value))
        return _syntaxErr;
    seen = true;
    return nullptr;
}

const char* CfgParser::HeaderKey(const char* s)
{
    if (StartsWithWord(s, "id"))
        return NumberKey(s + 2, header.idExist, "ID duplicated", _id);
    if (StartsWithWord(s, "e_id"))
        return NumberKey(s + 4, header.idEndExist, "ID duplicated", _idEnd);
    if (StartsWithWord(s, "ver")) {
        if (header.verExist)
            return "VER duplicated";
        const char* v = ValueAfterKey(s + 3);
        uint32_t ver = 0;
        if (v == nullptr || !ParseNumber(v, ver))
            return _syntaxErr;
        if (ver == 0 || ver > 65535)
            return "Invalver VER";
        _ver = ver;
        header.verExist = true;
        return nullptr;
    }
    return nullptr;  // other header lines are ignored
}

const char* CfgParser::FileKey(const char* s, DataListEntry& entry)
{
    if (data.fileExist)
        return "FILE duplicated";
    const char* v = ValueAfterKey(s);
    if (v == nullptr || *v != '"')
        return _syntaxErr;
    ++v;
    std::size_t n = 0;
    while (n < sizeof entry.file - 1 && !AtLineEnd(v + n) && v[n] != '"')
        ++n;
    if (v[n] != '"')
        return _syntaxErr;
    std::memcpy(entry.file, v, n);
    entry.file[n] = '\0';
    data.fileExist = true;
    return nullptr;
}

const char* CfgParser::TypeKey(const char* s, DataListEntry& entry)
{
    static const char* const kTypeWords[] = {"loader", "application", "eeprom", "flash"};
    if (data.typeExist)
        return "TYPE duplicated";
    const char* v = ValueAfterKey(s);
    if (v == nullptr)
        return _syntaxErr;
    for (uint32_t code = 0; code < 4; ++code) {
        if (StartsWithWord(v, kTypeWords[code])) {
            const uint32_t mask = TypeMask(_ver);
            entry.flag = (entry.flag & ~mask) | code;
            data.typeExist = true;
            return nullptr;
        }
    }
    return "Invalid TYPE";
}

const char* CfgParser::CompressionKey(const char* s, DataListEntry& entry)
{
    if (data.compExist)
        return "COMPRESSION duplicated";
    const char* v = ValueAfterKey(s);
    if (v == nullptr)
        return _syntaxErr;
    const uint32_t bit = CompressBit(_ver);
    if (StartsWithWord(v, "yes")) {
        entry.flag |= bit;
    } else if (StartsWithWord(v, "no")) {
        entry.flag &= ~bit;
    } else {
        return "Invalid COMPRESSION";
    }
    data.compExist = true;
    return nullptr;
}

const char* CfgParser::DataKey(const char* s)
{
    DataListEntry& entry = _dataList[_nDataList - 1];
    if (StartsWithWord(s, "file"))
        return FileKey(s + 4, entry);
    if (StartsWithWord(s, "type"))
        return TypeKey(s + 4, entry);
    if (StartsWithWord(s, "compression"))
        return CompressionKey(s + 11, entry);
    if (StartsWithWord(s, "address"))
        return NumberKey(s + 7, data.addrExist, "ADDRESS duplicated", entry.addr);
    return _syntaxErr;
}

// Examines one line; returns its error message or nullptr.
const char* ParseLine(CfgParser& parser, const char* line, int length)
{
    if (length > kMaxLineChars && line[length - 1] != '\n')
        return "Too long line";
    const char* s = DelWhiteSpace(line);
    if (s == nullptr || *s == '.')
        return nullptr;
    if (*s == '[')
        return parser.OpenList(s);
    if (*s == ']')
        return parser.CloseList();
    switch (parser.listType) {
    case kHeaderList: return parser.HeaderKey(s);
    case kDataList: return parser.DataKey(s);
    default: return "List is not started";
    }
}

int OpenScript(const char* cfgFileName)
{
    int fd;
    do {
        fd = ::open(cfgFileName, O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

}  // namespace

const char* DelWhiteSpace(const char* s)
{
    const char* p = SkipBlanks(s);
    return AtLineEnd(p) ? nullptr : p;
}

uint32_t StrToHex(const char* p)
{
    uint32_t value = 0;
    for (int d = HexDigit(*p); d >= 0; d = HexDigit(*++p))
        value = value * 16u + static_cast<uint32_t>(d);
    return value;
}

void PrintErr(int lineNum, const char* s, const char* err)
{
    std::printf("line#%d: %s", lineNum, s);
    const std::size_t len = std::strlen(s);
    if (len == 0 || s[len - 1] != '\n')
        std::printf("\n");
    std::printf(">>> %s <<<\n", err);
}

namespace {

// Parses the script line by line from a clean state. Returns 1 when every line
// is fine, else prints the faulty line with its message and returns 0.
int ParseScript(ScriptReader& reader, CfgParser& parser)
{
    // Nothing of an earlier run reaches this one.
    _id = 0;
    _idEnd = 0;
    _ver = 0;
    _nDataList = 0;
    char line[kLineBufSize];
    int lineNum = 0;
    for (int length; (length = reader.ReadLine(line)) > 0;) {
        ++lineNum;
        if (const char* err = ParseLine(parser, line, length)) {
            PrintErr(lineNum, line, err);
            return 0;
        }
    }
    return 1;
}

int CheckHeaderSeen(const CfgParser& parser)
{
    if (!parser.header.exist) {
        std::printf(">>> No header <<<\n");
        return 0;
    }
    return 1;
}

}  // namespace

int AnalysisCfg(const char* cfgFileName)
{
    const int fd = OpenScript(cfgFileName);
    if (fd < 0) {
        std::printf("\"%s\": Not found\n", cfgFileName);
        return 0;
    }
    CfgParser parser;
    ScriptReader reader(fd);
    const int parsed = ParseScript(reader, parser);
    ::close(fd);
    if (!parsed)
        return 0;
    if (reader.Failed()) {  // a directory, or a read error: the script is unreadable
        std::printf("\"%s\": Not found\n", cfgFileName);
        return 0;
    }
    return CheckHeaderSeen(parser);
}

int AnalysisCfgText(const char* text, std::size_t size)
{
    CfgParser parser;
    ScriptReader reader(text, size);
    if (!ParseScript(reader, parser))
        return 0;
    return CheckHeaderSeen(parser);
}

}  // namespace encoder
