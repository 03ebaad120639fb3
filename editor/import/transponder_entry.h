// What the transponder readers (satellites.xml, cables.xml, dvbv5, one-line
// and scan files) share: the code rates and modulations the files name, why a
// satellite entry cannot be held, and the collector that turns one file's
// entries into streams in this editor's units, once each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "import_data.h"

namespace lumora {

// A code rate reduced to what this editor stores: 1/2..7/8, Auto, or one it
// lacks (stored as Auto and reported).
enum class TCodeRate : uint8_t { R12, R23, R34, R56, R78, Auto, Other };

// dvbv5 and one-line code-rate names ("3/4", "AUTO", "NONE", "9/10"); none
// for a name that is no code rate at all.
std::optional<TCodeRate> CodeRateFromName(std::string_view name);

// ucFEC of a cable stream: 1..5 for 16..256-QAM, 6 Auto.
inline constexpr uint8_t kCableAuto = 6;

// The modulation families the satellite and cable entries name.
enum class TModulation : uint8_t {
    Auto,
    Qpsk,
    SecondGeneration,  // 8PSK, 16/32APSK: DVB-S2 only
    Qam16,
    Qam32,
    Qam64,
    Qam128,
    Qam256,
    Other,  // VSB, DQPSK, QAM/4096 ...: nothing this editor tunes
};
// The cable ucFEC of a modulation: 1..5, 6 for Auto and anything else.
uint8_t CableFecOf(TModulation modulation);

// A line-numbered text position: line numbers of byte offsets.
class TLineIndex {
public:
    explicit TLineIndex(std::string_view text);
    // 1-based line holding the byte at `offset` (CR LF, LF and CR end lines).
    std::size_t LineOf(std::size_t offset) const;

private:
    std::vector<std::size_t> starts_;
};

// A report note and its count, held until the entry is known to be kept.
struct TEntryNote {
    TImportCount what;
    std::string text;
};

// How a satellite entry is transmitted, as far as this editor cares.
struct TSatelliteSignal {
    bool secondGeneration = false;  // DVB-S2 system
    TModulation modulation = TModulation::Auto;
    bool multistream = false;  // stream id, PLS or T2-MI given
};
struct TSatelliteEntry {
    uint64_t frequency = 0;  // kHz (see SatelliteKhz)
    uint64_t symbolRate = 0;  // symbols/s
    char polarisation = 'H';  // H V L R
    TCodeRate codeRate = TCodeRate::Auto;
    std::string codeRateName;  // as written, for the note of a rate it lacks
};

struct TCableEntry {
    uint64_t frequency = 0;  // kHz
    uint64_t symbolRate = 0;  // symbols/s
    uint8_t modulation = kCableAuto;  // ucFEC
    std::vector<TEntryNote> notes;  // the reader's changes, noted only when kept
};

// Where an entry goes: its satellite's position (none when the file does
// not say) and its group.
struct TEntryPlace {
    std::optional<int32_t> position;
    std::string group;
    std::size_t line = 0;
};

// Collects one file's streams into `data`: converts units, notes every change
// on the entry's line, and keeps a stream that comes again once. Every
// reader builds into a local TImportData, so a failed file changes nothing.
class TStreamCollector {
public:
    TStreamCollector(std::string fileName, TImportData& data) : file_(std::move(fileName)), data_(data) {}

    // "file:line"
    std::string Where(std::size_t line) const;
    // Counts `what` with the note "file:line: text".
    void Note(TImportCount what, std::size_t line, std::string_view text);
    void CountEntry() { data_.report.Bump(TImportCount::Entries); }
    // A satellite frequency in kHz: one below 100,000 is MHz written where
    // kHz is due, read as MHz and noted (whether or not the entry is kept).
    uint64_t SatelliteKhz(uint64_t frequency, std::size_t line);
    // Whether a satellite entry is one this editor cannot hold (DVB-S2, or
    // DVB-S in all but name), counted and noted. A DVB-S2 multistream or
    // T2-MI entry is counted both as DVB-S2 and as multistream.
    bool SkipSatellite(const TSatelliteSignal& signal, std::size_t line);

    // The stream's index in data.streams, or -1 when the entry is faulty
    // (noted). A stream already read is not added again: `countDuplicate`
    // counts it as a duplicate (a transponder list), otherwise it is shared
    // (the services of a channel file).
    int32_t AddSatellite(const TSatelliteEntry& entry, const TEntryPlace& place, bool countDuplicate = true);
    int32_t AddCable(const TCableEntry& entry, const TEntryPlace& place, bool countDuplicate = true);

private:
    // Groups are kept apart: two cable networks may share a frequency.
    using TKey = std::tuple<TDelivery, std::string, int32_t, uint8_t, uint32_t, uint32_t>;
    int32_t Keep(TImportStream stream, const TEntryPlace& place, std::vector<TEntryNote> notes, bool countDuplicate);

    std::string file_;
    TImportData& data_;
    std::map<TKey, int32_t> known_;
};

// The three letters of a polarisation written as a word or a letter:
// "HORIZONTAL"/"H", "VERTICAL"/"V", "LEFT"/"L", "RIGHT"/"R"; 0 for others.
char PolarisationLetter(std::string_view text);

// Case-insensitive ASCII comparison.
bool SameText(std::string_view a, std::string_view b);

}  // namespace lumora
