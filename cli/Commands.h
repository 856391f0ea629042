#pragma once
// The commands of pagewright-cli and their exit codes.

#include <cstdint>
#include <string>
#include <vector>

#include "RowWriter.h"

namespace cli {

struct Options;

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitNoSuchObject = 3;

// `info FILE`: key: value lines describing a primary data file.
int Info(const std::string& path);

// `tables FILE`: one TSV line per user or system table: name, type code,
// object id, data page count, column count.
int Tables(const std::string& path);

// `columns FILE TABLE`: the table's column labels, one per line.
int Columns(const std::string& path, const std::string& table);

struct RowsOptions {
    RowFormat format = RowFormat::kCsv;
    std::int64_t limit = -1;  // -1: every row
    bool deleted = false;
    bool advancedDeleted = false;
    bool advancedMode = false;
};

// Reads the options of `rows` from args[from..]; false on a usage error.
bool ParseRowsOptions(const std::vector<std::string>& args, std::size_t from, RowsOptions& options);

// `rows FILE TABLE [options]`: every row of the table, a header of column
// names first (csv, tsv), each cell as the grid shows it.
int Rows(const std::string& path, const std::string& table, const RowsOptions& options);

// `definition FILE NAME`: the definition text of a view, procedure, function,
// trigger or default, or the script of a key or constraint.
int Definition(const std::string& path, const std::string& name);

// `tree FILE`: the object tree, two spaces of indent per level, every table expanded.
int Tree(const std::string& path, const Options& options);

}  // namespace cli
