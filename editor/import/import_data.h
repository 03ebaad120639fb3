// What a reader of another program's channel file gives back: the file's
// transponders and services in this editor's units, before they are placed on
// antennas, with a report of everything dropped or changed and where it came
// from. Readers know nothing of the open document: the import plan places the
// data on the target's antennas and turns it into a merge source.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "records.h"
#include "status.h"

namespace lumora {

enum class TDelivery : uint8_t { Satellite, Cable };

// One transponder, tuned as this editor stores it: satellite frequency in MHz,
// symbol rate in kS/s, polarisation 0 H / 1 V, ucFEC 0..4 code rates and 5
// Auto; cable frequency in kHz, symbol rate in kS/s, ucFEC 1..5 16..256-QAM
// and 6 Auto.
struct TImportStream {
    TDelivery delivery = TDelivery::Satellite;
    // Orbital position in tenths of a degree, east positive, west negative;
    // none when the file does not say (cable, or a file name without one).
    std::optional<int32_t> position;
    // The satellite, cable network or scan-file section the stream belongs
    // to, as the file names it (what --only NAME picks).
    std::string group;
    TSATTSInfo tuning{};
    uint16_t wOrgNetworkId = 0;
    uint16_t wTsId = 0;
    // Where the stream came from: "file:line" for the report.
    std::string origin;
};

// One service of a stream. `service` holds the record's own fields; its
// pTSIndex and pProviderIndex are not used (see `stream` and `provider`).
struct TImportService {
    int32_t stream = -1;  // index into TImportData::streams
    TServiceItem service{};
    std::string provider;  // ISO 8859-1, as the tables keep names
    std::string origin;
};

// A group of services the file keeps in order: a VDR group or an enigma
// bouquet. Candidates for favorite lists and service numbers.
struct TImportList {
    std::string name;  // UTF-8, for the report
    bool radio = false;
    std::vector<int32_t> services;  // indices into TImportData::services
    uint16_t firstNumber = 0;  // the number the file gives its first service, 0 none
};

// What the report counts; every counted item also has a note.
enum class TImportCount : uint8_t {
    Entries,  // transponder or channel entries read
    Streams,  // streams kept
    Services,  // services kept
    SkippedSecondGeneration,  // DVB-S2 (also 8PSK/APSK or a stream id on DVB-S)
    SkippedMultistream,  // of the DVB-S2 skipped, those with a stream id or T2-MI (no note of its own)
    SkippedTerrestrial,  // DVB-T/T2, ATSC, ISDB
    SkippedOther,  // data services, IPTV, markers and other entries this editor cannot hold
    Duplicates,  // the same stream or service again in one file: kept once
    FrequencyUnit,  // a frequency written in the wrong unit, read in the right one
    FrequencyRounded,  // a satellite frequency that is not a whole MHz
    Circular,  // L stored as H, R as V
    CodeRateChanged,  // a code rate or modulation this editor lacks: Auto
    NameChanged,  // a name that could not be kept as it stands
    PmtUnknown,  // services whose PMT PID the file does not give (stored as 0)
    kCount
};

struct TImportReport {
    std::array<int32_t, std::size_t(TImportCount::kCount)> counts{};
    // One line each: "file:line: what was dropped or changed".
    std::vector<std::string> notes;

    int32_t Count(TImportCount what) const { return counts[std::size_t(what)]; }
    void Add(TImportCount what, std::string note);
    void Bump(TImportCount what) { ++counts[std::size_t(what)]; }
};

// The report's label of a count, e.g. "DVB-S2 skipped".
const char* ImportCountLabel(TImportCount what);

struct TImportData {
    std::string name;  // the file (or folder) it was read from, for the edit label
    std::vector<TImportStream> streams;
    std::vector<TImportService> services;
    std::vector<TImportList> lists;
    TImportReport report;

    // Appends another file's data (several files imported at once).
    void Append(TImportData other);
};

// Every count that is not zero as "label: n", then the notes.
std::vector<std::string> ImportReportLines(const TImportReport& report);

}  // namespace lumora
