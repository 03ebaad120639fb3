// Recognising a file's format and reading files and folders of them.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "import_formats.h"
#include "import_text.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

// Larger than any real channel file (the biggest scan file is about 2 MB).
constexpr std::uintmax_t kLargestImportFile = 64u << 20;

bool StartsWithWord(std::string_view line, std::string_view word)
{
    return line.starts_with(word) &&
           (line.size() == word.size() || line[word.size()] == ' ' || line[word.size()] == '\t');
}

bool IsOneLineEntry(std::string_view line)
{
    for (std::string_view kind : {"S", "S1", "S2", "C", "T", "T2", "A"})
        if (StartsWithWord(line, kind))
            return true;
    return false;
}

TImportFormat DetectXml(std::string_view text)
{
    const std::size_t satellites = text.find("<satellites");
    const std::size_t cables = text.find("<cables");
    if (satellites != std::string_view::npos && satellites < cables)
        return TImportFormat::SatellitesXml;
    if (cables != std::string_view::npos)
        return TImportFormat::CablesXml;
    return TImportFormat::Unknown;
}

// After a "[...]" header line: dvbv5 when KEY = value lines follow, a scan
// file when its sections are named "kind/name".
TImportFormat DetectSectioned(std::string_view header)
{
    for (std::string_view kind : {"[dvb-s/", "[dvb-c/", "[dvb-t/", "[atsc/", "[isdb-t/", "[date]"})
        if (header.starts_with(kind))
            return TImportFormat::ScanFile;
    return TImportFormat::Dvbv5;
}

std::string ReadWholeFile(const fs::path& path, Status& status)
{
    std::error_code ec;
    const std::uintmax_t size = fs::file_size(path, ec);
    if (ec) {
        status = Status::Failure(path.string() + ": " + ec.message());
        return {};
    }
    if (size > kLargestImportFile) {
        status = Status::Failure(path.string() + ": too large for a channel file (" + std::to_string(size) + " bytes)");
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    if (!in && !in.eof()) {
        status = Status::Failure(path.string() + ": cannot be read");
        return {};
    }
    return std::move(text).str();
}

// The bouquet files in a lamedb's folder.
TBouquetFiles BouquetFilesBeside(const fs::path& lamedb)
{
    TBouquetFiles files;
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator(lamedb.parent_path(), ec)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_regular_file(ec) || !(name.starts_with("bouquets.") || name.starts_with("userbouquet.")))
            continue;
        Status status;
        std::string text = ReadWholeFile(entry.path(), status);
        if (status)
            files.emplace(name, std::move(text));
    }
    return files;
}

Status ReadOneFile(const fs::path& path, TImportData& data)
{
    Status status;
    const std::string text = ReadWholeFile(path, status);
    if (!status)
        return status;
    const std::string name = path.filename().string();
    const std::optional<int32_t> position = PositionFromFileName(name);
    switch (DetectImportFormat(text)) {
    case TImportFormat::SatellitesXml: return ReadSatellitesXml(text, name, data);
    case TImportFormat::CablesXml: return ReadCablesXml(text, name, data);
    case TImportFormat::Dvbv5: return ReadDvbv5File(text, name, position, data);
    case TImportFormat::OneLine: return ReadOneLineFile(text, name, position, data);
    case TImportFormat::ScanFile: return ReadScanFile(text, name, data);
    case TImportFormat::VdrChannels: return ReadVdrChannels(text, name, data);
    case TImportFormat::Lamedb: return ReadLamedb(text, name, BouquetFilesBeside(path), data);
    case TImportFormat::Unknown: break;
    }
    return Status::Failure(path.string() + ": not a channel file this editor reads (satellites.xml, cables.xml, dvbv5, "
                                           "initial-tuning table, VDR channels.conf or lamedb)");
}

}  // namespace

TImportFormat DetectImportFormat(std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    if (TrimBlanks(text).starts_with("<"))
        return DetectXml(text);
    // Only the first line that is neither blank nor a comment decides: the
    // rest of a large file is not split for it.
    while (!text.empty()) {
        const std::size_t end = std::min(text.find_first_of("\r\n"), text.size());
        const std::string_view line = TrimBlanks(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.starts_with('#'))
            continue;
        if (line.starts_with("eDVB services /"))
            return TImportFormat::Lamedb;
        if (line.starts_with('[') && line.ends_with(']'))
            return DetectSectioned(line);
        if (IsOneLineEntry(line))
            return TImportFormat::OneLine;
        // VDR writes 13 fields; it reads lines without RID (or NID and TID) too.
        if (line.starts_with(':') || SplitFields(line, ':').size() >= kFewestVdrFields)
            return TImportFormat::VdrChannels;
        return TImportFormat::Unknown;
    }
    return TImportFormat::Unknown;
}

const char* ImportFormatName(TImportFormat format)
{
    switch (format) {
    case TImportFormat::SatellitesXml: return "satellites.xml";
    case TImportFormat::CablesXml: return "cables.xml";
    case TImportFormat::Dvbv5: return "dvbv5";
    case TImportFormat::OneLine: return "initial-tuning table";
    case TImportFormat::ScanFile: return "scan file";
    case TImportFormat::VdrChannels: return "VDR channels.conf";
    case TImportFormat::Lamedb: return "lamedb";
    case TImportFormat::Unknown: break;
    }
    return "unknown";
}

std::optional<int32_t> PositionFromFileName(std::string_view fileName)
{
    const std::size_t cut = fileName.find_last_of("-_");
    if (cut == std::string_view::npos)
        return std::nullopt;
    return ParsePosition(fileName.substr(cut + 1));
}

Status ReadImportPath(const std::string& path, TImportData& data)
{
    std::error_code ec;
    const fs::path root(path);
    if (!fs::is_directory(root, ec)) {
        TImportData read;
        read.name = root.filename().string();
        Status status = ReadOneFile(root, read);
        if (status)
            data.Append(std::move(read));
        return status;
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(root, ec))
        if (entry.is_regular_file(ec))
            files.push_back(entry.path());
    if (ec)
        return Status::Failure(path + ": " + ec.message());
    std::sort(files.begin(), files.end());
    TImportData read;
    read.name = root.filename().string();
    for (const fs::path& file : files)
        if (Status status = ReadOneFile(file, read); !status)
            return status;
    data.Append(std::move(read));
    return {};
}

}  // namespace lumora
