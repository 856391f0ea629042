// The headless walk over real data files: every user table listed screen
// page by screen page, in Standard and in Advanced mode, against the rows
// the command-line tool writes for it.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "WorkflowFixture.h"
#include "cli/CliRunner.h"

namespace {

using namespace workflowtest;

// Real files of the corpus (tested when present): later catalog layouts of
// different versions, clustered tables and heaps.
const char* const kFiles[] = {
    "xxxnemesis4xxx__SQL_Server__NORTHWND.MDF",
    "itsligo__sampledbs__pubs.mdf",
    "cpijo__Webtonic__School.mdf",
};

struct TableWalk {
    std::int64_t shown = 0;   // grid rows over all screen pages
    std::int64_t hidden = 0;  // records the grid's no-content rule dropped
    std::int64_t decoded = 0; // rows of the page list decoded directly
    int screenPages = 0;
};

TableWalk Walk(Headless& h, pw::TreeItem table) {
    TableWalk walk;
    h.Select(table);
    pw::RecordBrowser& browser = h.frame.Browser();
    for (;;) {
        ++walk.screenPages;
        walk.shown += static_cast<std::int64_t>(h.view.rows.size());
        walk.hidden += browser.HiddenRows();
        if (!browser.HasNextPage()) break;
        h.Next();
    }
    // The same pages decoded without screen pages: nothing lost or listed twice.
    pw::DecoderRowReader reader(h.state);
    reader.BeginListing(*h.frame.Context().fileSet, *h.frame.Context().catalog, h.frame.Context().catalog->descriptors);
    for (const pw::PageId& page : browser.BrowsePages()) {
        for (const auto& row : reader.ReadPageRows(page))
            if (!row.empty()) ++walk.decoded;
    }
    reader.EndListing();
    return walk;
}

std::int64_t CliRowCount(const std::string& path, const std::string& table, bool advanced) {
    const clitest::CliResult result =
        clitest::RunCli({"rows", path, table, "--format", "jsonl", "--mode", advanced ? "advanced" : "standard"});
    EXPECT_EQ(result.exitCode, 0) << table << ": " << result.err;
    return static_cast<std::int64_t>(std::count(result.out.begin(), result.out.end(), '\n'));
}

TEST(CorpusWalk, EveryUserTableListsTheRowsOfTheRowsCommand) {
    const std::string corpus = PAGEWRIGHT_CORPUS_DIR;
    struct stat info {};
    if (::stat(corpus.c_str(), &info) != 0) GTEST_SKIP() << "corpus folder " << corpus << " is absent";
    int files = 0;
    for (const char* name : kFiles) {
        const std::string path = corpus + "/" + name;
        if (::stat(path.c_str(), &info) != 0) continue;
        ++files;
        for (const bool advanced : {false, true}) {
            SCOPED_TRACE(std::string(name) + (advanced ? " advanced" : " standard"));
            Headless h;
            ASSERT_EQ(h.Scan(path, advanced), 1);
            // The selection reopens tables: take the names first.
            std::vector<std::string> tables;
            for (const pw::TreeItem item : h.tree.Children(h.frame.Builder().Folders().userTables))
                tables.push_back(h.tree.ItemText(item));
            ASSERT_FALSE(tables.empty());
            std::int64_t hiddenInFile = 0, rowsInFile = 0;
            for (const std::string& table : tables) {
                const TableWalk walk = Walk(h, h.Table(table));
                // `rows` keeps every record; the grid hides those whose cells
                // are all empty (or, on a later layout's page chain, NULL):
                // shown + hidden is every record listed.
                EXPECT_EQ(walk.shown + walk.hidden, CliRowCount(path, table, advanced)) << table;
                EXPECT_EQ(walk.shown + walk.hidden, walk.decoded) << table;
                EXPECT_EQ(walk.screenPages, std::max<std::int64_t>(1, (walk.decoded + 999) / 1000)) << table;
                hiddenInFile += walk.hidden;
                if (walk.hidden > 0)
                    std::printf("  %s: %lld of %lld records hidden\n", table.c_str(),
                                static_cast<long long>(walk.hidden), static_cast<long long>(walk.decoded));
                rowsInFile += walk.shown;
            }
            std::printf("%s (%s): %zu user tables, %lld rows shown, %lld hidden by the no-content rule\n", name,
                        advanced ? "advanced" : "standard", tables.size(), static_cast<long long>(rowsInFile),
                        static_cast<long long>(hiddenInFile));
        }
    }
    if (files == 0) GTEST_SKIP() << "none of the chosen corpus files is present";
}

}  // namespace
