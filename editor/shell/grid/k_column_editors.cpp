#include "k_column_editors.h"

#include <QComboBox>
#include <QLineEdit>

#include "shell_text.h"

namespace lumora {

TkColumnEditors::TkColumnEditors(QObject* parent, ListProvider listFor)
    : QStyledItemDelegate(parent), listFor_(std::move(listFor))
{
}

QWidget* TkColumnEditors::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const
{
    const QStringList items = listFor_ ? listFor_(index.column()) : QStringList();
    if (items.isEmpty()) {
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        edit->setAlignment(Qt::AlignCenter);
        return edit;
    }
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QStringLiteral("CellComboBox"));
    combo->addItems(items);
    return combo;
}

void TkColumnEditors::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->setCurrentIndex(combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
        edit->selectAll();
    }
}

void TkColumnEditors::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        if (combo->currentIndex() >= 0)
            model->setData(index, combo->currentText(), Qt::EditRole);
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        // Keep the text a person typed as bytes, like every cell.
        model->setData(index, NameText(NameBytes(edit->text())), Qt::EditRole);
    }
}

void TkColumnEditors::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                           const QModelIndex&) const
{
    editor->setGeometry(option.rect);
}

}  // namespace lumora
