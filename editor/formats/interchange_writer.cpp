// Writing the whole database of one document as an interchange file.
#include <type_traits>

#include "atomic_file.h"
#include "interchange.h"
#include "menu_fields.h"

namespace lumora {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// Builds one line of TAB-separated fields.
class LineBuilder {
public:
    explicit LineBuilder(std::string& out) : out_(out) {}
    ~LineBuilder() { out_ += kLineEnd; }
    LineBuilder(const LineBuilder&) = delete;
    LineBuilder& operator=(const LineBuilder&) = delete;

    LineBuilder& Text(std::string_view text)
    {
        if (!first_)
            out_ += '\t';
        first_ = false;
        out_ += text;
        return *this;
    }
    LineBuilder& Unsigned(uint32_t value) { return Text(std::to_string(value)); }
    LineBuilder& Signed(int32_t value) { return Text(std::to_string(value)); }
    LineBuilder& Boolean(bool value) { return Text(value ? "TRUE" : "FALSE"); }

private:
    std::string& out_;
    bool first_ = true;
};

void WriteLine(std::string& out, std::string_view text)
{
    out += text;
    out += kLineEnd;
}

// A TAB, CR, LF or 0x1A in a name would split its field or line, or end the
// file, when read back: each becomes a blank.
std::string NameForFile(std::string name)
{
    for (char& c : name)
        if (c == '\t' || c == '\r' || c == '\n' || c == '\x1A')
            c = ' ';
    return name;
}

std::string Trimmed(const std::string& text)
{
    auto blank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t first = 0, last = text.size();
    while (first < last && blank(text[first]))
        ++first;
    while (last > first && blank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

void WriteAntennas(std::string& out, const TAntennaList& antennas)
{
    WriteLine(out, kAntennaHeader);
    for (int n = 0; n < kAntennaCapacity; ++n) {
        const TAntennaSetting& a = antennas.AntennaInfo[n];
        LineBuilder(out)
            .Signed(n)
            .Unsigned(a.dwLNBFreq)
            .Unsigned(a.wPosition)
            .Unsigned(a.wMovement)
            .Unsigned(a.ucSatelliteId)
            .Unsigned(a.ucOtherSetting)
            .Unsigned(a.ucMotorControl)
            .Unsigned(a.ucDiseqcCmd)
            .Text(NameForFile(a.szLNBName));
    }
}

void WriteStreams(std::string& out, const TTSInfo& streams)
{
    WriteLine(out, kTSHeader);
    for (int i = 0; i < streams.wTSNum && i < kTSCapacity; ++i) {
        const TTSItem& ts = streams.Info[i];
        LineBuilder(out)
            .Unsigned(ts.wAntennaIndex)
            .Signed(ts.pNetworkIndex)
            .Unsigned(ts.SATTSInfo.dwFrequency)
            .Unsigned(ts.SATTSInfo.dwSymbolRate)
            .Unsigned(ts.SATTSInfo.ucPolarization)
            .Unsigned(ts.SATTSInfo.ucFEC)
            .Unsigned(ts.wOrgNetworkId)
            .Unsigned(ts.wTsId);
    }
}

void WriteNetworks(std::string& out, const TNetworkInfo& networks)
{
    WriteLine(out, kNetworkHeader);
    for (int i = 0; i < networks.wNetworkNum && i < kNetworkCapacity; ++i)
        LineBuilder(out).Text(NameForFile(networks.Info[i].szNetworkName));
}

void WriteProviders(std::string& out, const TProviderInfo& providers)
{
    WriteLine(out, kProviderHeader);
    for (int i = 0; i < providers.wProviderNum && i < kProviderCapacity; ++i)
        LineBuilder(out).Text(NameForFile(providers.Info[i].szProviderName));
}

void WriteFavorites(std::string& out, const TChannelDatabase& db)
{
    WriteLine(out, kFavoriteHeader);
    for (int group = 0; group < kFavoriteGroups; ++group) {
        for (int list = 0; list < kFavoriteLists; ++list) {
            const TFavoriteItem& favorites = db.FavoriteInfo[group][list];
            for (int i = 0; i < favorites.wIndexNum && i < kFavoriteCapacity; ++i)
                LineBuilder(out).Signed(group).Signed(list).Signed(favorites.Index[i]);
        }
    }
}

void WriteServices(std::string& out, const TServiceInfo& services)
{
    WriteLine(out, kServiceHeader);
    for (int i = 0; i < services.Count() && i < kServiceCapacity; ++i) {
        const TServiceItem& s = services.pServiceInfo[i];
        LineBuilder(out)
            .Text(s.ServiceType == kServiceTypeTV ? "V" : "A")
            .Unsigned(s.wServiceId)
            .Unsigned(s.wPmtPID)
            .Unsigned(s.wVideoPID)
            .Unsigned(s.wAudioPID)
            .Unsigned(s.wPCRPID)
            .Unsigned(s.ServiceKind)
            .Boolean(s.bParentLock)
            .Boolean(s.bSkipService)
            .Boolean(s.bScrambled)
            .Signed(s.pTSIndex)
            .Signed(s.pProviderIndex)
            .Text(Trimmed(NameForFile(s.szServiceName)))
            .Unsigned(s.wServiceNumber);
    }
}

void WriteMenu(std::string& out, const TMenuConfigItem& record, WriteOptions options)
{
    WriteLine(out, kMenuHeader);
    TMenuConfigItem m = record;
    if (options.substituteUserDateAndPin) {
        m.nUserYear = kDefaultUserYear;
        m.nUserMonth = kDefaultUserMonth;
        m.nUserDay = kDefaultUserDay;
        m.nPINCode = kDefaultPINCode;
    }
    LineBuilder line(out);
    ForEachCarriedMenuField(m, [&line](auto field, MenuFieldCarried) {
        if constexpr (std::is_signed_v<decltype(field)>)
            line.Signed(field);
        else
            line.Unsigned(field);
    });
}

}  // namespace

std::string WriteInterchange(const TChannelDatabase& db, WriteOptions options)
{
    std::string out;
    out.reserve(64 * 1024);
    WriteLine(out, kFileHeader);
    if (options.numbering)
        WriteLine(out, std::string(kNumberingKey) + std::string(NumberingName(*options.numbering)));
    WriteAntennas(out, db.AntennaList);
    WriteStreams(out, db.TSInfo);
    WriteNetworks(out, db.NetworkInfo);
    WriteProviders(out, db.ProviderInfo);
    WriteFavorites(out, db);
    WriteServices(out, db.ServiceInfo);
    WriteMenu(out, db.MenuConfigItem, options);
    return out;
}

Status MakeDnfRawFile(const std::string& path, const TChannelDatabase& db, WriteOptions options)
{
    return WriteFileAtomically(path, WriteInterchange(db, options));
}

}  // namespace lumora
