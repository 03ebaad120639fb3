#include "dialog_common.h"

#include <QComboBox>
#include <QDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "intparse.h"

namespace lumora::dialogs {

void SetUpDialogWindow(QDialog* dialog, const QString& caption)
{
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint |
                           Qt::MSWindowsFixedSizeDialogHint);
    dialog->setModal(true);
}

OkCancelButtons AddOkCancelRow(QDialog* dialog, QHBoxLayout* row)
{
    OkCancelButtons buttons;
    buttons.ok = new QPushButton(QStringLiteral("OK"), dialog);
    buttons.cancel = new QPushButton(QStringLiteral("CANCEL"), dialog);
    buttons.ok->setDefault(true);
    buttons.ok->setAutoDefault(true);
    buttons.cancel->setAutoDefault(false);
    QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    row->addStretch(1);
    row->addWidget(buttons.ok);
    row->addWidget(buttons.cancel);
    return buttons;
}

void LayOutForm(QDialog* dialog, const std::vector<FormRow>& rows, const std::function<void()>& ok)
{
    auto* form = new QFormLayout;
    for (const FormRow& row : rows)
        form->addRow(row.label, row.field);
    auto* buttons = new QHBoxLayout;
    const auto okCancel = AddOkCancelRow(dialog, buttons);
    QObject::connect(okCancel.ok, &QPushButton::clicked, dialog, ok);
    auto* root = new QVBoxLayout(dialog);
    root->addLayout(form);
    root->addLayout(buttons);
}

QComboBox* MakeDropDown(QWidget* parent, const QStringList& items)
{
    auto* combo = new QComboBox(parent);
    combo->addItems(items);
    return combo;
}

void SelectPosition(QComboBox* combo, int position)
{
    combo->setCurrentIndex(position >= 0 && position < combo->count() ? position : -1);
}

int PositionOr(const QComboBox* combo, int fallback)
{
    return combo->currentIndex() >= 0 ? combo->currentIndex() : fallback;
}

void SortNames(QStringList& names)
{
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
}

int32_t FieldToInt(const QLineEdit* field) { return StrToInt(ToBytes(field->text())); }

void ShowErrorBox(QWidget* parent, const QString& message)
{
    QMessageBox::critical(parent, QStringLiteral("Error"), message);
}

bool ConvertTypedFields(QWidget* dialog, const std::function<void()>& convert)
{
    try {
        convert();
        return true;
    } catch (const EConvertError& error) {
        ShowErrorBox(dialog, QString::fromLatin1(error.what()));
        return false;
    }
}

}  // namespace lumora::dialogs
