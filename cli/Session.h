#pragma once
// One run of the recovery workflow for a command: the application state, the
// log (and its file with --log-dir), the object tree, the record browser and
// the scan of the primary file.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CliEventSink.h"
#include "Options.h"
#include "catalog/ObjectTree.h"
#include "support/AppState.h"
#include "support/Logger.h"
#include "workflow/FrameView.h"
#include "workflow/PageRowReader.h"
#include "workflow/RecoveryFrame.h"

namespace cli {

// The CLI's view of the frame: message boxes go to stderr (unless quiet),
// the log operations to the logger, rows to a row printer.
class CliFrameView : public pw::FrameView {
public:
    CliFrameView(pw::Logger& logger, bool quiet) : logger_(logger), quiet_(quiet) {}
    void MessageBox(const std::string& text) override {
        if (!quiet_) std::fprintf(stderr, "%s\n", text.c_str());
    }
    void ReplaceLastLogLine(const std::string& text) override { logger_.ReplaceLastLine(text); }
    void WriteLogFileLine(const std::string& text) override { logger_.WriteFileLine(text); }
    void InsertRow(std::int32_t, const std::vector<pw::ColumnDescriptor>& row, std::span<const std::size_t>) override {
        if (onRow) onRow(row);
    }

    // Receives every row the record browser shows.
    std::function<void(const std::vector<pw::ColumnDescriptor>&)> onRow;

private:
    pw::Logger& logger_;
    bool quiet_;
};

class Session {
public:
    explicit Session(const Options& options);
    ~Session();

    // Starts the log file (with --log-dir) and runs the scan of `path`. 0 when
    // the scan succeeded, else the exit code (the reason is on stderr).
    int Scan(const std::string& path);
    // The same, with the scan's progress drawn by `meter` (a bar on a terminal).
    int Scan(const std::string& path, ProgressMeter& meter);

    pw::AppState state;
    pw::Logger logger{state};
    CliEventSink sink;
    CliFrameView view;
    pw::InMemoryObjectTree tree;
    std::unique_ptr<pw::PageRowReader> rows;
    std::unique_ptr<pw::RecoveryFrame> frame;

private:
    Options options_;
    bool optionsApplied_ = false;
    std::string optionsError_;
};

}  // namespace cli
