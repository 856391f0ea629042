#include "QtFrameView.h"

#include <QProgressBar>

#include "GuiThread.h"
#include "MainFrame.h"
#include "RecordBrowserPanel.h"

namespace app {

namespace {
// A batch is handed over when it holds this many rows (a screen page is 1000).
constexpr std::size_t kBatchRows = 250;
}

template <typename F>
void QtFrameView::Change(F&& work) {
    {
        // Rows gathered after this change belong to a new batch.
        const std::lock_guard<std::mutex> lock(batchMutex_);
        openBatch_.reset();
    }
    Post(&frame_, std::forward<F>(work));
}

void QtFrameView::InsertRow(std::int32_t index, const std::vector<pw::ColumnDescriptor>& row,
                            std::span<const std::size_t> cells) {
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(cells.size()));
    for (std::size_t cell : cells) texts << (cell < row.size() ? QString::fromStdString(row[cell].value) : QString());

    std::shared_ptr<RowBatch> batch;
    {
        const std::lock_guard<std::mutex> lock(batchMutex_);
        if (openBatch_ != nullptr && openBatch_->firstIndex + static_cast<std::int32_t>(openBatch_->rows.size()) == index &&
            openBatch_->rows.size() < kBatchRows) {
            openBatch_->rows.push_back(std::move(texts));
            return;
        }
        batch = std::make_shared<RowBatch>();
        batch->firstIndex = index;
        batch->rows.push_back(std::move(texts));
        openBatch_ = batch;
    }
    CMainFrame* frame = &frame_;
    auto flush = [frame, batch, this] {
        std::vector<QStringList> rows;
        {
            const std::lock_guard<std::mutex> lock(batchMutex_);
            rows.swap(batch->rows);
            if (openBatch_ == batch) openBatch_.reset();
        }
        frame->Browser()->InsertRows(batch->firstIndex, rows);
    };
    Post(frame, std::move(flush));
}

void QtFrameView::DeleteAllRows() {
    CMainFrame* frame = &frame_;
    Change([frame] { frame->Browser()->ClearGrid(/*columnsToo=*/false); });
}

void QtFrameView::DeleteColumns(std::int32_t count) {
    CMainFrame* frame = &frame_;
    Change([frame, count] { frame->Browser()->DeleteColumns(count); });
}

void QtFrameView::InsertColumn(std::int32_t position, const std::string& title) {
    CMainFrame* frame = &frame_;
    QString name = QString::fromStdString(title);
    Change([frame, position, name] { frame->Browser()->InsertColumn(position, name); });
}

void QtFrameView::ShowGrid(bool show) {
    CMainFrame* frame = &frame_;
    Change([frame, show] { frame->Browser()->ShowGrid(show); });
}

void QtFrameView::RedrawGrid() {
    CMainFrame* frame = &frame_;
    Change([frame] { frame->Browser()->FitColumns(); });
}

void QtFrameView::SetText(const std::string& text) {
    CMainFrame* frame = &frame_;
    QString value = QString::fromStdString(text);
    Change([frame, value] { frame->Browser()->SetText(value); });
}

void QtFrameView::SetPageLabel(const std::string& text) {
    CMainFrame* frame = &frame_;
    QString value = QString::fromStdString(text);
    Change([frame, value] { frame->Browser()->SetPageLabel(value); });
}

void QtFrameView::EnablePrevious(bool enable) {
    CMainFrame* frame = &frame_;
    Change([frame, enable] { frame->Browser()->EnablePrevious(enable); });
}

void QtFrameView::EnableNext(bool enable) {
    CMainFrame* frame = &frame_;
    Change([frame, enable] { frame->Browser()->EnableNext(enable); });
}

void QtFrameView::SetCaption(const std::string& text) {
    CMainFrame* frame = &frame_;
    QString value = QString::fromStdString(text);
    Change([frame, value] { frame->SetCaption(value); });
}

void QtFrameView::ShowProgress(bool show) {
    CMainFrame* frame = &frame_;
    Change([frame, show] { frame->ShowProgress(show); });
}

void QtFrameView::MessageBox(const std::string& text) {
    {
        const std::lock_guard<std::mutex> lock(batchMutex_);
        openBatch_.reset();
    }
    // The worker waits while the box is shown.
    CMainFrame* frame = &frame_;
    QString value = QString::fromStdString(text);
    Call(frame, [frame, value] { frame->ShowInformation(value); });
}

void QtFrameView::ReplaceLastLogLine(const std::string& text) { frame_.Log().ReplaceLastLine(text); }

void QtFrameView::WriteLogFileLine(const std::string& text) { frame_.Log().WriteFileLine(text); }

}  // namespace app
