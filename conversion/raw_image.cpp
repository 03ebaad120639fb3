#include "raw_image.h"

#include <algorithm>
#include <type_traits>

#include "crc32.h"
#include "menu_fields.h"
#include "record_fields.h"

namespace lumora::conv {

namespace {

enum ServiceFlag : uint8_t { kParentLock = 1, kSkipService = 2, kScrambled = 4 };

struct RawCounts {
    int streams = 0;
    int networks = 0;
    int providers = 0;
    int services = 0;
    int favorites[kFavoriteGroups][kFavoriteLists]{};
};

RawCounts CountsOf(const TChannelDatabase& db)
{
    RawCounts c;
    c.streams = std::clamp(db.TSInfo.wTSNum, 0, kTSCapacity);
    c.networks = std::clamp(db.NetworkInfo.wNetworkNum, 0, kNetworkCapacity);
    c.providers = std::clamp(db.ProviderInfo.wProviderNum, 0, kProviderCapacity);
    c.services = std::min(db.ServiceInfo.Count(), kServiceCapacity);
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l)
            c.favorites[g][l] = std::clamp(db.FavoriteInfo[g][l].wIndexNum, 0, kFavoriteCapacity);
    return c;
}

// Writes into an image buffer at fixed offsets.
class ImageWriter {
public:
    explicit ImageWriter(Bytes& image) : image_(image) {}

