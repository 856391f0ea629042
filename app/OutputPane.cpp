#include "OutputPane.h"

#include "AppTexts.h"
#include "GuiThread.h"

namespace app {

CKestrelListCtrl::CKestrelListCtrl(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUniformItemSizes(true);
    setObjectName(QStringLiteral("logList"));
}

COutputWnd::COutputWnd(QWidget* parent) : QDockWidget(QString::fromUtf8(kOutputPaneTitle), parent) {
    setObjectName(QStringLiteral("outputPane"));
    list_ = new CKestrelListCtrl(this);
    setWidget(list_);
}

QStringList COutputWnd::Lines() const {
    QStringList lines;
    for (int i = 0; i < list_->count(); ++i) lines << list_->item(i)->text();
    return lines;
}

void COutputWnd::LineAdded(std::int32_t index, const std::string& text) {
    QString line = QString::fromStdString(text);
    // The Logger holds its lock here: the change always goes through the queue.
    Queue(this, [this, index, line] { ShowLine(index, line); });
}

void COutputWnd::LineReplaced(std::int32_t index, const std::string& text) {
    QString line = QString::fromStdString(text);
    Queue(this, [this, index, line] { ReplaceLine(index, line); });
}

void COutputWnd::ShowLine(int index, const QString& text) {
    // Line numbers arrive in order; a gap would only come from a reset pane.
    if (index < list_->count()) {
        list_->insertItem(index, text);
    } else {
        list_->addItem(text);
    }
    list_->scrollToBottom();
}

void COutputWnd::ReplaceLine(int index, const QString& text) {
    if (index >= 0 && index < list_->count()) list_->item(index)->setText(text);
}

}  // namespace app
