#include "tree_model.h"

#include "shell_text.h"

namespace lumora {

TTreeModel::TTreeModel(TTreeData& tree, QObject* parent) : QAbstractItemModel(parent), tree_(tree)
{
    tree_.SetObserver(this);
}

TTreeModel::~TTreeModel() { tree_.SetObserver(nullptr); }

TTreeNode* TTreeModel::NodeAt(const QModelIndex& index)
{
    return index.isValid() ? static_cast<TTreeNode*>(index.internalPointer()) : nullptr;
}

QModelIndex TTreeModel::IndexOf(const TTreeNode* node) const
{
    if (!node)
        return {};
    const int row = tree_.RowOf(node);
    return row < 0 ? QModelIndex() : createIndex(row, 0, const_cast<TTreeNode*>(node));
}

QModelIndex TTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    const TTreeNode* owner = NodeAt(parent);
    TTreeNode* node = owner ? owner->Child(row) : tree_.Root(row);
    return createIndex(row, 0, node);
}

QModelIndex TTreeModel::parent(const QModelIndex& child) const
{
    const TTreeNode* node = NodeAt(child);
    return node ? IndexOf(node->Parent()) : QModelIndex();
}

int TTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    const TTreeNode* node = NodeAt(parent);
    return node ? node->ChildCount() : tree_.RootCount();
}

int TTreeModel::columnCount(const QModelIndex&) const { return 1; }

QVariant TTreeModel::data(const QModelIndex& index, int role) const
{
    const TTreeNode* node = NodeAt(index);
    if (!node)
        return {};
    if (role == Qt::DisplayRole)
        return NameText(node->Caption);
    if (role == TagRole)
        return QVariant::fromValue(node->Tag);
    return {};
}

void TTreeModel::TreeAboutToReset() { beginResetModel(); }
void TTreeModel::TreeReset() { endResetModel(); }

void TTreeModel::NodeAboutToBeAdded(const TTreeNode* parent, int row) { beginInsertRows(IndexOf(parent), row, row); }

void TTreeModel::NodeAdded(const TTreeNode*) { endInsertRows(); }

void TTreeModel::NodeAboutToBeRemoved(const TTreeNode* node)
{
    const int row = tree_.RowOf(node);
    beginRemoveRows(IndexOf(node->Parent()), row, row);
}

void TTreeModel::NodeRemoved(const TTreeNode*, int) { endRemoveRows(); }

void TTreeModel::NodeChanged(const TTreeNode* node)
{
    const QModelIndex changed = IndexOf(node);
    emit dataChanged(changed, changed);
}

void TTreeModel::SelectionChanged(const TTreeNode* node) { emit CoreSelectionChanged(IndexOf(node)); }

}  // namespace lumora
