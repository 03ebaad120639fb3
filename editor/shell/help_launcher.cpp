#include "help_launcher.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include "command_guard.h"

namespace lumora {

void ShowHelpContents(QWidget* parent)
{
    const QString appDir = QCoreApplication::applicationDirPath();
    for (const QString& candidate : {appDir + "/help/index.html", appDir + "/../share/LumoraV3/help/index.html"}) {
        if (QFileInfo::exists(candidate)) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(QDir::cleanPath(candidate)));
            return;
        }
    }
    ShowErrorBox(parent, QStringLiteral("The help manual is not installed."));
}

}  // namespace lumora
