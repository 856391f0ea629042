#pragma once
// An event sink that keeps everything it is told, for assertions.

#include <string>
#include <vector>

#include "support/EventSink.h"

namespace forge {

class RecordingEventSink final : public pw::EventSink {
public:
    void ProgressRange(std::int64_t low, std::int64_t high) override {
        rangeLow = low;
        rangeHigh = high;
        position = 0;
    }
    void ProgressPosition(std::int64_t p) override { position = p; }
    void StatusText(const std::string& text) override { statusTexts.push_back(text); }
    void LogLine(const std::string& text) override { logLines.push_back(text); }
    void FatalError(const std::string& text) override { fatalErrors.push_back(text); }

    std::int64_t rangeLow = 0, rangeHigh = 0, position = 0;
    std::vector<std::string> statusTexts, logLines, fatalErrors;
};

}  // namespace forge
