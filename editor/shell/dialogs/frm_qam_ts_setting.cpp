#include "frm_qam_ts_setting.h"

#include <QComboBox>
#include <QLineEdit>

#include "dialog_common.h"

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

    dialogs::LayOutForm(this,
                        {{QStringLiteral("Frequency"), Fe1},
                         {QStringLiteral("Symbolrates"), Fe2},
                         {QStringLiteral("TS ID"), FM1},
                         {QStringLiteral("Network ID"), Fm2},
                         {QStringLiteral("Constellation"), FC1}},
                        [this] { OkClick(); });
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
    const bool converted = dialogs::ConvertTypedFields(this, [&] {
        ts.SATTSInfo.dwFrequency = static_cast<uint32_t>(FieldToInt(Fe1));
        ts.SATTSInfo.dwSymbolRate = static_cast<uint32_t>(FieldToInt(Fe2));
        ts.wTsId = static_cast<uint16_t>(FieldToInt(FM1));
        ts.wOrgNetworkId = static_cast<uint16_t>(FieldToInt(Fm2));
    });
    if (!converted)
        return;
    ts.SATTSInfo.ucFEC = static_cast<uint8_t>(dialogs::PositionOr(FC1, ts.SATTSInfo.ucFEC - 1) + 1);
    m_result = ts;
    accept();
}

}  // namespace lumora
