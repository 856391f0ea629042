#include "catalog/ObjectTree.h"

#include <algorithm>

namespace pw {

namespace {

unsigned char Fold(unsigned char c) { return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c; }

void Outline(const ObjectTree& tree, TreeItem first, int depth, std::string& out) {
    for (TreeItem item = first; item != kNoItem; item = tree.NextSibling(item)) {
        out.append(static_cast<std::size_t>(depth) * 2, ' ');
        out += tree.ItemText(item);
        out += '\n';
        Outline(tree, tree.FirstChild(item), depth + 1, out);
    }
}

}  // namespace

bool TreeTextLess(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = Fold(static_cast<unsigned char>(a[i]));
        const unsigned char y = Fold(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y;
    }
    if (a.size() != b.size()) return a.size() < b.size();
    return a < b;
}

const InMemoryObjectTree::Node* InMemoryObjectTree::Find(TreeItem item) const {
    if (item < 0 || static_cast<std::size_t>(item) >= nodes_.size()) return nullptr;
    return &nodes_[static_cast<std::size_t>(item)];
}

InMemoryObjectTree::Node* InMemoryObjectTree::Find(TreeItem item) {
    if (item < 0 || static_cast<std::size_t>(item) >= nodes_.size()) return nullptr;
    return &nodes_[static_cast<std::size_t>(item)];
}

TreeItem InMemoryObjectTree::InsertItem(const std::string& text, TreeItem parent, bool asFirst) {
    if (Find(parent) == nullptr) parent = kNoItem;
    const TreeItem item = static_cast<TreeItem>(nodes_.size());
    Node node;
    node.text = text;
    node.parent = parent;
    nodes_.push_back(std::move(node));
    Node& p = *Find(parent);
    Node& self = nodes_.back();
    if (p.firstChild == kNoItem) {
        p.firstChild = p.lastChild = item;
    } else if (asFirst) {
        self.next = p.firstChild;
        nodes_[static_cast<std::size_t>(p.firstChild)].previous = item;
        p.firstChild = item;
    } else {
        self.previous = p.lastChild;
        nodes_[static_cast<std::size_t>(p.lastChild)].next = item;
        p.lastChild = item;
    }
    return item;
}

void InMemoryObjectTree::SetItemData(TreeItem item, std::int64_t data) {
    if (item != kNoItem)
        if (Node* n = Find(item)) n->data = data;
}

std::int64_t InMemoryObjectTree::ItemData(TreeItem item) const {
    const Node* n = item != kNoItem ? Find(item) : nullptr;
    return n ? n->data : 0;
}

void InMemoryObjectTree::SetBold(TreeItem item, bool bold) {
    if (item != kNoItem)
        if (Node* n = Find(item)) n->bold = bold;
}

bool InMemoryObjectTree::IsBold(TreeItem item) const {
    const Node* n = item != kNoItem ? Find(item) : nullptr;
    return n && n->bold;
}

std::vector<TreeItem> InMemoryObjectTree::Children(TreeItem item) const {
    std::vector<TreeItem> children;
    const Node* n = Find(item);
    if (!n) return children;
    for (TreeItem c = n->firstChild; c != kNoItem; c = nodes_[static_cast<std::size_t>(c)].next) children.push_back(c);
    return children;
}

TreeItem InMemoryObjectTree::FindChild(TreeItem parent, const std::string& text) const {
    for (const TreeItem c : Children(parent))
        if (ItemText(c) == text) return c;
    return kNoItem;
}

void InMemoryObjectTree::SortChildren(TreeItem item) {
    std::vector<TreeItem> children = Children(item);
    if (children.size() < 2) return;
    std::stable_sort(children.begin(), children.end(), [this](TreeItem a, TreeItem b) {
        return TreeTextLess(nodes_[static_cast<std::size_t>(a)].text, nodes_[static_cast<std::size_t>(b)].text);
    });
    Node& parent = *Find(item);
    parent.firstChild = children.front();
    parent.lastChild = children.back();
    for (std::size_t i = 0; i < children.size(); ++i) {
        Node& c = nodes_[static_cast<std::size_t>(children[i])];
        c.previous = i == 0 ? kNoItem : children[i - 1];
        c.next = i + 1 == children.size() ? kNoItem : children[i + 1];
    }
}

std::string InMemoryObjectTree::ItemText(TreeItem item) const {
    const Node* n = item != kNoItem ? Find(item) : nullptr;
    return n ? n->text : std::string();
}

TreeItem InMemoryObjectTree::Parent(TreeItem item) const {
    const Node* n = item != kNoItem ? Find(item) : nullptr;
    return n ? n->parent : kNoItem;
}

TreeItem InMemoryObjectTree::FirstChild(TreeItem item) const {
    const Node* n = Find(item);
    return n ? n->firstChild : kNoItem;
}

TreeItem InMemoryObjectTree::NextSibling(TreeItem item) const {
    const Node* n = item != kNoItem ? Find(item) : nullptr;
    return n ? n->next : kNoItem;
}

void InMemoryObjectTree::DeleteAll() { nodes_.assign(1, Node{}); }

std::string TreeOutline(const ObjectTree& tree) {
    std::string out;
    Outline(tree, tree.FirstChild(kNoItem), 0, out);
    return out;
}

}  // namespace pw
