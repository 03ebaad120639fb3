// The item model through which Tree1 shows the document's navigation tree.
// Indexes point at the document's own nodes; the model follows every change
// (rebuild, added and removed nodes, new captions, selection) as a tree
// observer, so the view never holds a copy of the tree.
#pragma once

#include <QAbstractItemModel>

#include "tree_data.h"

namespace lumora {

class TTreeModel : public QAbstractItemModel, private TTreeObserver {
    Q_OBJECT
public:
    explicit TTreeModel(TTreeData& tree, QObject* parent = nullptr);
    ~TTreeModel() override;

    QModelIndex IndexOf(const TTreeNode* node) const;
    static TTreeNode* NodeAt(const QModelIndex& index);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Node tags, for tests and tools: the 32-bit data word of each node.
    static constexpr int TagRole = Qt::UserRole + 1;

signals:
    // The document selected `node` (null: no node).
    void CoreSelectionChanged(const QModelIndex& node);

private:
    void TreeAboutToReset() override;
    void TreeReset() override;
    void NodeAboutToBeAdded(const TTreeNode* parent, int row) override;
    void NodeAdded(const TTreeNode* node) override;
    void NodeAboutToBeRemoved(const TTreeNode* node) override;
    void NodeRemoved(const TTreeNode* parent, int row) override;
    void NodeChanged(const TTreeNode* node) override;
    void SelectionChanged(const TTreeNode* node) override;

    TTreeData& tree_;
};

}  // namespace lumora
