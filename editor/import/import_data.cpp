#include "import_data.h"

namespace lumora {

void TImportReport::Add(TImportCount what, std::string note)
{
    Bump(what);
    notes.push_back(std::move(note));
}

const char* ImportCountLabel(TImportCount what)
{
    switch (what) {
    case TImportCount::Entries: return "entries read";
    case TImportCount::Streams: return "streams";
    case TImportCount::Services: return "services";
    case TImportCount::SkippedSecondGeneration: return "DVB-S2 skipped";
    case TImportCount::SkippedMultistream: return "of these, multistream or T2-MI";
    case TImportCount::SkippedTerrestrial: return "terrestrial skipped";
    case TImportCount::SkippedOther: return "other entries skipped";
    case TImportCount::Duplicates: return "duplicates imported once";
    case TImportCount::FrequencyUnit: return "frequencies in the wrong unit";
    case TImportCount::FrequencyRounded: return "frequencies rounded to MHz";
    case TImportCount::Circular: return "circular polarisations stored as H/V";
    case TImportCount::CodeRateChanged: return "code rates or modulations stored as Auto";
    case TImportCount::NameChanged: return "names changed";
    case TImportCount::PmtUnknown: return "services without PMT PID";
    case TImportCount::kCount: break;
    }
    return "";
}

void TImportData::Append(TImportData other)
{
    const int32_t streamBase = int32_t(streams.size());
    const int32_t serviceBase = int32_t(services.size());
    for (TImportStream& stream : other.streams)
        streams.push_back(std::move(stream));
    for (TImportService& service : other.services) {
        service.stream += streamBase;
        services.push_back(std::move(service));
    }
    for (TImportList& list : other.lists) {
        for (int32_t& s : list.services)
            s += serviceBase;
        lists.push_back(std::move(list));
    }
    for (std::size_t i = 0; i < report.counts.size(); ++i)
        report.counts[i] += other.report.counts[i];
    for (std::string& note : other.report.notes)
        report.notes.push_back(std::move(note));
    if (name.empty())
        name = std::move(other.name);
}

std::vector<std::string> ImportReportLines(const TImportReport& report)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < report.counts.size(); ++i)
        if (report.counts[i] != 0)
            lines.push_back(std::string(ImportCountLabel(TImportCount(i))) + ": " + std::to_string(report.counts[i]));
    lines.insert(lines.end(), report.notes.begin(), report.notes.end());
    return lines;
}

}  // namespace lumora