    // A writer for the bytes from `offset` on; its output is copied into place.
    template <typename Fill>
    void At(std::size_t offset, Fill&& fill)
    {
        Bytes part;
        ByteWriter w(part);
        fill(w);
        std::copy(part.begin(), part.end(), image_.begin() + static_cast<std::ptrdiff_t>(offset));
    }

private:
    Bytes& image_;
};

void WriteHeader(ByteWriter& w, const RawImageInfo& info, const RawCounts& c)
{
    w.Raw(kRawMagic.data(), kRawMagic.size());
    w.U16(kRawLayoutVersion);
    w.U8(info.menuType);
    w.U8(info.flashType);
    w.U8(static_cast<uint8_t>(info.AntennaSlots()));
    w.U8(0);
    w.U16(static_cast<uint16_t>(c.streams));
    w.U16(static_cast<uint16_t>(c.networks));
    w.U16(static_cast<uint16_t>(c.providers));
    w.U16(static_cast<uint16_t>(c.services));
    for (auto& group : c.favorites)
        for (int n : group)
            w.U8(static_cast<uint8_t>(n));
    w.U16(0);
    w.U32(0);  // CRC-32, filled in last
}

// The 44 fields of the interchange text at their own widths, the additional
// symbol rates as single bytes.
void WriteMenu(ByteWriter& w, const TMenuConfigItem& m)
{
    ForEachCarriedMenuField(m, [&w](auto field, MenuFieldCarried carried) {
        if (carried == MenuFieldCarried::LowByte)
            w.U8(static_cast<uint8_t>(field));
        else
            w.Int(field);
    });
}

void ReadMenu(ByteReader& r, TMenuConfigItem& m)
{
    ForEachCarriedMenuField(m, [&r](auto& field, MenuFieldCarried carried) {
        if (carried == MenuFieldCarried::LowByte)
            field = r.U8();
        else
            field = r.Int<std::remove_reference_t<decltype(field)>>();
    });
}

// The bytes of a service record after its name.
constexpr std::size_t kServicePadding = kRawServiceRecord - 54;

// The stream record's fields.
template <typename Io, typename Stream>
void StreamFields(Io& io, Stream& ts)
{
    io.Int(ts.wAntennaIndex);
    io.Int(ts.wOrgNetworkId);
    io.Int(ts.wTsId);
    io.Int(ts.SATTSInfo.ucPolarization);
    io.Int(ts.SATTSInfo.ucFEC);
    io.Int(ts.pNetworkIndex);
    io.Int(ts.SATTSInfo.dwFrequency);
    io.Int(ts.SATTSInfo.dwSymbolRate);
}

// The service record's fields before its name.
template <typename Io, typename Service>
void ServiceFields(Io& io, Service& s)
{
    io.Int(s.wServiceId);
    io.Int(s.wPmtPID);
    io.Int(s.wVideoPID);
    io.Int(s.wAudioPID);
    io.Int(s.wPCRPID);
    io.Int(s.wServiceNumber);
    io.Int(s.ServiceType);
    io.Int(s.ServiceKind);
    io.Flags(std::tie(s.bParentLock, s.bSkipService, s.bScrambled), {kParentLock, kSkipService, kScrambled});
    io.Reserved(1);
    io.Int(s.pTSIndex);
    io.Int(s.pProviderIndex);
}

void WriteAntenna(ByteWriter& w, const TAntennaSetting& a)
{
    FieldWriter io(w);
    AntennaFields(io, a);
    w.FixedText(a.szLNBName, kRawLNBNameWidth);
}

// Bytes that would end a field, a line or the whole interchange file.
std::string Printable(std::string name)
{
    for (char& c : name)
        if (c == '\t' || c == '\r' || c == '\x1A')
            c = ' ';
    return name;
}

void ReadAntenna(ByteReader& r, TAntennaSetting& a)
{
    FieldReader io(r);
    AntennaFields(io, a);
    a.szLNBName = Printable(r.FixedText(kRawLNBNameWidth));
}

void WriteStream(ByteWriter& w, const TTSItem& ts)
{
    FieldWriter io(w);
    StreamFields(io, ts);
}

void ReadStream(ByteReader& r, TTSItem& ts)
{
    ts = TTSItem{};
    FieldReader io(r);
    StreamFields(io, ts);
}

void WriteService(ByteWriter& w, const TServiceItem& s)
{
    FieldWriter io(w);
    ServiceFields(io, s);
    w.FixedText(s.szServiceName, kRawServiceNameWidth);
    w.Zeros(kServicePadding);
}

void ReadService(ByteReader& r, TServiceItem& s)
{
    s = TServiceItem{};
    FieldReader io(r);
    ServiceFields(io, s);
    s.szServiceName = Printable(r.FixedText(kRawServiceNameWidth));
    r.Skip(kServicePadding);
}

uint32_t ImageCrc(const Bytes& image)
{
    uint32_t crc = Crc32(image.data(), kRawCrcOffset);
    const uint8_t zeros[4] = {};
    crc = Crc32(zeros, 4, crc);
    std::size_t rest = kRawCrcOffset + 4;
    return Crc32(image.data() + rest, image.size() - rest, crc);
}

// Reads and checks the header; returns the reason it is refused, or nothing.
std::string ReadHeader(const Bytes& image, const RawImageInfo& expected, RawCounts& c)
{
    if (image.size() != kRawImageSize)
        return "a receiver image has " + std::to_string(kRawImageSize) + " bytes, this one " +
               std::to_string(image.size());
    if (!std::equal(kRawMagic.begin(), kRawMagic.end(), image.begin()))
        return "not a receiver channel-data image (wrong magic number)";
    ByteReader r(image.data(), image.size());
    r.Seek(kRawMagic.size());
    uint16_t version = r.U16();
    if (version != kRawLayoutVersion)
        return "unknown image layout " + std::to_string(version);
    if (ImageCrc(image) != GetU32At(image, kRawCrcOffset))
        return "the checksum does not match: the image is damaged";
    uint8_t menuType = r.U8(), flashType = r.U8(), slots = r.U8();
    if (slots != 16 && slots != 32)
        return "the image names " + std::to_string(slots) + " antenna slots (16 or 32 expected)";
    if (menuType != expected.menuType || flashType != expected.flashType || slots != expected.AntennaSlots())
        return "the image is for menu type " + std::to_string(menuType) + ", flash type " + std::to_string(flashType) +
               " with " + std::to_string(slots) + " antennas, the settings say menu type " +
               std::to_string(expected.menuType) + ", flash type " + std::to_string(expected.flashType) + " with " +
               std::to_string(expected.AntennaSlots());
    r.Skip(1);
    c.streams = r.U16();
    c.networks = r.U16();
    c.providers = r.U16();
    c.services = r.U16();
    for (auto& group : c.favorites)
        for (int& n : group)
            n = r.U8();
    if (c.streams > kTSCapacity || c.networks > kNetworkCapacity || c.providers > kProviderCapacity ||
        c.services > kServiceCapacity)
        return "the image's table counts exceed the tables";
    for (auto& group : c.favorites)
        for (int n : group)
            if (n > kFavoriteCapacity)
                return "the image's favorite counts exceed the lists";
    return {};
}

std::string ReadTables(const Bytes& image, const RawCounts& c, int antennaSlots, TChannelDatabase& db)
{
    ByteReader r(image.data(), image.size());
    r.Seek(kRawMenuOffset);
    ReadMenu(r, db.MenuConfigItem);
    r.Seek(kRawAntennaOffset);
    db.AntennaList.wAntennaNum = kAntennaCapacity;
    for (int i = 0; i < kAntennaCapacity; ++i) {
        auto& antenna = db.AntennaList.AntennaInfo[i];
        antenna = TAntennaSetting{};
        if (i < antennaSlots)
            ReadAntenna(r, antenna);
    }
    r.Seek(kRawFavoriteOffset);
    for (int g = 0; g < kFavoriteGroups; ++g)
        for (int l = 0; l < kFavoriteLists; ++l) {
            auto& list = db.FavoriteInfo[g][l];
            list.wIndexNum = c.favorites[g][l];
            for (int i = 0; i < kFavoriteCapacity; ++i) {
                int32_t value = r.I32();
                if (i < list.wIndexNum)
                    list.Index[i] = value;
            }
        }
    r.Seek(kRawTSOffset);
    db.TSInfo.wTSNum = c.streams;
    for (int i = 0; i < c.streams; ++i)
        ReadStream(r, db.TSInfo.Info[i]);
    db.NetworkInfo.wNetworkNum = c.networks;
    for (int i = 0; i < c.networks; ++i) {
        r.Seek(kRawNetworkOffset + std::size_t(i) * kRawNameRecord);
        db.NetworkInfo.Info[i] = TNetworkItem{0, 0, Printable(r.FixedText(kRawNetworkNameWidth))};
    }
    db.ProviderInfo.wProviderNum = c.providers;
    for (int i = 0; i < c.providers; ++i) {
        r.Seek(kRawProviderOffset + std::size_t(i) * kRawNameRecord);
        db.ProviderInfo.Info[i] = TProviderItem{0, Printable(r.FixedText(kRawProviderNameWidth))};
    }
    r.Seek(kRawServiceOffset);
    db.ServiceInfo.wTVNum = db.ServiceInfo.wRadioNum = 0;
    for (int i = 0; i < c.services; ++i) {
        auto& service = db.ServiceInfo.pServiceInfo[i];
        ReadService(r, service);
        if (service.ServiceType > kServiceTypeRadio)
            return "service " + std::to_string(i) + " has the unknown type " + std::to_string(service.ServiceType);
        ++(service.ServiceType == kServiceTypeTV ? db.ServiceInfo.wTVNum : db.ServiceInfo.wRadioNum);
    }
    return {};
}

}  // namespace

