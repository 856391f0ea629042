#include "export/TextEscape.h"

namespace pw {

void AppendCsvField(std::string& line, const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
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
