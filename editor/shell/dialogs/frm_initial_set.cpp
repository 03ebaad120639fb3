#include "frm_initial_set.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <array>

#include "dialog_common.h"
#include "language.h"

namespace lumora {

using dialogs::ToBytes;
using dialogs::ToQ;

namespace {

const QStringList kMenuLanguages = {"ENGLISH",   "CHINESE",   "GERMAN",  "FRENCH", "ITALIAN", "SPANISH", "PORTUGUESE",
                                    "FINNISH",   "HUNGARIAN", "TURKISH", "CZECH",  "DANISH",  "SWEDISH", "RUSSIAN",
                                    "NORWEGIAN", "ARABIC",    "POLISH",  "GREEK",  "PERSIAN"};
const QStringList kAudioLanguages = {"ENGLISH",   "GERMAN",  "FRENCH",   "ITALIAN",   "SPANISH", "PORTUGUESE",
                                     "HUNGARIAN", "FINNISH", "DUTCH",    "DANISH",    "SWEDISH", "RUSSIAN",
                                     "TURKISH",   "CZECH",   "RUMANIAN", "NORWEGIAN", "GREEK"};
const QStringList kSubtitleLanguages = {"ENGLISH",   "RUSSIAN",    "GERMAN",    "FRENCH",  "ITALIAN",
                                        "SPANISH",   "PORTUGUESE", "HUNGARIAN", "FINNISH", "DANISH",
                                        "NORWEGIAN", "SWEDISH",    "GREEK"};
const QStringList kSatellites = {
    "ASTRA 1",    "ASTRA 2",      "HOTBIRD",      "EUTELSAT W2", "KOPERNIKUS 2", "KOPERNIKUS 3", "ORION",
    "TURKSAT 1C", "INTELSAT 605", "INTELSAT707",  "HISPASAT",    "THOR",         "SIRIUS 2",     "ARABSAT2A",
    "AMOS 1",     "NILESAT 101",  "TELECOM 2B2D", "EUTELSAT W4", "MOST 1",       "PANAMSAT-8",   "PANAMSAT-2",
    "MEASAT-2",   "JCSAT-3",      "ST-1",         "PALAPA-C2",   "APSTAR-2R"};
const QString kUserModel = QStringLiteral("USER MODEL");

// Default ticks of "Default Setting", by position in the defining order of
// FL2 ... FL5. Tables longer than their list are cut at the list's end; the
// menu languages beyond the table (POLISH, GREEK, PERSIAN) stay unticked.
constexpr std::array<int, 16> kDefaultMenuTicks = {1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0};
constexpr std::array<int, 18> kDefaultAudioTicks = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
constexpr std::array<int, 14> kDefaultSubtitleTicks = {1, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
constexpr std::array<int, 26> kDefaultSatelliteTicks = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
                                                        1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// The model list in defining order: the model table's first 27 names, with
// position 20 shown as "MODEL-21X".
QStringList ModelNames()
{
    QStringList names;
    for (int position = 0; position < kModelCount - 1; ++position) {
        std::string name;
        GetModelName(position, name);
        names << (position == 20 ? QStringLiteral("MODEL-21X") : ToQ(name));
    }
    return names;
}

QStringList TypeNames(int count)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("TYPE %1").arg(i);
    return names;
}

QListWidget* MakeCheckList(QWidget* parent, QStringList items)
{
    auto* list = new QListWidget(parent);
    dialogs::SortNames(items);
    for (const QString& name : items) {
        auto* item = new QListWidgetItem(name, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    // Wide enough for the longest name with its check box and a scroll bar.
    list->setMinimumWidth(list->sizeHintForColumn(0) + 2 * list->frameWidth() + 24);
    return list;
}

QGroupBox* Group(const QString& title, QWidget* content, QWidget* header = nullptr)
{
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    if (header)
        layout->addWidget(header);
    layout->addWidget(content);
    return box;
}

uint8_t PositionByte(const QComboBox* combo) { return static_cast<uint8_t>(combo->currentIndex()); }

}  // namespace

TfrmInitialSet::TfrmInitialSet(TApplicationState& state, QWidget* parent) : QDialog(parent), m_state(state)
{
    dialogs::SetUpDialogWindow(this, QStringLiteral("Lumora Operation Setting"));
    BuildLayout();
    FormCreate();
}

void TfrmInitialSet::BuildLayout()
{
    FC1 = dialogs::MakeDropDown(this, {"COM 1", "COM 2", "COM 3", "COM 4"});
    FC2 = dialogs::MakeDropDown(this, {"9600 bps", "19200 bps", "38400 bps", "57600 bps", "115200 bps"});
    FL1 = new QListWidget(this);
    FL1->setSelectionMode(QAbstractItemView::SingleSelection);
    FC6 = dialogs::MakeDropDown(this, {"ANT16", "ANT32"});
    FC3 = dialogs::MakeDropDown(this, TypeNames(7));
    FC4 = dialogs::MakeDropDown(this, TypeNames(8));
    FC5 = new QLineEdit(this);
    CmbModel = new QComboBox(this);
    FL2 = MakeCheckList(this, kMenuLanguages);
    FL3 = MakeCheckList(this, kAudioLanguages);
    FL4 = MakeCheckList(this, kSubtitleLanguages);
    FL5 = MakeCheckList(this, kSatellites);
    BtnDefault = new QPushButton(QStringLiteral("Default Setting"), this);
    BtnDefault->setAutoDefault(false);

    auto* port = new QFormLayout;
    port->addRow(QStringLiteral("Port Setting"), FC1);
    port->addRow(QStringLiteral("Baudrates Setting"), FC2);
    auto* model = new QFormLayout;
    model->addRow(QStringLiteral("Ant Type"), FC6);
    model->addRow(QStringLiteral("Menu Type"), FC3);
    model->addRow(QStringLiteral("Flash Type"), FC4);
    model->addRow(QStringLiteral("System ID"), FC5);
    auto* left = new QVBoxLayout;
    left->addLayout(port);
    left->addWidget(Group(QStringLiteral("Select Target Model"), FL1));
    left->addLayout(model);

    auto* lists = new QHBoxLayout;
    lists->addLayout(left);
    lists->addWidget(Group(QStringLiteral("Menu Language"), FL2, CmbModel));
    lists->addWidget(Group(QStringLiteral("Audio Language"), FL3));
    lists->addWidget(Group(QStringLiteral("Subtitle Language"), FL4));
    lists->addWidget(Group(QStringLiteral("Satellite Setting"), FL5));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(BtnDefault);
    const auto okCancel = dialogs::AddOkCancelRow(this, buttons);
    FlatButton2 = okCancel.ok;
    FlatButton1 = okCancel.cancel;

    auto* root = new QVBoxLayout(this);
    root->addLayout(lists);
    root->addLayout(buttons);
}

void TfrmInitialSet::FormCreate()
{
    m_privateLists[0] = ModelNames();
    m_privateLists[1] = kMenuLanguages;
    m_privateLists[2] = kAudioLanguages;
    m_privateLists[3] = kSubtitleLanguages;
    m_privateLists[4] = kSatellites;

    QStringList visibleModels = m_privateLists[0];
    dialogs::SortNames(visibleModels);
    visibleModels << kUserModel;
    m_privateLists[0] << kUserModel;
    FL1->addItems(visibleModels);

    const TSystemInfo& info = m_state.Settings.SystemInfo;
    dialogs::SelectPosition(FC6, info.ANT32);
    dialogs::SelectPosition(FC1, info.COMPORT);
    dialogs::SelectPosition(FC2, info.BAUDRATE);
    // A stored model beyond the list selects nothing; OK then keeps it.
    if (info.MODEL < m_privateLists[0].size()) {
        if (QListWidgetItem* item = VisibleItem(FL1, m_privateLists[0][info.MODEL]))
            FL1->setCurrentItem(item);
    }
    dialogs::SelectPosition(FC3, info.MENUTYPE);
    dialogs::SelectPosition(FC4, info.FLASHTYPE);
    FC5->setText(ToQ(info.SYSTEMID));

    CheckNames(1, m_state.Settings.MenuLanguage);
    CheckNames(2, m_state.Settings.AudioLanguage);
    CheckNames(3, m_state.Settings.SubtitleLanguage);
    CheckNames(4, m_state.Settings.AntennaLanguage);

    // LangModel counts in the sorted list of language-model names.
    QStringList langModels;
    for (const std::string& name : LanguageModelNames())
        langModels << ToQ(name);
    dialogs::SortNames(langModels);
    CmbModel->addItems(langModels);
    dialogs::SelectPosition(CmbModel, info.LangModel);

    // A click fills the model's defaults even on the entry already selected
    // (the first run opens with one), which changes no selection; moving
    // through the list with the keyboard changes it.
    connect(FL1, &QListWidget::itemClicked, this, [this] { FL1Click(); });
    connect(FL1, &QListWidget::itemSelectionChanged, this, [this] { FL1Click(); });
    connect(CmbModel, &QComboBox::activated, this, [this] { CmbModelChange(); });
    connect(FL5, &QListWidget::itemChanged, this, [this] { bAntennaChanged = true; });
    connect(BtnDefault, &QPushButton::clicked, this, [this] { FlatButton3Click(); });
    connect(FlatButton2, &QPushButton::clicked, this, [this] { FlatButton2Click(); });
}

void TfrmInitialSet::showEvent(QShowEvent* event)
{
    if (!m_shown && bFirstSetting)
        FlatButton3Click();
    m_shown = true;
    QDialog::showEvent(event);
}

QListWidget* TfrmInitialSet::CheckList(int list) const
{
    QListWidget* const lists[5] = {FL1, FL2, FL3, FL4, FL5};
    return lists[list];
}

QListWidgetItem* TfrmInitialSet::VisibleItem(QListWidget* list, const QString& name) const
{
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->text() == name)
            return list->item(row);
    }
    return nullptr;
}

void TfrmInitialSet::CheckNames(int list, const TLanguageSet& set)
{
    const int count = std::clamp(set.wLanguageNum, 0, kLanguageSetCapacity);
    for (int i = 0; i < count; ++i) {
        if (QListWidgetItem* item = VisibleItem(CheckList(list), ToQ(set.Language[i])))
            item->setCheckState(Qt::Checked);
    }
}

void TfrmInitialSet::StoreTicked(int list, TLanguageSet& set) const
{
    set.wLanguageNum = 0;
    for (const QString& name : m_privateLists[list]) {
        const QListWidgetItem* item = VisibleItem(CheckList(list), name);
        if (item && item->checkState() == Qt::Checked && set.wLanguageNum < kLanguageSetCapacity)
            set.Language[set.wLanguageNum++] = ToBytes(name);
    }
}

int TfrmInitialSet::GetSelectList(const QStringList& list, const QString& name) { return int(list.lastIndexOf(name)); }

int TfrmInitialSet::GetLangModelIndex(const QString& name)
{
    const auto& names = LanguageModelNames();
    for (int position = 0; position < kLanguageModelCount; ++position) {
        if (ToQ(names[position]) == name)
            return position;
    }
    return 0;
}

void TfrmInitialSet::FL1Click()
{
    const QList<QListWidgetItem*> selected = FL1->selectedItems();
    if (selected.isEmpty())
        return;
    const TDefaultSet defaults = GetDefaultSet(GetSelectList(F1List(), selected.first()->text()));
    dialogs::SelectPosition(FC3, defaults.MenuType);
    dialogs::SelectPosition(FC4, defaults.FlashType);
    FC5->setText(ToQ(defaults.SYSTEMID));
}

void TfrmInitialSet::CmbModelChange()
{
    const int model = GetLangModelIndex(CmbModel->currentText());
    for (int row = 0; row < FL2->count(); ++row)
        FL2->item(row)->setCheckState(Qt::Unchecked);
    for (int i = 0; i < m_privateLists[1].size(); ++i) {
        if (!SupportMenuLanguage(model, i))
            continue;
        if (QListWidgetItem* item = VisibleItem(FL2, m_privateLists[1][i]))
            item->setCheckState(Qt::Checked);
    }
}

void TfrmInitialSet::FlatButton3Click()
{
    const int* const ticks[4] = {kDefaultMenuTicks.data(), kDefaultAudioTicks.data(), kDefaultSubtitleTicks.data(),
                                 kDefaultSatelliteTicks.data()};
    const int tickCounts[4] = {int(kDefaultMenuTicks.size()), int(kDefaultAudioTicks.size()),
                               int(kDefaultSubtitleTicks.size()), int(kDefaultSatelliteTicks.size())};
    for (int list = 1; list <= 4; ++list) {
        QListWidget* widget = CheckList(list);
        for (int row = 0; row < widget->count(); ++row)
            widget->item(row)->setCheckState(Qt::Unchecked);
        const QStringList& names = m_privateLists[list];
        for (int i = 0; i < names.size() && i < tickCounts[list - 1]; ++i) {
            QListWidgetItem* item = VisibleItem(widget, names[i]);
            if (item && ticks[list - 1][i] == 1)
                item->setCheckState(Qt::Checked);
        }
    }
    bAntennaChanged = true;
    FC1->setCurrentIndex(0);
    FC2->setCurrentIndex(4);
    FC6->setCurrentIndex(1);
}

void TfrmInitialSet::FlatButton2Click()
{
    TSystemInfo& info = m_state.Settings.SystemInfo;
    info.ANT32 = PositionByte(FC6);
    info.COMPORT = PositionByte(FC1);
    info.BAUDRATE = PositionByte(FC2);
    const QList<QListWidgetItem*> selected = FL1->selectedItems();
    if (!selected.isEmpty())
        info.MODEL = static_cast<uint8_t>(GetSelectList(F1List(), selected.first()->text()));
    info.MENUTYPE = PositionByte(FC3);
    info.FLASHTYPE = PositionByte(FC4);
    info.SYSTEMID = ToBytes(FC5->text());
    info.LangModel = CmbModel->currentIndex();
    StoreTicked(1, m_state.Settings.MenuLanguage);
    StoreTicked(2, m_state.Settings.AudioLanguage);
    StoreTicked(3, m_state.Settings.SubtitleLanguage);
    StoreTicked(4, m_state.Settings.AntennaLanguage);
    accept();
}

}  // namespace lumora
