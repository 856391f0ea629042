#include "RowWriter.h"

namespace cli {

bool ParseRowFormat(const std::string& text, RowFormat& format) {
    if (text == "csv") format = RowFormat::kCsv;
    else if (text == "tsv") format = RowFormat::kTsv;
    else if (text == "jsonl") format = RowFormat::kJsonLines;
    else return false;
    return true;
}

RowWriter::RowWriter(std::FILE* out, RowFormat format, std::vector<std::size_t> shown)
    : out_(out), format_(format), shown_(std::move(shown)) {}

namespace {

// Whether a csv field needs quotes (one pass over the text, no search per character).
bool NeedsCsvQuotes(const std::string& text) {
    for (const char c : text)
        if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
    return false;
}

}  // namespace

void RowWriter::AppendCsvField(std::string& line, const std::string& text) {
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

void RowWriter::AppendTsvField(std::string& line, const std::string& text) {
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

void RowWriter::AppendJsonString(std::string& line, const std::string& text) {
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

void RowWriter::WriteHeader(const std::vector<pw::ColumnDescriptor>& columns) {
    names_.clear();
    for (std::size_t i : shown_) names_.push_back(i < columns.size() ? columns[i].name : std::string());
    if (format_ == RowFormat::kJsonLines) return;
    line_.clear();
    for (std::size_t k = 0; k < names_.size(); ++k) {
        if (format_ == RowFormat::kCsv) {
            if (k) line_ += ',';
            AppendCsvField(line_, names_[k]);
        } else {
            if (k) line_ += '\t';
            AppendTsvField(line_, names_[k]);
        }
    }
    line_ += format_ == RowFormat::kCsv ? "\r\n" : "\n";
    std::fwrite(line_.data(), 1, line_.size(), out_);
}

void RowWriter::WriteRow(const std::vector<pw::ColumnDescriptor>& row) {
    line_.clear();
    static const std::string kEmpty;
    for (std::size_t k = 0; k < shown_.size(); ++k) {
        const std::size_t i = shown_[k];
        const bool present = i < row.size();
        const std::string& text = present ? row[i].value : kEmpty;
        switch (format_) {
            case RowFormat::kCsv:
                if (k) line_ += ',';
                AppendCsvField(line_, text);
                break;
            case RowFormat::kTsv:
                if (k) line_ += '\t';
                AppendTsvField(line_, text);
                break;
            case RowFormat::kJsonLines:
                line_ += k ? ',' : '{';
                AppendJsonString(line_, k < names_.size() ? names_[k] : std::string());
                line_ += ':';
                if (present && row[i].isNull)
                    line_ += "null";
                else
                    AppendJsonString(line_, text);
                break;
        }
    }
    if (format_ == RowFormat::kJsonLines) line_ += shown_.empty() ? "{}" : "}";
    line_ += format_ == RowFormat::kCsv ? "\r\n" : "\n";
    std::fwrite(line_.data(), 1, line_.size(), out_);
}

void RowWriter::Flush() { std::fflush(out_); }

}  // namespace cli
