#pragma once
// RecoveryFrame: the main window's part of the recovery workflow, without a
// window. It holds the engine objects of the last scan (CRecoveryContext),
// the object tree builder and the record browser, and runs
//   Scan            the scan procedure of an Open command
//   SelectItem      the object selection of a tree item
//   Next/PreviousRecords  the paging steps
// each on the calling thread, and the same as commands on a worker thread
// through WorkerGate (one worker at a time; Stop).
//
// Every log line goes through EventSink::LogLine, in the order the steps
// write them; grid, texts, caption, progress bar and message boxes through
// FrameView.

#include <cstdint>
#include <string>

#include "catalog/ObjectSelection.h"
#include "catalog/ObjectTree.h"
#include "catalog/ObjectTreeBuilder.h"
#include "support/CodePage.h"
#include "workflow/RecordBrowser.h"
#include "workflow/RecoveryContext.h"
#include "workflow/WorkerGate.h"

namespace pw {

struct AppState;
class EventSink;
class FrameView;
class Logger;
class PageRowReader;

inline constexpr char kWaitMessage[] = "Please wait for the running process.";

class RecoveryFrame {
public:
    RecoveryFrame(AppState& state, EventSink& sink, FrameView& view, ObjectTree& tree, PageRowReader& rows);
    RecoveryFrame(const RecoveryFrame&) = delete;
    RecoveryFrame& operator=(const RecoveryFrame&) = delete;
    ~RecoveryFrame();

    // ---- the work, on the calling thread ----------------------------------------
    // The scan procedure for the primary file `path` in the recovery mode of
    // the application state; 1 on success, 0 otherwise.
    int Scan(const std::string& path);
    // The object selection of `item` (the selection worker's body).
    void SelectItem(TreeItem item);
    void NextRecords();
    void PreviousRecords();

    // ---- the commands, each on a worker ------------------------------------------
    // False, with the wait message, while another worker runs. Open also
    // starts the log file through `logger` when one is given.
    bool OpenCommand(const std::string& path, Logger* logger = nullptr);
    bool SelectCommand(TreeItem item);
    bool NextCommand();
    bool PreviousCommand();
    // Sets the stop request; the running worker ends at its next check.
    void StopCommand() { gate_.Stop(); }
    // Waits for the running worker.
    void WaitForWorker() { gate_.Wait(); }
    WorkerGate& Gate() { return gate_; }

    // ---- state ---------------------------------------------------------------------------
    CRecoveryContext& Context() { return context_; }
    ObjectTreeBuilder& Builder() { return builder_; }
    RecordBrowser& Browser() { return browser_; }
    ObjectTree& Tree() { return tree_; }
    bool AdvancedMode() const { return browser_.AdvancedMode(); }
    TreeItem SelectedItem() const { return selectedItem_; }
    const std::string& SelectedPath() const { return selectedPath_; }

    // Releases the engine objects of the last scan and clears what shows them.
    void Reset();

private:
    int FailScan(const std::string& line, bool messageBox);

    AppState& state_;
    EventSink& sink_;
    FrameView& view_;
    ObjectTree& tree_;
    [[maybe_unused]] PageRowReader& rows_;  // kept for the listings the frame starts
    CRecoveryContext context_;
    ObjectTreeBuilder builder_;
    RecordBrowser browser_;
    // Converts single-byte definition texts; used by one worker at a time.
    CodePageConverter codePages_;
    TreeItem selectedItem_ = kNoItem;
    std::string selectedPath_;
    // Declared last: its destructor waits for a running worker while the
    // members above still exist.
    WorkerGate gate_;
};

}  // namespace pw
