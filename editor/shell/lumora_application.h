// The program's application object. Besides the commands' own error handling
// (RunCommand) it is the last resort of the general error handler: an error
// that escapes an event handler is shown in an error box instead of ending
// the program.
#pragma once

#include <QApplication>

namespace lumora {

class LumoraApplication : public QApplication {
    Q_OBJECT
public:
    LumoraApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace lumora
