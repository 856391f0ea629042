#include "RecoveryEngine.h"

#include <QTreeWidgetItem>

#include "MainFrame.h"
#include "ObjectTreeControl.h"
#include "workflow/DecoderRowReader.h"

namespace app {

RecoveryEngine::RecoveryEngine(CMainFrame& frame)
    : frame_(frame), tree_(*frame.Tree(), frame), view_(frame) {
    rows_ = std::make_unique<pw::DecoderRowReader>(frame.State());
    workflow_ = std::make_unique<pw::RecoveryFrame>(frame.State(), frame.Sink(), view_, tree_, *rows_);
}

RecoveryEngine::~RecoveryEngine() {
    // The frame waited for the worker; the workflow's own wait finds none.
    workflow_.reset();
}

bool RecoveryEngine::StartScan() {
    return workflow_->OpenCommand(frame_.State().m_strMdfPath, &frame_.Log());
}

bool RecoveryEngine::StartSelection(QTreeWidgetItem* item) {
    return workflow_->SelectCommand(tree_.HandleOf(item));
}

bool RecoveryEngine::StartPaging(bool next) {
    return next ? workflow_->NextCommand() : workflow_->PreviousCommand();
}

void RecoveryEngine::Stop() { workflow_->StopCommand(); }

bool RecoveryEngine::WorkerRunning() const { return workflow_ != nullptr && workflow_->Gate().Running(); }

QTreeWidgetItem* RecoveryEngine::SelectedItem() const { return tree_.ItemOf(workflow_->SelectedItem()); }

void RecoveryEngine::Release() {
    if (WorkerRunning()) return;
    workflow_->Context().Release();
    releasePending_ = false;
}

void RecoveryEngine::WorkerEnded() {
    if (releasePending_) Release();
}

}  // namespace app
