#include "frm_recovered.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumora {

TfrmRecovered::TfrmRecovered(const QStringList& captions, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRecovered"));
    setWindowTitle(tr("Recovered Documents"));
    auto* text = new QLabel(tr("Lumora V3 did not end properly last time. These documents had unsaved changes "
                               "and were recovered. Open the checked ones as new documents?"),
                            this);
    text->setWordWrap(true);
    List = new QListWidget(this);
    List->setObjectName(QStringLiteral("List"));
    for (const QString& caption : captions) {
        auto* item = new QListWidgetItem(caption, List);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Checked);
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
}

QList<int> TfrmRecovered::CheckedRows() const
{
    QList<int> rows;
    for (int row = 0; row < List->count(); ++row)
        if (List->item(row)->checkState() == Qt::Checked)
            rows << row;
    return rows;
}

}  // namespace lumora
