#include "export/TextEscape.h"

namespace pw {

namespace {

// Whether a csv field needs quotes: one pass over the text (a search for a
// set of characters would scan the set once per character of the text).
bool NeedsCsvQuotes(const std::string& text) {
    for (const char c : text) {
        // The four characters all lie at or below ',' (0x2C): most text never gets past the first test.
        if (static_cast<unsigned char>(c) <= ',' && (c == ',' || c == '"' || c == '\r' || c == '\n')) return true;
    }
    return false;
}

}  // namespace

void AppendCsvField(std::string& line, const std::string& text) {
    if (!NeedsCsvQuotes(text)) {
        line += text;
        return;
    }
    line += '"';
    for (const char c : text) {
        if (c == '"') line += '"';
        line += c;
    }
    line += '"';
}

void AppendTsvField(std::string& line, const std::string& text) {
    for (const char c : text) {
        switch (c) {
            case '\\': line += "\\\\"; break;
            case '\t': line += "\\t"; break;
            case '\r': line += "\\r"; break;
            case '\n': line += "\\n"; break;
            default: line += c; break;
        }
    }
}

void AppendJsonString(std::string& line, const std::string& text) {
    static const char kHex[] = "0123456789abcdef";
    line += '"';
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
            case '"': line += "\\\""; break;
            case '\\': line += "\\\\"; break;
            case '\n': line += "\\n"; break;
            case '\r': line += "\\r"; break;
            case '\t': line += "\\t"; break;
            default:
                if (u < 0x20) {
                    line += "\\u00";
                    line += kHex[u >> 4];
                    line += kHex[u & 0x0F];
                } else {
                    line += c;
                }
        }
    }
    line += '"';
}

}  // namespace pw
