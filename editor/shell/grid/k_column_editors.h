// The standard cell editors of the service grid: a plain line edit for the
// PID columns and a drop-down list for the genre, lock, skip, network and
// provider columns. The lists come from the document through `ListFor`.
#pragma once

#include <QStringList>
#include <QStyledItemDelegate>
#include <functional>

namespace lumora {

class TkColumnEditors : public QStyledItemDelegate {
    Q_OBJECT
public:
    using ListProvider = std::function<QStringList(int column)>;

    TkColumnEditors(QObject* parent, ListProvider listFor);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;

private:
    ListProvider listFor_;
};

}  // namespace lumora
