// The print commands with scripted answers in place of the dialogs: the empty
// category message, the missing printer, the printer chosen in Printer Setup,
// Print Preview and Export PDF.
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "print/print_commands.h"
#include "print_test_support.h"

using namespace lumora;
using namespace lumora::print;
using lumora::print::test::TestDocument;

namespace {

class ScriptedPrintUi : public TPrintUi {
public:
    QStringList calls;
    QString infoText, errorText;
    bool printerInstalled = false;
    bool acceptPdf = true;
    QString pdfFileName;  // answer of the file dialog
    QString setupPdfFile;  // Printer Setup: "print to file" into this one

    void Information(QWidget*, const QString& text) override
    {
        calls << "info";
        infoText = text;
    }
    void Error(QWidget*, const QString& text) override
    {
        calls << "error";
        errorText = text;
    }
    bool OfferPdfInstead(QWidget*) override
    {
        calls << "offer";
        return acceptPdf;
    }
    QString AskPdfFileName(QWidget*) override
    {
        calls << "ask";
        return pdfFileName;
    }
    bool RunPrinterSetup(QWidget*, QPrinter& printer) override
    {
        calls << "setup";
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(setupPdfFile);
        return true;
    }
    void RunPrintPreview(QWidget*, QPrinter& printer, const std::function<void(QPrinter*)>& paint) override
    {
        calls << "preview";
        previewPrinter = &printer;
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(pdfFileName);
        PreparePrinter(pdf);
        paint(&pdf);
    }
    bool PrinterInstalled() const override { return printerInstalled; }

    QPrinter* previewPrinter = nullptr;
};

struct Fixture {
    TestDocument t;
    ScriptedPrintUi* ui = new ScriptedPrintUi;
    TPrintCommands commands{std::unique_ptr<TPrintUi>(ui)};
    QTemporaryDir dir;

    explicit Fixture(int services = 3)
    {
        const int p = t.AddProvider("Provider");
        const int ts = t.AddTS(11778, 27500, 0, 2);
        for (int i = 0; i < services; ++i)
            t.AddService(0, "Service " + std::to_string(i), ts, p);
        t.Show();
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

}  // namespace

class PrintCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void noDocumentDoesNothing();
    void emptyCategoryShowsTheMessageAndPrintsNothing();
    void withoutPrinterOffersAPdfFile();
    void printsToThePrinterChosenInSetup();
    void exportPdfAndItsFailure();
    void previewPaintsTheSameReport();
};

void PrintCommandsTest::noDocumentDoesNothing()
{
    Fixture f;
    const ChannelDocument* none = nullptr;
    f.commands.PrintExecute(nullptr, none);
    f.commands.PrintPreviewExecute(nullptr, none);
    f.commands.ExportPdfExecute(nullptr, none);
    QVERIFY(f.ui->calls.isEmpty());
}

void PrintCommandsTest::emptyCategoryShowsTheMessageAndPrintsNothing()
{
    Fixture f;
    f.t.doc->FR1Click(false);  // no radio services
    f.ui->pdfFileName = f.Path("never.pdf");
    f.commands.PrintExecute(nullptr, f.t.doc.get());
    f.commands.PrintPreviewExecute(nullptr, f.t.doc.get());
    f.commands.ExportPdfExecute(nullptr, f.t.doc.get());
    QCOMPARE(f.ui->calls, (QStringList{"info", "info", "info"}));
    QCOMPARE(f.ui->infoText, QStringLiteral("No items to be selected in this category."));
    QVERIFY(!QFile::exists(f.ui->pdfFileName));
}

void PrintCommandsTest::withoutPrinterOffersAPdfFile()
{
    Fixture f;
    f.ui->pdfFileName = f.Path("offered.pdf");
    f.ui->acceptPdf = false;
    f.commands.PrintExecute(nullptr, f.t.doc.get());
    QCOMPARE(f.ui->calls, QStringList{"offer"});
    QVERIFY(!QFile::exists(f.ui->pdfFileName));

    f.ui->acceptPdf = true;
    f.ui->calls.clear();
    f.commands.PrintExecute(nullptr, f.t.doc.get());
    QCOMPARE(f.ui->calls, (QStringList{"offer", "ask"}));
    QCOMPARE(test::PdfInfo(f.ui->pdfFileName, QStringLiteral("Title")), QStringLiteral("Lumora V3 Printing."));
    const QStringList pages = test::PdfPages(f.ui->pdfFileName);
    QCOMPARE(pages.size(), 1);
    QVERIFY(pages[0].contains(QStringLiteral("Service 2")));

    // Cancelling the file dialog writes nothing and says nothing more.
    f.ui->pdfFileName.clear();
    f.ui->calls.clear();
    f.commands.PrintExecute(nullptr, f.t.doc.get());
    QCOMPARE(f.ui->calls, (QStringList{"offer", "ask"}));
}

void PrintCommandsTest::printsToThePrinterChosenInSetup()
{
    Fixture f(120);
    f.ui->setupPdfFile = f.Path("setup.pdf");
    f.commands.PrintSetupExecute(nullptr);
    f.commands.PrintExecute(nullptr, f.t.doc.get());
    // A file chosen as the printer needs no installed printer.
    QCOMPARE(f.ui->calls, QStringList{"setup"});
    QCOMPARE(test::PdfInfo(f.ui->setupPdfFile, QStringLiteral("Title")), QStringLiteral("Lumora V3 Printing."));
    QCOMPARE(test::PdfPages(f.ui->setupPdfFile).size(), 3);
}

void PrintCommandsTest::exportPdfAndItsFailure()
{
    Fixture f;
    f.ui->printerInstalled = true;
    f.ui->pdfFileName = f.Path("export.pdf");
    f.commands.ExportPdfExecute(nullptr, f.t.doc.get());
    QCOMPARE(f.ui->calls, QStringList{"ask"});
    QCOMPARE(test::PdfPages(f.ui->pdfFileName).size(), 1);

    // A file that cannot be written is reported, not passed over as printed.
    f.ui->pdfFileName = f.Path("missing-dir/export.pdf");
    f.ui->calls.clear();
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    f.commands.ExportPdfExecute(nullptr, f.t.doc.get());
    QCOMPARE(f.ui->calls, (QStringList{"ask", "error"}));
    QVERIFY(f.ui->errorText.contains(f.ui->pdfFileName));
}

void PrintCommandsTest::previewPaintsTheSameReport()
{
    Fixture f(60);
    f.ui->pdfFileName = f.Path("preview.pdf");
    f.commands.PrintPreviewExecute(nullptr, f.t.doc.get());
    QCOMPARE(f.ui->calls, QStringList{"preview"});
    QCOMPARE(f.ui->previewPrinter, &f.commands.Printer());
    const QStringList pages = test::PdfPages(f.ui->pdfFileName);
    QCOMPARE(pages.size(), 2);
    QVERIFY(pages[1].contains(QStringLiteral("Service 59")));
}

QTEST_MAIN(PrintCommandsTest)
#include "print_commands_test.moc"
