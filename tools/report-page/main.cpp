// Renders the printed service list of an interchange file, as the editor
// prints the "All Service" view of the TV services: page 1 into an image, or
// every page into a PDF file when OUT ends in ".pdf".
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPdfWriter>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app_state.h"
#include "channel_document.h"
#include "interchange.h"
#include "print/frm_print.h"
#include "program_info.h"
#include "ui_port.h"

namespace {

bool WritePdf(const lumora::print::TPrintInputs& inputs, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        std::cerr << QFile::encodeName(fileName).constData() << ": " << file.errorString().toStdString() << '\n';
        return false;
    }
    // The page the editor prints on: A4 portrait, the report draws its own margins.
    QPdfWriter writer(&file);
    writer.setTitle(QStringLiteral("Service list"));
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageOrientation(QPageLayout::Portrait);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    if (!lumora::print::PrintServiceList(inputs, writer)) {
        std::cerr << QFile::encodeName(fileName).constData() << ": the service list could not be painted\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (lumora::AnswerHelpOrVersion(argc, argv, "lumora-report-page",
                                    "usage: lumora-report-page FILE OUT.png|OUT.pdf [DPI]\n"))
        return 0;
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: lumora-report-page FILE OUT.png|OUT.pdf [DPI]\n";
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const double dpi = argc == 4 ? std::atof(argv[3]) : 110.0;
    if (dpi < 24 || dpi > 1200) {
        std::cerr << "DPI must be between 24 and 1200\n";
        return 2;
    }

    auto state = std::make_unique<lumora::TApplicationState>();
    // Messages of the document go to stderr; nothing is asked.
    lumora::NonInteractiveUiPort ui([](const std::string& text) { std::cerr << text << '\n'; });
    lumora::ChannelDocument doc(*state, ui);
    doc.InitAllData();
    const lumora::ReadResult read = lumora::ReadInterchangeFile(
        argv[1], doc.Database(), [](const std::string& message) { std::cerr << message << '\n'; });
    if (read.status != lumora::ReadStatus::Complete) {
        std::cerr << argv[1] << ": " << read.error << '\n';
        return 1;
    }
    doc.LoadTreeValue();  // selects "All Service" and fills the grid

    const QString out = QFile::decodeName(argv[2]);
    const auto inputs = lumora::print::PrintInputsFromDocument(doc);
    if (out.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
        return WritePdf(inputs, out) ? 0 : 1;
    const QImage page = lumora::print::RenderServiceListPage(inputs, 0, dpi);
    // Black print on white: grey levels are all the picture needs.
    if (page.isNull() || !page.convertToFormat(QImage::Format_Grayscale8).save(out)) {
        std::cerr << argv[2] << ": cannot write the image\n";
        return 1;
    }
    return 0;
}
