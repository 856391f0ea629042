#pragma once
// COutputWnd: the dockable "Output" pane with the log list.
//
// One list line per log line, in the order the lines were numbered; the
// last line can be replaced (the live row counter of a listing). Lines are
// never removed while the window lives. The pane observes the engine's
// Logger from any thread and applies every change on its own thread.

#include <QDockWidget>
#include <QListWidget>

#include "support/LogObserver.h"

namespace app {

// CKestrelListCtrl: the log list (no header, one wide column, single selection).
class CKestrelListCtrl : public QListWidget {
    Q_OBJECT
public:
    explicit CKestrelListCtrl(QWidget* parent = nullptr);
};

class COutputWnd : public QDockWidget, public pw::LogObserver {
    Q_OBJECT
public:
    explicit COutputWnd(QWidget* parent = nullptr);

    CKestrelListCtrl* List() const { return list_; }
    // The texts of every line shown, for tests.
    QStringList Lines() const;

    void LineAdded(std::int32_t index, const std::string& text) override;
    void LineReplaced(std::int32_t index, const std::string& text) override;

private:
    void ShowLine(int index, const QString& text);
    void ReplaceLine(int index, const QString& text);

    CKestrelListCtrl* list_ = nullptr;
};

}  // namespace app
