// "Lumora Operation Setting": the application settings (serial port and speed,
// target model with its menu type, flash type, antenna table and system id,
// language model and the four name lists the receiver offers). Changes the
// settings in memory only, and only on OK.
#pragma once

#include <QDialog>
#include <QStringList>

#include "app_state.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace lumora {

class TfrmInitialSet : public QDialog {
    Q_OBJECT
public:
    explicit TfrmInitialSet(TApplicationState& state, QWidget* parent = nullptr);

    // Set by the caller before showing the dialog from the first-run question:
    // the dialog then opens with "Default Setting" applied.
    bool bFirstSetting = false;
    // Set when a satellite is toggled or "Default Setting" is pressed; the
    // caller rebuilds every document's tree after OK when it is set.
    bool bAntennaChanged = false;

    // Last position in `list` whose item equals `name`; -1 if none.
    static int GetSelectList(const QStringList& list, const QString& name);
    // First language-model position whose name equals `name`; 0 if none.
    static int GetLangModelIndex(const QString& name);

    // The lists in their defining order; settings always refer to this order.
    const QStringList& F1List() const { return m_privateLists[0]; }
    const QStringList& PrivateList(int list) const { return m_privateLists[list]; }

    // Controls, named as the handlers refer to them (tests drive them).
    QComboBox* FC1 = nullptr;  // port
    QComboBox* FC2 = nullptr;  // baud rate
    QComboBox* FC3 = nullptr;  // menu type
    QComboBox* FC4 = nullptr;  // flash type
    QComboBox* FC6 = nullptr;  // antenna table
    QLineEdit* FC5 = nullptr;  // system id
    QComboBox* CmbModel = nullptr;
    QListWidget* FL1 = nullptr;  // models
    QListWidget* FL2 = nullptr;  // menu languages
    QListWidget* FL3 = nullptr;  // audio languages
    QListWidget* FL4 = nullptr;  // subtitle languages
    QListWidget* FL5 = nullptr;  // satellites
    QPushButton* BtnDefault = nullptr;
    QPushButton* FlatButton2 = nullptr;  // OK
    QPushButton* FlatButton1 = nullptr;  // CANCEL

    // Handlers, public so that tests can drive them like a click would.
    void FL1Click();
    void CmbModelChange();
    void FlatButton3Click();  // "Default Setting"
    void FlatButton2Click();  // "OK"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildLayout();
    void FormCreate();
    QListWidget* CheckList(int list) const;
    QListWidgetItem* VisibleItem(QListWidget* list, const QString& name) const;
    void CheckNames(int list, const TLanguageSet& set);
    void StoreTicked(int list, TLanguageSet& set) const;

    TApplicationState& m_state;
    QStringList m_privateLists[5];  // F1List ... F5List
    bool m_shown = false;
};

}  // namespace lumora
