#pragma once
// Whoever shows the log lines (the GUI's log pane, a terminal) observes the
// Logger. Lines are numbered from 0 in the order they were added; the pane
// keeps every line for the life of the process.

#include <cstdint>
#include <string>

namespace pw {

class LogObserver {
public:
    virtual ~LogObserver() = default;
    // Line `index` was added with `text`.
    virtual void LineAdded(std::int32_t index, const std::string& text) = 0;
    // Line `index` (the last one) now reads `text` instead.
    virtual void LineReplaced(std::int32_t index, const std::string& text) = 0;
};

}  // namespace pw
