#pragma once
// One run of the recovery workflow for a command: the application state, the
// log (and its file with --log-dir), the object tree, the record browser and
// the scan of the primary file.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "CliEventSink.h"
#include "catalog/ObjectTree.h"
#include "support/AppState.h"
#include "support/Logger.h"
#include "workflow/FrameView.h"
#include "workflow/PageRowReader.h"
#include "workflow/RecoveryFrame.h"

namespace cli {

// The options common to the commands that run the workflow.
struct Options {
    std::string logDir;     // --log-dir DIR: write a log file there
    bool advanced = false;  // --mode advanced
    bool quiet = false;     // --quiet
    bool showDeleted = false;          // --deleted
    bool showAdvancedDeleted = false;  // --advanced-deleted
};

// Takes the options out of `args`; false (with a message) for a bad option.
bool ParseOptions(std::vector<std::string>& args, Options& options);

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

private:
    pw::Logger& logger_;
    bool quiet_;
};

class Session {
public:
    Session(const Options& options, pw::FrameView* view = nullptr);
    ~Session();

    // Starts the log file (with --log-dir) and runs the scan of `path`. 0 when
    // the scan succeeded, else the exit code (the reason is on stderr).
    int Scan(const std::string& path);

    pw::AppState state;
    pw::Logger logger{state};
    CliEventSink sink;
    CliFrameView defaultView;
    pw::InMemoryObjectTree tree;
    std::unique_ptr<pw::PageRowReader> rows;
    std::unique_ptr<pw::RecoveryFrame> frame;

private:
    Options options_;
};

}  // namespace cli
