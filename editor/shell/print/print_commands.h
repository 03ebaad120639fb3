// The main window's printing commands: "&Print", "Printer Setup",
// "Print Preview" and "Export PDF...". The printer chosen in Printer Setup is
// kept for later prints. Every question to the user goes through TPrintUi so
// tests can answer it.
#pragma once

#include <QPrinter>
#include <QString>
#include <functional>
#include <memory>

#include "print/frm_print.h"

class QWidget;

namespace lumora::print {

class TPrintUi {
public:
    virtual ~TPrintUi() = default;
    virtual void Information(QWidget* parent, const QString& text);
    virtual void Error(QWidget* parent, const QString& text);
    // No printer is installed: whether to save a PDF file instead.
    virtual bool OfferPdfInstead(QWidget* parent);
    // The PDF file to write; empty when the user cancels.
    virtual QString AskPdfFileName(QWidget* parent);
    // The printer setup dialog on `printer`; true when the user accepted it.
    virtual bool RunPrinterSetup(QWidget* parent, QPrinter& printer);
    // The print preview dialog; `paint` renders the report onto its printer.
    virtual void RunPrintPreview(QWidget* parent, QPrinter& printer, const std::function<void(QPrinter*)>& paint);
    virtual bool PrinterInstalled() const;
};

class TPrintCommands {
public:
    // Uses `ui` for every question, or message boxes and dialogs when null.
    explicit TPrintCommands(std::unique_ptr<TPrintUi> ui = nullptr);

    // The printer later prints go to; Printer Setup changes it.
    QPrinter& Printer() { return printer_; }

    // `inputs` null: no document is open, nothing happens.
    void PrintExecute(QWidget* parent, const TPrintInputs* inputs);
    void PrintSetupExecute(QWidget* parent);
    void PrintPreviewExecute(QWidget* parent, const TPrintInputs* inputs);
    void ExportPdfExecute(QWidget* parent, const TPrintInputs* inputs);

    // The same for the active document (null when none is open).
    void PrintExecute(QWidget* parent, const ChannelDocument* doc);
    void PrintPreviewExecute(QWidget* parent, const ChannelDocument* doc);
    void ExportPdfExecute(QWidget* parent, const ChannelDocument* doc);

private:
    bool ReadyToPrint(QWidget* parent, const TPrintInputs* inputs);
    void PrintToPdfFile(QWidget* parent, const TPrintInputs& inputs, const QString& fileName);

    std::unique_ptr<TPrintUi> ui_;
    QPrinter printer_;
};

// A4 portrait, no margins, the layout's x measured from the paper's edge.
void PreparePrinter(QPrinter& printer);

}  // namespace lumora::print
