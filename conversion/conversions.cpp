#include "conversions.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "atomic_file.h"
#include "dnf_format.h"
#include "file_io.h"
#include "interchange.h"

#include "encoder.h"

namespace lumora::conv {

namespace {

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

std::string FileProblem(const std::string& path, const std::string& reason) { return Quoted(path) + ": " + reason; }

// Replaces the file at `path` with `data`; a failure leaves the old file.
bool WriteFile(const std::string& path, std::string_view data, std::string& error)
{
    const Status written = WriteFileAtomically(path, data);
    if (!written)
        error = FileProblem(path, SystemReasonOf(written, path));
    return written.ok();
}

// Reads an interchange file, and the favorite numbering it records into
// `numbering` when one is given. Any record the tables cannot hold makes the
// conversion fail: a converted file must not silently lose data.
bool ReadText(const std::string& path, TChannelDatabase& db, std::string& error,
              std::optional<FavoriteNumbering>* numbering = nullptr)
{
    InitDatabase(db, 0);
    std::string dropped;
    ReadResult result = ReadInterchangeFile(path, db, [&dropped](const std::string& message) {
        if (dropped.empty())
            dropped = message;
    });
    if (result.status == ReadStatus::OpenFailed)
        error = result.error;
    else if (result.status == ReadStatus::Stopped)
        error = FileProblem(path, result.error);
    else if (!dropped.empty())
        error = FileProblem(path, dropped);
    if (numbering)
        *numbering = result.numbering;
    return error.empty();
}

bool WriteText(const TChannelDatabase& db, const std::string& path, std::string& error,
               std::optional<FavoriteNumbering> numbering = std::nullopt)
{
    // The file carries exactly what the binary file holds, user date and PIN included.
    std::string text = WriteInterchange(db, WriteOptions{.substituteUserDateAndPin = false, .numbering = numbering});
    return WriteFile(path, text, error);
}

bool ReadBinary(const std::string& path, std::size_t maxSize, Bytes& bytes, std::string& error)
{
    if (ReadWholeFile(path, maxSize, bytes, error))
        return true;
    error = FileProblem(path, error);
    return false;
}

bool WriteBinary(const std::string& path, const Bytes& bytes, std::string& error)
{
    return WriteFile(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), error);
}

// A file in the temporary directory, removed when the object goes.
class TempFile {
public:
    TempFile()
    {
        const char* dir = std::getenv("TMPDIR");
        path_ = std::string(dir && *dir ? dir : "/tmp") + "/lv3rawXXXXXX";
        // The encoder takes data file paths of at most 80 bytes.
        if (path_.size() > 80)
            path_ = "/tmp/lv3rawXXXXXX";
        int fd = ::mkstemp(path_.data());
        if (fd < 0)
            path_.clear();
        else
            ::close(fd);
    }
    ~TempFile()
    {
        if (!path_.empty())
            ::unlink(path_.c_str());
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

// Collects what the encoder prints on standard output during one run, so
// that its message can be handed back as the reason of a failure.
class StdoutCapture {
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        file_ = std::tmpfile();
        saved_ = ::dup(STDOUT_FILENO);
        if (file_ && saved_ >= 0)
            ::dup2(::fileno(file_), STDOUT_FILENO);
    }
    ~StdoutCapture()
    {
        Restore();
        if (file_)
            std::fclose(file_);
    }
    StdoutCapture(const StdoutCapture&) = delete;
    StdoutCapture& operator=(const StdoutCapture&) = delete;

    std::string Text()
    {
        Restore();
        std::string text;
        if (!file_)
            return text;
        std::rewind(file_);
        char buffer[512];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0 && text.size() < 4096)
            text.append(buffer, n);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r'))
            text.pop_back();
        return text;
    }

private:
    void Restore()
    {
        if (saved_ < 0)
            return;
        std::fflush(stdout);
        ::dup2(saved_, STDOUT_FILENO);
        ::close(saved_);
        saved_ = -1;
    }

    std::FILE* file_ = nullptr;
    int saved_ = -1;
};

}  // namespace

bool TextToDnf(const std::string& textPath, const std::string& dnfPath, std::string& error)
{
    auto db = std::make_unique<TChannelDatabase>();
    std::optional<FavoriteNumbering> numbering;
    if (!ReadText(textPath, *db, error, &numbering))
        return false;
    Bytes file = EncodeDnf(*db, numbering);
    if (std::string tooLarge = DnfSizeProblem(file.size()); !tooLarge.empty()) {
        error = FileProblem(dnfPath, tooLarge);
        return false;
    }
    return WriteBinary(dnfPath, file, error);
}

bool DnfToText(const std::string& dnfPath, const std::string& textPath, std::string& error)
{
    Bytes file;
    if (!ReadBinary(dnfPath, kDnfMaxFileSize, file, error))
        return false;
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, 0);
    std::optional<FavoriteNumbering> numbering;
    if (!DecodeDnf(file, *db, error, &numbering)) {
        error = FileProblem(dnfPath, error);
        return false;
    }
    return WriteText(*db, textPath, error, numbering);
}

bool RawToText(const std::string& rawPath, const std::string& textPath, const RawImageInfo& info, std::string& error)
{
    Bytes image;
    // One byte more than an image may have, so that an oversized file is seen as such.
    if (!ReadBinary(rawPath, kRawImageSize + 1, image, error))
        return false;
    auto db = std::make_unique<TChannelDatabase>();
    InitDatabase(*db, info.flashType);
    if (!DecodeRawImage(image, info, *db, error)) {
        error = FileProblem(rawPath, error);
        return false;
    }
    return WriteText(*db, textPath, error);
}

bool TextToRaw(const std::string& textPath, const std::string& rawPath, const RawImageInfo& info, std::string& error)
{
    auto db = std::make_unique<TChannelDatabase>();
    return ReadText(textPath, *db, error) && WriteBinary(rawPath, EncodeRawImage(*db, info), error);
}

bool TextToDownloadImage(const std::string& textPath, const std::string& ddfPath, const RawImageInfo& info,
                         uint32_t systemId, std::string& error)
{
    TempFile raw;
    if (raw.Path().empty()) {
        error = "no temporary file for the receiver image: " + std::string(std::strerror(errno));
        return false;
    }
    if (!TextToRaw(textPath, raw.Path(), info, error))
        return false;
    encoder::ImageConfig config;
    config.id = config.idEnd = systemId;
    config.ver = kDownloadImageVersion;
    config.data.push_back({raw.Path(), encoder::kTypeFlash, true, kChannelDataAddress});
    StdoutCapture messages;
    if (encoder::EncodeImage(config, ddfPath.c_str()) == 1)
        return true;
    // The encoder's own message names the file it could not handle.
    error = messages.Text();
    if (error.empty())
        error = FileProblem(ddfPath, "the download image could not be written");
    return false;
}

bool RawFromDownloadRecords(const std::vector<encoder::DdfRecordInfo>& records, Bytes& raw)
{
    raw.clear();
    uint32_t next = kChannelDataAddress;
    for (const encoder::DdfRecordInfo& record : records) {
        if (record.type != encoder::kTypeFlash || record.address != next)
            return false;
        raw.insert(raw.end(), record.data.begin(), record.data.end());
        next += record.origLen;
    }
    return raw.size() == kRawImageSize;
}

}  // namespace lumora::conv
