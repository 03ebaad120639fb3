#include "csv_table.h"

namespace lumora {

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

std::string CsvRecord(const std::vector<std::string>& fields)
{
    std::string record;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            record += ',';
        record += CsvField(fields[i]);
    }
    return record + "\r\n";
}

namespace {

// Reads one record starting at `pos`; `line` counts physical lines for messages.
// A malformed field ends the reading with the reason in Failure().
class CsvReader {
public:
    explicit CsvReader(std::string_view text) : text_(text)
    {
        if (text_.starts_with("\xEF\xBB\xBF"))
            pos_ = 3;
    }

    bool AtEnd() const { return pos_ >= text_.size(); }
    const Status& Failure() const { return failure_; }

    TCsvRow ReadRecord()
    {
        TCsvRow row;
        for (;;) {
            row.push_back(ReadField());
            if (AtEnd())
                return row;
            const char c = text_[pos_++];
            if (c == ',')
                continue;
            if (c == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
                ++pos_;
            ++line_;
            return row;
        }
    }

private:
    std::string ReadField()
    {
        if (AtEnd() || text_[pos_] != '"') {
            const std::size_t end = std::min(text_.find_first_of(",\r\n", pos_), text_.size());
            std::string field(text_.substr(pos_, end - pos_));
            pos_ = end;
            return field;
        }
        const int opened = line_;
        std::string field;
        for (++pos_;; ++pos_) {
            if (AtEnd())
                return Fail("line " + std::to_string(opened) + ": a quoted field is never closed");
            const char c = text_[pos_];
            if (c == '"') {
                if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '"') {
                    field += '"';
                    ++pos_;
                    continue;
                }
                ++pos_;
                break;
            }
            if (c == '\n' && (pos_ == 0 || text_[pos_ - 1] != '\r'))
                ++line_;
            else if (c == '\r')
                ++line_;
            field += c;
        }
        if (!AtEnd() && text_.find_first_of(",\r\n", pos_) != pos_)
            return Fail("line " + std::to_string(line_) + ": text follows a quoted field");
        return field;
    }

    std::string Fail(std::string reason)
    {
        failure_ = Status::Failure(std::move(reason));
        pos_ = text_.size();
        return {};
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int line_ = 1;
    Status failure_;
};

}  // namespace

Result<std::vector<TCsvRow>> ParseCsv(std::string_view text)
{
    std::vector<TCsvRow> rows;
    CsvReader reader(text);
    while (!reader.AtEnd())
        rows.push_back(reader.ReadRecord());
    if (!reader.Failure())
        return reader.Failure();
    return rows;
}

Result<std::string> Utf8ToLatin1(std::string_view text)
{
    std::string latin1;
    latin1.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            latin1 += text[i];
            continue;
        }
        const bool twoBytes = (byte == 0xC2 || byte == 0xC3) && i + 1 < text.size() &&
                              (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80;
        if (!twoBytes) {
            const bool utf8Lead = byte >= 0xC4 && byte <= 0xF4;
            return Status::Failure(utf8Lead ? "\"" + std::string(text) +
                                                  "\" holds a character that names cannot hold (beyond ISO 8859-1)"
                                            : "\"" + std::string(text) + "\" is not UTF-8 text");
        }
        latin1 += static_cast<char>(((byte & 0x03) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F));
    }
    return latin1;
}

}  // namespace lumora
