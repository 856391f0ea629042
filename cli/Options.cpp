#include "Options.h"

#include <charconv>

#include "support/AppState.h"

namespace cli {

namespace {

struct CommandInfo {
    Command command;
    const char* name;
    std::size_t positional;  // FILE plus TABLE/NAME
    const char* arguments;   // as shown in the usage
    const char* summary;
    bool rowsOutput;         // takes --format and --limit
    bool exportOutput;       // takes --out, --tables and --batch
};

constexpr CommandInfo kCommands[] = {
    {Command::kInfo, "info", 1, "FILE", "key: value lines describing the data file", false, false},
    {Command::kTree, "tree", 1, "FILE", "the object tree, two spaces of indent per level", false, false},
    {Command::kTables, "tables", 1, "FILE", "TSV: name, type code, object id, data page count, column count", false,
     false},
    {Command::kColumns, "columns", 2, "FILE TABLE", "the table's column labels, one per line", false, false},
    {Command::kRows, "rows", 2, "FILE TABLE", "the table's rows, every screen page, in listing order", true, false},
    {Command::kDefinition, "definition", 2, "FILE NAME",
     "the definition text or key/constraint script of an object", false, false},
    {Command::kExport, "export", 1, "FILE", "every user table to csv, jsonl, a T-SQL script or an SQLite database",
     true, true},
};

const CommandInfo* FindCommand(Command command) {
    for (const CommandInfo& entry : kCommands)
        if (entry.command == command) return &entry;
    return nullptr;
}

bool ParseCount(const std::string& text, std::int64_t& value, std::int64_t minimum) {
    if (text.empty() || text.size() > 18) return false;
    std::int64_t parsed = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (ec != std::errc{} || end != text.data() + text.size() || parsed < minimum) return false;
    value = parsed;
    return true;
}

bool ParseFormat(Command command, const std::string& text, OutputFormat& format) {
    const bool rows = command == Command::kRows;
    if (text == "csv") format = OutputFormat::kCsv;
    else if (text == "jsonl") format = OutputFormat::kJsonLines;
    else if (text == "tsv" && rows) format = OutputFormat::kTsv;
    else if (text == "sql" && !rows) format = OutputFormat::kSql;
    else if (text == "sqlite" && !rows) format = OutputFormat::kSqlite;
    else return false;
    return true;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> items;
    std::string item;
    for (const char c : text) {
        if (c == ',') {
            if (!item.empty()) items.push_back(item);
            item.clear();
        } else {
            item += c;
        }
    }
    if (!item.empty()) items.push_back(item);
    return items;
}

constexpr char kReadingOptions[] =
    "Reading options (every command):\n"
    "  --mode standard|advanced   standard: each table's own page chain or IAM pages;\n"
    "                             advanced: every page the scan filed under the table\n"
    "  --deleted                  also list deleted records still on the pages\n"
    "  --advanced-deleted         also list deleted records found by the advanced method\n"
    "                             (implies --deleted)\n"
    "  --sql2000                  the file is from SQL Server 2000 (accepted; the catalog\n"
    "                             layout is always recognised from the file)\n"
    "  --collation auto|NAME      the boot page's collation (auto, default) or NAME from\n"
    "                             collation.txt\n"
    "  --ansi-codepage N          the code page used where a text names none (default 1252)\n"
    "  --log-dir DIR              also write the log file in DIR\n"
    "  --quiet                    nothing on stderr but errors (no log lines, no progress)\n";

constexpr char kExitCodes[] =
    "Exit codes: 0 done, 1 usage, 2 the file cannot be read as a data file, 3 no such object.\n";

}  // namespace

Command CommandNamed(const std::string& name) {
    for (const CommandInfo& entry : kCommands)
        if (name == entry.name) return entry.command;
    return Command::kNone;
}

std::string UsageText(Command command) {
    const CommandInfo* entry = FindCommand(command);
    std::string text;
    if (entry == nullptr) {
        text =
            "Usage: pagewright-cli COMMAND FILE [ARGS] [OPTIONS]\n"
            "\n"
            "Reads SQL Server data files (.mdf/.ndf) without a server; never writes to them.\n"
            "Data goes to stdout (export: to --out), progress and messages to stderr.\n"
            "\n"
            "Commands:\n";
        for (const CommandInfo& c : kCommands) {
            std::string head = std::string("  ") + c.name + " " + c.arguments;
            head.resize(std::max<std::size_t>(head.size() + 1, 24), ' ');
            text += head + c.summary + "\n";
        }
        text +=
            "\n"
            "pagewright-cli COMMAND --help shows the options of a command.\n\n";
        text += kReadingOptions;
        text += "\n";
        text += kExitCodes;
        return text;
    }
    text = std::string("Usage: pagewright-cli ") + entry->name + " " + entry->arguments + " [OPTIONS]\n\n" +
           entry->summary + ".\n\n";
    switch (command) {
        case Command::kRows:
            text +=
                "Output options:\n"
                "  --format csv|tsv|jsonl     csv (RFC 4180, default): a header of column names, then\n"
                "                             each cell as the grid shows it; tsv: tab-separated with\n"
                "                             \\t \\n \\r \\\\ escapes; jsonl: one object per row, null\n"
                "                             for NULL cells\n"
                "  --limit N                  at most N rows\n\n";
            break;
        case Command::kExport:
            text +=
                "Output options:\n"
                "  --format csv|jsonl|sql|sqlite   (required)\n"
                "        csv, jsonl: one file per table in the folder PATH, named after the table\n"
                "        sql: one T-SQL script PATH: CREATE TABLE, INSERT, GO batches, definitions\n"
                "        sqlite: one SQLite database PATH (replaced if it exists); views, procedures,\n"
                "                functions and triggers in pagewright_definitions\n"
                "  --out PATH                 where the export goes (required)\n"
                "  --tables A,B               only these tables (default: every user table)\n"
                "  --limit N                  at most N rows per table\n"
                "  --batch N                  rows per GO batch of the T-SQL script (default 1000)\n\n"
                "Each table is read page by page and written as it is read. A table that fails\n"
                "part-way keeps the rows written before the failure; the summary on stderr lists\n"
                "every table with its rows and failures.\n\n";
            break;
        default:
            break;
    }
    text += kReadingOptions;
    text += "\n";
    text += kExitCodes;
    return text;
}

bool ParseCommandLine(const std::vector<std::string>& args, Options& options, std::string& error) {
    options = Options{};
    for (const std::string& arg : args)
        if (arg == "--help" || arg == "-h") options.help = true;

    std::vector<std::string> words;
    std::string format;
    bool formatGiven = false, limitGiven = false, outGiven = false, tablesGiven = false, batchGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") continue;
        if (arg.size() < 2 || arg.compare(0, 2, "--") != 0 || arg == "--") {
            words.push_back(arg);
            continue;
        }
        // Options with a value take the next word; --name=value is accepted too.
        std::string name = arg;
        std::string value;
        bool hasValue = false;
        const std::size_t equals = arg.find('=');
        if (equals != std::string::npos) {
            name = arg.substr(0, equals);
            value = arg.substr(equals + 1);
            hasValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= args.size()) {
                error = name + " needs a value.";
                return false;
            }
            value = args[++i];
            hasValue = true;
            return true;
        };
        const auto noValue = [&]() -> bool {
            if (!hasValue) return true;
            error = name + " takes no value.";
            return false;
        };

