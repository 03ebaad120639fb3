#include "dnf_format.h"

#include <algorithm>
#include <type_traits>

#include "crc32.h"
#include "menu_fields.h"
#include "record_fields.h"

namespace lumora::conv {

namespace {

enum ServiceFlag : uint8_t { kParentLock = 1, kExistService = 2, kSkipService = 4, kScrambled = 8 };

// The counts in the header, in their stored order.
struct DnfCounts {
    uint32_t antennas = 0;
    uint32_t streams = 0;
    uint32_t networks = 0;
    uint32_t providers = 0;
    uint32_t services = 0;
    uint32_t favorites[kFavoriteGroups][kFavoriteLists]{};
    uint32_t nameBytes = 0;

    uint64_t FavoriteTotal() const
    {
        uint64_t total = 0;
        for (auto& group : favorites)
            for (uint32_t n : group)
                total += n;
        return total;
    }

    // Size of the whole file these counts describe.
    uint64_t FileSize() const
    {
        return kDnfHeaderSize + uint64_t(antennas) * kDnfAntennaRecord + uint64_t(streams) * kDnfTSRecord +
               uint64_t(networks) * kDnfNetworkRecord + uint64_t(providers) * kDnfProviderRecord +
               FavoriteTotal() * kDnfFavoriteRecord + uint64_t(services) * kDnfServiceRecord + kDnfMenuRecord +
               nameBytes + kDnfCrcSize;
    }
};

// Collects the names into the name area while the records are written.
class NameArea {
public:
    void Put(ByteWriter& w, const std::string& name)
    {
        w.U32(static_cast<uint32_t>(bytes_.size()));
        w.U32(static_cast<uint32_t>(name.size()));
        bytes_ += name;
    }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

DnfCounts CountsOf(const TChannelDatabase& db, uint32_t nameBytes)
{
    DnfCounts c;
    c.antennas = kAntennaCapacity;
    c.streams = static_cast<uint32_t>(std::clamp(db.TSInfo.wTSNum, 0, kTSCapacity));
    c.networks = static_cast<uint32_t>(std::clamp(db.NetworkInfo.wNetworkNum, 0, kNetworkCapacity));
    c.providers = static_cast<uint32_t>(std::clamp(db.ProviderInfo.wProviderNum, 0, kProviderCapacity));
    c.services = static_cast<uint32_t>(std::min(db.ServiceInfo.Count(), kServiceCapacity));
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l)
            c.favorites[g][l] =
                static_cast<uint32_t>(std::clamp(db.FavoriteInfo[g][l].wIndexNum, 0, kFavoriteCapacity));
    c.nameBytes = nameBytes;
    return c;
}

void WriteHeader(ByteWriter& w, const DnfCounts& c, std::optional<FavoriteNumbering> numbering)
{
    w.Raw(kDnfMagic.data(), kDnfMagic.size());
    w.U16(kDnfVersion);
    w.U16(static_cast<uint16_t>(kDnfHeaderSize));
    w.U32(static_cast<uint32_t>(c.FileSize()));
    w.U32(c.antennas);
    w.U32(c.streams);
    w.U32(c.networks);
    w.U32(c.providers);
    w.U32(c.services);
    for (auto& group : c.favorites)
        for (uint32_t n : group)
            w.U32(n);
    w.U32(c.nameBytes);
    w.U8(numbering ? static_cast<uint8_t>(*numbering) : 0);
    w.Zeros(7);  // reserved
}

// The stream record's fields.
template <typename Io, typename Stream>
void StreamFields(Io& io, Stream& ts)
{
    io.Int(ts.wOrgNetworkId);
    io.Int(ts.wTsId);
    io.Int(ts.wAntennaIndex);
    io.Int(ts.SATTSInfo.wPosition);
    io.Int(ts.pNetworkIndex);
    io.Int(ts.SATTSInfo.dwFrequency);
    io.Int(ts.SATTSInfo.dwSymbolRate);
    io.Int(ts.SATTSInfo.ucPolarization);
    io.Int(ts.SATTSInfo.ucFEC);
    io.Reserved(2);
    io.Int(ts.dwSmaTVDiff);
}

// The service record's fields before its name.
template <typename Io, typename Service>
void ServiceFields(Io& io, Service& s)
{
    io.Int(s.wServiceId);
    io.Int(s.wPmtPID);
    io.Int(s.wVideoPID);
    io.Int(s.wAudioPID);
    io.Int(s.wSubtitlePID);
    io.Int(s.wTeletextPID);
    io.Int(s.wPCRPID);
    io.Int(s.ServiceType);
    io.Int(s.ServiceKind);
    io.Flags(std::tie(s.bParentLock, s.bExistService, s.bSkipService, s.bScrambled),
             {kParentLock, kExistService, kSkipService, kScrambled});
    io.Int(s.ucSubtitleIndex);
    io.Int(s.ucTeletextIndex);
    io.Reserved(1);
    io.Int(s.wServiceNumber);
    io.Reserved(2);
    io.Int(s.pTSIndex);
    io.Int(s.pProviderIndex);
}

void WriteAntenna(ByteWriter& w, NameArea& names, const TAntennaSetting& a)
{
    FieldWriter io(w);
    AntennaFields(io, a);
    names.Put(w, a.szLNBName);
}

void WriteStream(ByteWriter& w, const TTSItem& ts)
{
    FieldWriter io(w);
    StreamFields(io, ts);
}

void WriteService(ByteWriter& w, NameArea& names, const TServiceItem& s)
{
    FieldWriter io(w);
    ServiceFields(io, s);
    names.Put(w, s.szServiceName);
}

void WriteMenu(ByteWriter& w, const TMenuConfigItem& menu)
{
    std::size_t start = w.Size();
    ForEachMenuField(menu, [&w](auto field, MenuFieldCarried) { w.Int(field); });
    w.Zeros(kDnfMenuRecord - (w.Size() - start));
}

// A damaged file, with the reason to show.
class DnfDamage : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Hands out the names in record order. Each name must start where the one
// before it ended: names that overlap would let a small file expand into a
// huge amount of text.
class NameReader {
public:
    explicit NameReader(const ByteReader& area, std::size_t size) : area_(area), size_(size) {}

