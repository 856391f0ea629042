#pragma once
// The commands of pagewright-cli and their exit codes.

#include <string>

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

// `tree FILE`: the object tree, two spaces of indent per level, every table expanded.
int Tree(const std::string& path, const Options& options);

}  // namespace cli
