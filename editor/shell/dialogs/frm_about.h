// The about box: program name, version, terms of use and build dates.
#pragma once

#include <QDialog>

namespace lumora {

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);
};

}  // namespace lumora
