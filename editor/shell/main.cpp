// The program module: the application, its title, the main window and the
// message loop. Channel-data files named on the command line open at start
// (the desktop entry passes the files opened from the file manager). The options --screenshot FILE [--open DNF]
// [--settings CFG] exist for the documentation script only: they open a database, save a picture of the main window and
// end the program.
#include <QCommandLineParser>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTimer>
#include <QTreeView>

#include "app_icons.h"
#include "command_guard.h"
#include "frm_child.h"
#include "frm_main.h"
#include "lumora_application.h"
#include "shell_text.h"

namespace {

struct ScreenshotOptions {
    QString picture;
    QString database;
    QString settings;
    QStringList files;  // the files to open
};

ScreenshotOptions ParseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    QCommandLineOption screenshot("screenshot", "Save a picture of the main window and quit.", "file");
    QCommandLineOption open("open", "Channel-data file to open first.", "dnf");
    QCommandLineOption settings("settings", "Settings file to use.", "cfg");
    for (auto* option : {&screenshot, &open, &settings}) {
        option->setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(*option);
    }
    parser.addPositionalArgument("files", "Channel-data files to open.", "[file.dnf...]");
    parser.process(app);
    return {parser.value(screenshot), parser.value(open), parser.value(settings), parser.positionalArguments()};
}

void TakeScreenshot(lumora::TfrmMain& window, const ScreenshotOptions& options)
{
    // Without a window manager "maximised" means nothing: fill the screen.
    window.setGeometry(window.screen()->availableGeometry());
    if (!options.database.isEmpty())
        if (lumora::TfrmChild* child = window.OpenDocument(options.database)) {
            child->parentWidget()->showMaximized();
            const QAbstractItemModel* tree = child->Tree1->model();
            for (int row = 0; row < tree->rowCount(); ++row)
                if (tree->index(row, 0).data().toString() == QLatin1String("Network"))
                    child->Tree1->expand(tree->index(row, 0));
        }
    QTimer::singleShot(1500, &window, [&window, options] {
        const bool saved = window.grab().save(options.picture);
        window.close();
        QCoreApplication::exit(saved ? 0 : 1);
    });
}

}  // namespace

int main(int argc, char** argv)
{
    lumora::LumoraApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("LumoraV3"));
    QApplication::setApplicationDisplayName(QStringLiteral("Lumora V3 2.22"));
    QApplication::setApplicationVersion(QStringLiteral("2.22"));
    QApplication::setDesktopFileName(QStringLiteral("lumorav3"));
    QApplication::setWindowIcon(lumora::shell::LumoraIcon(lumora::shell::IconId::Application));

    const ScreenshotOptions options = ParseOptions(app);
    const lumora::Result<lumora::TMainWindowPaths> beside = lumora::TMainWindowPaths::BesideProgram();
    if (!beside) {  // without its own folder the program finds neither its settings nor its library
        lumora::ShowErrorBox(nullptr, lumora::MessageText(beside.message()));
        return 1;
    }
    lumora::TMainWindowPaths paths = beside.value();
    if (!options.settings.isEmpty())
        paths.settingsFile = paths.settingsSaveFile = options.settings;
    if (!options.picture.isEmpty())
        paths.userStateFile = paths.recoveryFolder = QString();  // pictures show the defaults
    lumora::TfrmMain window(paths);
    window.ShowAsRemembered();
    if (!options.picture.isEmpty())
        TakeScreenshot(window, options);
    window.OpenFiles(options.files);
    return app.exec();
}
