#include "ObjectTreeControl.h"

#include <QFrame>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "AppTexts.h"
#include "catalog/ObjectTree.h"

namespace app {

namespace {
constexpr int kDataRole = Qt::UserRole + 1;
}

CXHtmlTree::CXHtmlTree(QWidget* parent) : QTreeWidget(parent) {
    setObjectName(QStringLiteral("objectTree"));
    setColumnCount(1);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(true);
    // Long labels widen the column and bring a horizontal scroll bar.
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setIconSize(QSize(16, 16));
    folderIcon_ = style()->standardIcon(QStyle::SP_DirIcon);
    objectIcon_ = style()->standardIcon(QStyle::SP_FileIcon);
}

QTreeWidgetItem* CXHtmlTree::InsertItem(const QString& text, QTreeWidgetItem* parent, bool first) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(0, Qt::Unchecked);
    item->setIcon(0, folderIcon_);
    item->setToolTip(0, text);
    item->setData(0, kDataRole, qint64{0});
    if (parent == nullptr) {
        if (first) insertTopLevelItem(0, item);
        else addTopLevelItem(item);
    } else {
        if (first) parent->insertChild(0, item);
        else parent->addChild(item);
    }
    return item;
}

void CXHtmlTree::SetItemData(QTreeWidgetItem* item, qint64 data) {
    if (item == nullptr) return;
    item->setData(0, kDataRole, data);
    auto* tree = static_cast<CXHtmlTree*>(item->treeWidget());
    if (tree != nullptr) item->setIcon(0, data != 0 ? tree->objectIcon_ : tree->folderIcon_);
}

qint64 CXHtmlTree::ItemData(const QTreeWidgetItem* item) {
    return item == nullptr ? 0 : item->data(0, kDataRole).toLongLong();
}

void CXHtmlTree::SetBold(QTreeWidgetItem* item, bool bold) {
    if (item == nullptr) return;
    QFont font = item->font(0);
    font.setBold(bold);
    item->setFont(0, font);
}

bool CXHtmlTree::IsBold(const QTreeWidgetItem* item) { return item != nullptr && item->font(0).bold(); }

void CXHtmlTree::SortChildren(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    // The engine's order (letters without regard to case, then the exact
    // text), so the tree reads as the command-line tool prints it.
    QList<QTreeWidgetItem*> children = item->takeChildren();
    std::stable_sort(children.begin(), children.end(), [](const QTreeWidgetItem* a, const QTreeWidgetItem* b) {
        return pw::TreeTextLess(a->text(0).toStdString(), b->text(0).toStdString());
    });
    item->addChildren(children);
}

void CXHtmlTree::SelectItem(QTreeWidgetItem* item) {
    if (item == nullptr) return;
    clearSelection();
    setCurrentItem(item);
    item->setSelected(true);
}

void CXHtmlTree::DeleteAll() {
    setUpdatesEnabled(false);
    clearSelection();
    setCurrentItem(nullptr);
    clear();
    setUpdatesEnabled(true);
}

QRect CXHtmlTree::LabelRect(QTreeWidgetItem* item) const {
    const QModelIndex index = indexFromItem(item);
    if (!index.isValid()) return {};
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    option.index = index;
    option.text = item->text(0);
    option.icon = item->icon(0);
    option.features |= QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration |
                       QStyleOptionViewItem::HasCheckIndicator;
    option.checkState = item->checkState(0);
    option.font = item->font(0);
    option.fontMetrics = QFontMetrics(option.font);
    QRect text = style()->subElementRect(QStyle::SE_ItemViewItemText, &option, this);
    // The label is the text itself, not the empty width after it.
    text.setWidth(std::min(text.width(), option.fontMetrics.horizontalAdvance(option.text) + 6));
    return text;
}

void CXHtmlTree::mousePressEvent(QMouseEvent* event) {
    QTreeWidgetItem* hit = itemAt(event->position().toPoint());
    const bool onLabel = hit != nullptr && event->button() == Qt::LeftButton &&
                         LabelRect(hit).contains(event->position().toPoint());
    QTreeWidget::mousePressEvent(event);
    if (!onLabel) return;
    SelectItem(hit);
    emit LabelClicked(hit);
}

CFileView::CFileView(QWidget* parent) : QDockWidget(QString::fromUtf8(kTreePaneTitle), parent) {
    setObjectName(QStringLiteral("treePane"));
    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::NoFrame);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(1, 1, 1, 1);
    tree_ = new CXHtmlTree(frame);
    layout->addWidget(tree_);
    setWidget(frame);
    setFocusProxy(tree_);
}

}  // namespace app