    // The name referenced next in `r`; `owner` names the record, e.g. "service 7".
    std::string Next(ByteReader& r, const std::string& owner)
    {
        uint32_t offset = r.U32();
        uint32_t length = r.U32();
        if (offset != next_)
            throw DnfDamage("the name of " + owner + " starts at byte " + std::to_string(offset) +
                            " of the name area instead of right after the name before it, at byte " +
                            std::to_string(next_) + ": the file is damaged");
        if (length > size_ - next_)
            throw DnfDamage("the name of " + owner + " runs past the end of the name area: the file is damaged");
        next_ += length;
        return area_.Text(offset, length);
    }

    // After the last record: the names fill the name area exactly.
    void CheckAllUsed() const
    {
        if (next_ != size_)
            throw DnfDamage("the name area holds " + std::to_string(size_ - next_) +
                            " bytes after the last name: the file is damaged");
    }

private:
    const ByteReader& area_;
    std::size_t size_;
    std::size_t next_ = 0;
};

std::string Numbered(const char* what, uint32_t i) { return what + (" " + std::to_string(i)); }

void ReadAntenna(ByteReader& r, NameReader& names, uint32_t i, TAntennaSetting& a)
{
    FieldReader io(r);
    AntennaFields(io, a);
    a.szLNBName = names.Next(r, Numbered("antenna", i));
}

void ReadStream(ByteReader& r, TTSItem& ts)
{
    FieldReader io(r);
    StreamFields(io, ts);
}

void ReadService(ByteReader& r, NameReader& names, uint32_t i, TServiceItem& s)
{
    FieldReader io(r);
    ServiceFields(io, s);
    s.szServiceName = names.Next(r, Numbered("service", i));
}

void ReadMenu(ByteReader& r, TMenuConfigItem& menu)
{
    std::size_t start = r.Position();
    ForEachMenuField(
        menu, [&r](auto& field, MenuFieldCarried) { field = r.Int<std::remove_reference_t<decltype(field)>>(); });
    r.Skip(kDnfMenuRecord - (r.Position() - start));
}

DnfCounts ReadCounts(ByteReader& r)
{
    DnfCounts c;
    r.Seek(16);
    c.antennas = r.U32();
    c.streams = r.U32();
    c.networks = r.U32();
    c.providers = r.U32();
    c.services = r.U32();
    for (auto& group : c.favorites)
        for (uint32_t& n : group)
            n = r.U32();
    c.nameBytes = r.U32();
    return c;
}

std::string CapacityProblem(const DnfCounts& c)
{
    auto over = [](uint64_t n, int capacity, const char* what) {
        return std::to_string(n) + " " + what + ", more than the " + std::to_string(capacity) +
               " a channel-data file may hold";
    };
    if (c.antennas != kAntennaCapacity)
        return std::to_string(c.antennas) + " antennas, where a channel-data file always holds " +
               std::to_string(kAntennaCapacity);
    if (c.streams > kTSCapacity)
        return over(c.streams, kTSCapacity, "transport streams");
    if (c.networks > kNetworkCapacity)
        return over(c.networks, kNetworkCapacity, "networks");
    if (c.providers > kProviderCapacity)
        return over(c.providers, kProviderCapacity, "providers");
    if (c.services > kServiceCapacity)
        return over(c.services, kServiceCapacity, "services");
    for (auto& group : c.favorites)
        for (uint32_t n : group)
            if (n > kFavoriteCapacity)
                return over(n, kFavoriteCapacity, "entries in a favorite list");
    return {};
}

// Checks everything that can be checked before the records are read.
std::string HeaderProblem(const Bytes& file)
{
    std::size_t magicBytes = std::min(file.size(), kDnfMagic.size());
    if (!std::equal(file.begin(), file.begin() + magicBytes, kDnfMagic.begin()))
        return "not a channel-data file (wrong magic number)";
    if (std::string tooLarge = DnfSizeProblem(file.size()); !tooLarge.empty())
        return tooLarge;
    if (file.size() < kDnfHeaderSize + kDnfCrcSize)
        return "the file is truncated (" + std::to_string(file.size()) + " bytes, shorter than the header)";
    ByteReader r(file.data(), file.size());
    r.Seek(kDnfMagic.size());
    uint16_t version = r.U16();
    if (version < kDnfOldestVersion || version > kDnfVersion)
        return "unknown format version " + std::to_string(version) + " (this program reads versions " +
               std::to_string(kDnfOldestVersion) + " to " + std::to_string(kDnfVersion) + ")";
    if (r.U16() != kDnfHeaderSize)
        return "the header is damaged (wrong header size)";
    uint32_t declared = r.U32();
    if (file.size() < declared)
        return "the file is truncated (" + std::to_string(file.size()) + " of " + std::to_string(declared) + " bytes)";
    if (file.size() > declared)
        return "the file has " + std::to_string(file.size() - declared) + " unexpected bytes after its end";
    std::size_t body = file.size() - kDnfCrcSize;
    if (Crc32(file.data(), body) != GetU32At(file, body))
        return "the checksum does not match: the file is damaged";
    DnfCounts counts = ReadCounts(r);
    std::string capacity = CapacityProblem(counts);
    if (!capacity.empty())
        return capacity;
    if (counts.FileSize() != declared)
        return "the table sizes in the header do not add up to the file size";
    if (version >= 2 && file[kDnfNumberingOffset] > static_cast<uint8_t>(FavoriteNumbering::OPFrom1000))
        return "the header names the unknown favorite numbering " + std::to_string(file[kDnfNumberingOffset]);
    return {};
}

// The numbering a checked file records. Version 1 files have none: there the
// byte is reserved.
std::optional<FavoriteNumbering> RecordedNumbering(const Bytes& file)
{
    ByteReader r(file.data(), file.size());
    r.Seek(kDnfMagic.size());
    const uint16_t version = r.U16();
    const uint8_t code = file[kDnfNumberingOffset];
    if (version < 2 || code == 0)
        return std::nullopt;
    return static_cast<FavoriteNumbering>(code);
}

void ReadTables(const Bytes& file, const DnfCounts& c, TChannelDatabase& db)
{
    std::size_t nameStart = file.size() - kDnfCrcSize - c.nameBytes;
    ByteReader nameArea(file.data() + nameStart, c.nameBytes);
    NameReader names(nameArea, c.nameBytes);
    ByteReader r(file.data(), nameStart);
    r.Seek(kDnfHeaderSize);
    for (uint32_t i = 0; i < uint32_t(kAntennaCapacity); ++i)
        ReadAntenna(r, names, i, db.AntennaList.AntennaInfo[i]);
    db.AntennaList.wAntennaNum = kAntennaCapacity;
    db.TSInfo.wTSNum = static_cast<int32_t>(c.streams);
    for (uint32_t i = 0; i < c.streams; ++i)
        ReadStream(r, db.TSInfo.Info[i]);
    db.NetworkInfo.wNetworkNum = static_cast<int32_t>(c.networks);
    for (uint32_t i = 0; i < c.networks; ++i) {
        auto& network = db.NetworkInfo.Info[i];
        network.wNetworkId = r.U16();
        network.reserved = r.U16();
        network.szNetworkName = names.Next(r, Numbered("network", i));
    }
    db.ProviderInfo.wProviderNum = static_cast<int32_t>(c.providers);
    for (uint32_t i = 0; i < c.providers; ++i) {
        auto& provider = db.ProviderInfo.Info[i];
        provider.nilHeader = r.U8();
        r.Skip(3);
        provider.szProviderName = names.Next(r, Numbered("provider", i));
    }
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l) {
            auto& list = db.FavoriteInfo[g][l];
            list.wIndexNum = static_cast<int32_t>(c.favorites[g][l]);
            for (int32_t i = 0; i < list.wIndexNum; ++i)
                list.Index[i] = r.I32();
        }
    db.ServiceInfo.wTVNum = db.ServiceInfo.wRadioNum = 0;
    for (uint32_t i = 0; i < c.services; ++i) {
        auto& service = db.ServiceInfo.pServiceInfo[i];
        ReadService(r, names, i, service);
        if (service.ServiceType > kServiceTypeRadio)
            throw DnfDamage("service " + std::to_string(i) + " has the unknown type " +
                            std::to_string(service.ServiceType));
        ++(service.ServiceType == kServiceTypeTV ? db.ServiceInfo.wTVNum : db.ServiceInfo.wRadioNum);
    }
    names.CheckAllUsed();
    ReadMenu(r, db.MenuConfigItem);
}

}  // namespace

