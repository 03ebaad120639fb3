#include "frm_service_select.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialog_common.h"

namespace lumora {

namespace {

enum Column { kNumberColumn = 0, kNameColumn = 1, kRealIndexColumn = 2, kColumnCount = 3 };

QTableWidgetItem* CentredCell(const QString& text)
{
    auto* cell = new QTableWidgetItem(text);
    cell->setTextAlignment(Qt::AlignCenter);
    cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return cell;
}

}  // namespace

TfrmServiceSelect::TfrmServiceSelect(QWidget* parent) : QDialog(parent)
{
    dialogs::SetUpDialogWindow(this, QStringLiteral("Service Select Window"));
    SG = new QTableWidget(0, kColumnCount, this);
    SG->setHorizontalHeaderLabels({"No", "Service Name", "RI"});
    SG->verticalHeader()->hide();
    SG->setColumnWidth(kNumberColumn, 41);
    SG->setColumnWidth(kNameColumn, 282);
    SG->setColumnWidth(kRealIndexColumn, 42);
    SG->setSelectionBehavior(QAbstractItemView::SelectRows);
    SG->setSelectionMode(QAbstractItemView::ContiguousSelection);
    SG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SG->setMinimumSize(400, 360);

    auto* buttons = new QHBoxLayout;
    const auto okCancel = dialogs::AddOkCancelRow(this, buttons);
    connect(okCancel.ok, &QPushButton::clicked, this, [this] {
        m_chosen = MakeData();
        accept();
    });
    auto* root = new QVBoxLayout(this);
    root->addWidget(SG);
    root->addLayout(buttons);
}

void TfrmServiceSelect::InitData(uint8_t serviceType, const TServiceInfo& services,
                                 const TServiceSelectNumbering& numbering)
{
    m_fixedNumbering = numbering.pFixServiceIndex;
    const int count = std::min(services.Count(), kServiceCapacity);
    SG->setRowCount(0);
    int row = 0;
    for (int r = 0; r < count; ++r) {
        if (services.pServiceInfo[r].ServiceType != serviceType)
            continue;
        const bool hasOP = m_fixedNumbering && r < int(numbering.OPNumbers.size());
        const int32_t number = m_fixedNumbering ? (hasOP ? numbering.OPNumbers[r] : 0) : row + 1;
        SG->insertRow(row);
        SG->setItem(row, kNumberColumn, CentredCell(QString::number(number)));
        SG->setItem(row, kNameColumn, CentredCell(dialogs::ToQ(services.pServiceInfo[r].szServiceName)));
        SG->setItem(row, kRealIndexColumn, CentredCell(QString::number(r)));
        ++row;
    }
    if (row > 0)
        SG->selectRow(0);
}

std::vector<TServiceChoice> TfrmServiceSelect::MakeData() const
{
    std::vector<TServiceChoice> selection;
    const QList<QTableWidgetSelectionRange> ranges = SG->selectedRanges();
    if (ranges.isEmpty())
        return selection;
    // Contiguous selection: one range, taken top-down. The grid never holds
    // more rows than a service table.
    const int top = ranges.first().topRow();
    const int bottom = ranges.first().bottomRow();
    for (int row = top; row <= bottom; ++row) {
        const int32_t number = SG->item(row, kNumberColumn)->text().toInt();
        selection.push_back({m_fixedNumbering ? number - 1 : number, SG->item(row, kRealIndexColumn)->text().toInt()});
    }
    return selection;
}

}  // namespace lumora
