#pragma once
// The command line of pagewright-cli: the command, its positional arguments
// and the options, read once for every command.
//
//   pagewright-cli COMMAND ARGS... [OPTIONS]      options may also come first
//   pagewright-cli COMMAND --help                 the command's own usage
//
// Every command takes the reading options (--mode, --deleted,
// --advanced-deleted, --sql2000, --collation, --ansi-codepage, --log-dir,
// --quiet); --format and --limit belong to rows and export, --out, --tables
// and --batch to export alone.

#include <cstdint>
#include <string>
#include <vector>

namespace pw {
struct AppState;
}

namespace cli {

enum class Command { kNone, kInfo, kTree, kTables, kColumns, kRows, kDefinition, kExport };

// Output formats of rows (csv, tsv, jsonl) and export (csv, jsonl, sql, sqlite).
enum class OutputFormat { kDefault, kCsv, kTsv, kJsonLines, kSql, kSqlite };

struct Options {
    Command command = Command::kNone;
    std::string commandName;
    std::vector<std::string> positional;  // FILE and TABLE/NAME
    bool help = false;                    // --help, -h

    // Reading options.
    std::string logDir;                // --log-dir DIR: write a log file there
    bool advanced = false;             // --mode advanced
    bool quiet = false;                // --quiet: nothing on stderr but errors
    bool showDeleted = false;          // --deleted
    bool showAdvancedDeleted = false;  // --advanced-deleted (implies --deleted)
    bool sql2000 = false;              // --sql2000: accepted; the layout is found from the file
    std::string collationName;         // --collation NAME: by hand (empty: auto, from the boot page)
    std::int32_t ansiCodePage = 1252;  // --ansi-codepage N

    // Output options.
    OutputFormat format = OutputFormat::kDefault;  // --format
    std::int64_t limit = -1;                       // --limit N: at most N rows (per table for export)
    std::string out;                               // --out PATH (export)
    std::vector<std::string> tables;               // --tables A,B (export; empty: every user table)
    std::int64_t batchRows = 1000;                 // --batch N: rows per GO batch (export --format sql)
};

// Reads `args` (argv without the program name). False with a one-line reason
// in `error` on a usage error: unknown command or option, a missing or bad
// value, the wrong number of arguments, an option the command does not take.
// `--help` anywhere makes the rest unchecked (help is then set).
bool ParseCommandLine(const std::vector<std::string>& args, Options& options, std::string& error);

// The usage text of one command, or of the whole tool for Command::kNone.
std::string UsageText(Command command);

// The command named `name`; kNone when there is none.
Command CommandNamed(const std::string& name);

// Puts the reading options into a fresh application state (before its scan).
// `--collation NAME` is looked up in the state's collation table, which must
// be loaded first; false (with the reason in `error`) for an unknown name.
bool ApplyReadingOptions(const Options& options, pw::AppState& state, std::string& error);

}  // namespace cli
