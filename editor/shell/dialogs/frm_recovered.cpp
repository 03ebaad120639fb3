#include "frm_recovered.h"

#include <algorithm>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace lumora {

TfrmRecovered::TfrmRecovered(const QList<TRecoveredCopy>& copies, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRecovered"));
    setWindowTitle(tr("Recovered Documents"));
    auto* text = new QLabel(tr("Lumora V3 did not end properly last time. These documents had unsaved changes "
                               "and were recovered. Open the checked ones as new documents?"),
                            this);
    text->setWordWrap(true);
    List = new QTreeWidget(this);
    List->setObjectName(QStringLiteral("List"));
    List->setRootIsDecorated(false);
    List->setHeaderLabels({tr("Document"), tr("Copy written")});
    List->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    List->header()->setStretchLastSection(false);
    for (const TRecoveredCopy& copy : copies) {
        auto* item = new QTreeWidgetItem(
            List, {copy.caption, QLocale().toString(copy.written.toLocalTime(), QLocale::ShortFormat)});
        item->setToolTip(0, copy.caption);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Checked);
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* open = buttons->addButton(tr("&Open"), QDialogButtonBox::AcceptRole);
    open->setObjectName(QStringLiteral("OpenButton"));
    open->setDefault(true);
    QPushButton* discard = buttons->addButton(tr("&Discard"), QDialogButtonBox::DestructiveRole);
    discard->setObjectName(QStringLiteral("DiscardButton"));
    buttons->addButton(tr("&Not Now"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("NotNowButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(discard, &QPushButton::clicked, this, [this] { done(Discard); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(List);
    layout->addWidget(buttons);
    FitWidthToList();
}

void TfrmRecovered::FitWidthToList()
{
    const QFontMetrics metrics(List->font());
    int columns = 0;
    for (int row = 0; row < List->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = List->topLevelItem(row);
        columns =
            std::max(columns, metrics.horizontalAdvance(item->text(0)) + metrics.horizontalAdvance(item->text(1)));
    }
    // Check box, cell padding, frame and the dialog's margins.
    const int extra = 6 * metrics.averageCharWidth() + 64;
    const QScreen* shown = parentWidget() ? parentWidget()->screen() : screen();
    const int widest = shown ? shown->availableGeometry().width() * 9 / 10 : columns + extra;
    resize(std::clamp(columns + extra, 480, std::max(480, widest)), sizeHint().height());
}

QList<int> TfrmRecovered::CheckedRows() const
{
    QList<int> rows;
    for (int row = 0; row < List->topLevelItemCount(); ++row)
        if (List->topLevelItem(row)->checkState(0) == Qt::Checked)
            rows << row;
    return rows;
}

}  // namespace lumora
