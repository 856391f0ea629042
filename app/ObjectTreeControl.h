#pragma once
// CXHtmlTree: the object tree of the "MS SQL Database Objects" pane.
//
// Items carry an integer (1 for objects, 0 for folders), may be bold and
// have a check box whose state the program never reads. Only a left click on
// an item's label reports a selection (LabelClicked); the arrow keys, the
// expand button, the check box and empty space report nothing.
//
// CFileView: the dockable pane around it.

#include <QDockWidget>
#include <QTreeWidget>

namespace app {

class CXHtmlTree : public QTreeWidget {
    Q_OBJECT
public:
    explicit CXHtmlTree(QWidget* parent = nullptr);

    // The operations the tree builder uses (user-interface thread only).
    QTreeWidgetItem* InsertItem(const QString& text, QTreeWidgetItem* parent, bool first);
    static void SetItemData(QTreeWidgetItem* item, qint64 data);
    static qint64 ItemData(const QTreeWidgetItem* item);
    static void SetBold(QTreeWidgetItem* item, bool bold);
    static bool IsBold(const QTreeWidgetItem* item);
    static void SortChildren(QTreeWidgetItem* item);
    // Makes `item` the current and only selected item, reporting nothing.
    void SelectItem(QTreeWidgetItem* item);
    // Removes every item; no selection is left behind.
    void DeleteAll();

    // The rectangle of an item's label in viewport coordinates (for tests).
    QRect LabelRect(QTreeWidgetItem* item) const;

signals:
    // A left click on the label of `item`, after it became the selected item.
    void LabelClicked(QTreeWidgetItem* item);

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    QIcon folderIcon_, objectIcon_;
};

class CFileView : public QDockWidget {
    Q_OBJECT
public:
    explicit CFileView(QWidget* parent = nullptr);
    CXHtmlTree* Tree() const { return tree_; }

private:
    CXHtmlTree* tree_ = nullptr;
};

}  // namespace app
