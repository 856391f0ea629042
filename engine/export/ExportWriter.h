#pragma once
// Writers that take recovered tables out of the program: csv and JSON Lines
// files (one per table), a T-SQL script, an SQLite database.
//
// A writer is fed row by row: BeginTable, WriteRow for every decoded row,
// EndTable; then the definitions of views, procedures, functions and
// triggers; then Finish. Nothing is kept between rows but the open output,
// so memory does not grow with the table. A row is a decoded row of the
// table: a copy of its column descriptors whose `value` is the cell text as
// the grid shows it and whose `isNull` tells SQL NULL from the text "NULL".
//
// Every call returns false with a reason on failure. After a failed
// WriteRow the caller still calls EndTable(false): the rows written before
// the failure are kept (flushed, committed).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "catalog/ColumnDescriptor.h"

namespace pw {

struct ExportTable {
    std::string name;
    // The table's columns as the catalog opened them; a row's cells use the same indexes.
    std::vector<ColumnDescriptor> columns;
    // The primary key's columns in key order, and the key's name (may be empty).
    std::vector<std::string> primaryKey;
    std::string primaryKeyName;
};

// A definition that goes with the data: a view, procedure, function or
// trigger (T-SQL text), or a check constraint script.
struct ExportDefinition {
    std::string name;
    std::string typeCode;  // SQL Server's code without the padding: "V", "P", "FN", "IF", "TF", "TR", "C", "D"
    std::string text;
};

class ExportWriter {
public:
    virtual ~ExportWriter() = default;
    virtual bool BeginTable(const ExportTable& table, std::string& error) = 0;
    virtual bool WriteRow(const std::vector<ColumnDescriptor>& row, std::string& error) = 0;
    // `complete` is false when the table's rows stopped early; what was written stays.
    virtual bool EndTable(bool complete, std::string& error) = 0;
    virtual bool WriteDefinition(const ExportDefinition& definition, std::string& error) = 0;
    virtual bool Finish(std::string& error) = 0;
    // Bytes of cell text handed to the writer so far (for rates).
    std::uint64_t CellBytes() const { return cellBytes_; }

protected:
    std::uint64_t cellBytes_ = 0;
};

enum class ExportFormat { kCsv, kJsonLines, kSql, kSqlite };

struct ExportSettings {
    ExportFormat format = ExportFormat::kCsv;
    // csv, jsonl: a folder (made when missing); sql, sqlite: a file (replaced).
    std::string out;
    // sql: rows per GO batch.
    std::int64_t batchRows = 1000;
    // sql: the source file named in the script's heading.
    std::string sourceName;
    // sql: deleted rows are part of the export (a primary key could then
    // refuse duplicates, so the script leaves it out).
    bool withDeletedRows = false;
};

// The writer of a format; nullptr with `error` when the output cannot be opened.
std::unique_ptr<ExportWriter> MakeExportWriter(const ExportSettings& settings, std::string& error);

// The columns whose cells a row holds (stored in the row), in table order.
std::vector<std::size_t> StoredColumns(const std::vector<ColumnDescriptor>& columns);

}  // namespace pw
