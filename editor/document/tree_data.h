// The navigation tree as data: nodes with a caption, a 32-bit tag, a level
// and children, plus the selected node. The editor's tree view shows these
// nodes directly and follows changes through a TTreeObserver.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumora {

class TTreeNode {
public:
    TTreeNode(TTreeNode* parent, std::string caption, uint32_t tag)
        : Caption(std::move(caption)), Tag(tag), parent_(parent), level_(parent ? parent->level_ + 1 : 0)
    {
    }

    TTreeNode* Parent() const { return parent_; }
    int Level() const { return level_; }
    const std::vector<std::unique_ptr<TTreeNode>>& Children() const { return children_; }
    int ChildCount() const { return int(children_.size()); }
    TTreeNode* Child(int i) const { return children_[std::size_t(i)].get(); }

    std::string Caption;
    uint32_t Tag;

private:
    friend class TTreeData;
    TTreeNode* parent_;
    int level_;
    std::vector<std::unique_ptr<TTreeNode>> children_;
};

// Notifications for a view that shows the tree. Every method has a no-op
// default, so a view overrides only what it needs.
class TTreeObserver {
public:
    virtual ~TTreeObserver() = default;
    virtual void TreeAboutToReset() {}
    virtual void TreeReset() {}
    virtual void NodeAboutToBeAdded(const TTreeNode* /*parent*/, int /*row*/) {}
    virtual void NodeAdded(const TTreeNode* /*node*/) {}
    virtual void NodeAboutToBeRemoved(const TTreeNode* /*node*/) {}
    virtual void NodeRemoved(const TTreeNode* /*parent*/, int /*row*/) {}
    virtual void NodeChanged(const TTreeNode* /*node*/) {}
    virtual void SelectionChanged(const TTreeNode* /*node*/) {}
};

class TTreeData {
public:
    void SetObserver(TTreeObserver* observer) { observer_ = observer; }

    const std::vector<std::unique_ptr<TTreeNode>>& Roots() const { return roots_; }
    int RootCount() const { return int(roots_.size()); }
    TTreeNode* Root(int i) const { return roots_[std::size_t(i)].get(); }
    // Position of a node among its siblings.
    int RowOf(const TTreeNode* node) const;

    void Clear();
    // A root node when `parent` is null, otherwise the parent's last child.
    TTreeNode* Add(TTreeNode* parent, std::string caption, uint32_t tag);
    // Removes a node with its children; a removed selection leaves no node selected.
    void Remove(TTreeNode* node);
    // Call after changing a node's caption or tag.
    void NodeChanged(TTreeNode* node);

    TTreeNode* Selected() const { return selected_; }
    // Only records the selection; the document reacts to it (Tree1Change).
    void SetSelected(TTreeNode* node);

    // First node, in display order, for which `match` is true; null if none.
    TTreeNode* Find(const std::function<bool(const TTreeNode&)>& match) const;
    // Visits every node in display order.
    void ForEach(const std::function<void(TTreeNode&)>& visit) const;
    // First root with this caption; null if none.
    TTreeNode* FindRoot(const std::string& caption) const;

private:
    std::vector<std::unique_ptr<TTreeNode>>& SiblingsOf(const TTreeNode* node);

    std::vector<std::unique_ptr<TTreeNode>> roots_;
    TTreeNode* selected_ = nullptr;
    TTreeObserver* observer_ = nullptr;
};

}  // namespace lumora
