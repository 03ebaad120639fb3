#include "command_guard.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <exception>

#include "shell_text.h"

namespace lumora {

void ShowErrorBox(QWidget* parent, const QString& message)
{
    QString text = message;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox::critical(parent, QGuiApplication::applicationDisplayName(), text);
}

bool RunCommand(QWidget* parent, const std::function<void()>& command)
{
    try {
        command();
        return true;
    } catch (const std::exception& e) {
        ShowErrorBox(parent, MessageText(e.what()));
    } catch (...) {
        ShowErrorBox(parent, QStringLiteral("Unknown error"));
    }
    return false;
}

}  // namespace lumora
