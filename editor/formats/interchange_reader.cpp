// Reading the interchange text file into the tables of one document.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>
#include <streambuf>
#include <type_traits>

#include "interchange.h"
#include "intparse.h"
#include "menu_fields.h"

namespace lumora {

namespace {

constexpr char kTab = '\t';
constexpr int kCR = 0x0D;
constexpr int kLF = 0x0A;
constexpr int kEndOfFileMark = 0x1A;

// Next field as an unsigned 32-bit value: the number rule, or the unsigned
// decimal form the writer uses for values above 2147483647. `fallback` when
// it does not convert.
uint32_t GetUnsigned32(std::string& text, uint32_t fallback = 0)
{
    uint32_t value = 0;
    return ConvertInterchangeUnsigned32(GetItemFromString(text), value) ? value : fallback;
}

bool GetBoolean(std::string& text) { return GetItemFromString(text) == "TRUE"; }

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

// A service name as the receiver keeps it: at most 30 characters without
// surrounding blanks or control characters. A name ending in a byte above 127
// gets a trailing blank, which the receiver needs to end such a name.
std::string ServiceNameFromField(const std::string& field)
{
    std::string name = field.substr(0, kServiceNameLength);
    std::size_t first = 0;
    while (first < name.size() && IsBlankOrControl(name[first]))
        ++first;
    std::size_t last = name.size();
    while (last > first && IsBlankOrControl(name[last - 1]))
        --last;
    name = name.substr(first, last - first);
    if (!name.empty() && name.size() < kServiceNameLength && static_cast<unsigned char>(name.back()) > 127)
        name += ' ';
    return name;
}

std::string WithoutNul(std::string text)
{
    std::erase(text, '\0');
    return text;
}

// Splits a byte stream into lines: CR ends a line and takes one LF right
// after it along; a lone LF stays in the line; 0x1A ends the input.
class LineReader {
public:
    explicit LineReader(std::streambuf& in) : in_(in) {}

