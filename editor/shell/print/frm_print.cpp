#include "print/frm_print.h"

#include <QPagedPaintDevice>
#include <algorithm>
#include <array>

#include "channel_document.h"
#include "service_grid.h"
#include "shell_text.h"

namespace lumora::print {

namespace {

QFont ReportFont(int pixelSize, bool bold = false, bool italic = false)
{
    QFont font;
    // Arial where installed, else a font of its widths, else a narrow sans serif.
    font.setFamilies({QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                      QStringLiteral("DejaVu Sans Condensed")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

// Names are ISO 8859-1 bytes; like the grid, the report leaves 0x80..0xFF out.
QString Shown(const std::string& bytes) { return NameText(TServiceGrid::ReplaceExtendChar(bytes)); }

struct TColumn {
    const char* Title;
    double TitleX, TitleWidth;
    const char* Field;
    double FieldX, FieldWidth;
};

// Left to right as printed.
constexpr std::array<TColumn, 10> kColumns = {{
    {"No.", 8, 50, "AlField1", 10, 45},
    {"Service Name", 63, 142, "AlField2", 62, 146},
    {"Frequency", 215, 71, "AlField3", 222, 58},
    {"Symbolrates", 285, 75, "AlField4", 293, 58},
    {"Polar.", 362, 42, "AlField5", 364, 33},
    {"FEC", 405, 32, "AlField10", 407, 33},
    {"Video PID", 438, 61, "AlField6", 443, 52},
    {"Audio PID", 502, 57, "AlField7", 504, 50},
    {"PCR PID", 561, 56, "AlField8", 562, 52},
    {"Provider Name", 615, 123, "AlField9", 619, 118},
}};

constexpr Qt::Alignment kCentred = Qt::AlignHCenter | Qt::AlignVCenter;

void BuildTitleBand(TAlReport& report, TAlElement*& categoryLabel)
{
    report.TitleBand.Height = 58;
    report.AddLabel(report.TitleBand, QStringLiteral("Title"), QStringLiteral("Lumora V3 Service List"),
                    {5, 2, 262, 24}, ReportFont(20, true, true), kCentred);
    report.AddShape(report.TitleBand, {18, 28, 240, 3});
    categoryLabel = &report.AddLabel(report.TitleBand, QStringLiteral("L1"), {}, {40, 39, 700, 16},
                                     ReportFont(11, true), Qt::AlignLeft | Qt::AlignVCenter);
}

void BuildColumnBands(TAlReport& report)
{
    report.DetailHeaderBand.Height = 27;
    report.DetailBand.Height = 19;
    for (const TColumn& column : kColumns) {
        report.AddLabel(report.DetailHeaderBand, {}, QString::fromLatin1(column.Title),
                        {column.TitleX, 2, column.TitleWidth, 16}, ReportFont(12, true), kCentred);
        report.AddDataField(report.DetailBand, QString::fromLatin1(column.Field),
                            {column.FieldX, 2, column.FieldWidth, 15}, ReportFont(11), kCentred);
    }
    report.AddShape(report.DetailHeaderBand, {9, 20, 733, 2});
}

void BuildFooterBand(TAlReport& report)
{
    report.PageFooterBand.Height = 41;
    report.AddPageNumber(report.PageFooterBand, {369, 24, 60, 15}, ReportFont(11), Qt::AlignLeft | Qt::AlignVCenter);
}

const TTSItem* StreamOf(const TChannelDatabase& db, const TServiceItem& service)
{
    const int count = std::min(db.TSInfo.wTSNum, kTSCapacity);
    if (service.pTSIndex < 0 || service.pTSIndex >= count)
        return nullptr;
    return &db.TSInfo.Info[std::size_t(service.pTSIndex)];
}

QString ProviderNameOf(const TChannelDatabase& db, const TServiceItem& service)
{
    const int count = std::min(db.ProviderInfo.wProviderNum, kProviderCapacity);
    if (service.pProviderIndex < 0 || service.pProviderIndex >= count)
        return {};
    return Shown(db.ProviderInfo.Info[std::size_t(service.pProviderIndex)].szProviderName);
}

void AddServiceRow(TAlReport& report, const TPrintInputs& inputs, const TPrintRow& row, const TServiceItem& service)
{
    const TTSItem* stream = StreamOf(*inputs.Database, service);
    auto streamValue = [&](auto value) { return stream ? value(stream->SATTSInfo) : QString(); };
    report.AddNamedValue(QStringLiteral("AlField1"), ServiceNumberText(service, row.Number));
    report.AddNamedValue(QStringLiteral("AlField2"), Shown(service.szServiceName));
    report.AddNamedValue(QStringLiteral("AlField3"),
                         streamValue([](const TSATTSInfo& t) { return QString::number(t.dwFrequency); }));
    report.AddNamedValue(QStringLiteral("AlField4"),
                         streamValue([](const TSATTSInfo& t) { return QString::number(t.dwSymbolRate); }));
    report.AddNamedValue(QStringLiteral("AlField5"),
                         streamValue([](const TSATTSInfo& t) { return PolarizationLetter(t.ucPolarization); }));
    report.AddNamedValue(QStringLiteral("AlField10"),
                         streamValue([&](const TSATTSInfo& t) { return FecText(t.ucFEC, inputs.CableModel); }));
    report.AddNamedValue(QStringLiteral("AlField6"), QString::number(service.wVideoPID));
    report.AddNamedValue(QStringLiteral("AlField7"), QString::number(service.wAudioPID));
    report.AddNamedValue(QStringLiteral("AlField8"), QString::number(service.wPCRPID));
    report.AddNamedValue(QStringLiteral("AlField9"), ProviderNameOf(*inputs.Database, service));
}

}  // namespace

TPrintInputs PrintInputsFromDocument(const ChannelDocument& doc)
{
    TPrintInputs inputs;
    for (int row = 1; row < doc.SG.RowCount(); ++row) {
        const int32_t realIndex = doc.RowService(row);
        inputs.Rows.push_back({realIndex < 0 ? std::string() : std::to_string(doc.RowNumber(row)), realIndex});
    }
    inputs.Category = doc.Label1Caption;
    inputs.Database = &doc.Database();
    inputs.CableModel = doc.IsCable();
    return inputs;
}

bool HasItemsToPrint(const TPrintInputs& inputs)
{
    return inputs.Database && !inputs.Rows.empty() && inputs.Rows.front().RealIndex >= 0;
}

QString ServiceNumberText(const TServiceItem& service, const std::string& displayedNumber)
{
    return (service.ServiceType == kServiceTypeTV ? QStringLiteral("V") : QStringLiteral("A")) + Shown(displayedNumber);
}

QString PolarizationLetter(uint8_t ucPolarization)
{
    switch (ucPolarization) {
    case 0: return QStringLiteral("H");
    case 1: return QStringLiteral("V");
    default: return QStringLiteral("A");
    }
}

// Cable models keep their 1-based constellation in ucFEC, so a cable stream
// prints "64-QAM" for 3 rather than the code rate "5/6"; codes outside either
// table print an empty cell.
QString FecText(uint8_t ucFEC, bool cableModel)
{
    if (cableModel)
        return QString::fromStdString(ConstellationName(ucFEC));
    return QString::fromStdString(CodeRateName(ucFEC));
}

TfrmPrint::TfrmPrint() : L1(nullptr)
{
    BuildTitleBand(AlReport1, L1);
    BuildColumnBands(AlReport1);
    BuildFooterBand(AlReport1);
}

void TfrmPrint::FeedServiceRows(const TPrintInputs& inputs)
{
    L1->Text = Shown(inputs.Category);
    if (!inputs.Database)
        return;
    const TChannelDatabase& db = *inputs.Database;
    for (const TPrintRow& row : inputs.Rows) {
        if (row.RealIndex < 0 || row.RealIndex >= std::min(db.ServiceInfo.Count(), kServiceCapacity))
            break;
        AddServiceRow(AlReport1, inputs, row, db.ServiceInfo.pServiceInfo[std::size_t(row.RealIndex)]);
    }
}

bool PrintServiceList(const TPrintInputs& inputs, QPagedPaintDevice& device)
{
    TfrmPrint form;
    form.FeedServiceRows(inputs);
    return form.AlReport1.Print(device);
}

QImage RenderServiceListPage(const TPrintInputs& inputs, int index, double dpi)
{
    TfrmPrint form;
    form.FeedServiceRows(inputs);
    return form.AlReport1.RenderPage(index, dpi);
}

}  // namespace lumora::print
