#include "position_table.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "atomic_file.h"
#include "import_text.h"

namespace lumora {
namespace {

// Common positions with short names. Where the settings' default satellite
// set names a satellite at a position, that spelling is used, so that an
// antenna set up with the defaults finds its position.
constexpr std::pair<int32_t, const char*> kBuiltInPositions[] = {
    {-610, "AMAZONAS"},       {-375, "ORION"},      {-300, "HISPASAT"},    {-275, "INTELSAT 605"},
    {-245, "INTELSAT 905"},   {-220, "SES 4"},      {-150, "TELSTAR 12"},  {-125, "EUTELSAT 12 WEST"},
    {-80, "EUTELSAT 8 WEST"}, {-70, "NILESAT 101"}, {-50, "TELECOM 2B2D"}, {-40, "AMOS 1"},
    {-10, "INTELSAT707"},     {-8, "THOR"},         {30, "EUTELSAT 3B"},   {50, "SIRIUS 2"},
    {70, "EUTELSAT 7"},       {90, "EUTELSAT 9B"},  {100, "EUTELSAT 10A"}, {130, "HOTBIRD"},
    {160, "EUTELSAT W2"},     {192, "ASTRA 1"},     {215, "EUTELSAT 21B"}, {235, "ASTRA 3"},
    {255, "ES'HAIL"},         {260, "ARABSAT2A"},   {282, "ASTRA 2"},      {285, "KOPERNIKUS 2"},
    {305, "ARABSAT 5A"},      {310, "TURKSAT 5A"},  {315, "ASTRA 5B"},     {330, "EUTELSAT 33E"},
    {360, "EUTELSAT W4"},     {390, "HELLAS SAT"},  {420, "TURKSAT 1C"},   {460, "AZERSPACE 1"},
    {530, "EXPRESS AM6"},     {620, "INTELSAT 39"}, {685, "INTELSAT 20"},  {750, "ABS 2"},
    {765, "APSTAR-2R"},       {800, "EXPRESS 80"},  {880, "ST-1"},         {900, "YAMAL 401"},
    {1055, "ASIASAT 7"},      {1130, "PALAPA-C2"},  {1280, "JCSAT-3"},     {1480, "MEASAT-2"},
    {1660, "PANAMSAT-8"},     {1690, "PANAMSAT-2"},
};

bool SameNameIgnoringCase(std::string_view a, std::string_view b)
{
    return std::ranges::equal(a, b, [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
    });
}

// The position a name starts with ("19.2E ASTRA 1"), as an import names the
// antenna it takes for a position.
std::optional<int32_t> LeadingPosition(std::string_view name)
{
    name = TrimBlanks(name);
    return ParsePosition(name.substr(0, name.find_first_of(" \t")));
}

std::optional<std::string> ReadTextFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return text;
}

}  // namespace

TPositionTable TPositionTable::BuiltIn()
{
    TPositionTable table;
    for (const auto& [position, name] : kBuiltInPositions)
        table.Set(position, name);
    return table;
}

void TPositionTable::Set(int32_t position, std::string name)
{
    const auto at = std::ranges::lower_bound(entries_, position, {}, &TSatellitePosition::position);
    if (at != entries_.end() && at->position == position)
        at->name = std::move(name);
    else
        entries_.insert(at, TSatellitePosition{position, std::move(name)});
}

void TPositionTable::Remove(int32_t position)
{
    std::erase_if(entries_, [position](const TSatellitePosition& entry) { return entry.position == position; });
}

std::optional<std::string> TPositionTable::NameOf(int32_t position) const
{
    const auto at = std::ranges::lower_bound(entries_, position, {}, &TSatellitePosition::position);
    if (at == entries_.end() || at->position != position)
        return std::nullopt;
    return at->name;
}

std::optional<int32_t> TPositionTable::PositionOf(std::string_view name) const
{
    name = TrimBlanks(name);
    if (name.empty())
        return std::nullopt;
    for (const TSatellitePosition& entry : entries_)
        if (SameNameIgnoringCase(TrimBlanks(entry.name), name))
            return entry.position;
    return std::nullopt;
}

void TPositionTable::ReadSourcesConf(std::string_view text, bool onlyNew)
{
    for (std::string_view line : SplitLines(text)) {
        line = TrimBlanks(line);
        if (line.size() < 2 || line.front() != 'S')
            continue;  // comments, cable and terrestrial sources
        const std::size_t blank = line.find_first_of(" \t");
        const std::optional<int32_t> position =
            ParsePosition(line.substr(1, blank == line.npos ? line.npos : blank - 1));
        const std::string_view name = blank == line.npos ? std::string_view() : TrimBlanks(line.substr(blank));
        if (!position || name.empty() || (onlyNew && NameOf(*position)))
            continue;
        Set(*position, std::string(name));
    }
}

std::string TPositionTable::SourcesConfText() const
{
    std::string text = "# Orbital positions and satellite names, one a line: S<position> <name>\n";
    for (const TSatellitePosition& entry : entries_)
        text += "S" + PositionText(entry.position) + " " + entry.name + "\n";
    return text;
}

std::string UserPositionTablePath()
{
    const std::string settings = UserSettingsFilePath();
    if (settings.empty())
        return {};
    return (std::filesystem::path(settings).parent_path() / "positions.conf").string();
}

TPositionTable LoadUserPositionTable()
{
    const std::string path = UserPositionTablePath();
    if (!path.empty()) {
        if (const std::optional<std::string> text = ReadTextFile(path)) {
            TPositionTable table;
            table.ReadSourcesConf(*text, false);
            return table;
        }
    }
    TPositionTable table = TPositionTable::BuiltIn();
    if (const std::optional<std::string> vdr = ReadTextFile(kVdrSourcesConf))
        table.ReadSourcesConf(*vdr, true);
    return table;
}

Status SaveUserPositionTable(const TPositionTable& table)
{
    const std::string path = UserPositionTablePath();
    if (path.empty())
        return Status::Failure("No folder for the position table: neither XDG_CONFIG_HOME nor HOME is set");
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    return WriteFileAtomically(path, table.SourcesConfText());
}

std::string AntennaSatelliteName(const TAntennaSetting& antenna, const TSettings& settings)
{
    const TLanguageSet& satellites = settings.AntennaLanguage;
    const int count = std::clamp(satellites.wLanguageNum, 0, kLanguageSetCapacity);
    if (antenna.ucSatelliteId < count)
        return satellites.Language[antenna.ucSatelliteId];
    if (antenna.ucSatelliteId == count)
        return antenna.szLNBName;
    return {};
}

TAntennaPositions AntennaPositions(const TChannelDatabase& db, const TSettings& settings, const TPositionTable& table)
{
    TAntennaPositions positions{};
    for (int i = 0; i < kAntennaCapacity; ++i) {
        // Names in the tables and the settings are ISO 8859-1; the table's are UTF-8.
        const std::string name = Latin1ToUtf8(AntennaSatelliteName(db.AntennaList.AntennaInfo[i], settings));
        positions[i] = LeadingPosition(name);
        if (!positions[i])
            positions[i] = table.PositionOf(name);
    }
    return positions;
}

}  // namespace lumora
