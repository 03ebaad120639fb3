// "Transport Stream Setting": one satellite transport stream and the name of
// its network. On OK the stream is left in TSResult item 0 and the network in
// NetworkResult item 0 (both counts 1). The typed numbers are converted only
// on OK; CANCEL and Escape always close without a conversion.
#pragma once

#include <QDialog>

#include "app_state.h"

class QComboBox;
class QLineEdit;

namespace lumora {

class TfrmTSSetting : public QDialog {
    Q_OBJECT
public:
    explicit TfrmTSSetting(TApplicationState& state, QWidget* parent = nullptr);

    void InitData(const TTSItem& ts, const TNetworkInfo& networks);

    QComboBox* FC3 = nullptr;  // antenna alternative 1..32
    QLineEdit* FlatEdit1 = nullptr;  // network name, read-only
    QLineEdit* FM1 = nullptr;  // TS ID
    QLineEdit* Fm2 = nullptr;  // network ID
    QLineEdit* FM3 = nullptr;  // frequency
    QLineEdit* FM4 = nullptr;  // symbol rate
    QComboBox* FC1 = nullptr;  // polarization
    QComboBox* FC2 = nullptr;  // FEC

    // "OK": converts the fields and writes the results; on a field that is not
    // an integer shows the error and keeps the dialog open.
    void OkClick();

private:
    TApplicationState& m_state;
    TTSItem pData{};
    TNetworkItem pnData{};
};

}  // namespace lumora
