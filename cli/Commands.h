#pragma once
// The commands of pagewright-cli and their exit codes. Each takes the
// parsed command line; options.positional holds FILE and TABLE/NAME.

#include "Options.h"

namespace cli {

constexpr int kExitDone = 0;
constexpr int kExitUsage = 1;
constexpr int kExitUnreadable = 2;
constexpr int kExitNoSuchObject = 3;

// `info FILE`: key: value lines describing a primary data file.
int Info(const Options& options);

// `tables FILE`: one TSV line per user or system table: name, type code,
// object id, data page count, column count.
int Tables(const Options& options);

// `columns FILE TABLE`: the table's column labels, one per line.
int Columns(const Options& options);

// `tree FILE`: the object tree, two spaces of indent per level, every table expanded.
int Tree(const Options& options);

// `rows FILE TABLE`: every row of the table, a header of column names first
// (csv, tsv), each cell as the grid shows it. The listing follows the record
// browser: its page source, screen page by screen page.
int Rows(const Options& options);

// `definition FILE NAME`: the definition text of a view, procedure, function,
// trigger or default, or the script of a key or constraint.
int Definition(const Options& options);

// `export FILE --format F --out PATH`: every user table (or --tables) to
// csv or jsonl files, a T-SQL script or an SQLite database.
int Export(const Options& options);

}  // namespace cli
