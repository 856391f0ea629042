#pragma once
// The command-line tool's event sink: reports go to stderr, data stays on stdout.

#include <cstdio>
#include <string>

#include "support/EventSink.h"

namespace cli {

class CliEventSink final : public pw::EventSink {
public:
    explicit CliEventSink(bool quiet) : quiet_(quiet) {}

    void ProgressRange(std::int64_t, std::int64_t) override {}
    void ProgressPosition(std::int64_t) override {}
    void StatusText(const std::string& text) override {
        if (!quiet_) std::fprintf(stderr, "%s\n", text.c_str());
    }
    void LogLine(const std::string& text) override {
        if (!quiet_) std::fprintf(stderr, "%s\n", text.c_str());
    }
    // Fatal errors are always shown: they explain a failing exit status.
    void FatalError(const std::string& text) override {
        std::fprintf(stderr, "%s\n", text.c_str());
        ++fatalErrors_;
    }

    int FatalErrors() const { return fatalErrors_; }

private:
    bool quiet_;
    int fatalErrors_ = 0;
};

}  // namespace cli
