#pragma once
// The engine's FrameView over the main window's widgets: the record grid,
// the text box, the page label, the paging buttons, the caption bar, the
// progress bar, message boxes and the two special log operations.
//
// Called from workers: every change is queued for the user-interface thread
// (in order); a message box makes the worker wait until it is closed. Grid
// rows are gathered into batches so a screen page of 1000 rows costs a few
// queued calls, not a thousand.

#include <QStringList>

#include <memory>
#include <mutex>
#include <vector>

#include "workflow/FrameView.h"

namespace app {

class CMainFrame;

class QtFrameView final : public pw::FrameView {
public:
    explicit QtFrameView(CMainFrame& frame) : frame_(frame) {}

    void DeleteAllRows() override;
    void DeleteColumns(std::int32_t count) override;
    void InsertColumn(std::int32_t position, const std::string& title) override;
    void InsertRow(std::int32_t index, const std::vector<pw::ColumnDescriptor>& row,
                   std::span<const std::size_t> cells) override;
    void ShowGrid(bool show) override;
    void RedrawGrid() override;
    void SetText(const std::string& text) override;
    void SetPageLabel(const std::string& text) override;
    void EnablePrevious(bool enable) override;
    void EnableNext(bool enable) override;
    void SetCaption(const std::string& text) override;
    void ShowProgress(bool show) override;
    void MessageBox(const std::string& text) override;
    void ReplaceLastLogLine(const std::string& text) override;
    void WriteLogFileLine(const std::string& text) override;

private:
    struct RowBatch {
        std::int32_t firstIndex = 0;
        std::vector<QStringList> rows;
    };
    // Queues `work` after the rows gathered so far.
    template <typename F>
    void Change(F&& work);

    CMainFrame& frame_;
    std::mutex batchMutex_;
    // The batch still open for more rows (its flush is queued already).
    std::shared_ptr<RowBatch> openBatch_;
};

}  // namespace app
