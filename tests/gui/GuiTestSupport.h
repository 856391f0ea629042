#pragma once
// Helpers of the GUI tests: prompts that answer without a modal loop, the
// application started as the executable starts it, and ways to drive the
// settings dialog, the tree and the paging buttons as a user would.

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <functional>
#include <memory>
#include <string>

#include "AppTexts.h"
#include "MainFrame.h"
#include "ObjectTreeControl.h"
#include "OutputPane.h"
#include "RecordBrowserPanel.h"
#include "RecoveryApp.h"
#include "SettingsDialog.h"
#include "UserPrompts.h"

namespace guitest {

// Records every message and answers questions and pickers as told.
class RecordingPrompts final : public app::UserPrompts {
public:
    void Information(QWidget*, const QString& text) override { informations << text; }
    void Error(QWidget*, const QString& text) override { errors << text; }
    bool Question(QWidget*, const QString& text, bool) override {
        questions << text;
        return answer;
    }
    QString PickDataFile(QWidget*) override { return dataFile; }
    QString PickFolder(QWidget*, const QString& title) override {
        folderTitles << title;
        return folder;
    }
    void OpenUrl(const QUrl& url) override { urls << url; }

    QStringList informations, errors, questions, folderTitles;
    QList<QUrl> urls;
    bool answer = true;
    QString dataFile, folder;
};

// The application object with its main window, as main() starts it.
struct RunningApp {
    RecordingPrompts prompts;
    std::unique_ptr<app::CKestrelCaskRecoveryProjApp> recovery = std::make_unique<app::CKestrelCaskRecoveryProjApp>();
    app::CMainFrame* frame = nullptr;
    bool startedMaximized = false;

    bool Start() {
        // Every test starts from the first-run window layout.
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QString::fromUtf8(app::kSettingsKey)).clear();
        if (!recovery->InitInstance(prompts)) return false;
        frame = recovery->MainFrame();
        startedMaximized = frame->windowState().testFlag(Qt::WindowMaximized);
        // The offscreen screen is small: a desktop-sized window for the screenshots.
        frame->showNormal();
        frame->resize(1366, 820);
        return QTest::qWaitForWindowExposed(frame);
    }
    pw::AppState& State() { return recovery->State(); }
};

// The settings dialog currently open, or null.
inline app::CKestrelFileSettingDlg* OpenSettingsDialog() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<app::CKestrelFileSettingDlg*>(w); d != nullptr && d->isVisible()) return d;
    }
    return nullptr;
}

// Runs `act` on the settings dialog as soon as the Open command shows it.
inline void WhenDialogOpens(std::function<void(app::CKestrelFileSettingDlg&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (app::CKestrelFileSettingDlg* dialog = OpenSettingsDialog()) {
            timer->stop();
            timer->deleteLater();
            act(*dialog);
        }
    });
    timer->start();
}

// Open command: the dialog gets `path` through its "..." button, the mode
// list its entry, and OK is pressed.
inline void OpenThroughDialog(RunningApp& run, const QString& path, int mode = 0) {
    run.prompts.dataFile = path;
    WhenDialogOpens([mode](app::CKestrelFileSettingDlg& dialog) {
        dialog.BrowseDataFile()->click();
        dialog.RecoveryMode()->setCurrentIndex(mode);
        dialog.OkButton()->click();
        // A validation message keeps the dialog open: end it as the user would.
        if (dialog.isVisible()) dialog.CancelButton()->click();
    });
    run.frame->OpenAction()->trigger();
}

// Waits until no worker runs and what it queued is shown.
inline bool WaitIdle(app::CMainFrame& frame, int timeoutMs = 120000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        QTest::qWait(20);
        if (!frame.WorkerRunning() && frame.State().m_bBusy.load() == 0) {
            QTest::qWait(150);  // the frame notices the ended worker on its next tick
            QCoreApplication::sendPostedEvents();
            if (!frame.WorkerRunning()) return true;
        }
    }
    return false;
}

// The first child of `parent` whose text is `text` (top level when parent is null).
inline QTreeWidgetItem* Child(QTreeWidget* tree, QTreeWidgetItem* parent, const QString& text) {
    const int count = parent != nullptr ? parent->childCount() : tree->topLevelItemCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* item = parent != nullptr ? parent->child(i) : tree->topLevelItem(i);
        if (item->text(0) == text) return item;
    }
    return nullptr;
}

inline QTreeWidgetItem* Folder(QTreeWidget* tree, const QStringList& path) {
    if (tree->topLevelItemCount() == 0) return nullptr;
    QTreeWidgetItem* item = tree->topLevelItem(0);
    for (const QString& part : path) {
        item = Child(tree, item, part);
        if (item == nullptr) return nullptr;
    }
    return item;
}

// A left click on the label of `item`, as the user makes it.
inline void ClickLabel(app::CXHtmlTree* tree, QTreeWidgetItem* item) {
    for (QTreeWidgetItem* p = item->parent(); p != nullptr; p = p->parent()) p->setExpanded(true);
    tree->scrollToItem(item);
    QTest::qWait(10);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->LabelRect(item).center());
}

inline bool LogHas(app::CMainFrame& frame, const QString& line) {
    return frame.Output()->Lines().contains(line);
}

// The text of the current log file (UTF-16LE after its byte-order mark).
inline QString LogFileText(app::CMainFrame& frame) {
    QFile file(QString::fromStdString(frame.State().m_strLogFilePath));
    if (!file.open(QIODevice::ReadOnly)) return {};
    const QByteArray bytes = file.readAll();
    if (bytes.size() < 2) return {};
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
}

// Saves a picture of `widget` in the screenshot folder of the build.
inline QString SaveShot(QWidget* widget, const QString& name) {
    QDir().mkpath(QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR));
    const QString path = QDir(QStringLiteral(PAGEWRIGHT_SCREENSHOT_DIR)).filePath(name + QStringLiteral(".png"));
    widget->grab().save(path);
    return path;
}

inline QString CorpusFile(const char* name) {
    const QString path = QDir(QStringLiteral(PAGEWRIGHT_CORPUS_DIR)).filePath(QString::fromUtf8(name));
    return QFileInfo::exists(path) ? QFileInfo(path).canonicalFilePath() : QString();
}

}  // namespace guitest
