#pragma once
// ObjectTree: the operations the tree builder and the selection dispatch need
// from a tree of labelled items.
//
// The GUI implements it over its tree widget; InMemoryObjectTree serves the
// command-line tool and the tests. Items are opaque handles; kNoItem (0)
// names no item and, as a parent, the invisible top level.

#include <cstdint>
#include <string>
#include <vector>

namespace pw {

using TreeItem = std::int64_t;
inline constexpr TreeItem kNoItem = 0;

class ObjectTree {
public:
    virtual ~ObjectTree() = default;
    // Inserts an item labelled `text` under `parent` (kNoItem: the top level),
    // as the first or the last of its siblings; its data starts at 0.
    virtual TreeItem InsertItem(const std::string& text, TreeItem parent, bool asFirst) = 0;
    virtual void SetItemData(TreeItem item, std::int64_t data) = 0;
    virtual std::int64_t ItemData(TreeItem item) const = 0;
    virtual void SetBold(TreeItem item, bool bold) = 0;
    // Sorts the children of `item` (one level) by their text.
    virtual void SortChildren(TreeItem item) = 0;
    virtual std::string ItemText(TreeItem item) const = 0;
    // kNoItem for a top-level item or an unknown one.
    virtual TreeItem Parent(TreeItem item) const = 0;
    virtual TreeItem FirstChild(TreeItem item) const = 0;
    virtual TreeItem NextSibling(TreeItem item) const = 0;
    // Removes every item.
    virtual void DeleteAll() = 0;
};

// The order of the tree's own sort: letters compare without regard to case
// (ASCII), ties are broken by the exact bytes so the order is total.
bool TreeTextLess(const std::string& a, const std::string& b);

class InMemoryObjectTree final : public ObjectTree {
public:
    TreeItem InsertItem(const std::string& text, TreeItem parent, bool asFirst) override;
    void SetItemData(TreeItem item, std::int64_t data) override;
    std::int64_t ItemData(TreeItem item) const override;
    void SetBold(TreeItem item, bool bold) override;
    void SortChildren(TreeItem item) override;
    std::string ItemText(TreeItem item) const override;
    TreeItem Parent(TreeItem item) const override;
    TreeItem FirstChild(TreeItem item) const override;
    TreeItem NextSibling(TreeItem item) const override;
    void DeleteAll() override;

    bool IsBold(TreeItem item) const;
    // The children of `item` (kNoItem: the top level), in visible order.
    std::vector<TreeItem> Children(TreeItem item) const;
    // The first child of `parent` labelled `text`, or kNoItem.
    TreeItem FindChild(TreeItem parent, const std::string& text) const;
    std::size_t ItemCount() const { return nodes_.size() - 1; }

private:
    struct Node {
        std::string text;
        TreeItem parent = kNoItem;
        TreeItem firstChild = kNoItem;
        TreeItem lastChild = kNoItem;
        TreeItem next = kNoItem;
        TreeItem previous = kNoItem;
        std::int64_t data = 0;
        bool bold = false;
    };
    const Node* Find(TreeItem item) const;
    Node* Find(TreeItem item);

    // Node 0 is the invisible top level.
    std::vector<Node> nodes_{Node{}};
};

// The tree as text: one line per item, in visible order, each indented by
// two spaces per level below the top.
std::string TreeOutline(const ObjectTree& tree);

}  // namespace pw
