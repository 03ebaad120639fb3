// "Antenna Setting": one antenna entry (satellite, LNB frequency, 22 kHz tone,
// DC switch, DiSEqC input, motor). On OK the edited entry is kept in the dialog
// for Result().
#pragma once

#include <QDialog>
#include <string>

#include "app_state.h"

class QComboBox;
class QLineEdit;

namespace lumora {

class TfrmAntenna : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAntenna(TApplicationState& state, QWidget* parent = nullptr);

    void InitData(const TAntennaSetting& antenna);

    // Position of `name` in `set`; the set's count for "User Define"; -1 otherwise.
    static int GetLangStr(const TLanguageSet& set, const std::string& name);

    // The antenna as the controls now describe it.
    TAntennaSetting MakeData() const;
    // The antenna taken on OK; meaningful only after the dialog was accepted.
    const TAntennaSetting& Result() const { return m_result; }

    QComboBox* FC1 = nullptr;  // satellite name
    QLineEdit* FE1 = nullptr;  // user-defined satellite name
    QComboBox* FE2 = nullptr;  // LNB frequency, editable
    QComboBox* FC2 = nullptr;  // 22 kHz tone
    QComboBox* FC3 = nullptr;  // DC switch
    QComboBox* FC4 = nullptr;  // DiSEqC input
    QComboBox* FC5 = nullptr;  // motorised

private:
    void FormCreate();
    void FC1Change();

    TApplicationState& m_state;
    TAntennaSetting pData{};
    TAntennaSetting m_result{};
};

}  // namespace lumora
