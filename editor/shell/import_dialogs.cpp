#include "import_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "database_identity.h"
#include "import_text.h"
#include "shell_text.h"

namespace lumora {

namespace {

enum PositionColumn { kPositionColumn, kSatelliteColumn, kStreamsColumn, kAntennaColumn };

QTableWidgetItem* ReadOnlyItem(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

QDialogButtonBox* OkCancel(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

TPositionDialog::TPositionDialog(std::vector<TPositionChoice> choices, const TChannelDatabase& target,
                                 const TSettings& settings, QWidget* parent)
    : QDialog(parent), choices_(std::move(choices))
{
    setObjectName(QStringLiteral("PositionDialog"));
    setWindowTitle(tr("Orbital Positions"));
    Table = new QTableWidget(int(choices_.size()), 4, this);
    Table->setHorizontalHeaderLabels({tr("Position"), tr("Satellite"), tr("Streams"), tr("Antenna")});
    Table->verticalHeader()->hide();
    for (int row = 0; row < int(choices_.size()); ++row) {
        const TPositionChoice& choice = choices_[std::size_t(row)];
        Table->setItem(row, kPositionColumn, ReadOnlyItem(QString::fromStdString(PositionLabel(choice.position))));
        Table->setItem(row, kSatelliteColumn, ReadOnlyItem(QString::fromStdString(choice.satellite)));
        Table->setItem(row, kStreamsColumn, ReadOnlyItem(QString::number(choice.streams)));
        Table->setCellWidget(row, kAntennaColumn, AntennaBox(choice.antenna, target, settings));
    }
    Table->resizeColumnsToContents();
    Table->horizontalHeader()->setStretchLastSection(true);
    EditTable = new QPushButton(tr("Position &Table..."), this);
    connect(EditTable, &QPushButton::clicked, this, &TPositionDialog::EditPositionTable);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(EditTable);
    bottom->addStretch();
    bottom->addWidget(OkCancel(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Choose the antenna each orbital position goes to."), this));
    layout->addWidget(Table);
    layout->addLayout(bottom);
    resize(560, 320);
}

// Antennas 1..32 with their satellites; a slot nothing uses shows "(free)".
QComboBox* TPositionDialog::AntennaBox(int32_t chosen, const TChannelDatabase& target, const TSettings& settings)
{
    auto* box = new QComboBox(Table);
    const std::vector<bool> inUse = AntennasInUse(target);
    for (int slot = 0; slot < kAntennaCapacity; ++slot) {
        const std::string name = AntennaSatelliteName(target.AntennaList.AntennaInfo[std::size_t(slot)], settings);
        box->addItem(inUse[std::size_t(slot)] ? tr("%1: %2").arg(slot + 1).arg(NameText(name))
                                              : tr("%1: (free)").arg(slot + 1));
    }
    box->setCurrentIndex(chosen);
    return box;
}

std::vector<TPositionChoice> TPositionDialog::Choices() const
{
    std::vector<TPositionChoice> choices = choices_;
    for (int row = 0; row < int(choices.size()); ++row)
        choices[std::size_t(row)].antenna =
            static_cast<QComboBox*>(Table->cellWidget(row, kAntennaColumn))->currentIndex();
    return choices;
}

void TPositionDialog::EditPositionTable()
{
    TPositionTableDialog dialog(LoadUserPositionTable(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const TPositionTable table = dialog.Result();
    if (const Status saved = SaveUserPositionTable(table); !saved)
        QMessageBox::warning(this, windowTitle(), QString::fromStdString(saved.message()));
    for (int row = 0; row < int(choices_.size()); ++row) {
        TPositionChoice& choice = choices_[std::size_t(row)];
        choice.satellite = table.NameOf(choice.position).value_or("");
        Table->item(row, kSatelliteColumn)->setText(QString::fromStdString(choice.satellite));
    }
}

TPositionTableDialog::TPositionTableDialog(const TPositionTable& table, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PositionTableDialog"));
    setWindowTitle(tr("Position Table"));
    Table = new QTableWidget(0, 2, this);
    Table->setHorizontalHeaderLabels({tr("Position"), tr("Satellite")});
    Table->verticalHeader()->hide();
    Table->horizontalHeader()->setStretchLastSection(true);
    for (const TSatellitePosition& entry : table.Entries())
        AddRow(QString::fromStdString(PositionText(entry.position)), QString::fromStdString(entry.name));
    auto* add = new QPushButton(tr("&Add"), this);
    auto* remove = new QPushButton(tr("&Remove"), this);
    connect(add, &QPushButton::clicked, this, [this] {
        AddRow(QString(), QString());
        Table->setCurrentCell(Table->rowCount() - 1, 0);
        Table->editItem(Table->currentItem());
    });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (Table->currentRow() >= 0)
            Table->removeRow(Table->currentRow());
    });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(add);
    bottom->addWidget(remove);
    bottom->addStretch();
    bottom->addWidget(OkCancel(this));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Orbital positions such as 19.2E or 30.0W, and their satellites."), this));
    layout->addWidget(Table);
    layout->addLayout(bottom);
    resize(440, 480);
}

void TPositionTableDialog::AddRow(const QString& position, const QString& name)
{
    const int row = Table->rowCount();
    Table->insertRow(row);
    Table->setItem(row, 0, new QTableWidgetItem(position));
    Table->setItem(row, 1, new QTableWidgetItem(name));
}

TPositionTable TPositionTableDialog::Result() const
{
    TPositionTable table;
    for (int row = 0; row < Table->rowCount(); ++row) {
        const QTableWidgetItem* position = Table->item(row, 0);
        const QTableWidgetItem* name = Table->item(row, 1);
        if (const auto tenths = ParsePosition(position ? position->text().toStdString() : std::string()))
            table.Set(*tenths, name ? name->text().trimmed().toStdString() : std::string());
    }
    return table;
}

// A position that does not read is named before the table is taken.
void TPositionTableDialog::accept()
{
    for (int row = 0; row < Table->rowCount(); ++row) {
        const QTableWidgetItem* position = Table->item(row, 0);
        const QString text = position ? position->text().trimmed() : QString();
        if (!ParsePosition(text.toStdString())) {
            QMessageBox::warning(
                this, windowTitle(),
                tr("Row %1: \"%2\" is no orbital position (write it like 19.2E or 30.0W).").arg(row + 1).arg(text));
            Table->setCurrentCell(row, 0);
            return;
        }
    }
    QDialog::accept();
}

}  // namespace lumora
