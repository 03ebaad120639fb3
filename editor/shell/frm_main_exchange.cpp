// File > Export and File > Import: the service list of the active document
// to CSV or HTML, its services to a channel file of Linux DVB programs, and a
// CSV's order or names into its tables.
#include <QFile>
#include <QFileDialog>
#include <QRegularExpression>
#include <optional>

#include "atomic_file.h"
#include "export_formats.h"
#include "frm_child.h"
#include "frm_main.h"
#include "position_table.h"
#include "qt_ui_port.h"
#include "service_export.h"
#include "service_order.h"
#include "shell_text.h"

namespace lumora {

namespace {

// Import reports list at most this many unmatched rows; the rest are counted.
constexpr std::size_t kListedUnmatched = 20;

std::string ImportSummary(const TOrderImportReport& report, bool names)
{
    std::string text =
        std::to_string(report.Matched) + (names ? " services renamed." : " services placed as the file lists them.");
    if (report.Unmatched.empty())
        return text + "\rEvery row of the file matched a service.";
    text += "\r" + std::to_string(report.Unmatched.size()) + " rows matched no service:";
    for (std::size_t i = 0; i < report.Unmatched.size() && i < kListedUnmatched; ++i)
        text += "\r" + report.Unmatched[i];
    if (report.Unmatched.size() > kListedUnmatched)
        text += "\r... and " + std::to_string(report.Unmatched.size() - kListedUnmatched) + " more";
    return text;
}

}  // namespace

QString TfrmMain::AskExchangeFileName(bool save, const QString& filter, const QString& suffix)
{
    QFileDialog dialog(this, save ? tr("Export") : tr("Import"));
    dialog.setObjectName(save ? QStringLiteral("ExportDialog") : QStringLiteral("ImportDialog"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(filter);
    dialog.setDefaultSuffix(suffix);
    // A name typed without an extension gets the one of the chosen filter.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& chosen) {
        static const QRegularExpression firstPattern(QStringLiteral("\\*\\.(\\w+)"));
        const QRegularExpressionMatch match = firstPattern.match(chosen);
        if (match.hasMatch())
            dialog.setDefaultSuffix(match.captured(1));
    });
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void TfrmMain::ExportServiceList(bool html)
{
    TfrmChild* child = ActiveDocument();
    if (!child || !child->EndCellEdit())
        return;
    const QString path = html ? AskExchangeFileName(true, QStringLiteral("HTML File (*.html *.htm)"), "html")
                              : AskExchangeFileName(true, QStringLiteral("CSV File (*.csv)"), "csv");
    if (path.isEmpty())
        return;
    const TServiceList list = ListedServices(child->Document());
    const Status written = WriteFileAtomically(PathBytes(path), html ? ServiceListHtml(list) : ServiceListCsv(list));
    if (!written) {
        ui_->MessageBox(MsgKind::Error, "Cannot export the service list.\r" + written.message(), MsgButtons::Ok);
        return;
    }
    ShowWritten(tr("Exported"), path, tr("%1 services of %2").arg(list.Rows.size()).arg(NameText(list.Title)));
}

// The format follows the extension typed: .conf is VDR's, .channels and
// .dvbv5 are dvbv5 files.
void TfrmMain::ExportChannelFile()
{
    TfrmChild* child = ActiveDocument();
    if (!child || !child->EndCellEdit())
        return;
    const QString path = AskExchangeFileName(
        true, QStringLiteral("dvbv5 channel file (*.channels *.dvbv5);;VDR channels.conf (*.conf)"), "channels");
    if (path.isEmpty())
        return;
    const bool vdr = path.endsWith(QStringLiteral(".conf"), Qt::CaseInsensitive);
    if (!vdr && !path.endsWith(QStringLiteral(".channels"), Qt::CaseInsensitive) &&
        !path.endsWith(QStringLiteral(".dvbv5"), Qt::CaseInsensitive)) {
        ui_->MessageBox(MsgKind::Error, "A channel file ends in .channels or .dvbv5 (dvbv5) or .conf (VDR).",
                        MsgButtons::Ok);
        return;
    }
    const ChannelDocument& doc = child->Document();
    const TAntennaPositions positions = AntennaPositions(doc.Database(), doc.Settings(), LoadUserPositionTable());
    TExportReport report;
    const std::string text = vdr ? WriteVdrChannels(doc.Database(), doc.IsCable(), positions, report)
                                 : WriteDvbv5Channels(doc.Database(), doc.IsCable(), positions, report);
    if (const Status written = WriteFileAtomically(PathBytes(path), text); !written) {
        ui_->MessageBox(MsgKind::Error, "Cannot export the channel file.\r" + written.message(), MsgButtons::Ok);
        return;
    }
    ShowWritten(tr("Exported"), path, tr("%1 services").arg(report.written));
    std::string notes;
    for (const std::string& note : report.notes)
        notes += (notes.empty() ? "" : "\r") + note;
    if (!notes.empty())
        ui_->MessageBox(MsgKind::Information, notes, MsgButtons::Ok);
}

void TfrmMain::ImportFromCsv(bool names)
{
    TfrmChild* child = ActiveDocument();
    if (!child || !child->EndCellEdit())
        return;
    const QString path = AskExchangeFileName(false, QStringLiteral("CSV File (*.csv);;All Files (*)"), "csv");
    if (path.isEmpty())
        return;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ui_->MessageBox(MsgKind::Error, PathBytes(path) + ": " + file.errorString().toStdString(), MsgButtons::Ok);
        return;
    }
    const QByteArray bytes = file.readAll();
    std::optional<Result<TOrderImportReport>> report;
    child->Run([&] {
        const std::string_view csv(bytes.constData(), std::size_t(bytes.size()));
        report = names ? ImportServiceNames(child->Document(), csv) : ImportServiceOrder(child->Document(), csv);
    });
    if (!report)
        return;  // the command failed, and Run showed its error
    if (!*report) {
        ui_->MessageBox(MsgKind::Error, "Cannot import " + PathBytes(path) + ":\r" + report->message(), MsgButtons::Ok);
        return;
    }
    ui_->MessageBox(MsgKind::Information, ImportSummary(report->value(), names), MsgButtons::Ok);
}

void TfrmMain::ExportCsvExecute() { ExportServiceList(false); }
void TfrmMain::ExportHtmlExecute() { ExportServiceList(true); }
void TfrmMain::ExportChannelsExecute() { ExportChannelFile(); }
void TfrmMain::ImportOrderExecute() { ImportFromCsv(false); }
void TfrmMain::ImportNamesExecute() { ImportFromCsv(true); }

}  // namespace lumora
