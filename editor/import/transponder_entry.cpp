#include "transponder_entry.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <utility>

namespace lumora {
namespace {

// Limits far beyond any real transponder; they keep a damaged value from
// overflowing the stored fields.
constexpr uint64_t kLargestSatelliteKhz = 100'000'000;
constexpr uint64_t kSmallestSatelliteKhz = 100'000;  // below: MHz written where kHz is due
constexpr uint64_t kLargestCableKhz = 10'000'000;
constexpr uint64_t kLargestSymbolRate = 1'000'000'000;
constexpr int32_t kNoPosition = std::numeric_limits<int32_t>::min();

uint32_t RoundedThousandth(uint64_t value) { return uint32_t((value + 500) / 1000); }

}  // namespace

bool SameText(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) == std::toupper(static_cast<unsigned char>(y));
           });
}

std::optional<TCodeRate> CodeRateFromName(std::string_view name)
{
    static constexpr std::array<std::pair<std::string_view, TCodeRate>, 6> kHeld{{
        {"1/2", TCodeRate::R12},
        {"2/3", TCodeRate::R23},
        {"3/4", TCodeRate::R34},
        {"5/6", TCodeRate::R56},
        {"7/8", TCodeRate::R78},
        {"AUTO", TCodeRate::Auto},
    }};
    static constexpr std::array<std::string_view, 11> kLacking{"NONE", "1/4", "1/3",  "2/5",   "3/5",  "4/5",
                                                               "6/7",  "8/9", "9/10", "11/15", "13/15"};
    for (const auto& [text, rate] : kHeld)
        if (SameText(name, text))
            return rate;
    for (std::string_view text : kLacking)
        if (SameText(name, text))
            return TCodeRate::Other;
    return std::nullopt;
}

uint8_t CableFecOf(TModulation modulation)
{
    switch (modulation) {
    case TModulation::Qam16: return 1;
    case TModulation::Qam32: return 2;
    case TModulation::Qam64: return 3;
    case TModulation::Qam128: return 4;
    case TModulation::Qam256: return 5;
    default: return kCableAuto;
    }
}

char PolarisationLetter(std::string_view text)
{
    for (std::string_view word : {"HORIZONTAL", "VERTICAL", "LEFT", "RIGHT"})
        if (SameText(text, word) || SameText(text, word.substr(0, 1)))
            return word.front();
    return 0;
}

TLineIndex::TLineIndex(std::string_view text)
{
    starts_.push_back(0);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        if (text[i] == '\n' || text[i] == '\r')
            starts_.push_back(i + 1);
    }
}

std::size_t TLineIndex::LineOf(std::size_t offset) const
{
    return std::size_t(std::upper_bound(starts_.begin(), starts_.end(), offset) - starts_.begin());
}

std::string TStreamCollector::Where(std::size_t line) const { return file_ + ":" + std::to_string(line); }

void TStreamCollector::Note(TImportCount what, std::size_t line, std::string_view text)
{
    data_.report.Add(what, Where(line) + ": " + std::string(text));
}

uint64_t TStreamCollector::SatelliteKhz(uint64_t frequency, std::size_t line)
{
    if (frequency == 0 || frequency >= kSmallestSatelliteKhz)
        return frequency;
    Note(TImportCount::FrequencyUnit, line, "frequency " + std::to_string(frequency) + " is MHz, not kHz: read as MHz");
    return frequency * 1000;
}

bool TStreamCollector::SkipSatellite(const TSatelliteSignal& signal, std::size_t line)
{
    const bool secondGenerationModulation = signal.modulation == TModulation::SecondGeneration;
    if (!signal.secondGeneration && (secondGenerationModulation || signal.multistream)) {
        Note(TImportCount::SkippedSecondGeneration, line,
             "DVB-S entry with 8PSK/APSK or a stream id (DVB-S2 in all but name) skipped");
    } else if (signal.secondGeneration && signal.multistream) {
        Note(TImportCount::SkippedSecondGeneration, line, "DVB-S2 multistream or T2-MI entry skipped");
        data_.report.Bump(TImportCount::SkippedMultistream);
    } else if (signal.secondGeneration) {
        Note(TImportCount::SkippedSecondGeneration, line, "DVB-S2 entry skipped");
    } else if (signal.modulation != TModulation::Auto && signal.modulation != TModulation::Qpsk) {
        Note(TImportCount::SkippedOther, line, "DVB-S entry with a modulation other than QPSK skipped");
    } else {
        return false;
    }
    return true;
}