    bool Next(std::string& line)
    {
        line.clear();
        if (ended_)
            return false;
        for (;;) {
            int c = in_.sbumpc();
            if (c == std::char_traits<char>::eof() || c == kEndOfFileMark) {
                ended_ = true;
                return !line.empty();
            }
            if (c == kCR) {
                if (in_.sgetc() == kLF)
                    in_.sbumpc();
                return true;
            }
            line += static_cast<char>(c);
        }
    }

private:
    std::streambuf& in_;
    bool ended_ = false;
};

// Read-only stream buffer over text owned by the caller.
class ViewBuffer : public std::streambuf {
public:
    explicit ViewBuffer(std::string_view text)
    {
        char* begin = const_cast<char*>(text.data());
        setg(begin, begin, begin + text.size());
    }
};

using AddOperation = int (*)(TChannelDatabase&, std::string);

struct Section {
    std::string_view header;
    AddOperation add;
};

constexpr Section kSections[] = {
    {kAntennaHeader, AddAntennaInformationByString},   {kTSHeader, AddTSInformationByString},
    {kNetworkHeader, AddNetworkInformationByString},   {kProviderHeader, AddProviderInformationByString},
    {kFavoriteHeader, AddFavoriteInformationByString}, {kServiceHeader, AddServiceInformationByString},
    {kMenuHeader, AddMenuInformationByString},
};

const Section* FindSection(const std::string& line)
{
    for (const Section& section : kSections)
        if (line == section.header)
            return &section;
    return nullptr;
}

// A numbering line sets `numbering`; an unknown name leaves it unset.
void ReadNumberingLine(const std::string& line, std::optional<FavoriteNumbering>& numbering)
{
    if (!line.starts_with(kNumberingKey))
        return;
    std::string_view name = std::string_view(line).substr(kNumberingKey.size());
    for (FavoriteNumbering n :
         {FavoriteNumbering::Ordinal, FavoriteNumbering::OPFrom101, FavoriteNumbering::OPFrom1000})
        if (name == NumberingName(n))
            numbering = n;
}

std::string FileError(const std::string& path, int error) { return path + ": " + std::strerror(error); }

}  // namespace

std::string_view NumberingName(FavoriteNumbering numbering)
{
    switch (numbering) {
    case FavoriteNumbering::Ordinal: return "ORDINAL";
    case FavoriteNumbering::OPFrom101: return "OP101";
    case FavoriteNumbering::OPFrom1000: return "OP1000";
    }
    return {};
}

std::string GetItemFromString(std::string& text)
{
    std::size_t tab = text.find(kTab);
    std::string item;
    if (tab == std::string::npos) {
        item.swap(text);
    } else {
        item = text.substr(0, tab);
        text.erase(0, tab + 1);
    }
    return item;
}

int32_t GetItemAndConvert(std::string& text)
{
    int32_t value = 0;
    return ConvertInterchangeNumber(GetItemFromString(text), value) ? value : 0;
}

int AddAntennaInformationByString(TChannelDatabase& db, std::string line)
{
    std::string numberField = GetItemFromString(line);
    int32_t number = 0;
    if (!ConvertInterchangeNumber(numberField, number))
        throw EConvertError(numberField);
    if (number < 0 || number >= kAntennaCapacity)
        return kStored;  // no such entry: the line is ignored
    TAntennaSetting& antenna = db.AntennaList.AntennaInfo[number];
    antenna.dwLNBFreq = GetUnsigned32(line, kUniversalLNB);
    antenna.wPosition = static_cast<uint16_t>(GetItemAndConvert(line));
    antenna.wMovement = static_cast<uint16_t>(GetItemAndConvert(line));
    antenna.ucSatelliteId = static_cast<uint8_t>(GetItemAndConvert(line));
    antenna.ucOtherSetting = static_cast<uint8_t>(GetItemAndConvert(line));
    antenna.ucMotorControl = static_cast<uint8_t>(GetItemAndConvert(line));
    antenna.ucDiseqcCmd = static_cast<uint8_t>(GetItemAndConvert(line));
    antenna.szLNBName = WithoutNul(GetItemFromString(line));
    return kStored;
}

int AddTSInformationByString(TChannelDatabase& db, std::string line)
{
    TTSInfo& table = db.TSInfo;
    if (table.wTSNum >= kTSCapacity)
        return kTSFull;
    TTSItem& ts = table.Info[table.wTSNum];
    ts.wAntennaIndex = static_cast<uint16_t>(GetItemAndConvert(line));
    ts.pNetworkIndex = GetItemAndConvert(line);
    ts.SATTSInfo.dwFrequency = GetUnsigned32(line);
    ts.SATTSInfo.dwSymbolRate = GetUnsigned32(line);
    ts.SATTSInfo.ucPolarization = static_cast<uint8_t>(GetItemAndConvert(line));
    ts.SATTSInfo.ucFEC = static_cast<uint8_t>(GetItemAndConvert(line));
    ts.wOrgNetworkId = static_cast<uint16_t>(GetItemAndConvert(line));
    ts.wTsId = static_cast<uint16_t>(GetItemAndConvert(line));
    ++table.wTSNum;
    return kStored;
}

int AddNetworkInformationByString(TChannelDatabase& db, std::string line)
{
    TNetworkInfo& table = db.NetworkInfo;
    if (table.wNetworkNum >= kNetworkCapacity)
        return kNetworkFull;
    TNetworkItem& network = table.Info[table.wNetworkNum];
    network.wNetworkId = 0;
    network.reserved = 0;
    network.szNetworkName = GetItemFromString(line);
    ++table.wNetworkNum;
    return kStored;
}

int AddProviderInformationByString(TChannelDatabase& db, std::string line)
{
    TProviderInfo& table = db.ProviderInfo;
    if (table.wProviderNum >= kProviderCapacity)
        return kProviderFull;
    TProviderItem& provider = table.Info[table.wProviderNum];
    provider.nilHeader = 0;
    provider.szProviderName = GetItemFromString(line);
    ++table.wProviderNum;
    return kStored;
}

int AddFavoriteInformationByString(TChannelDatabase& db, std::string line)
{
    int32_t group = GetItemAndConvert(line);
    int32_t list = GetItemAndConvert(line);
    if (group < 0 || group >= kFavoriteGroups || list < 0 || list >= kFavoriteLists)
        return kStored;  // no such list: the line is ignored
    TFavoriteItem& favorites = db.FavoriteInfo[group][list];
    if (favorites.wIndexNum >= kFavoriteCapacity)
        return kFavoriteFull;
    favorites.Index[favorites.wIndexNum] = GetItemAndConvert(line);
    ++favorites.wIndexNum;
    return kStored;
}

int AddServiceInformationByString(TChannelDatabase& db, std::string line)
{
    TServiceInfo& table = db.ServiceInfo;
    if (table.Count() >= kServiceCapacity)
        return kServiceFull;
    TServiceItem& service = table.pServiceInfo[table.Count()];
    bool tv = GetItemFromString(line) == "V";
    service.ServiceType = tv ? kServiceTypeTV : kServiceTypeRadio;
    service.wServiceId = static_cast<uint16_t>(GetItemAndConvert(line));
    service.wPmtPID = static_cast<uint16_t>(GetItemAndConvert(line));
    service.wVideoPID = static_cast<uint16_t>(GetItemAndConvert(line));
    service.wAudioPID = static_cast<uint16_t>(GetItemAndConvert(line));
    service.wPCRPID = static_cast<uint16_t>(GetItemAndConvert(line));
    service.ServiceKind = static_cast<uint8_t>(GetItemAndConvert(line));
    service.bParentLock = GetBoolean(line);
    service.bSkipService = GetBoolean(line);
    service.bScrambled = GetBoolean(line);
    service.pTSIndex = GetItemAndConvert(line);
    service.pProviderIndex = GetItemAndConvert(line);
    service.szServiceName = ServiceNameFromField(GetItemFromString(line));
    service.wServiceNumber = static_cast<uint16_t>(GetItemAndConvert(line));
    if (tv)
        ++table.wTVNum;
    else
        ++table.wRadioNum;
    return kStored;
}

int AddMenuInformationByString(TChannelDatabase& db, std::string line)
{
    ForEachCarriedMenuField(db.MenuConfigItem, [&line](auto& field, MenuFieldCarried carried) {
        using Field = std::remove_reference_t<decltype(field)>;
        if constexpr (std::is_same_v<Field, uint32_t>) {
            uint32_t value = GetUnsigned32(line);
            field = carried == MenuFieldCarried::LowByte ? value & 0xFFu : value;
        } else {
            field = static_cast<Field>(GetItemAndConvert(line));
        }
    });
    return kStored;
}

std::string ResultCodeMessage(int code)
{
    switch (code) {
    case kTSFull: return "The size of TS data is over. some data is excluded!";
    case kNetworkFull: return "The size of network info is over. some data is excluded!";
    case kProviderFull: return "The size of provider info is over. some data is excluded!";
    case kFavoriteFull: return "The size of favorite list is over. some data is excluded!";
    case kServiceFull: return "The size of service list is over. some data is excluded!";
    default: return {};
    }
}

ReadResult ReadInterchangeStream(std::istream& in, TChannelDatabase& db, const ReportError& reportError)
{
    ReadResult result;
    std::streambuf* buffer = in.rdbuf();
    if (buffer == nullptr)
        return result;
    LineReader lines(*buffer);
    const Section* section = nullptr;  // none, or only the file header seen
    int lastShownCode = -1;
    std::string line;
    try {
        while (lines.Next(line)) {
            if (line == kFileHeader) {
                section = nullptr;  // record lines after a file header belong to no section
                continue;
            }
            if (const Section* header = FindSection(line)) {
                section = header;
                continue;
            }
            if (section == nullptr) {
                ReadNumberingLine(line, result.numbering);
                continue;
            }
            int code = section->add(db, std::move(line));
            if (code != kStored && code != lastShownCode) {
                lastShownCode = code;
                if (reportError)
                    reportError(ResultCodeMessage(code));
            }
        }
    } catch (const EConvertError& error) {
        result.status = ReadStatus::Stopped;
        result.error = error.what();
    }
    return result;
}

ReadResult ReadInterchangeText(std::string_view text, TChannelDatabase& db, const ReportError& reportError)
{
    ViewBuffer buffer(text);
    std::istream in(&buffer);
    return ReadInterchangeStream(in, db, reportError);
}

ReadResult ReadInterchangeFile(const std::string& path, TChannelDatabase& db, const ReportError& reportError)
{
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored))
        return {ReadStatus::OpenFailed, FileError(path, EISDIR)};
    std::ifstream in;
    errno = 0;
    in.open(path, std::ios::in | std::ios::binary);
    if (!in.is_open())
        return {ReadStatus::OpenFailed, FileError(path, errno != 0 ? errno : ENOENT)};
    return ReadInterchangeStream(in, db, reportError);
}

ReadResult ParseAndDeleteExchangeFile(const std::string& path, TChannelDatabase& db, const ReportError& reportError)
{
    ReadResult result = ReadInterchangeFile(path, db, reportError);
    if (result.status != ReadStatus::OpenFailed)
        std::remove(path.c_str());
    return result;
}

}  // namespace lumora
