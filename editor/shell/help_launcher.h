// Opens the program's manual at its contents and index.
#pragma once

class QWidget;

namespace lumora {

void ShowHelpContents(QWidget* parent);

}  // namespace lumora
