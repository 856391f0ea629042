#pragma once
// Writes decoded rows to stdout as csv (RFC 4180), tsv or JSON lines.

#include <cstdio>
#include <string>
#include <vector>

#include "Options.h"
#include "catalog/ColumnDescriptor.h"

namespace cli {

enum class RowFormat { kCsv, kTsv, kJsonLines };

// The row format of a parsed --format (csv unless tsv or jsonl).
RowFormat ToRowFormat(OutputFormat format);

class RowWriter {
public:
    // `shown` holds the indexes of the table's columns that are written, in order.
    RowWriter(std::FILE* out, RowFormat format, std::vector<std::size_t> shown);

    // The header line of column names (csv and tsv only).
    void WriteHeader(const std::vector<pw::ColumnDescriptor>& columns);
    void WriteRow(const std::vector<pw::ColumnDescriptor>& row);
    void Flush();

    // csv: quoted when the cell holds a comma, a quote, CR or LF; quotes doubled.
    static void AppendCsvField(std::string& line, const std::string& text);
    // tsv: backslash, tab, CR and LF written as \\, \t, \r and \n.
    static void AppendTsvField(std::string& line, const std::string& text);
    // A JSON string literal.
    static void AppendJsonString(std::string& line, const std::string& text);

private:
    std::FILE* out_;
    RowFormat format_;
    std::vector<std::size_t> shown_;
    std::vector<std::string> names_;
    std::string line_;  // reused for every row
};

}  // namespace cli
