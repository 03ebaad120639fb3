// "TS Setting": one cable transport stream. The constellation lives in the
// FEC byte counted from 1 ("16-QAM" = 1). On OK the stream is left in
// TSResult item 0 (count 1); CANCEL and Escape always close without a
// conversion.
#pragma once

#include <QDialog>

#include "app_state.h"

class QComboBox;
class QLineEdit;

namespace lumora {

class TfrmQAMTSSetting : public QDialog {
    Q_OBJECT
public:
    explicit TfrmQAMTSSetting(TApplicationState& state, QWidget* parent = nullptr);

    void InitData(const TTSItem& ts);

    QLineEdit* Fe1 = nullptr;  // frequency
    QLineEdit* Fe2 = nullptr;  // symbol rate
    QLineEdit* FM1 = nullptr;  // TS ID
    QLineEdit* Fm2 = nullptr;  // network ID
    QComboBox* FC1 = nullptr;  // constellation

    // "OK": converts the fields and writes the result; on a field that is not
    // an integer shows the error and keeps the dialog open.
    void OkClick();

private:
    TApplicationState& m_state;
    TTSItem pData{};
};

}  // namespace lumora
