#include "frm_antenna.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "dialog_common.h"
#include "intparse.h"

namespace lumora {

using dialogs::ToBytes;
using dialogs::ToQ;

namespace {

const QString kUserDefine = QStringLiteral("User Define");
const QString kUniversal = QStringLiteral("UNIVERSAL");

// ucOtherSetting: bits 1-4 DiSEqC input, bit 5 motor, bit 6 22 kHz tone, bit 7 DC switch.
constexpr int kDiseqcShift = 1;
constexpr int kDiseqcMask = 0x0F;
constexpr int kMotorBit = 5;
constexpr int kToneBit = 6;
constexpr int kDCSwitchBit = 7;
constexpr uint32_t kLNBFrequencyMask = 0xFFFFFF;

int SatelliteCount(const TLanguageSet& set) { return std::clamp(set.wLanguageNum, 0, kLanguageSetCapacity); }

}  // namespace

TfrmAntenna::TfrmAntenna(TApplicationState& state, QWidget* parent) : QDialog(parent), m_state(state)
{
    dialogs::SetUpDialogWindow(this, QStringLiteral("Antenna Setting"));
    FC1 = new QComboBox(this);
    FE1 = new QLineEdit(this);
    FE2 = dialogs::MakeDropDown(this, {kUniversal, "5150", "9750", "10600", "10750", "11300", "11475"});
    FE2->setEditable(true);
    FE2->setInsertPolicy(QComboBox::NoInsert);
    const QStringList onOff = {"DISABLE", "ENABLE"};
    FC2 = dialogs::MakeDropDown(this, onOff);
    FC3 = dialogs::MakeDropDown(this, onOff);
    FC4 = dialogs::MakeDropDown(
        this, {"DiSEqC A", "DiSEqC B", "DiSEqC C", "DiSEqC D", "DISABLE", "Tone Burst A", "Tone Burst B"});
    FC5 = dialogs::MakeDropDown(this, onOff);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Satellite Name"), FC1);
    form->addRow(QString(), FE1);
    form->addRow(QStringLiteral("Frequency"), FE2);
    form->addRow(QStringLiteral("22KHz Tone"), FC2);
    form->addRow(QStringLiteral("DC Switch"), FC3);
    form->addRow(QStringLiteral("DiSEqc Input"), FC4);
    form->addRow(QStringLiteral("Motorised"), FC5);
    auto* buttons = new QHBoxLayout;
    const auto okCancel = dialogs::AddOkCancelRow(this, buttons);
    connect(okCancel.ok, &QPushButton::clicked, this, [this] {
        m_result = MakeData();
        accept();
    });
    auto* root = new QVBoxLayout(this);
    root->addLayout(form);
    root->addLayout(buttons);
    FormCreate();
}

void TfrmAntenna::FormCreate()
{
    const TLanguageSet& satellites = m_state.Settings.AntennaLanguage;
    QStringList names;
    for (int i = 0; i < SatelliteCount(satellites); ++i)
        names << ToQ(satellites.Language[i]);
    names << kUserDefine;
    FC1->addItems(names);
    connect(FC1, &QComboBox::currentIndexChanged, this, [this] { FC1Change(); });
}

void TfrmAntenna::InitData(const TAntennaSetting& antenna)
{
    pData = antenna;
    const TLanguageSet& satellites = m_state.Settings.AntennaLanguage;
    const int count = SatelliteCount(satellites);

    QStringList names;
    for (int i = 0; i < FC1->count(); ++i)
        names << FC1->itemText(i);
    dialogs::SortNames(names);
    FC1->clear();
    FC1->addItems(names);
    if (antenna.ucSatelliteId < count)
        FC1->setCurrentIndex(int(FC1->findText(ToQ(satellites.Language[antenna.ucSatelliteId]))));
    else if (antenna.ucSatelliteId == count)
        FC1->setCurrentIndex(int(FC1->findText(kUserDefine)));
    else
        FC1->setCurrentIndex(-1);
    // The own name is kept (disabled) for other satellites too, so OK does not drop it.
    FE1->setText(ToQ(antenna.szLNBName));
    FE1->setEnabled(antenna.ucSatelliteId == count);

    FE2->setCurrentText(antenna.dwLNBFreq == kUniversalLNB ? kUniversal
                                                           : QString::number(antenna.dwLNBFreq & kLNBFrequencyMask));
    const int bits = antenna.ucOtherSetting;
    FC2->setCurrentIndex((bits >> kToneBit) & 1);
    FC3->setCurrentIndex((bits >> kDCSwitchBit) & 1);
    dialogs::SelectPosition(FC4, (bits >> kDiseqcShift) & kDiseqcMask);
    FC5->setCurrentIndex((bits >> kMotorBit) & 1);
}

void TfrmAntenna::FC1Change() { FE1->setEnabled(FC1->currentText() == kUserDefine); }

TAntennaSetting TfrmAntenna::MakeData() const
{
    TAntennaSetting antenna = pData;
    const int satellite = GetLangStr(m_state.Settings.AntennaLanguage, ToBytes(FC1->currentText()));
    if (FC1->isEnabled() && satellite != -1)
        antenna.ucSatelliteId = static_cast<uint8_t>(satellite);
    antenna.szLNBName = ToBytes(FE1->text());
    try {
        antenna.dwLNBFreq = static_cast<uint32_t>(StrToInt(ToBytes(FE2->currentText())));
    } catch (const EConvertError&) {
        antenna.dwLNBFreq = kUniversalLNB;  // "UNIVERSAL" and any other text
    }
    // A DiSEqC value the list does not offer (from a file) is kept as it was.
    const int given = pData.ucOtherSetting;
    const int diseqc = dialogs::PositionOr(FC4, (given >> kDiseqcShift) & kDiseqcMask);
    antenna.ucOtherSetting =
        static_cast<uint8_t>((FC2->currentIndex() << kToneBit) | (FC3->currentIndex() << kDCSwitchBit) |
                             (diseqc << kDiseqcShift) | (FC5->currentIndex() << kMotorBit));
    return antenna;
}

int TfrmAntenna::GetLangStr(const TLanguageSet& set, const std::string& name)
{
    const int count = SatelliteCount(set);
    for (int i = 0; i < count; ++i) {
        if (set.Language[i] == name)
            return i;
    }
    return name == "User Define" ? count : -1;
}

}  // namespace lumora
