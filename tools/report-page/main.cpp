// Renders page 1 of the printed service list of an interchange file, as the
// editor prints the "All Service" view of the TV services, into an image.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "app_state.h"
#include "channel_document.h"
#include "interchange.h"
#include "print/frm_print.h"
#include "ui_port.h"

int main(int argc, char** argv)
{
    if (argc < 3 || argc > 4) {
        std::cerr << "usage: lumora-report-page FILE OUT.png [DPI]\n";
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

    const QImage page = lumora::print::RenderServiceListPage(lumora::print::PrintInputsFromDocument(doc), 0, dpi);
    // Black print on white: grey levels are all the picture needs.
    if (page.isNull() || !page.convertToFormat(QImage::Format_Grayscale8).save(QString::fromLocal8Bit(argv[2]))) {
        std::cerr << argv[2] << ": cannot write the image\n";
        return 1;
    }
    return 0;
}