        if (name == "--quiet") {
            if (!noValue()) return false;
            options.quiet = true;
        } else if (name == "--deleted") {
            if (!noValue()) return false;
            options.showDeleted = true;
        } else if (name == "--advanced-deleted") {
            if (!noValue()) return false;
            // Records found by the advanced method are deleted records too.
            options.showDeleted = true;
            options.showAdvancedDeleted = true;
        } else if (name == "--sql2000") {
            if (!noValue()) return false;
            options.sql2000 = true;
        } else if (name == "--mode") {
            if (!takeValue()) return false;
            if (value != "standard" && value != "advanced") {
                error = "--mode takes standard or advanced, not " + value + ".";
                return false;
            }
            options.advanced = value == "advanced";
        } else if (name == "--collation") {
            if (!takeValue()) return false;
            if (value.empty()) {
                error = "--collation takes auto or a collation name.";
                return false;
            }
            options.collationName = value == "auto" ? std::string() : value;
        } else if (name == "--ansi-codepage") {
            if (!takeValue()) return false;
            std::int64_t page = 0;
            if (!ParseCount(value, page, 1) || page > 65535) {
                error = "--ansi-codepage takes a code page number, not " + value + ".";
                return false;
            }
            options.ansiCodePage = static_cast<std::int32_t>(page);
        } else if (name == "--log-dir") {
            if (!takeValue()) return false;
            if (value.empty()) {
                error = "--log-dir needs a folder.";
                return false;
            }
            options.logDir = value;
        } else if (name == "--format") {
            if (!takeValue()) return false;
            format = value;  // checked once the command is known
            formatGiven = true;
        } else if (name == "--limit") {
            if (!takeValue()) return false;
            if (!ParseCount(value, options.limit, 0)) {
                error = "--limit takes a number of rows, not " + value + ".";
                return false;
            }
            limitGiven = true;
        } else if (name == "--out") {
            if (!takeValue()) return false;
            if (value.empty()) {
                error = "--out needs a path.";
                return false;
            }
            options.out = value;
            outGiven = true;
        } else if (name == "--tables") {
            if (!takeValue()) return false;
            options.tables = SplitList(value);
            if (options.tables.empty()) {
                error = "--tables needs at least one table name.";
                return false;
            }
            tablesGiven = true;
        } else if (name == "--batch") {
            if (!takeValue()) return false;
            if (!ParseCount(value, options.batchRows, 1)) {
                error = "--batch takes a number of rows above 0, not " + value + ".";
                return false;
            }
            batchGiven = true;
        } else {
            error = "Unknown option " + name + ".";
            return false;
        }
    }

    // The command is the first plain word; output options are checked against it.
    const std::vector<std::string>& plain = words;
    options.commandName.clear();
    if (plain.empty()) {
        if (options.help) return true;
        error = "No command given.";
        return false;
    }
    options.commandName = plain.front();
    options.command = CommandNamed(plain.front());
    if (options.command == Command::kNone) {
        if (plain.front() == "help") {
            options.help = true;
            if (plain.size() > 1) options.command = CommandNamed(plain[1]);
            return true;
        }
        error = "Unknown command " + plain.front() + ".";
        return false;
    }
    if (options.help) return true;
    const CommandInfo& entry = *FindCommand(options.command);
    options.positional.assign(plain.begin() + 1, plain.end());
    if (options.positional.size() != entry.positional) {
        error = std::string(entry.name) + " takes " + entry.arguments + ".";
        return false;
    }
    const auto refuse = [&](bool given, const char* option) {
        if (!given) return false;
        error = std::string(entry.name) + " takes no " + option + " option.";
        return true;
    };
    if (refuse(formatGiven && !entry.rowsOutput, "--format") || refuse(limitGiven && !entry.rowsOutput, "--limit") ||
        refuse(outGiven && !entry.exportOutput, "--out") || refuse(tablesGiven && !entry.exportOutput, "--tables") ||
        refuse(batchGiven && !entry.exportOutput, "--batch"))
        return false;
    if (formatGiven && !ParseFormat(options.command, format, options.format)) {
        error = std::string(entry.name) + " --format takes " +
                (options.command == Command::kRows ? "csv, tsv or jsonl" : "csv, jsonl, sql or sqlite") + ", not " +
                format + ".";
        return false;
    }
    if (options.command == Command::kRows && options.format == OutputFormat::kDefault)
        options.format = OutputFormat::kCsv;
    if (options.command == Command::kExport) {
        if (options.format == OutputFormat::kDefault) {
            error = "export needs --format csv|jsonl|sql|sqlite.";
            return false;
        }
        if (!outGiven) {
            error = "export needs --out PATH.";
            return false;
        }
    }
    return true;
}

bool ApplyReadingOptions(const Options& options, pw::AppState& state, std::string& error) {
    state.m_nRecoveryMode = options.advanced ? pw::kRecoveryModeAdvanced : pw::kRecoveryModeStandard;
    state.m_bShowDeleted = options.showDeleted;
    state.m_bShowAdvancedDeleted = options.showAdvancedDeleted;
    // --sql2000 is not stored: the scan clears the layout flag at its start
    // and the catalog sets it from what the file holds.
    state.m_nAnsiCodePage = options.ansiCodePage;
    state.m_bAutoCollation = true;
    if (!options.collationName.empty()) {
        for (const auto& [id, info] : state.m_mapCollations) {
            if (info.strName == options.collationName) {
                state.m_bAutoCollation = false;
                state.m_nManualCollationId = id;
                return true;
            }
        }
        error = "No collation named " + options.collationName + " in collation.txt.";
        return false;
    }
    return true;
}

}  // namespace cli
