// The general error handler. A command that fails with an exception (an
// integer that does not parse, a file that cannot be read or written, a
// conversion that failed) ends where it failed; its message is shown in an
// error box and the program goes on.
#pragma once

#include <QString>
#include <exception>
#include <functional>

class QWidget;

namespace lumora {

// Runs `command`; returns false when it raised an error (already shown).
bool RunCommand(QWidget* parent, const std::function<void()>& command);

// The error box of the general error handler; "\r" marks a line break.
void ShowErrorBox(QWidget* parent, const QString& message);

// The whole message of an error, as the error box shows it.
QString ErrorMessageOf(const std::exception& error);

}  // namespace lumora
