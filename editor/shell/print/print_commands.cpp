#include "print/print_commands.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinterInfo>

#include "channel_document.h"

namespace lumora::print {

namespace {

const QString kJobTitle = QString::fromLatin1(kPrintJobTitle);

std::unique_ptr<TPrintInputs> InputsOf(const ChannelDocument* doc)
{
    if (!doc)
        return nullptr;
    return std::make_unique<TPrintInputs>(PrintInputsFromDocument(*doc));
}

}  // namespace

void TPrintUi::Information(QWidget* parent, const QString& text)
{
    QMessageBox::information(parent, QStringLiteral("Information"), text);
}

void TPrintUi::Error(QWidget* parent, const QString& text)
{
    QMessageBox::critical(parent, QStringLiteral("Error"), text);
}

bool TPrintUi::OfferPdfInstead(QWidget* parent)
{
    return QMessageBox::question(
               parent, QStringLiteral("Print"),
               QStringLiteral("No printer is installed.\nSave the service list as a PDF file instead?"),
               QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok) == QMessageBox::Ok;
}

QString TPrintUi::AskPdfFileName(QWidget* parent)
{
    QString fileName = QFileDialog::getSaveFileName(
        parent, QStringLiteral("Export PDF"), QStringLiteral("servicelist.pdf"), QStringLiteral("PDF File (*.pdf)"));
    if (!fileName.isEmpty() && QFileInfo(fileName).suffix().isEmpty())
        fileName += QStringLiteral(".pdf");
    return fileName;
}

bool TPrintUi::RunPrinterSetup(QWidget* parent, QPrinter& printer)
{
    QPrintDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Printer Setup"));
    // Only the printer and its paper are chosen here; the service list is always printed whole.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    return dialog.exec() == QDialog::Accepted;
}

void TPrintUi::RunPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter*)>& paint)
{
    QPrintPreviewDialog dialog(&printer, parent);
    dialog.setWindowTitle(QStringLiteral("Print Preview"));
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog, paint);
    dialog.exec();
}

bool TPrintUi::PrinterInstalled() const { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

void PreparePrinter(QPrinter& printer)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    printer.setDocName(kJobTitle);
}

TPrintCommands::TPrintCommands(std::unique_ptr<TPrintUi> ui)
    : ui_(ui ? std::move(ui) : std::make_unique<TPrintUi>()), printer_(QPrinter::HighResolution)
{
    PreparePrinter(printer_);
}

bool TPrintCommands::ReadyToPrint(QWidget* parent, const TPrintInputs* inputs)
{
    if (!inputs)
        return false;
    if (!HasItemsToPrint(*inputs)) {
        ui_->Information(parent, QString::fromLatin1(kNoItemsMessage));
        return false;
    }
    return true;
}

void TPrintCommands::PrintExecute(QWidget* parent, const TPrintInputs* inputs)
{
    if (!ReadyToPrint(parent, inputs))
        return;
    // A file chosen in Printer Setup needs no printer; otherwise a missing one
    // would make the print go nowhere without a word.
    if (printer_.outputFileName().isEmpty() && !ui_->PrinterInstalled()) {
        if (!ui_->OfferPdfInstead(parent))
            return;
        const QString fileName = ui_->AskPdfFileName(parent);
        if (!fileName.isEmpty())
            PrintToPdfFile(parent, *inputs, fileName);
        return;
    }
    printer_.setDocName(kJobTitle);
    if (!PrintServiceList(*inputs, printer_))
        ui_->Error(parent, QStringLiteral("The service list could not be printed."));
}

void TPrintCommands::PrintSetupExecute(QWidget* parent) { ui_->RunPrinterSetup(parent, printer_); }

void TPrintCommands::PrintPreviewExecute(QWidget* parent, const TPrintInputs* inputs)
{
    if (!ReadyToPrint(parent, inputs))
        return;
    printer_.setDocName(kJobTitle);
    ui_->RunPrintPreview(parent, printer_, [inputs](QPrinter* printer) { PrintServiceList(*inputs, *printer); });
}

void TPrintCommands::ExportPdfExecute(QWidget* parent, const TPrintInputs* inputs)
{
    if (!ReadyToPrint(parent, inputs))
        return;
    const QString fileName = ui_->AskPdfFileName(parent);
    if (!fileName.isEmpty())
        PrintToPdfFile(parent, *inputs, fileName);
}

void TPrintCommands::PrintExecute(QWidget* parent, const ChannelDocument* doc)
{
    PrintExecute(parent, InputsOf(doc).get());
}

void TPrintCommands::PrintPreviewExecute(QWidget* parent, const ChannelDocument* doc)
{
    PrintPreviewExecute(parent, InputsOf(doc).get());
}

void TPrintCommands::ExportPdfExecute(QWidget* parent, const ChannelDocument* doc)
{
    ExportPdfExecute(parent, InputsOf(doc).get());
}

void TPrintCommands::PrintToPdfFile(QWidget* parent, const TPrintInputs& inputs, const QString& fileName)
{
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(fileName);
    PreparePrinter(pdf);
    if (!PrintServiceList(inputs, pdf))
        ui_->Error(parent, QStringLiteral("The PDF file could not be written:\n") + fileName);
}

}  // namespace lumora::print
