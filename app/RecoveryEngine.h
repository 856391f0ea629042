#pragma once
// The main window's link to the recovery workflow: the engine's frame logic
// (scan, object selection, paging, one worker at a time) with the GUI's tree
// adapter, frame view and event sink.

#include <memory>

#include "QtFrameView.h"
#include "QtObjectTree.h"
#include "workflow/PageRowReader.h"
#include "workflow/RecoveryFrame.h"

class QTreeWidgetItem;

namespace app {

class CMainFrame;

class RecoveryEngine {
public:
    explicit RecoveryEngine(CMainFrame& frame);
    ~RecoveryEngine();
    RecoveryEngine(const RecoveryEngine&) = delete;
    RecoveryEngine& operator=(const RecoveryEngine&) = delete;

    // Starts the scan of the file chosen in the settings dialog. False, with
    // the wait message, while a worker still runs.
    bool StartScan();
    bool StartSelection(QTreeWidgetItem* item);
    bool StartPaging(bool next);
    void Stop();
    // Some worker thread has not ended yet (it may outlive m_bBusy after Stop).
    bool WorkerRunning() const;
    // The tree item whose selection started the last object selection.
    QTreeWidgetItem* SelectedItem() const;
    // Releases the engine objects of the last scan.
    void Release();
    // A fatal scan error: the engine objects are released once the worker has ended.
    void ReleaseAfterWorker() { releasePending_ = true; }
    // Called by the frame when it sees the worker gone.
    void WorkerEnded();

    pw::RecoveryFrame& Workflow() { return *workflow_; }
    QtObjectTree& TreeAdapter() { return tree_; }

private:
    CMainFrame& frame_;
    QtObjectTree tree_;
    QtFrameView view_;
    std::unique_ptr<pw::PageRowReader> rows_;
    std::unique_ptr<pw::RecoveryFrame> workflow_;
    bool releasePending_ = false;
};

}  // namespace app
