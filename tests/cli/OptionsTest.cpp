// The command line of pagewright-cli: commands, positional arguments, every
// option, per-command output options, usage errors and --help.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Options.h"
#include "Progress.h"
#include "support/AppState.h"

namespace {

using cli::Command;
using cli::OutputFormat;

struct Accepted {
    std::vector<std::string> args;
    Command command;
    std::vector<std::string> positional;
};

TEST(Options, EveryCommandWithItsArguments) {
    const std::vector<Accepted> cases = {
        {{"info", "a.mdf"}, Command::kInfo, {"a.mdf"}},
        {{"tree", "a.mdf"}, Command::kTree, {"a.mdf"}},
        {{"tables", "a.mdf"}, Command::kTables, {"a.mdf"}},
        {{"columns", "a.mdf", "T"}, Command::kColumns, {"a.mdf", "T"}},
        {{"rows", "a.mdf", "T"}, Command::kRows, {"a.mdf", "T"}},
        {{"definition", "a.mdf", "v1"}, Command::kDefinition, {"a.mdf", "v1"}},
        {{"export", "a.mdf", "--format", "csv", "--out", "o"}, Command::kExport, {"a.mdf"}},
        // Options may come before the command and between arguments.
        {{"--quiet", "rows", "a.mdf", "--limit", "5", "T"}, Command::kRows, {"a.mdf", "T"}},
        // A file name that starts with a single dash is an argument.
        {{"info", "-odd.mdf"}, Command::kInfo, {"-odd.mdf"}},
    };
    for (const Accepted& c : cases) {
        cli::Options options;
        std::string error;
        ASSERT_TRUE(cli::ParseCommandLine(c.args, options, error)) << c.args[0] << ": " << error;
        EXPECT_EQ(options.command, c.command) << c.args[0];
        EXPECT_EQ(options.positional, c.positional) << c.args[0];
        EXPECT_FALSE(options.help);
    }
}

TEST(Options, ReadingOptionsAreTakenByEveryCommand) {
    cli::Options options;
    std::string error;
    ASSERT_TRUE(cli::ParseCommandLine({"tree", "a.mdf", "--mode", "advanced", "--advanced-deleted", "--sql2000",
                                       "--collation", "Latin1_General_CI_AS", "--ansi-codepage=1251", "--log-dir",
                                       "/tmp/logs", "--quiet"},
                                      options, error))
        << error;
    EXPECT_TRUE(options.advanced);
    EXPECT_TRUE(options.showDeleted);  // implied by --advanced-deleted
    EXPECT_TRUE(options.showAdvancedDeleted);
    EXPECT_TRUE(options.sql2000);
    EXPECT_EQ(options.collationName, "Latin1_General_CI_AS");
    EXPECT_EQ(options.ansiCodePage, 1251);
    EXPECT_EQ(options.logDir, "/tmp/logs");
    EXPECT_TRUE(options.quiet);

    ASSERT_TRUE(cli::ParseCommandLine({"info", "a.mdf", "--collation", "auto", "--mode", "standard"}, options, error));
    EXPECT_TRUE(options.collationName.empty());
    EXPECT_FALSE(options.advanced);
    EXPECT_EQ(options.ansiCodePage, 1252);
}

TEST(Options, OutputOptionsOfRowsAndExport) {
    cli::Options options;
    std::string error;
    ASSERT_TRUE(cli::ParseCommandLine({"rows", "a.mdf", "T"}, options, error));
    EXPECT_EQ(options.format, OutputFormat::kCsv);  // the default of rows
    EXPECT_EQ(options.limit, -1);
    ASSERT_TRUE(cli::ParseCommandLine({"rows", "a.mdf", "T", "--format", "tsv", "--limit", "0"}, options, error));
    EXPECT_EQ(options.format, OutputFormat::kTsv);
    EXPECT_EQ(options.limit, 0);

    ASSERT_TRUE(cli::ParseCommandLine({"export", "a.mdf", "--format", "sqlite", "--out", "x.db", "--tables",
                                       "A,B,,C", "--batch", "50", "--deleted", "--limit", "7"},
                                      options, error))
        << error;
    EXPECT_EQ(options.format, OutputFormat::kSqlite);
    EXPECT_EQ(options.out, "x.db");
    EXPECT_EQ(options.tables, (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(options.batchRows, 50);
    EXPECT_EQ(options.limit, 7);
    EXPECT_TRUE(options.showDeleted);
    for (const char* format : {"csv", "jsonl", "sql", "sqlite"}) {
        ASSERT_TRUE(cli::ParseCommandLine({"export", "a.mdf", "--out", "o", "--format", format}, options, error))
            << format;
    }
}

TEST(Options, UsageErrors) {
    const std::vector<std::vector<std::string>> cases = {
        {},                                                     // no command
        {"frobnicate", "a.mdf"},                                // unknown command
        {"info"},                                               // missing FILE
        {"info", "a.mdf", "extra"},                             // too many arguments
        {"columns", "a.mdf"},                                   // missing TABLE
        {"info", "a.mdf", "--bogus"},                           // unknown option
        {"info", "a.mdf", "--mode"},                            // missing value
        {"info", "a.mdf", "--mode", "fast"},                    // bad value
        {"info", "a.mdf", "--quiet=yes"},                       // a flag with a value
        {"info", "a.mdf", "--ansi-codepage", "12x"},            // not a number
        {"info", "a.mdf", "--ansi-codepage", "0"},              // not a code page
        {"info", "a.mdf", "--format", "csv"},                   // info has no output format
        {"tree", "a.mdf", "--limit", "3"},                      // nor a limit
        {"rows", "a.mdf", "T", "--format", "sql"},              // rows: csv, tsv, jsonl only
        {"rows", "a.mdf", "T", "--limit", "-1"},                // negative limit
        {"rows", "a.mdf", "T", "--out", "x"},                   // --out is export's
        {"export", "a.mdf", "--out", "x"},                      // export needs --format
        {"export", "a.mdf", "--format", "csv"},                 // and --out
        {"export", "a.mdf", "--format", "tsv", "--out", "x"},   // tsv is a rows format
        {"export", "a.mdf", "--format", "csv", "--out", "x", "--batch", "0"},
        {"export", "a.mdf", "--format", "csv", "--out", "x", "--tables", ","},
    };
    for (const auto& args : cases) {
        cli::Options options;
        std::string error;
        std::string shown;
        for (const std::string& a : args) shown += a + " ";
        EXPECT_FALSE(cli::ParseCommandLine(args, options, error)) << shown;
        EXPECT_FALSE(error.empty()) << shown;
    }
}

TEST(Options, HelpForTheToolAndEachCommand) {
    cli::Options options;
    std::string error;
    ASSERT_TRUE(cli::ParseCommandLine({"--help"}, options, error));
    EXPECT_TRUE(options.help);
    EXPECT_EQ(options.command, Command::kNone);
    // --help wins over missing arguments.
    ASSERT_TRUE(cli::ParseCommandLine({"export", "--help"}, options, error));
    EXPECT_TRUE(options.help);
    EXPECT_EQ(options.command, Command::kExport);
    ASSERT_TRUE(cli::ParseCommandLine({"help", "rows"}, options, error));
    EXPECT_EQ(options.command, Command::kRows);

    const std::string tool = cli::UsageText(Command::kNone);
    for (const char* name : {"info", "tree", "tables", "columns", "rows", "definition", "export"})
        EXPECT_NE(tool.find(std::string("  ") + name + " "), std::string::npos) << name;
    for (const Command command : {Command::kInfo, Command::kTree, Command::kTables, Command::kColumns, Command::kRows,
                                  Command::kDefinition, Command::kExport}) {
        const std::string text = cli::UsageText(command);
        EXPECT_EQ(text.rfind("Usage: pagewright-cli ", 0), 0u);
        for (const char* option : {"--mode", "--deleted", "--advanced-deleted", "--sql2000", "--collation",
                                   "--ansi-codepage", "--log-dir", "--quiet"})
            EXPECT_NE(text.find(option), std::string::npos) << option;
        EXPECT_NE(text.find("Exit codes"), std::string::npos);
    }
    EXPECT_NE(cli::UsageText(Command::kExport).find("--tables"), std::string::npos);
    EXPECT_NE(cli::UsageText(Command::kRows).find("--format csv|tsv|jsonl"), std::string::npos);
}

TEST(Options, ReadingOptionsGoIntoTheApplicationState) {
    pw::AppState state;
    state.m_mapCollations[53256] = pw::CollationInfo{"Latin1_General_CI_AS", 1252};
    cli::Options options;
    std::string error;
    ASSERT_TRUE(cli::ParseCommandLine({"info", "a.mdf", "--mode", "advanced", "--deleted", "--collation",
                                       "Latin1_General_CI_AS", "--ansi-codepage", "1250"},
                                      options, error));
    ASSERT_TRUE(cli::ApplyReadingOptions(options, state, error)) << error;
    EXPECT_EQ(state.m_nRecoveryMode, pw::kRecoveryModeAdvanced);
    EXPECT_TRUE(state.m_bShowDeleted);
    EXPECT_FALSE(state.m_bShowAdvancedDeleted);
    EXPECT_FALSE(state.m_bAutoCollation);
    EXPECT_EQ(state.m_nManualCollationId, 53256);
    EXPECT_EQ(state.m_nAnsiCodePage, 1250);

    ASSERT_TRUE(cli::ParseCommandLine({"info", "a.mdf", "--collation", "No_Such_Collation"}, options, error));
    EXPECT_FALSE(cli::ApplyReadingOptions(options, state, error));
    EXPECT_NE(error.find("No_Such_Collation"), std::string::npos);
}

TEST(Progress, BarLineShowsPercentCountAndRate) {
    const std::string line = cli::ProgressMeter::BarLine("Orders", 45, 100, 12345, "rows", 2.0, 100);
    EXPECT_NE(line.find("Orders ["), std::string::npos) << line;
    EXPECT_NE(line.find("#########-----------]"), std::string::npos) << line;
    EXPECT_NE(line.find(" 45%"), std::string::npos) << line;
    EXPECT_NE(line.find("12,345 rows"), std::string::npos) << line;
    EXPECT_NE(line.find("6,172 rows/s"), std::string::npos) << line;
    // Unknown total: no bar, no percentage.
    const std::string open = cli::ProgressMeter::BarLine("Scan", 5, 0, 5, "pages", 0.0, 100);
    EXPECT_EQ(open.find('%'), std::string::npos) << open;
    // A long label gives way to the numbers on a narrow terminal.
    const std::string narrow = cli::ProgressMeter::BarLine(std::string(200, 'x'), 1, 2, 3, "rows", 1.0, 60);
    EXPECT_LE(narrow.size(), 60u) << narrow;
    EXPECT_NE(narrow.find("50%"), std::string::npos) << narrow;
    // More done than the total still reads 100%.
    EXPECT_NE(cli::ProgressMeter::BarLine("t", 12, 10, 1, "rows", 1, 80).find("100%"), std::string::npos);
}

TEST(Progress, SilentAndPlainStyles) {
    EXPECT_EQ(cli::ProgressStyleFor(true, stderr), cli::ProgressStyle::kSilent);
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(cli::ProgressStyleFor(false, file), cli::ProgressStyle::kPlain);  // a file is no terminal
    {
        cli::ProgressMeter meter(cli::ProgressStyle::kPlain, file);
        meter.Start("Orders", 10, "rows");
        meter.Update(5, 500);  // nothing between start and end
        meter.Finish("Orders: 1000 rows");
    }
    {
        cli::ProgressMeter silent(cli::ProgressStyle::kSilent, file);
        silent.Start("x", 1, "rows");
        silent.Finish("not shown");
    }
    std::rewind(file);
    char buffer[256] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, file);
    std::fclose(file);
    EXPECT_EQ(std::string(buffer, n), "Orders: 1000 rows\n");
}

}  // namespace
