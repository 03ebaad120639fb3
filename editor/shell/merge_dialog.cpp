#include "merge_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "database_identity.h"
#include "service_numbering.h"
#include "shell_text.h"

namespace lumora {

namespace {

// What a tree item stands for: its kind and the source record's index.
enum ItemKind { kAntennaItem = 1, kStreamItem, kServiceItem };
constexpr int kKindRole = Qt::UserRole;
constexpr int kIndexRole = Qt::UserRole + 1;

QTreeWidgetItem* CheckableItem(const QString& text, ItemKind kind, int32_t index)
{
    auto* item = new QTreeWidgetItem({text});
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable | Qt::ItemIsAutoTristate);
    item->setCheckState(0, Qt::Unchecked);
    item->setData(0, kKindRole, int(kind));
    item->setData(0, kIndexRole, int(index));
    return item;
}

QString AntennaText(const TAntennaSetting& antenna, int slot, const TSettings& settings)
{
    const TLanguageSet& satellites = settings.AntennaLanguage;
    const int id = antenna.ucSatelliteId;
    const std::string name = id < satellites.wLanguageNum && id < kLanguageSetCapacity
                                 ? satellites.Language[std::size_t(id)]
                                 : std::string(TrimmedName(antenna.szLNBName));
    const QString lnb = antenna.dwLNBFreq == kUniversalLNB ? QStringLiteral("UNIVERSAL")
                                                           : QString::number(antenna.dwLNBFreq & 0xFFFFFFu);
    return QStringLiteral("Antenna %1: %2 (LNB %3)").arg(slot + 1).arg(NameText(name), lnb);
}

QString StreamText(const TTSItem& ts, bool cable)
{
    QString text = QString::number(ts.SATTSInfo.dwFrequency);
    if (!cable)
        text += QLatin1Char(' ') + NameText(PolarizationName(ts.SATTSInfo.ucPolarization)).left(1);
    return text + QStringLiteral(" %1").arg(ts.SATTSInfo.dwSymbolRate);
}

QString ServiceText(const TServiceItem& s)
{
    return QStringLiteral("%1 (%2 %3%4)")
        .arg(NameText(s.szServiceName),
             s.ServiceType == kServiceTypeRadio ? QStringLiteral("radio") : QStringLiteral("TV"))
        .arg(s.wServiceId)
        .arg(s.bScrambled ? QStringLiteral(", scrambled") : QString());
}

}  // namespace

