#pragma once
// The command-line tool's event sink: reports go to stderr, data stays on stdout.

#include <cstdio>
#include <string>

#include "Progress.h"
#include "support/EventSink.h"
#include "support/Logger.h"

namespace cli {

class CliEventSink final : public pw::EventSink {
public:
    explicit CliEventSink(bool quiet) : quiet_(quiet) {}

    // The engine's progress bar drives the meter, when one is set.
    void ProgressRange(std::int64_t low, std::int64_t high) override {
        low_ = low;
        high_ = high;
    }
    void ProgressPosition(std::int64_t position) override {
        if (meter_ != nullptr && high_ > low_) meter_->Update((position - low_) * 1000 / (high_ - low_), position - low_);
    }
    void StatusText(const std::string& text) override { Print(text); }
    // Log lines also go to the log file when a logger is set (--log-dir).
    void LogLine(const std::string& text) override {
        if (logger_ != nullptr) logger_->AddLine(text);
        Print(text);
    }
    void SetLogger(pw::Logger* logger) { logger_ = logger; }
    // Fatal errors are always shown: they explain a failing exit status.
    void FatalError(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        ++fatalErrors_;
    }

    int FatalErrors() const { return fatalErrors_; }
    // Engine progress moves this meter (its total taken as 1000); lines are
    // printed around its bar.
    void SetMeter(ProgressMeter* meter) { meter_ = meter; }

private:
    void Print(const std::string& text) {
        if (quiet_) return;
        if (meter_ != nullptr && meter_->Style() == ProgressStyle::kBar) meter_->Message(text);
        else std::fprintf(stderr, "%s\n", text.c_str());
    }

    bool quiet_;
    pw::Logger* logger_ = nullptr;
    int fatalErrors_ = 0;
    ProgressMeter* meter_ = nullptr;
    std::int64_t low_ = 0, high_ = 0;
};

}  // namespace cli
