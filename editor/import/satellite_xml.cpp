// satellites.xml and cables.xml, the tuning lists of the open receiver images:
// <sat>/<cable> elements of <transponder> elements whose attributes hold the
// tuning as numbers of the images' own enums.
#include <pugixml.hpp>

#include "import_formats.h"
#include "import_text.h"
#include "transponder_entry.h"

namespace lumora {
namespace {

// The images keep west positions as 3600 + value; files use both forms.
constexpr int64_t kFullCircle = 3600;
constexpr int64_t kHalfCircle = 1800;
// cables.xml keeps frequencies to six digits of kHz; longer ones are Hz or
// tenths, and the images divide them by ten until they fit.
constexpr uint64_t kLargestCableXmlKhz = 999'999;
constexpr int64_t kCableXmlQam64 = 3;
constexpr int64_t kCableXmlUndefined = 6;

// An XML text in UTF-8 with the line of every offset. A file that declares
// ISO 8859-1 (cables.xml does) is recoded first, so that pugixml's offsets
// are offsets into `text`.
struct TXmlText {
    std::string text;
    pugi::xml_document document;
};

bool DeclaresLatin1(std::string_view text)
{
    if (!text.starts_with("<?xml"))
        return false;
    std::string declaration(text.substr(0, text.find("?>")));
    for (char& c : declaration)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return declaration.find("iso-8859-1") != std::string::npos || declaration.find("latin1") != std::string::npos ||
           declaration.find("latin-1") != std::string::npos;
}

Status ParseXml(std::string_view text, const std::string& name, const char* root, TXmlText& xml)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    xml.text = DeclaresLatin1(text) ? Latin1ToUtf8(text) : std::string(text);
    const pugi::xml_parse_result result =
        xml.document.load_buffer(xml.text.data(), xml.text.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!result) {
        const std::size_t offset = result.offset < 0 ? 0 : std::size_t(result.offset);
        return Status::Failure(name + ":" + std::to_string(TLineIndex(xml.text).LineOf(offset)) + ": " +
                               result.description());
    }
    if (std::string_view(xml.document.document_element().name()) != root)
        return Status::Failure(name + ":1: no <" + root + "> element");
    return {};
}

// A whole-number attribute; none when absent or not a number.
std::optional<int64_t> Number(const pugi::xml_node& node, const char* attribute)
{
    const pugi::xml_attribute value = node.attribute(attribute);
    if (!value)
        return std::nullopt;
    return ParseSigned(TrimBlanks(value.value()));
}

std::size_t LineOf(const TLineIndex& lines, const pugi::xml_node& node)
{
    const ptrdiff_t offset = node.offset_debug();
    return lines.LineOf(offset < 0 ? 0 : std::size_t(offset));
}

std::optional<int32_t> SatellitePosition(const pugi::xml_node& sat)
{
    std::optional<int64_t> position = Number(sat, "position");
    if (!position || *position <= -kHalfCircle || *position >= kFullCircle)
        return std::nullopt;
    if (*position > kHalfCircle)
        *position -= kFullCircle;
    return int32_t(*position);
}

// fec_inner: 0 Auto, 1..5 the code rates 1/2..7/8 this editor holds, the rest
// (8/9, 3/5, 4/5, 9/10, 6/7, None) lacking.
void SetXmlCodeRate(std::optional<int64_t> fec, TSatelliteEntry& entry)
{
    static constexpr const char* kNames[] = {"Auto", "1/2", "2/3", "3/4",  "5/6", "7/8",
                                             "8/9",  "3/5", "4/5", "9/10", "6/7"};
    if (!fec || *fec == 0) {
        entry.codeRate = TCodeRate::Auto;
    } else if (*fec >= 1 && *fec <= 5) {
        entry.codeRate = TCodeRate(*fec - 1);
    } else {
        entry.codeRate = TCodeRate::Other;
        entry.codeRateName = *fec >= 6 && *fec <= 10 ? kNames[*fec] : *fec == 15 ? "None" : std::to_string(*fec);
    }
}

TModulation SatelliteModulation(std::optional<int64_t> modulation)
{
    switch (modulation.value_or(0)) {
    case 0: return TModulation::Auto;
    case 1: return TModulation::Qpsk;
    case 2:
    case 4:
    case 5: return TModulation::SecondGeneration;
    case 3: return TModulation::Qam16;
    default: return TModulation::Other;
    }
}

// Stream ids and T2-MI are given as -1 when a transponder has none.
bool HasMultistream(const pugi::xml_node& transponder)
{
    for (const char* attribute : {"is_id", "t2mi_plp_id", "t2mi_pid"})
        if (const std::optional<int64_t> value = Number(transponder, attribute); value && *value >= 0)
            return true;
    return false;
}

void ReadSatelliteTransponder(const pugi::xml_node& transponder, const TEntryPlace& place, TStreamCollector& streams)
{
    const std::optional<int64_t> frequency = Number(transponder, "frequency");
    const std::optional<int64_t> symbolRate = Number(transponder, "symbol_rate");
    const std::optional<int64_t> polarisation = Number(transponder, "polarization");
    if (!frequency || !symbolRate || !polarisation || *frequency < 0 || *symbolRate < 0 || *polarisation < 0 ||
        *polarisation > 3) {
        streams.Note(TImportCount::SkippedOther, place.line,
                     "transponder without a valid frequency, symbol_rate or polarization skipped");
        return;
    }
    const uint64_t frequencyKhz = streams.SatelliteKhz(uint64_t(*frequency), place.line);
    const std::optional<int64_t> system = Number(transponder, "system");
    if (system && *system != 0 && *system != 1) {
        streams.Note(TImportCount::SkippedOther, place.line, "unknown system " + std::to_string(*system) + " skipped");
        return;
    }
    const TSatelliteSignal signal{system.value_or(0) == 1, SatelliteModulation(Number(transponder, "modulation")),
                                  HasMultistream(transponder)};
    if (streams.SkipSatellite(signal, place.line))
        return;
    TSatelliteEntry entry;
    entry.frequency = frequencyKhz;
    entry.symbolRate = uint64_t(*symbolRate);
    entry.polarisation = "HVLR"[*polarisation];
    SetXmlCodeRate(Number(transponder, "fec_inner"), entry);
    streams.AddSatellite(entry, place);
}

// cables.xml modulation: 1..5 16..256-QAM, 0 Auto; 6 occurs in real files
// although the images' enum ends at 5.
void SetCableXmlModulation(std::optional<int64_t> modulation, TCableEntry& entry)
{
    const int64_t value = modulation.value_or(kCableXmlQam64);
    if (value >= 1 && value <= 5) {
        entry.modulation = uint8_t(value);
        return;
    }
    entry.modulation = kCableAuto;
    if (value == kCableXmlUndefined)
        entry.notes.push_back(
            {TImportCount::CodeRateChanged, "modulation 6 (not defined by the format) stored as Auto"});
    else if (value != 0)
        entry.notes.push_back(
            {TImportCount::CodeRateChanged, "unknown modulation " + std::to_string(value) + " stored as Auto"});
}

void ReadCableTransponder(const pugi::xml_node& transponder, const TEntryPlace& place, TStreamCollector& streams)
{
    const std::optional<int64_t> frequency = Number(transponder, "frequency");
    const std::optional<int64_t> symbolRate = Number(transponder, "symbol_rate");
    if (!frequency || !symbolRate || *frequency <= 0 || *symbolRate < 0) {
        streams.Note(TImportCount::SkippedOther, place.line,
                     "transponder without a valid frequency or symbol_rate skipped");
        return;
    }
    TCableEntry entry;
    entry.frequency = uint64_t(*frequency);
    while (entry.frequency > kLargestCableXmlKhz)
        entry.frequency /= 10;
    if (entry.frequency != uint64_t(*frequency))
        entry.notes.push_back({TImportCount::FrequencyUnit, "frequency " + std::to_string(*frequency) +
                                                                " has more than 6 digits: read as " +
                                                                std::to_string(entry.frequency) + " kHz"});
    entry.symbolRate = uint64_t(*symbolRate);
    SetCableXmlModulation(Number(transponder, "modulation"), entry);
    streams.AddCable(entry, place);
}

// Reads the <transponder> elements of every `list` element ("sat", "cable")
// below the root. `placeOf` gives a list's place, none when the list cannot
// be used (its transponders are then skipped).
template <typename PlaceOf, typename ReadTransponder>
Status ReadTransponderLists(std::string_view text, const std::string& name, const char* root, const char* list,
                            PlaceOf placeOf, ReadTransponder readTransponder, TImportData& data)
{
    TXmlText xml;
    if (Status parsed = ParseXml(text, name, root, xml); !parsed)
        return parsed;
    const TLineIndex lines(xml.text);
    TImportData read;
    read.name = name;
    TStreamCollector streams(name, read);
    for (const pugi::xml_node& group : xml.document.document_element().children(list)) {
        std::optional<TEntryPlace> place = placeOf(group);
        for (const pugi::xml_node& transponder : group.children("transponder")) {
            streams.CountEntry();
            const std::size_t line = LineOf(lines, transponder);
            if (!place) {
                streams.Note(TImportCount::SkippedOther, line,
                             std::string("transponder of a <") + list + "> without name or valid position skipped");
                continue;
            }
            place->line = line;
            readTransponder(transponder, *place, streams);
        }
    }
    data.Append(std::move(read));
    return {};
}

}  // namespace

Status ReadCablesXml(std::string_view text, const std::string& name, TImportData& data)
{
    const auto placeOf = [&name](const pugi::xml_node& cable) {
        const pugi::xml_attribute network = cable.attribute("name");
        return std::optional<TEntryPlace>({std::nullopt, network ? network.value() : name, 0});
    };
    return ReadTransponderLists(text, name, "cables", "cable", placeOf, ReadCableTransponder, data);
}

Status ReadSatellitesXml(std::string_view text, const std::string& name, TImportData& data)
{
    const auto placeOf = [](const pugi::xml_node& sat) -> std::optional<TEntryPlace> {
        const std::optional<int32_t> position = SatellitePosition(sat);
        if (!position || !sat.attribute("name"))
            return std::nullopt;
        return TEntryPlace{position, sat.attribute("name").value(), 0};
    };
    return ReadTransponderLists(text, name, "satellites", "sat", placeOf, ReadSatelliteTransponder, data);
}

}  // namespace lumora
