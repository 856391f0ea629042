#include "QtObjectTree.h"

#include <QTreeWidgetItem>

#include "GuiThread.h"
#include "ObjectTreeControl.h"

namespace app {

namespace {
constexpr int kHandleRole = Qt::UserRole + 2;
}

QTreeWidgetItem* QtObjectTree::ItemOf(pw::TreeItem item) const { return items_.value(item, nullptr); }

pw::TreeItem QtObjectTree::HandleOf(const QTreeWidgetItem* item) const {
    return item == nullptr ? pw::kNoItem : item->data(0, kHandleRole).toLongLong();
}

pw::TreeItem QtObjectTree::InsertItem(const std::string& text, pw::TreeItem parent, bool asFirst) {
    const pw::TreeItem handle = nextHandle_.fetch_add(1);
    const QString label = QString::fromStdString(text);
    Post(&receiver_, [this, handle, label, parent, asFirst] {
        QTreeWidgetItem* parentItem = parent == pw::kNoItem ? nullptr : ItemOf(parent);
        // An unknown parent (cleared meanwhile) gets no child.
        if (parent != pw::kNoItem && parentItem == nullptr) return;
        QTreeWidgetItem* item = tree_.InsertItem(label, parentItem, asFirst);
        item->setData(0, kHandleRole, static_cast<qlonglong>(handle));
        items_.insert(handle, item);
    });
    return handle;
}

void QtObjectTree::SetItemData(pw::TreeItem item, std::int64_t data) {
    Post(&receiver_, [this, item, data] { CXHtmlTree::SetItemData(ItemOf(item), data); });
}

std::int64_t QtObjectTree::ItemData(pw::TreeItem item) const {
    return Call(&receiver_, [this, item] { return static_cast<std::int64_t>(CXHtmlTree::ItemData(ItemOf(item))); });
}

void QtObjectTree::SetBold(pw::TreeItem item, bool bold) {
    Post(&receiver_, [this, item, bold] { CXHtmlTree::SetBold(ItemOf(item), bold); });
}

void QtObjectTree::SortChildren(pw::TreeItem item) {
    Post(&receiver_, [this, item] {
        if (item == pw::kNoItem) tree_.sortItems(0, Qt::AscendingOrder);
        else CXHtmlTree::SortChildren(ItemOf(item));
    });
}

std::string QtObjectTree::ItemText(pw::TreeItem item) const {
    return Call(&receiver_, [this, item] {
        const QTreeWidgetItem* it = ItemOf(item);
        return it == nullptr ? std::string() : it->text(0).toStdString();
    });
}

pw::TreeItem QtObjectTree::Parent(pw::TreeItem item) const {
    return Call(&receiver_, [this, item] {
        const QTreeWidgetItem* it = ItemOf(item);
        return it == nullptr ? pw::kNoItem : HandleOf(it->parent());
    });
}

pw::TreeItem QtObjectTree::FirstChild(pw::TreeItem item) const {
    return Call(&receiver_, [this, item] {
        if (item == pw::kNoItem) return HandleOf(tree_.topLevelItem(0));
        const QTreeWidgetItem* it = ItemOf(item);
        return it == nullptr || it->childCount() == 0 ? pw::kNoItem : HandleOf(it->child(0));
    });
}

pw::TreeItem QtObjectTree::NextSibling(pw::TreeItem item) const {
    return Call(&receiver_, [this, item] {
        QTreeWidgetItem* it = ItemOf(item);
        if (it == nullptr) return pw::kNoItem;
        QTreeWidgetItem* parent = it->parent();
        const int index = parent != nullptr ? parent->indexOfChild(it) : tree_.indexOfTopLevelItem(it);
        QTreeWidgetItem* next = parent != nullptr ? parent->child(index + 1) : tree_.topLevelItem(index + 1);
        return HandleOf(next);
    });
}

void QtObjectTree::DeleteAll() {
    Post(&receiver_, [this] {
        items_.clear();
        tree_.DeleteAll();
    });
}

}  // namespace app
