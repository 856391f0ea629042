#include "RowWriter.h"

#include "export/TextEscape.h"

namespace cli {

RowFormat ToRowFormat(OutputFormat format) {
    switch (format) {
        case OutputFormat::kTsv: return RowFormat::kTsv;
        case OutputFormat::kJsonLines: return RowFormat::kJsonLines;
        default: return RowFormat::kCsv;
    }
}

RowWriter::RowWriter(std::FILE* out, RowFormat format, std::vector<std::size_t> shown)
    : out_(out), format_(format), shown_(std::move(shown)) {}

void RowWriter::AppendCsvField(std::string& line, const std::string& text) { pw::AppendCsvField(line, text); }

void RowWriter::AppendTsvField(std::string& line, const std::string& text) { pw::AppendTsvField(line, text); }

void RowWriter::AppendJsonString(std::string& line, const std::string& text) { pw::AppendJsonString(line, text); }

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
