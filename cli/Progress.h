#pragma once
// Progress on stderr. On a terminal: one line redrawn in place, a bar with
// the percentage, the count done and the rate; otherwise one plain line at
// the end of each step (nothing in between, so that logs stay short);
// nothing at all with --quiet.

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>

namespace cli {

enum class ProgressStyle { kSilent, kPlain, kBar };

// kSilent when quiet, kBar when `stream` is a terminal, else kPlain.
ProgressStyle ProgressStyleFor(bool quiet, std::FILE* stream);
// kBar when `stream` is a terminal and not quiet, else kSilent: for commands
// whose plain output must stay as it is when stderr is a file or a pipe.
ProgressStyle TerminalBarFor(bool quiet, std::FILE* stream);

class ProgressMeter {
public:
    explicit ProgressMeter(ProgressStyle style, std::FILE* out = stderr) : style_(style), out_(out) {}
    ~ProgressMeter() { Clear(); }

    ProgressStyle Style() const { return style_; }

    // A new step: `label` (a table name, "Scanning"), `total` units to go
    // (0 or less: unknown), `unit` the word for the counted items of the rate.
    void Start(const std::string& label, std::int64_t total, const std::string& unit);
    // The total becomes known (or changes) during the step.
    void SetTotal(std::int64_t total) { total_ = total; }
    // `done` of the total units; `items` counted items so far (for the rate).
    void Update(std::int64_t done, std::int64_t items);
    // Ends the step with a line (plain and bar styles).
    void Finish(const std::string& line);
    // A line that must be seen now (a failure): the bar is cleared first and redrawn after.
    void Message(const std::string& line);

    // The bar line: "label [#####-----]  45%  1,234 rows  5,678 rows/s".
    static std::string BarLine(const std::string& label, std::int64_t done, std::int64_t total, std::int64_t items,
                               const std::string& unit, double seconds, std::size_t width);

private:
    void Draw(bool force);
    void Clear();

    ProgressStyle style_;
    std::FILE* out_;
    std::string label_, unit_;
    std::int64_t total_ = 0, done_ = 0, items_ = 0;
    std::chrono::steady_clock::time_point start_{}, lastDraw_{};
    bool drawn_ = false;
};

}  // namespace cli