int32_t TStreamCollector::AddSatellite(const TSatelliteEntry& entry, const TEntryPlace& place, bool countDuplicate)
{
    if (entry.frequency == 0 || entry.frequency > kLargestSatelliteKhz || entry.symbolRate == 0 ||
        entry.symbolRate > kLargestSymbolRate) {
        Note(TImportCount::SkippedOther, place.line, "frequency or symbol rate out of range, entry skipped");
        return -1;
    }
    std::vector<TEntryNote> notes;
    TImportStream stream;
    stream.delivery = TDelivery::Satellite;
    TSATTSInfo& tuning = stream.tuning;
    tuning.dwFrequency = RoundedThousandth(entry.frequency);
    if (entry.frequency % 1000 != 0)
        notes.push_back({TImportCount::FrequencyRounded, "frequency " + std::to_string(entry.frequency) +
                                                             " kHz rounded to " + std::to_string(tuning.dwFrequency) +
                                                             " MHz"});
    tuning.dwSymbolRate = RoundedThousandth(entry.symbolRate);
    tuning.ucPolarization = (entry.polarisation == 'V' || entry.polarisation == 'R') ? 1 : 0;
    if (entry.polarisation == 'L' || entry.polarisation == 'R')
        notes.push_back(
            {TImportCount::Circular,
             std::string(entry.polarisation == 'L' ? "left circular stored as H" : "right circular stored as V")});
    tuning.ucFEC = entry.codeRate == TCodeRate::Other ? uint8_t(TCodeRate::Auto) : uint8_t(entry.codeRate);
    if (entry.codeRate == TCodeRate::Other)
        notes.push_back({TImportCount::CodeRateChanged, "code rate " + entry.codeRateName + " stored as Auto"});
    return Keep(std::move(stream), place, std::move(notes), countDuplicate);
}

int32_t TStreamCollector::AddCable(const TCableEntry& entry, const TEntryPlace& place, bool countDuplicate)
{
    if (entry.frequency == 0 || entry.frequency > kLargestCableKhz || entry.symbolRate > kLargestSymbolRate) {
        Note(TImportCount::SkippedOther, place.line, "frequency or symbol rate out of range, entry skipped");
        return -1;
    }
    TImportStream stream;
    stream.delivery = TDelivery::Cable;
    stream.tuning.dwFrequency = uint32_t(entry.frequency);
    stream.tuning.dwSymbolRate = RoundedThousandth(entry.symbolRate);
    stream.tuning.ucFEC = entry.modulation;
    TEntryPlace cablePlace = place;
    cablePlace.position.reset();
    return Keep(std::move(stream), cablePlace, entry.notes, countDuplicate);
}

int32_t TStreamCollector::Keep(TImportStream stream, const TEntryPlace& place, std::vector<TEntryNote> notes,
                               bool countDuplicate)
{
    const TSATTSInfo& tuning = stream.tuning;
    const TKey key{stream.delivery,       place.group,        place.position.value_or(kNoPosition),
                   tuning.ucPolarization, tuning.dwFrequency, tuning.dwSymbolRate};
    if (const auto known = known_.find(key); known != known_.end()) {
        if (countDuplicate)
            Note(TImportCount::Duplicates, place.line,
                 "the same transponder as " + data_.streams[std::size_t(known->second)].origin + ": imported once");
        return known->second;
    }
    for (const TEntryNote& note : notes)
        Note(note.what, place.line, note.text);
    stream.position = place.position;
    stream.group = place.group;
    stream.origin = Where(place.line);
    const int32_t index = int32_t(data_.streams.size());
    data_.streams.push_back(std::move(stream));
    data_.report.Bump(TImportCount::Streams);
    known_.emplace(key, index);
    return index;
}

}  // namespace lumora
