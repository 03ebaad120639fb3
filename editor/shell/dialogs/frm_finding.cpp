#include "frm_finding.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "shell_text.h"

namespace lumora {

namespace {

bool IsLatin1(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

QDialogButtonBox* OkCancelButtons(QDialog* dialog)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

TfrmReplaceNames::TfrmReplaceNames(int selected, int listed, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmReplaceNames"));
    setWindowTitle(tr("Replace in Names"));
    FindEdit = new QLineEdit(this);
    FindEdit->setObjectName(QStringLiteral("FindEdit"));
    ReplaceEdit = new QLineEdit(this);
    ReplaceEdit->setObjectName(QStringLiteral("ReplaceEdit"));
    SelectedOnly = new QRadioButton(tr("Selected services only (%1)").arg(selected), this);
    AllListed = new QRadioButton(tr("All listed services (%1)").arg(listed), this);
    (selected > 1 ? SelectedOnly : AllListed)->setChecked(true);
    auto* form = new QFormLayout;
    form->addRow(tr("Find:"), FindEdit);
    form->addRow(tr("Replace with:"), ReplaceEdit);
    auto* buttons = OkCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfrmReplaceNames::OkClick);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(SelectedOnly);
    layout->addWidget(AllListed);
    layout->addWidget(new QLabel(tr("Upper and lower case count as typed."), this));
    layout->addWidget(buttons);
}

void TfrmReplaceNames::OkClick()
{
    if (FindEdit->text().isEmpty()) {
        QMessageBox::warning(this, windowTitle(), tr("Type the text to find."));
        return;
    }
    if (!IsLatin1(FindEdit->text()) || !IsLatin1(ReplaceEdit->text())) {
        QMessageBox::warning(this, windowTitle(),
                             tr("Service names hold only ISO 8859-1 (Latin-1) characters; the texts contain others."));
        return;
    }
    accept();
}

TReplaceNamesRequest TfrmReplaceNames::Result() const
{
    return {NameBytes(FindEdit->text()), NameBytes(ReplaceEdit->text()), SelectedOnly->isChecked()};
}

TfrmRemoveDuplicates::TfrmRemoveDuplicates(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmRemoveDuplicates"));
    setWindowTitle(tr("Remove Duplicate Services"));
    SameStreamAndId = new QRadioButton(tr("Same transport stream and service id"), this);
    SameNameAndStream = new QRadioButton(tr("Same name on the same transport stream"), this);
    SameStreamAndId->setChecked(true);
    auto* buttons = OkCancelButtons(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Services count as duplicates when they have:"), this));
    layout->addWidget(SameStreamAndId);
    layout->addWidget(SameNameAndStream);
    layout->addWidget(new QLabel(tr("The first service of each group is kept; favorite entries of the others\n"
                                    "move to it."),
                                 this));
    layout->addWidget(buttons);
}

DuplicateKey TfrmRemoveDuplicates::Result() const
{
    return SameNameAndStream->isChecked() ? DuplicateKey::NameAndStream : DuplicateKey::StreamAndServiceId;
}

}  // namespace lumora