std::string DnfSizeProblem(std::size_t size)
{
    if (size <= kDnfMaxFileSize)
        return {};
    return "the channel data takes " + std::to_string(size) + " bytes, more than the " +
           std::to_string(kDnfMaxFileSize) + " a channel-data file may have";
}

Bytes EncodeDnf(const TChannelDatabase& db, std::optional<FavoriteNumbering> numbering)
{
    Bytes records;
    ByteWriter w(records);
    NameArea names;
    DnfCounts c = CountsOf(db, 0);
    for (const auto& antenna : db.AntennaList.AntennaInfo)
        WriteAntenna(w, names, antenna);
    for (uint32_t i = 0; i < c.streams; ++i)
        WriteStream(w, db.TSInfo.Info[i]);
    for (uint32_t i = 0; i < c.networks; ++i) {
        w.U16(db.NetworkInfo.Info[i].wNetworkId);
        w.U16(db.NetworkInfo.Info[i].reserved);
        names.Put(w, db.NetworkInfo.Info[i].szNetworkName);
    }
    for (uint32_t i = 0; i < c.providers; ++i) {
        w.U8(db.ProviderInfo.Info[i].nilHeader);
        w.Zeros(3);
        names.Put(w, db.ProviderInfo.Info[i].szProviderName);
    }
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l)
            for (uint32_t i = 0; i < c.favorites[g][l]; ++i)
                w.I32(db.FavoriteInfo[g][l].Index[i]);
    for (uint32_t i = 0; i < c.services; ++i)
        WriteService(w, names, db.ServiceInfo.pServiceInfo[i]);
    WriteMenu(w, db.MenuConfigItem);

    c.nameBytes = static_cast<uint32_t>(names.Bytes().size());
    Bytes file;
    file.reserve(c.FileSize());
    ByteWriter out(file);
    WriteHeader(out, c, numbering);
    out.Raw(records.data(), records.size());
    out.Raw(names.Bytes().data(), names.Bytes().size());
    out.U32(Crc32(file.data(), file.size()));
    return file;
}

bool DecodeDnf(const Bytes& file, TChannelDatabase& db, std::string& reason,
               std::optional<FavoriteNumbering>* numbering)
{
    reason = HeaderProblem(file);
    if (!reason.empty())
        return false;
    try {
        ByteReader r(file.data(), file.size());
        ReadTables(file, ReadCounts(r), db);
        if (numbering)
            *numbering = RecordedNumbering(file);
    } catch (const TruncatedData&) {
        reason = "a record runs past the end of its table: the file is damaged";
        return false;
    } catch (const DnfDamage& e) {
        reason = e.what();
        return false;
    }
    return true;
}

}  // namespace lumora::conv
