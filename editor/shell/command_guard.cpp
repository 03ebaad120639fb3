#include "command_guard.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <exception>
#include <string>

#include "intparse.h"
#include "shell_text.h"

namespace lumora {

QString ErrorMessageOf(const std::exception& error)
{
    // A conversion error names text typed into a cell or field: single-byte
    // text like every name (its NULs are already blanks).
    if (const auto* conversion = dynamic_cast<const EConvertError*>(&error))
        return NameText(conversion->Message());
    // Other errors name files and system reasons.
    return MessageText(error.what());
}

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
        ShowErrorBox(parent, ErrorMessageOf(e));
    } catch (...) {
        ShowErrorBox(parent, QStringLiteral("Unknown error"));
    }
    return false;
}

}  // namespace lumora
