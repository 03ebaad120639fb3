// "Menu Data Configuration": the user-visible part of a document's receiver
// menu defaults. Fields it does not show pass through unchanged. On OK the
// edited record and the chosen language names are kept in the dialog for
// Result().
#pragma once

#include <QDialog>
#include <string>

#include "app_state.h"
#include "ui_port.h"

class QComboBox;
class QLineEdit;

namespace lumora {

class TfrmMenuConfig : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMenuConfig(TApplicationState& state, QWidget* parent = nullptr);

    // The language names last chosen; set by the caller before InitData and
    // read back after OK.
    std::string MenuStr, AudioStr, SubStr;

    void InitData(const TMenuConfigItem& record);
    // Writes the controls into a copy of the record handed to InitData and
    // returns it. Throws EConvertError when the channel text is not an integer.
    TMenuConfigItem MakeData();

    // First position in `set` whose name equals `name`; -1 if none.
    static int GetLangStrIdx(const TLanguageSet& set, const std::string& name);

    // The "GMT" list position <-> nTimeOffset encoding (signed hours*100+minutes).
    static uint32_t EncodeTimeOffset(int position);
    static int DecodeTimeOffset(uint32_t nTimeOffset);

    QComboBox* FC1 = nullptr;  // menu language
    QComboBox* FC2 = nullptr;  // audio language
    QComboBox* FC3 = nullptr;  // subtitle language
    QComboBox* FC4 = nullptr;  // time offset
    QComboBox* FC6 = nullptr;  // PAL
    QComboBox* FC7 = nullptr;  // UHF offset
    QComboBox* FC8 = nullptr;  // video output
    QComboBox* FC9 = nullptr;  // audio output
    QComboBox* FC10 = nullptr;  // screen mode
    QComboBox* FC11 = nullptr;  // screen format
    QComboBox* FC12 = nullptr;  // OSD transparency
    QComboBox* FC13 = nullptr;  // display time
    QComboBox* FC14 = nullptr;  // background image
    QComboBox* FC15 = nullptr;  // change reserved mode
    QComboBox* FC16 = nullptr;  // dolby digital
    QComboBox* FC17 = nullptr;  // parental control
    QLineEdit* FE1 = nullptr;  // UHF channel

    // "OK": checks and takes the data; on a bad channel text the error is shown
    // and the dialog stays open, so the other changes are not lost.
    void OkClick();
    // The record and names taken on OK; meaningful only after the dialog was accepted.
    TMenuDialogResult Result() const { return m_result; }

private:
    void BuildLayout();
    void FormCreate();
    void FC10Change();
    void FillScreenFormats(int screenMode);
    void SelectLanguage(QComboBox* list, const TLanguageSet& set, uint8_t position);

    TApplicationState& m_state;
    TMenuConfigItem pMenuConfigData{};
    TMenuDialogResult m_result{};
};

}  // namespace lumora
