// pagewright-cli: the recovery engine for scripts, exports and headless use.

#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"
#include "Session.h"

namespace {

const char kUsage[] =
    "Usage: pagewright-cli COMMAND FILE [ARGS] [OPTIONS]\n"
    "\n"
    "Reads SQL Server data files (.mdf/.ndf) without a server; never writes to them.\n"
    "\n"
    "Commands:\n"
    "  info FILE             key: value lines describing the data file\n"
    "  tables FILE           TSV: name, type code, object id, data page count, column count\n"
    "  columns FILE TABLE    the table's column labels, one per line\n"
    "  rows FILE TABLE       the table's rows: csv (default), --format tsv|jsonl, --limit N,\n"
    "                        --deleted, --advanced-deleted, --mode standard|advanced\n"
    "  definition FILE NAME  the definition text or key/constraint script of an object\n"
    "  tree FILE             the object tree, two spaces of indent per level\n"
    "  --help                this text\n"
    "\n"
    "Options (tree):\n"
    "  --mode standard|advanced   recovery mode (default standard)\n"
    "  --log-dir DIR              write the log file in DIR\n"
    "  --quiet                    no log lines on stderr\n"
    "\n"
    "Exit codes: 0 done, 1 usage, 2 the file cannot be read as a data file, 3 no such object.\n";

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? cli::kExitUsage : cli::kExitDone;
    }
    cli::Options options;
    if (!cli::ParseOptions(args, options)) return cli::kExitUsage;
    if (args.empty()) {
        std::fputs(kUsage, stderr);
        return cli::kExitUsage;
    }
    if (args[0] == "tree" && args.size() == 2) return cli::Tree(args[1], options);
    if (args[0] == "info" && args.size() == 2) return cli::Info(args[1]);
    if (args[0] == "tables" && args.size() == 2) return cli::Tables(args[1]);
    if (args[0] == "columns" && args.size() == 3) return cli::Columns(args[1], args[2]);
    if (args[0] == "rows" && args.size() >= 3) {
        // --mode, --deleted and --advanced-deleted were already taken by ParseOptions.
        cli::RowsOptions rowsOptions;
        rowsOptions.advancedMode = options.advanced;
        rowsOptions.deleted = options.showDeleted;
        rowsOptions.advancedDeleted = options.showAdvancedDeleted;
        if (cli::ParseRowsOptions(args, 3, rowsOptions)) return cli::Rows(args[1], args[2], rowsOptions);
    }
    if (args[0] == "definition" && args.size() == 3) return cli::Definition(args[1], args[2]);
    std::fputs(kUsage, stderr);
    return cli::kExitUsage;
}
