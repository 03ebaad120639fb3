#include "tree_data.h"

#include <algorithm>

namespace lumora {

namespace {
TTreeNode* FindIn(const std::vector<std::unique_ptr<TTreeNode>>& nodes,
                  const std::function<bool(const TTreeNode&)>& match)
{
    for (const auto& node : nodes) {
        if (match(*node))
            return node.get();
        if (TTreeNode* found = FindIn(node->Children(), match))
            return found;
    }
    return nullptr;
}

void VisitAll(const std::vector<std::unique_ptr<TTreeNode>>& nodes, const std::function<void(TTreeNode&)>& visit)
{
    for (const auto& node : nodes) {
        visit(*node);
        VisitAll(node->Children(), visit);
    }
}

bool Contains(const TTreeNode* ancestor, const TTreeNode* node)
{
    for (; node; node = node->Parent())
        if (node == ancestor)
            return true;
    return false;
}
}  // namespace

std::vector<std::unique_ptr<TTreeNode>>& TTreeData::SiblingsOf(const TTreeNode* node)
{
    return node->Parent() ? node->Parent()->children_ : roots_;
}

int TTreeData::RowOf(const TTreeNode* node) const
{
    const auto& siblings = node->Parent() ? node->Parent()->Children() : roots_;
    for (std::size_t i = 0; i < siblings.size(); ++i)
        if (siblings[i].get() == node)
            return int(i);
    return -1;
}

void TTreeData::Clear()
{
    if (observer_)
        observer_->TreeAboutToReset();
    selected_ = nullptr;
    roots_.clear();
    if (observer_)
        observer_->TreeReset();
}

TTreeNode* TTreeData::Add(TTreeNode* parent, std::string caption, uint32_t tag)
{
    auto& siblings = parent ? parent->children_ : roots_;
    if (observer_)
        observer_->NodeAboutToBeAdded(parent, int(siblings.size()));
    siblings.push_back(std::make_unique<TTreeNode>(parent, std::move(caption), tag));
    TTreeNode* node = siblings.back().get();
    if (observer_)
        observer_->NodeAdded(node);
    return node;
}

void TTreeData::Remove(TTreeNode* node)
{
    if (!node)
        return;
    if (observer_)
        observer_->NodeAboutToBeRemoved(node);
    if (Contains(node, selected_))
        selected_ = nullptr;
    TTreeNode* parent = node->Parent();
    int row = RowOf(node);
    auto& siblings = SiblingsOf(node);
    siblings.erase(siblings.begin() + row);
    if (observer_)
        observer_->NodeRemoved(parent, row);
}

void TTreeData::NodeChanged(TTreeNode* node)
{
    if (observer_ && node)
        observer_->NodeChanged(node);
}

void TTreeData::SetSelected(TTreeNode* node)
{
    selected_ = node;
    if (observer_)
        observer_->SelectionChanged(node);
}

TTreeNode* TTreeData::Find(const std::function<bool(const TTreeNode&)>& match) const { return FindIn(roots_, match); }

void TTreeData::ForEach(const std::function<void(TTreeNode&)>& visit) const { VisitAll(roots_, visit); }

TTreeNode* TTreeData::FindRoot(const std::string& caption) const
{
    for (const auto& root : roots_)
        if (root->Caption == caption)
            return root.get();
    return nullptr;
}

}  // namespace lumora
