#pragma once
// CMainFrame: the single main window.
//
// Toolbar (Open, Stop, Help, About), caption bar, the "MS SQL Database
// Objects" pane with the object tree, the "Output" pane with the log, the
// record browser panel as the central view, and a status bar with the
// product link, the title and the progress bar. Long work (the scan, an
// object selection, a paging step) runs on one worker thread at a time: the
// frame sets m_bBusy before it starts one and refuses commands while it is
// set; the worker clears it. Workers reach the widgets only through queued
// calls (GuiEventSink, the tree adapter, the frame view).

#include <QMainWindow>

#include <atomic>
#include <memory>

#include "support/AppState.h"
#include "support/EventSink.h"
#include "support/Logger.h"

class QAction;
class QLabel;
class QProgressBar;
class QSettings;
class QTimer;
class QTreeWidgetItem;

namespace app {

class CFileView;
class COutputWnd;
class CKestrelStatic;
class CXHtmlTree;
class UserPrompts;
class RecoveryEngine;

// The caption bar across the top of the client area: an information icon and
// one line of status text.
class CMyCaptionBar : public QWidget {
    Q_OBJECT
public:
    explicit CMyCaptionBar(QWidget* parent = nullptr);
    void SetText(const QString& text);
    QString Text() const;

private:
    QLabel* text_ = nullptr;
};

// The EventSink of the GUI: progress, status texts and fatal errors go to the
// frame's widgets on the user-interface thread; log lines to the Logger.
class GuiEventSink final : public pw::EventSink {
public:
    explicit GuiEventSink(class CMainFrame& frame) : frame_(frame) {}
    void ProgressRange(std::int64_t low, std::int64_t high) override;
    void ProgressPosition(std::int64_t position) override;
    void StatusText(const std::string& text) override;
    void LogLine(const std::string& text) override;
    void FatalError(const std::string& text) override;

private:
    CMainFrame& frame_;
    // Positions come in faster than a screen shows them: only the latest
    // one waits for the user-interface thread.
    std::atomic<std::int64_t> latestPosition_{0};
    std::atomic<bool> positionPending_{false};
};

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(pw::AppState& state, pw::Logger& logger, UserPrompts& prompts, QSettings& settings,
               QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Commands. `presetPath` fills the data file field of the settings dialog
    // (a file named on the command line); the user still confirms with OK.
    void OnOpen(const QString& presetPath = QString());
    void OnStop();
    void OnHelp();
    void OnAbout();

    // Parts, for the engine bridge and the tests.
    pw::AppState& State() { return state_; }
    pw::Logger& Log() { return logger_; }
    UserPrompts& Prompts() { return prompts_; }
    pw::EventSink& Sink() { return sink_; }
    CXHtmlTree* Tree() const;
    COutputWnd* Output() const { return output_; }
    CKestrelStatic* Browser() const { return browser_; }
    CMyCaptionBar* CaptionBar() const { return caption_; }
    QProgressBar* Progress() const { return progress_; }
    QAction* OpenAction() const { return openAction_; }
    QAction* StopAction() const { return stopAction_; }
    QAction* HelpAction() const { return helpAction_; }
    QAction* AboutAction() const { return aboutAction_; }
    RecoveryEngine& Engine() { return *engine_; }

    // True while a worker thread has not ended (it may outlive m_bBusy after Stop).
    bool WorkerRunning() const;
    // Runs the user-interface thread's event loop until no worker runs.
    void WaitForWorker();
    // The user-interface thread's side of the sink and the frame view.
    void SetProgressRange(std::int64_t low, std::int64_t high);
    void SetProgressPosition(std::int64_t position);
    void ShowProgress(bool show);
    void SetCaption(const QString& text);
    void ShowFatalError(const QString& text);
    void ShowInformation(const QString& text);

    QString ManualPath() const;

signals:
    void WorkerFinished();

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateActions();
    void CreateStatusBar();
    void OnTreeLabelClicked(QTreeWidgetItem* item);
    void OnPreviousRecords();
    void OnNextRecords();
    void UpdateCommandStates();
    bool Busy() const { return state_.m_bBusy.load() != 0; }

    pw::AppState& state_;
    pw::Logger& logger_;
    UserPrompts& prompts_;
    QSettings& settings_;
    GuiEventSink sink_{*this};

    CFileView* fileView_ = nullptr;
    COutputWnd* output_ = nullptr;
    CKestrelStatic* browser_ = nullptr;
    CMyCaptionBar* caption_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* stopAction_ = nullptr;
    QAction* helpAction_ = nullptr;
    QAction* aboutAction_ = nullptr;
    QTimer* busyWatch_ = nullptr;
    bool workerSeen_ = false;
    bool layoutRestored_ = false;
    bool shownOnce_ = false;
    std::unique_ptr<RecoveryEngine> engine_;
    // Progress values may exceed the bar's int range: they are scaled.
    std::int64_t progressLow_ = 0, progressHigh_ = 0;
    int progressShift_ = 0;
};

}  // namespace app
