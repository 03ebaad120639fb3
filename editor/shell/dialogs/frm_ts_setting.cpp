#include "frm_ts_setting.h"

#include <QComboBox>
#include <QLineEdit>

#include "dialog_common.h"

namespace lumora {

using dialogs::FieldToInt;

namespace {

constexpr int kNumberFieldLength = 5;

QLineEdit* NumberField(QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setMaxLength(kNumberFieldLength);
    return field;
}

}  // namespace

TfrmTSSetting::TfrmTSSetting(QWidget* parent) : QDialog(parent)
{
    dialogs::SetUpDialogWindow(this, QStringLiteral("Transport Stream Setting"));
    QStringList antennas;
    for (int i = 1; i <= kAntennaCapacity; ++i)
        antennas << QString::number(i);
    FC3 = dialogs::MakeDropDown(this, antennas);
    FlatEdit1 = new QLineEdit(this);
    FlatEdit1->setReadOnly(true);
    FM1 = NumberField(this);
    Fm2 = NumberField(this);
    FM3 = NumberField(this);
    FM4 = NumberField(this);
    FC1 = dialogs::MakeDropDown(this, {"HORIZONTAL", "VERTICAL", "AUTO"});
    FC2 = dialogs::MakeDropDown(this, {"1/2", "2/3", "3/4", "5/6", "7/8", "AUTO"});

    dialogs::LayOutForm(this,
                        {{QStringLiteral("Antenna Alternative"), FC3},
                         {QStringLiteral("Network Name"), FlatEdit1},
                         {QStringLiteral("TS ID"), FM1},
                         {QStringLiteral("Network ID"), Fm2},
                         {QStringLiteral("Frequency(MHz)"), FM3},
                         {QStringLiteral("Symbolrates(KS/s)"), FM4},
                         {QStringLiteral("Polarization"), FC1},
                         {QStringLiteral("FEC"), FC2}},
                        [this] { OkClick(); });
}

void TfrmTSSetting::InitData(const TTSItem& ts, const TNetworkInfo& networks)
{
    pData = ts;
    // An index outside the table (a damaged file) shows no network, like -1.
    const bool hasNetwork =
        ts.pNetworkIndex >= 0 && ts.pNetworkIndex < networks.wNetworkNum && ts.pNetworkIndex < kNetworkCapacity;
    pnData = hasNetwork ? networks.Info[ts.pNetworkIndex] : TNetworkItem{};
    FlatEdit1->setText(dialogs::ToQ(pnData.szNetworkName));
    FM1->setText(QString::number(ts.wTsId));
    Fm2->setText(QString::number(ts.wOrgNetworkId));
    FM3->setText(QString::number(ts.SATTSInfo.dwFrequency));
    FM4->setText(QString::number(ts.SATTSInfo.dwSymbolRate));
    dialogs::SelectPosition(FC1, ts.SATTSInfo.ucPolarization);
    dialogs::SelectPosition(FC2, ts.SATTSInfo.ucFEC);
    dialogs::SelectPosition(FC3, ts.wAntennaIndex);
}

void TfrmTSSetting::OkClick()
{
    TTSItem ts = pData;
    const bool converted = dialogs::ConvertTypedFields(this, [&] {
        ts.wTsId = static_cast<uint16_t>(FieldToInt(FM1));
        ts.wOrgNetworkId = static_cast<uint16_t>(FieldToInt(Fm2));
        ts.SATTSInfo.dwFrequency = static_cast<uint32_t>(FieldToInt(FM3));
        ts.SATTSInfo.dwSymbolRate = static_cast<uint32_t>(FieldToInt(FM4));
    });
    if (!converted)
        return;
    ts.SATTSInfo.ucPolarization = static_cast<uint8_t>(dialogs::PositionOr(FC1, ts.SATTSInfo.ucPolarization));
    ts.SATTSInfo.ucFEC = static_cast<uint8_t>(dialogs::PositionOr(FC2, ts.SATTSInfo.ucFEC));
    ts.wAntennaIndex = static_cast<uint16_t>(dialogs::PositionOr(FC3, ts.wAntennaIndex));
    TNetworkItem network = pnData;
    network.szNetworkName = dialogs::ToBytes(FlatEdit1->text());
    m_result = TStreamDialogResult{ts, network};
    accept();
}

}  // namespace lumora