TMergeDialog::TMergeDialog(const TDatabaseSide& target, const TMergeSource& source, const TIdentityRules& rules,
                           const TSettings& settings, QWidget* parent)
    : QDialog(parent), target_(target), source_(source), rules_(rules)
{
    setObjectName(QStringLiteral("MergeDialog"));
    setWindowTitle(tr("Merge From %1").arg(NameText(source.name)));
    Tree = new QTreeWidget(this);
    Tree->setHeaderHidden(true);
    TV = new QCheckBox(tr("TV"), this);
    Radio = new QCheckBox(tr("Radio"), this);
    FreeOnly = new QCheckBox(tr("Free-to-air only"), this);
    TV->setChecked(true);
    Radio->setChecked(true);
    Policy = new QComboBox(this);
    for (TMergePolicy policy : {TMergePolicy::FillEmpty, TMergePolicy::TakeTheirs, TMergePolicy::KeepMine})
        Policy->addItem(QLatin1String(PolicyTitle(policy)), int(policy));
    Favorites = new QCheckBox(tr("Bring favorites"), this);
    Counts = new QLabel(this);
    Counts->setObjectName(QStringLiteral("MergeCounts"));
    Counts->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    MergeButton = buttons->addButton(tr("Merge"), QDialogButtonBox::AcceptRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* filters = new QHBoxLayout;
    for (QWidget* w : {static_cast<QWidget*>(TV), static_cast<QWidget*>(Radio), static_cast<QWidget*>(FreeOnly)})
        filters->addWidget(w);
    filters->addStretch();
    auto* form = new QFormLayout;
    form->addRow(tr("When both have it:"), Policy);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addLayout(form);
    layout->addWidget(Favorites);
    layout->addWidget(Tree, 1);
    layout->addWidget(Counts);
    layout->addWidget(buttons);
    resize(520, 560);

    FillTree(settings);
    preview_.setSingleShot(true);
    preview_.setInterval(0);
    connect(&preview_, &QTimer::timeout, this, &TMergeDialog::ShowPreview);
    connect(Tree, &QTreeWidget::itemChanged, &preview_, qOverload<>(&QTimer::start));
    for (QCheckBox* box : {TV, Radio, FreeOnly, Favorites})
        connect(box, &QCheckBox::toggled, this, &TMergeDialog::ShowPreview);
    connect(Policy, &QComboBox::currentIndexChanged, this, &TMergeDialog::ShowPreview);
    ShowPreview();
}

void TMergeDialog::FillTree(const TSettings& settings)
{
    const TChannelDatabase& db = source_.db;
    std::vector<QTreeWidgetItem*> antennas(kAntennaCapacity, nullptr), streams(std::size_t(StreamCount(db)), nullptr);
    for (int32_t t = 0; t < StreamCount(db); ++t) {
        const int32_t slot = AntennaOfStream(db, t);
        if (slot < 0)
            continue;
        QTreeWidgetItem*& antenna = antennas[std::size_t(slot)];
        if (!antenna) {
            antenna = CheckableItem(AntennaText(db.AntennaList.AntennaInfo[std::size_t(slot)], slot, settings),
                                    kAntennaItem, slot);
        }
        streams[std::size_t(t)] =
            CheckableItem(StreamText(db.TSInfo.Info[std::size_t(t)], rules_.cable), kStreamItem, t);
        antenna->addChild(streams[std::size_t(t)]);
    }
    for (int32_t r = 0; r < ServiceCount(db); ++r)
        if (const int32_t t = StreamOfService(db, r); t >= 0 && streams[std::size_t(t)])
            streams[std::size_t(t)]->addChild(
                CheckableItem(ServiceText(db.ServiceInfo.pServiceInfo[std::size_t(r)]), kServiceItem, r));
    for (QTreeWidgetItem* antenna : antennas)
        if (antenna)
            Tree->addTopLevelItem(antenna);
}

TMergeOptions TMergeDialog::Options() const
{
    TMergeOptions options;
    TMergeSelection& selection = options.selection;
    selection.whole = false;
    selection.tv = TV->isChecked();
    selection.radio = Radio->isChecked();
    selection.freeOnly = FreeOnly->isChecked();
    options.policy = TMergePolicy(Policy->currentData().toInt());
    options.favorites = Favorites->isChecked();
    // Checked antennas and streams bring their empty streams too; partly
    // checked ones bring only their checked services.
    for (QTreeWidgetItemIterator it(Tree, QTreeWidgetItemIterator::Checked); *it; ++it) {
        const int32_t index = (*it)->data(0, kIndexRole).toInt();
        switch ((*it)->data(0, kKindRole).toInt()) {
        case kAntennaItem: selection.antennas.push_back(index); break;
        case kStreamItem: selection.streams.push_back(index); break;
        default: selection.services.push_back(index); break;
        }
    }
    return options;
}

void TMergeDialog::ShowPreview()
{
    const TMergeOptions options = Options();
    const bool chosen = !options.selection.antennas.empty() || !options.selection.streams.empty() ||
                        !options.selection.services.empty();
    const TMergeReport report = MergeDatabases(target_, source_, options, rules_, nullptr);
    QStringList lines;
    for (const std::string& line : MergeReportLines(report))
        lines << NameText(line);
    Counts->setText(chosen ? lines.join(QLatin1Char('\n')) : tr("Check the antennas, streams or services to merge."));
    MergeButton->setEnabled(chosen && report.Fits());
}

}  // namespace lumora