Bytes EncodeRawImage(const TChannelDatabase& db, const RawImageInfo& info)
{
    Bytes image(kRawImageSize, 0);
    RawCounts c = CountsOf(db);
    ImageWriter out(image);
    out.At(0, [&](ByteWriter& w) { WriteHeader(w, info, c); });
    out.At(kRawMenuOffset, [&](ByteWriter& w) { WriteMenu(w, db.MenuConfigItem); });
    out.At(kRawAntennaOffset, [&](ByteWriter& w) {
        for (int i = 0; i < info.AntennaSlots(); ++i)
            WriteAntenna(w, db.AntennaList.AntennaInfo[i]);
    });
    out.At(kRawFavoriteOffset, [&](ByteWriter& w) {
        for (int g = 0; g < kFavoriteGroups; ++g)
            for (int l = 0; l < kFavoriteLists; ++l) {
                for (int i = 0; i < c.favorites[g][l]; ++i)
                    w.I32(db.FavoriteInfo[g][l].Index[i]);
                w.Zeros(std::size_t(kFavoriteCapacity - c.favorites[g][l]) * 4);
            }
    });
    out.At(kRawTSOffset, [&](ByteWriter& w) {
        for (int i = 0; i < c.streams; ++i)
            WriteStream(w, db.TSInfo.Info[i]);
    });
    out.At(kRawNetworkOffset, [&](ByteWriter& w) {
        for (int i = 0; i < c.networks; ++i)
            w.FixedText(db.NetworkInfo.Info[i].szNetworkName, kRawNameRecord);
    });
    out.At(kRawProviderOffset, [&](ByteWriter& w) {
        for (int i = 0; i < c.providers; ++i)
            w.FixedText(db.ProviderInfo.Info[i].szProviderName, kRawNameRecord);
    });
    out.At(kRawServiceOffset, [&](ByteWriter& w) {
        for (int i = 0; i < c.services; ++i)
            WriteService(w, db.ServiceInfo.pServiceInfo[i]);
    });
    PutU32At(image, kRawCrcOffset, ImageCrc(image));
    return image;
}

bool DecodeRawImage(const Bytes& image, const RawImageInfo& expected, TChannelDatabase& db, std::string& reason)
{
    RawCounts counts;
    reason = ReadHeader(image, expected, counts);
    if (reason.empty())
        reason = ReadTables(image, counts, expected.AntennaSlots(), db);
    return reason.empty();
}

}  // namespace lumora::conv
