#include "frm_menu_config.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <iterator>

#include "dialog_common.h"
#include "intparse.h"

namespace lumora {

using dialogs::MakeDropDown;
using dialogs::SelectPosition;
using dialogs::ToBytes;
using dialogs::ToQ;

namespace {

constexpr int kTimeOffsetItems = 49;  // GMT -12:00 ... +12:00 in half hours
constexpr int kUHFOffsetBias = 4;  // item "-4" is position 0

QStringList TimeOffsetNames()
{
    QStringList names;
    for (int position = 0; position < kTimeOffsetItems; ++position) {
        const int minutes = 30 * position - 720;
        const QChar sign = minutes < 0 ? QChar('-') : minutes > 0 ? QChar('+') : QChar(' ');
        const int magnitude = std::abs(minutes);
        names << QStringLiteral("GMT %1%2:%3")
                     .arg(sign)
                     .arg(magnitude / 60, 2, 10, QChar('0'))
                     .arg(magnitude % 60, 2, 10, QChar('0'));
    }
    return names;
}

QStringList NumberNames(int first, int last)
{
    QStringList names;
    for (int i = first; i <= last; ++i)
        names << QString::number(i);
    return names;
}

QStringList LanguageNames(const TLanguageSet& set)
{
    QStringList names;
    const int count = std::clamp(set.wLanguageNum, 0, kLanguageSetCapacity);
    for (int i = 0; i < count; ++i)
        names << ToQ(set.Language[i]);
    return names;
}

QGroupBox* Section(const QString& title, QFormLayout* rows)
{
    auto* box = new QGroupBox(title);
    box->setLayout(rows);
    return box;
}

uint8_t PositionByte(const QComboBox* combo) { return static_cast<uint8_t>(combo->currentIndex()); }

}  // namespace

TfrmMenuConfig::TfrmMenuConfig(TApplicationState& state, QWidget* parent) : QDialog(parent), m_state(state)
{
    dialogs::SetUpDialogWindow(this, QStringLiteral("Menu Data Configuration"));
    BuildLayout();
    FormCreate();
}

void TfrmMenuConfig::BuildLayout()
{
    FC1 = new QComboBox(this);
    FC2 = new QComboBox(this);
    FC3 = new QComboBox(this);
    FC4 = MakeDropDown(this, TimeOffsetNames());
    FC8 = MakeDropDown(this, {"CVBS", "S-VHS", "RGB"});
    FC9 = MakeDropDown(this, {"MONO", "STEREO"});
    FC16 = MakeDropDown(this, {"ON", "OFF"});
    FC10 = MakeDropDown(this, {"4:3", "16:9"});
    FC11 = new QComboBox(this);
    FE1 = new QLineEdit(this);
    FC6 = MakeDropDown(this, {"PAL I", "PAL B", "PAL G", "PAL D", "PAL K"});
    FC7 = MakeDropDown(this, NumberNames(-4, 4));
    FC12 = MakeDropDown(this, {"OPAQUE", "20%", "40%", "60%", "80%", "TRANPARENT"});
    FC13 = MakeDropDown(this, NumberNames(0, 20));
    FC14 = MakeDropDown(this, {"PICTURE 1", "PICTURE 2"});
    FC15 = MakeDropDown(this, {"AUTO", "MANUAL"});
    FC17 = MakeDropDown(this, {"NO BLOCK", "6", "10", "14", "18", "TOTAL BLOCK"});

    auto* language = new QFormLayout;
    language->addRow(QStringLiteral("Menu Language"), FC1);
    language->addRow(QStringLiteral("Audio Language"), FC2);
    language->addRow(QStringLiteral("Subtitle Language"), FC3);
    auto* time = new QFormLayout;
    time->addRow(QStringLiteral("Time Offset"), FC4);
    auto* av = new QFormLayout;
    av->addRow(QStringLiteral("Video Output"), FC8);
    av->addRow(QStringLiteral("Audio Output"), FC9);
    av->addRow(QStringLiteral("DOLBY DIGITAL"), FC16);
    av->addRow(QStringLiteral("Screen Mode"), FC10);
    av->addRow(QStringLiteral("Screen Format"), FC11);
    auto* uhf = new QFormLayout;
    uhf->addRow(QStringLiteral("Channel(or VHF)"), FE1);
    uhf->addRow(QStringLiteral("PAL"), FC6);
    uhf->addRow(QStringLiteral("Offset"), FC7);
    auto* other = new QFormLayout;
    other->addRow(QStringLiteral("OSD Transparency"), FC12);
    other->addRow(QStringLiteral("Display Time"), FC13);
    other->addRow(QStringLiteral("Background Image"), FC14);
    other->addRow(QStringLiteral("Change Reserved Mode"), FC15);
    other->addRow(QStringLiteral("Parental Control"), FC17);

    auto* grid = new QGridLayout;
    grid->addWidget(Section(QStringLiteral("Language Setting"), language), 0, 0);
    grid->addWidget(Section(QStringLiteral("Time Setting"), time), 1, 0);
    grid->addWidget(Section(QStringLiteral("UHF Tuning"), uhf), 2, 0);
    grid->addWidget(Section(QStringLiteral("A/V Output Setting"), av), 0, 1);
    grid->addWidget(Section(QStringLiteral("Other Setting"), other), 1, 1, 2, 1);

    auto* buttons = new QHBoxLayout;
    const auto okCancel = dialogs::AddOkCancelRow(this, buttons);
    connect(okCancel.ok, &QPushButton::clicked, this, [this] { OkClick(); });
    connect(FC10, &QComboBox::currentIndexChanged, this, [this] { FC10Change(); });

    auto* root = new QVBoxLayout(this);
    root->addLayout(grid);
    root->addLayout(buttons);

    // Tab goes down the left column, then down the right one, then to the buttons.
    QWidget* const order[] = {FC1,
                              FC2,
                              FC3,
                              FC4,
                              FE1,
                              FC6,
                              FC7,
                              FC8,
                              FC9,
                              FC16,
                              FC10,
                              FC11,
                              FC12,
                              FC13,
                              FC14,
                              FC15,
                              FC17,
                              okCancel.ok,
                              okCancel.cancel};
    for (std::size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

void TfrmMenuConfig::FormCreate()
{
    FC1->addItems(LanguageNames(m_state.Settings.MenuLanguage));
    FC2->addItems(LanguageNames(m_state.Settings.AudioLanguage));
    FC3->addItems(LanguageNames(m_state.Settings.SubtitleLanguage));
}

void TfrmMenuConfig::SelectLanguage(QComboBox* list, const TLanguageSet& set, uint8_t position)
{
    // Sorted display; the record keeps positions in the settings' set.
    QStringList names = LanguageNames(set);
    dialogs::SortNames(names);
    list->clear();
    list->addItems(names);
    list->setEnabled(position < names.size());
    list->setCurrentIndex(list->isEnabled() ? int(list->findText(ToQ(set.Language[position]))) : -1);
}

void TfrmMenuConfig::InitData(const TMenuConfigItem& record)
{
    pMenuConfigData = record;
    const TSettings& settings = m_state.Settings;
    SelectLanguage(FC1, settings.MenuLanguage, record.nMenuLang);
    SelectLanguage(FC2, settings.AudioLanguage, record.nMainAudioLang);
    SelectLanguage(FC3, settings.SubtitleLanguage, record.nSubtitleLang);
    SelectPosition(FC16, record.n2ndAudioLang);
    SelectPosition(FC4, DecodeTimeOffset(record.nTimeOffset));
    FE1->setText(QString::number(record.nUHFChannel));
    SelectPosition(FC6, record.nUHFPAL);
    SelectPosition(FC7, record.nUHFOffset + kUHFOffsetBias);
    SelectPosition(FC8, record.nVideoOutput);
    SelectPosition(FC9, record.nAudioOutput);
    {
        const QSignalBlocker blocker(FC10);
        SelectPosition(FC10, record.nScreenMode);
    }
    FillScreenFormats(FC10->currentIndex());
    const int format = record.nScreenMode == 0 ? (record.nDisplayFormat & 0x0F) : (record.nDisplayFormat >> 4) - 2;
    SelectPosition(FC11, format);
    SelectPosition(FC12, record.nInfoboxType);
    SelectPosition(FC13, record.nInfoboxTime);
    SelectPosition(FC14, record.nMenuBackground);
    SelectPosition(FC15, record.nChangeReservedMode);
    SelectPosition(FC17, record.nCensorShip);
}

void TfrmMenuConfig::FillScreenFormats(int screenMode)
{
    FC11->clear();
    if (screenMode == 0)
        FC11->addItems({"LETTER-BOX", "CENTER"});
    else
        FC11->addItems({"PILLAR-BOX", "FULL"});
}

void TfrmMenuConfig::FC10Change()
{
    FillScreenFormats(FC10->currentIndex());
    FC11->setCurrentIndex(0);
}

TMenuConfigItem TfrmMenuConfig::MakeData()
{
    TMenuConfigItem data = pMenuConfigData;
    const TSettings& settings = m_state.Settings;
    const std::string menu = ToBytes(FC1->currentText());
    const std::string audio = ToBytes(FC2->currentText());
    const std::string subtitle = ToBytes(FC3->currentText());
    if (FC1->isEnabled())
        data.nMenuLang = static_cast<uint8_t>(GetLangStrIdx(settings.MenuLanguage, menu));
    if (FC2->isEnabled())
        data.nMainAudioLang = static_cast<uint8_t>(GetLangStrIdx(settings.AudioLanguage, audio));
    if (FC3->isEnabled())
        data.nSubtitleLang = static_cast<uint8_t>(GetLangStrIdx(settings.SubtitleLanguage, subtitle));
    data.n2ndAudioLang = PositionByte(FC16);
    data.nTimeOffset = EncodeTimeOffset(FC4->currentIndex());
    data.nUHFChannel = static_cast<uint8_t>(dialogs::FieldToInt(FE1));
    data.nUHFPAL = PositionByte(FC6);
    data.nUHFOffset = static_cast<int16_t>(FC7->currentIndex() - kUHFOffsetBias);
    data.nVideoOutput = PositionByte(FC8);
    data.nAudioOutput = PositionByte(FC9);
    data.nScreenMode = PositionByte(FC10);
    data.nDisplayFormat =
        static_cast<uint8_t>(data.nScreenMode == 0 ? FC11->currentIndex() : FC11->currentIndex() * 16 + 32);
    data.nInfoboxType = PositionByte(FC12);
    data.nInfoboxTime = PositionByte(FC13);
    data.nMenuBackground = PositionByte(FC14);
    data.nChangeReservedMode = PositionByte(FC15);
    data.nCensorShip = PositionByte(FC17);
    // Names are taken only once the whole record converted.
    pMenuConfigData = data;
    MenuStr = menu;
    AudioStr = audio;
    SubStr = subtitle;
    return data;
}

void TfrmMenuConfig::OkClick()
{
    try {
        const TMenuConfigItem record = MakeData();
        m_result = TMenuDialogResult{record, TMenuLanguageNames{MenuStr, AudioStr, SubStr}};
    } catch (const EConvertError& error) {
        dialogs::ShowErrorBox(this, QString::fromLatin1(error.what()));
        FE1->setFocus();
        FE1->selectAll();
        return;
    }
    accept();
}

int TfrmMenuConfig::GetLangStrIdx(const TLanguageSet& set, const std::string& name)
{
    const int count = std::clamp(set.wLanguageNum, 0, kLanguageSetCapacity);
    for (int i = 0; i < count; ++i) {
        if (set.Language[i] == name)
            return i;
    }
    return -1;
}

uint32_t TfrmMenuConfig::EncodeTimeOffset(int position)
{
    const int minutes = 30 * position - 720;
    return static_cast<uint32_t>(minutes / 60 * 100 + minutes % 60);
}

int TfrmMenuConfig::DecodeTimeOffset(uint32_t nTimeOffset)
{
    const int32_t value = static_cast<int32_t>(nTimeOffset);
    const int minutes = value / 100 * 60 + value % 100;
    return minutes / 30 + 24;
}

}  // namespace lumora
