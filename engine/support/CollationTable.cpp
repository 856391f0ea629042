#include "support/CollationTable.h"

#include <unistd.h>

#include <climits>
#include <fstream>
#include <limits>

namespace pw {

std::int32_t ParseDecimalInt32(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    std::int64_t magnitude = 0;
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(INT32_MIN) : INT32_MAX;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > limit) magnitude = limit;  // keeps clamping, never overflows
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

bool ParseCollationLine(std::string_view line, CollationMap& table) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) return false;
    const std::size_t firstTab = line.find('\t');
    if (firstTab == std::string_view::npos) return false;
    const std::string_view name = line.substr(0, firstTab);
    const std::string_view rest = line.substr(firstTab + 1);
    if (rest.empty()) return false;
    const std::size_t secondTab = rest.find('\t');
    if (secondTab == std::string_view::npos) return false;
    const std::int64_t id = ParseDecimalInt32(rest.substr(0, secondTab));  // sign-extended
    const std::int32_t codePage = ParseDecimalInt32(rest.substr(secondTab + 1));
    table[id] = CollationInfo{std::string(name), codePage};
    return true;
}

void ReadCollationTable(std::istream& in, CollationMap& table) {
    std::string line;
    while (std::getline(in, line)) ParseCollationLine(line, table);
}

void LoadCollationTable(const std::string& executablePath, CollationMap& table) {
    std::ifstream in(FolderOf(executablePath) + "collation.txt");
    if (!in) return;
    ReadCollationTable(in, table);
}

std::string ExecutablePath() {
    char buffer[4096];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    return std::string(buffer, static_cast<std::size_t>(length));
}

std::string FolderOf(std::string_view path) {
    const std::size_t cut = path.find_last_of("/\\");
    if (cut == std::string_view::npos) return {};
    return std::string(path.substr(0, cut + 1));
}

}  // namespace pw
