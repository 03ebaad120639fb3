#include "service_export.h"

#include <array>

#include "channel_document.h"
#include "csv_table.h"

namespace lumora {

namespace {

constexpr std::array<const char*, kExportColumnCount> kHeaders = {
    "INDEX", "Service Name", "Video PID", "Audio PID", "PCR PID",  "Service ID", "PMT PID",
    "Genre", "Lock",         "Skip",      "Network",   "Provider", "Frequency"};

// The grid column each exported column copies, in export order.
constexpr std::array<int, kExpFrequency> kGridColumns = {kColIndex,  kColName,      kColVideoPID, kColAudioPID,
                                                         kColPCRPID, kColServiceId, kColPmtPID,   kColGenre,
                                                         kColLock,   kColSkip,      kColNetwork,  kColProvider};

std::string FrequencyOf(const ChannelDocument& doc, int32_t row)
{
    const int32_t realIndex = doc.RowService(row);
    if (realIndex < 0)
        return "";
    const TTSItem* ts = doc.StreamOf(realIndex);
    return ts ? std::to_string(ts->SATTSInfo.dwFrequency) : std::string();
}

std::string HtmlText(const std::string& latin1)
{
    std::string html;
    for (const char c : Latin1ToUtf8(latin1)) {
        switch (c) {
        case '&': html += "&amp;"; break;
        case '<': html += "&lt;"; break;
        case '>': html += "&gt;"; break;
        case '"': html += "&quot;"; break;
        default: html += c;
        }
    }
    return html;
}

constexpr const char* kPageStyle =
    "body{font-family:sans-serif;margin:1.5em;color:#000;background:#fff}"
    "h1{font-size:1.3em}"
    "table{border-collapse:collapse;font-size:0.9em}"
    "th,td{border:1px solid #999;padding:0.2em 0.6em;text-align:center;white-space:nowrap}"
    "th{background:#e4e4e4}"
    "td.name{text-align:left}"
    "tbody tr:nth-child(even){background:#f4f4f4}"
    "thead{display:table-header-group}"
    "tr{page-break-inside:avoid}"
    "@media print{body{margin:0}}";

}  // namespace

const char* ExportHeader(int column) { return kHeaders[std::size_t(column)]; }

TServiceList ListedServices(const ChannelDocument& doc)
{
    TServiceList list;
    list.Title = doc.Label1Caption.empty() ? std::string("Services") : doc.Label1Caption;
    list.Title += doc.DisplayMode() == kServiceTypeRadio ? " (RADIO)" : " (TV)";
    for (int32_t row = 1; row < doc.SG.RowCount(); ++row) {
        if (doc.RowService(row) < 0)
            continue;  // the empty row of an empty list
        std::vector<std::string> cells;
        for (const int col : kGridColumns)
            cells.push_back(doc.SG.Cell(col, row));
        cells.push_back(FrequencyOf(doc, row));
        list.Rows.push_back(std::move(cells));
    }
    return list;
}

std::string ServiceListCsv(const TServiceList& list)
{
    std::vector<std::string> header(kHeaders.begin(), kHeaders.end());
    std::string csv = CsvRecord(header);
    for (const auto& row : list.Rows) {
        std::vector<std::string> fields;
        for (const std::string& cell : row)
            fields.push_back(Latin1ToUtf8(cell));
        csv += CsvRecord(fields);
    }
    return csv;
}

std::string ServiceListHtml(const TServiceList& list)
{
    std::string html = "<!DOCTYPE html>\n<html>\n<head>\n<meta charset=\"utf-8\">\n<title>" + HtmlText(list.Title) +
                       "</title>\n<style>" + kPageStyle + "</style>\n</head>\n<body>\n<h1>" + HtmlText(list.Title) +
                       "</h1>\n<table>\n<thead><tr>";
    for (const char* header : kHeaders)
        html += std::string("<th>") + header + "</th>";
    html += "</tr></thead>\n<tbody>\n";
    for (const auto& row : list.Rows) {
        html += "<tr>";
        for (std::size_t col = 0; col < row.size(); ++col)
            html += (col == kExpName ? "<td class=\"name\">" : "<td>") + HtmlText(row[col]) + "</td>";
        html += "</tr>\n";
    }
    return html + "</tbody>\n</table>\n</body>\n</html>\n";
}

}  // namespace lumora
