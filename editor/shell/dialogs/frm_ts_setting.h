// "Transport Stream Setting": one satellite transport stream and the name of
// its network. On OK the stream and its network record are kept in the dialog
// for Result(). The typed numbers are converted only on OK; CANCEL and Escape
// always close without a conversion.
#pragma once

#include <QDialog>

#include "ui_port.h"

class QComboBox;
class QLineEdit;

namespace lumora {

class TfrmTSSetting : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTSSetting(QWidget* parent = nullptr);

    void InitData(const TTSItem& ts, const TNetworkInfo& networks);

    QComboBox* FC3 = nullptr;  // antenna alternative 1..32
    QLineEdit* FlatEdit1 = nullptr;  // network name, read-only
    QLineEdit* FM1 = nullptr;  // TS ID
    QLineEdit* Fm2 = nullptr;  // network ID
    QLineEdit* FM3 = nullptr;  // frequency
    QLineEdit* FM4 = nullptr;  // symbol rate
    QComboBox* FC1 = nullptr;  // polarization
    QComboBox* FC2 = nullptr;  // FEC

    // "OK": converts the fields and takes the result; on a field that is not
    // an integer shows the error and keeps the dialog open.
    void OkClick();
    // The stream and network taken on OK; meaningful only after the dialog was accepted.
    TStreamDialogResult Result() const { return m_result; }

private:
    TTSItem pData{};
    TNetworkItem pnData{};
    TStreamDialogResult m_result{};
};

}  // namespace lumora
