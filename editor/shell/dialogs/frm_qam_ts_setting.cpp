#include "frm_qam_ts_setting.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dialog_common.h"
#include "intparse.h"

namespace lumora {

using dialogs::FieldToInt;

TfrmQAMTSSetting::TfrmQAMTSSetting(QWidget* parent) : QDialog(parent)
{
    dialogs::SetUpDialogWindow(this, QStringLiteral("TS Setting"));
    Fe1 = new QLineEdit(this);
    Fe2 = new QLineEdit(this);
    FM1 = new QLineEdit(this);
    FM1->setMaxLength(5);
    Fm2 = new QLineEdit(this);
    Fm2->setMaxLength(5);
    FC1 = dialogs::MakeDropDown(this, {"16-QAM", "32-QAM", "64-QAM", "128-QAM", "256-QAM", "AUTO"});

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Frequency"), Fe1);
    form->addRow(QStringLiteral("Symbolrates"), Fe2);
    form->addRow(QStringLiteral("TS ID"), FM1);
    form->addRow(QStringLiteral("Network ID"), Fm2);
    form->addRow(QStringLiteral("Constellation"), FC1);
    auto* buttons = new QHBoxLayout;
    const auto okCancel = dialogs::AddOkCancelRow(this, buttons);
    connect(okCancel.ok, &QPushButton::clicked, this, [this] { OkClick(); });
    auto* root = new QVBoxLayout(this);
    root->addLayout(form);
    root->addLayout(buttons);
}

void TfrmQAMTSSetting::InitData(const TTSItem& ts)
{
    pData = ts;
    m_result = ts;
    Fe1->setText(QString::number(ts.SATTSInfo.dwFrequency));
    Fe2->setText(QString::number(ts.SATTSInfo.dwSymbolRate));
    FM1->setText(QString::number(ts.wTsId));
    Fm2->setText(QString::number(ts.wOrgNetworkId));
    dialogs::SelectPosition(FC1, int(ts.SATTSInfo.ucFEC) - 1);
}

void TfrmQAMTSSetting::OkClick()
{
    TTSItem ts = pData;
    try {
        ts.SATTSInfo.dwFrequency = static_cast<uint32_t>(FieldToInt(Fe1));
        ts.SATTSInfo.dwSymbolRate = static_cast<uint32_t>(FieldToInt(Fe2));
        ts.wTsId = static_cast<uint16_t>(FieldToInt(FM1));
        ts.wOrgNetworkId = static_cast<uint16_t>(FieldToInt(Fm2));
    } catch (const EConvertError& error) {
        dialogs::ShowErrorBox(this, QString::fromLatin1(error.what()));
        return;
    }
    ts.SATTSInfo.ucFEC = static_cast<uint8_t>(dialogs::PositionOr(FC1, ts.SATTSInfo.ucFEC - 1) + 1);
    m_result = ts;
    accept();
}

}  // namespace lumora
