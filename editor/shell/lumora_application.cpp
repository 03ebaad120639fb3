#include "lumora_application.h"

#include <exception>

#include "command_guard.h"
#include "shell_text.h"

namespace lumora {

LumoraApplication::LumoraApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool LumoraApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        ShowErrorBox(activeWindow(), ErrorMessageOf(e));
    } catch (...) {
        ShowErrorBox(activeWindow(), QStringLiteral("Unknown error"));
    }
    return false;
}

}  // namespace lumora
