#include "Progress.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>

namespace cli {

namespace {

std::string Grouped(std::int64_t value) {
    std::string digits = std::to_string(value < 0 ? -value : value);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return value < 0 ? "-" + text : text;
}

std::size_t TerminalWidth(std::FILE* out) {
    winsize size{};
    if (ioctl(fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 20) return size.ws_col;
    return 80;
}

}  // namespace

ProgressStyle ProgressStyleFor(bool quiet, std::FILE* stream) {
    if (quiet) return ProgressStyle::kSilent;
    return isatty(fileno(stream)) ? ProgressStyle::kBar : ProgressStyle::kPlain;
}

ProgressStyle TerminalBarFor(bool quiet, std::FILE* stream) {
    return ProgressStyleFor(quiet, stream) == ProgressStyle::kBar ? ProgressStyle::kBar : ProgressStyle::kSilent;
}

std::string ProgressMeter::BarLine(const std::string& label, std::int64_t done, std::int64_t total,
                                   std::int64_t items, const std::string& unit, double seconds, std::size_t width) {
    std::string tail;
    if (total > 0) {
        const std::int64_t percent = std::clamp<std::int64_t>(done * 100 / total, 0, 100);
        tail += " " + std::string(percent < 10 ? "  " : percent < 100 ? " " : "") + std::to_string(percent) + "%";
    }
    tail += "  " + Grouped(items) + " " + unit;
    if (seconds > 0.05) tail += "  " + Grouped(static_cast<std::int64_t>(static_cast<double>(items) / seconds)) + " " + unit + "/s";

    std::string bar;
    if (total > 0) {
        const std::size_t cells = 20;
        const auto filled = static_cast<std::size_t>(std::clamp<std::int64_t>(done * 20 / total, 0, 20));
        bar = " [" + std::string(filled, '#') + std::string(cells - filled, '-') + "]";
    }
    // The label gives way when the line is too long for the terminal.
    std::string head = label;
    const std::size_t room = width > bar.size() + tail.size() + 1 ? width - bar.size() - tail.size() - 1 : 0;
    if (head.size() > room) head = room > 3 ? head.substr(0, room - 3) + "..." : std::string();
    return head + bar + tail;
}

void ProgressMeter::Start(const std::string& label, std::int64_t total, const std::string& unit) {
    label_ = label;
    unit_ = unit;
    total_ = total;
    done_ = items_ = 0;
    start_ = lastDraw_ = std::chrono::steady_clock::now();
    if (style_ == ProgressStyle::kBar) Draw(true);
}

void ProgressMeter::Update(std::int64_t done, std::int64_t items) {
    done_ = done;
    items_ = items;
    if (style_ == ProgressStyle::kBar) Draw(false);
}

void ProgressMeter::Finish(const std::string& line) {
    if (style_ == ProgressStyle::kSilent) return;
    Clear();
    if (!line.empty()) std::fprintf(out_, "%s\n", line.c_str());
    std::fflush(out_);
}

void ProgressMeter::Message(const std::string& line) {
    Clear();
    std::fprintf(out_, "%s\n", line.c_str());
    if (style_ == ProgressStyle::kBar) Draw(true);
    std::fflush(out_);
}

void ProgressMeter::Draw(bool force) {
    const auto now = std::chrono::steady_clock::now();
    // About ten redraws a second are enough to look alive.
    if (!force && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const std::string line = BarLine(label_, done_, total_, items_, unit_, seconds, TerminalWidth(out_) - 1);
    std::fprintf(out_, "\r%s\x1b[K", line.c_str());
    std::fflush(out_);
    drawn_ = true;
}

void ProgressMeter::Clear() {
    if (!drawn_) return;
    std::fprintf(out_, "\r\x1b[K");
    drawn_ = false;
}

}  // namespace cli
