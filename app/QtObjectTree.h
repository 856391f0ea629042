#pragma once
// The engine's ObjectTree over the tree control.
//
// The tree builder and the selection dispatch run on worker threads: every
// change to the control is queued for the user-interface thread (item
// handles are handed out at once, so an insertion does not wait), and every
// read waits for the user-interface thread, after the changes queued before
// it. Handles are numbers; the control's items know their own.

#include <QHash>

#include <atomic>

#include "catalog/ObjectTree.h"

class QObject;
class QTreeWidgetItem;

namespace app {

class CXHtmlTree;

class QtObjectTree final : public pw::ObjectTree {
public:
    // Changes go through `receiver`'s queue (the main window: one queue for
    // every change a worker makes keeps them in order).
    QtObjectTree(CXHtmlTree& tree, QObject& receiver) : tree_(tree), receiver_(receiver) {}

    pw::TreeItem InsertItem(const std::string& text, pw::TreeItem parent, bool asFirst) override;
    void SetItemData(pw::TreeItem item, std::int64_t data) override;
    std::int64_t ItemData(pw::TreeItem item) const override;
    void SetBold(pw::TreeItem item, bool bold) override;
    void SortChildren(pw::TreeItem item) override;
    std::string ItemText(pw::TreeItem item) const override;
    pw::TreeItem Parent(pw::TreeItem item) const override;
    pw::TreeItem FirstChild(pw::TreeItem item) const override;
    pw::TreeItem NextSibling(pw::TreeItem item) const override;
    void DeleteAll() override;

    // User-interface thread: between handles and the control's items.
    QTreeWidgetItem* ItemOf(pw::TreeItem item) const;
    pw::TreeItem HandleOf(const QTreeWidgetItem* item) const;

private:
    CXHtmlTree& tree_;
    QObject& receiver_;
    std::atomic<pw::TreeItem> nextHandle_{1};
    // Touched on the user-interface thread only.
    QHash<pw::TreeItem, QTreeWidgetItem*> items_;
};

}  // namespace app
