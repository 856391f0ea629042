#pragma once
// How engine code reports to whoever drives it (GUI, command line, tests).
//
// The engine never touches a window or a terminal: it reports progress, status
// texts, log lines and fatal scan errors through this interface, and each
// front end decides how to show them. Texts are UTF-8.

#include <cstdint>
#include <string>

namespace pw {

class EventSink {
public:
    virtual ~EventSink() = default;
    // Resets the progress position to 0 and sets its range.
    virtual void ProgressRange(std::int64_t low, std::int64_t high) = 0;
    virtual void ProgressPosition(std::int64_t position) = 0;
    // A status text shown to the user while work runs.
    virtual void StatusText(const std::string& text) = 0;
    // One line of the log (pane and file).
    virtual void LogLine(const std::string& text) = 0;
    // A scan cannot go on; the front end releases the scan and shows the text.
    virtual void FatalError(const std::string& text) = 0;
};

// Discards everything; for callers that want no reports.
class NullEventSink final : public EventSink {
public:
    void ProgressRange(std::int64_t, std::int64_t) override {}
    void ProgressPosition(std::int64_t) override {}
    void StatusText(const std::string&) override {}
    void LogLine(const std::string&) override {}
    void FatalError(const std::string&) override {}
};

}  // namespace pw
