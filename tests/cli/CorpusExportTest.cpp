// Real data files through export: every primary file of the corpus to
// SQLite (one table per user table, the row counts of `rows`), to csv and
// JSON Lines (the same rows), and to T-SQL scripts that split into complete
// statements.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "CliRunner.h"
#include "ExportHelpers.h"
#include "export/ExportTypes.h"
#include "export/FileNames.h"

namespace {

namespace fs = std::filesystem;
using clitest::ReadWhole;
using clitest::RunCli;

const std::string kCorpus = PAGEWRIGHT_CORPUS_DIR;

std::vector<std::string> PrimaryFiles() {
    std::vector<std::string> files;
    std::ifstream in(kCorpus + "/MANIFEST.tsv");
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, '\t')) fields.push_back(field);
        if (fields.size() > 5 && fields[5] == "1") files.push_back(kCorpus + "/" + fields[0]);
    }
    return files;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// The user tables `tables` lists.
std::vector<std::string> UserTables(const std::string& path) {
    std::vector<std::string> names;
    for (const std::string& line : Lines(RunCli({"tables", path}).out)) {
        const std::size_t tab = line.find('\t');
        if (tab != std::string::npos && line.compare(tab + 1, 3, "U \t") == 0) names.push_back(line.substr(0, tab));
    }
    return names;
}

#define SKIP_WITHOUT_CORPUS()                                                          \
    if (!fs::exists(kCorpus + "/MANIFEST.tsv"))                                        \
    GTEST_SKIP() << "The corpus of real data files is not present at " << kCorpus

TEST(CorpusExport, SqliteHasEveryUserTableWithTheRowsOfTheRowsCommand) {
    SKIP_WITHOUT_CORPUS();
    forge::TempFolder folder;
    for (const std::string& path : PrimaryFiles()) {
        SCOPED_TRACE(path);
        const std::string db = folder.File(fs::path(path).filename().string() + ".sqlite");
        const clitest::CliResult result = RunCli({"export", path, "--format", "sqlite", "--out", db, "--quiet"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        std::map<std::string, std::int64_t> counts;
        std::string error;
        ASSERT_TRUE(exporttest::SqliteCounts(db, counts, error)) << error;
        const std::vector<std::string> tables = UserTables(path);
        EXPECT_EQ(counts.size(), tables.size() + 1);  // and pagewright_definitions
        for (const std::string& table : tables) {
            const clitest::CliResult rows = RunCli({"rows", path, table, "--format", "jsonl"});
            ASSERT_EQ(rows.exitCode, 0) << rows.err;
            ASSERT_EQ(counts.count(table), 1u) << table;
            EXPECT_EQ(counts[table], static_cast<std::int64_t>(Lines(rows.out).size())) << table;
        }
    }
}

TEST(CorpusExport, CsvAndJsonLinesGiveTheSameRows) {
    SKIP_WITHOUT_CORPUS();
    forge::TempFolder folder;
    for (const std::string& path : PrimaryFiles()) {
        SCOPED_TRACE(path);
        const std::string csv = folder.File("csv"), jsonl = folder.File("jsonl");
        fs::remove_all(csv);
        fs::remove_all(jsonl);
        ASSERT_EQ(RunCli({"export", path, "--format", "csv", "--out", csv, "--quiet"}).exitCode, 0);
        ASSERT_EQ(RunCli({"export", path, "--format", "jsonl", "--out", jsonl, "--quiet"}).exitCode, 0);
        pw::UniqueNames names;
        for (const std::string& table : UserTables(path)) {
            const std::string stem = names.Take(pw::SafeFileStem(table));
            const auto csvRows = exporttest::ReadCsv(ReadWhole(csv + "/" + stem + ".csv"));
            const std::vector<std::string> jsonLines = Lines(ReadWhole(jsonl + "/" + stem + ".jsonl"));
            ASSERT_FALSE(csvRows.empty()) << table;  // the header at least
            ASSERT_EQ(csvRows.size(), jsonLines.size() + 1) << table;
            for (std::size_t r = 0; r < jsonLines.size(); ++r) {
                const auto cells = exporttest::ReadJsonLine(jsonLines[r]);
                ASSERT_TRUE(cells) << jsonLines[r];
                ASSERT_EQ(cells->size(), csvRows[r + 1].size()) << table << " row " << r;
                for (std::size_t c = 0; c < cells->size(); ++c)
                    ASSERT_EQ((*cells)[c].second.value_or("NULL"), csvRows[r + 1][c]) << table << " row " << r;
            }
        }
    }
}

TEST(CorpusExport, SqlScriptsSplitIntoCompleteStatements) {
    SKIP_WITHOUT_CORPUS();
    forge::TempFolder folder;
    for (const std::string& path : PrimaryFiles()) {
        SCOPED_TRACE(path);
        const std::string script = folder.File("out.sql");
        ASSERT_EQ(RunCli({"export", path, "--format", "sql", "--out", script, "--quiet"}).exitCode, 0);
        const exporttest::SplitScript split = exporttest::SplitTsql(ReadWhole(script));
        EXPECT_TRUE(split.problems.empty()) << split.problems.front();
        std::int64_t inserts = 0;
        std::map<std::string, int> creates;
        for (const std::string& s : split.statements) {
            inserts += s.rfind("INSERT INTO ", 0) == 0 ? 1 : 0;
            if (s.rfind("CREATE TABLE ", 0) == 0) ++creates[s.substr(0, s.find('\n'))];
        }
        // One CREATE TABLE per user table (procedures may create tables of their own).
        for (const std::string& table : UserTables(path))
            EXPECT_EQ(creates["CREATE TABLE " + pw::SqlServerName(table) + " ("], 1) << table;
        // Every row is one INSERT: as many as the SQLite export holds.
        const std::string db = folder.File("out.sqlite");
        ASSERT_EQ(RunCli({"export", path, "--format", "sqlite", "--out", db, "--quiet"}).exitCode, 0);
        std::map<std::string, std::int64_t> counts;
        std::string error;
        ASSERT_TRUE(exporttest::SqliteCounts(db, counts, error));
        std::int64_t rows = 0;
        for (const auto& [name, count] : counts) rows += name == "pagewright_definitions" ? 0 : count;
        EXPECT_EQ(inserts, rows);
    }
}

}  // namespace
