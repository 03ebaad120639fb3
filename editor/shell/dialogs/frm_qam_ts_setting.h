// "TS Setting": one cable transport stream. The constellation lives in the
// FEC byte counted from 1 ("16-QAM" = 1). Result() holds the stream as given
// to InitData and, after OK, as edited; CANCEL and Escape always close without
// a conversion.
#pragma once

#include <QDialog>

#include "records.h"

class QComboBox;
class QLineEdit;

namespace lumora {

class TfrmQAMTSSetting : public QDialog {
    Q_OBJECT
public:
    explicit TfrmQAMTSSetting(QWidget* parent = nullptr);

    void InitData(const TTSItem& ts);

    QLineEdit* Fe1 = nullptr;  // frequency
    QLineEdit* Fe2 = nullptr;  // symbol rate
    QLineEdit* FM1 = nullptr;  // TS ID
    QLineEdit* Fm2 = nullptr;  // network ID
    QComboBox* FC1 = nullptr;  // constellation

    // "OK": converts the fields and takes the result; on a field that is not
    // an integer shows the error and keeps the dialog open.
    void OkClick();
    const TTSItem& Result() const { return m_result; }

private:
    TTSItem pData{};
    TTSItem m_result{};
};

}  // namespace lumora
