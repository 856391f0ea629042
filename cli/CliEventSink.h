#pragma once
// The command-line tool's event sink: reports go to stderr, data stays on stdout.

#include <cstdio>
#include <string>

#include "support/EventSink.h"
#include "support/Logger.h"

namespace cli {

class CliEventSink final : public pw::EventSink {
public:
    explicit CliEventSink(bool quiet) : quiet_(quiet) {}

    void ProgressRange(std::int64_t, std::int64_t) override {}
    void ProgressPosition(std::int64_t) override {}
    void StatusText(const std::string& text) override {
        if (!quiet_) std::fprintf(stderr, "%s\n", text.c_str());
    }
    // Log lines also go to the log file when a logger is set (--log-dir).
    void LogLine(const std::string& text) override {
        if (logger_ != nullptr) logger_->AddLine(text);
        if (!quiet_) std::fprintf(stderr, "%s\n", text.c_str());
    }
    void SetLogger(pw::Logger* logger) { logger_ = logger; }
    // Fatal errors are always shown: they explain a failing exit status.
    void FatalError(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        ++fatalErrors_;
    }

    int FatalErrors() const { return fatalErrors_; }

private:
    bool quiet_;
    pw::Logger* logger_ = nullptr;
    int fatalErrors_ = 0;
};

}  // namespace cli
