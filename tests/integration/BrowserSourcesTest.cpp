// The record browser's page sources, screen page edges, the no-content rule
// and the stop request, over forge-built databases.

#include <gtest/gtest.h>

#include <algorithm>
#include <future>

#include "WorkflowFixture.h"
#include "workflow/PageChain.h"

namespace {

using namespace workflowtest;

struct Database {
    forge::TempFolder folder;
    std::string path;
    explicit Database(const TableSpec& shape) : path(folder.File("db.mdf")) {
        EXPECT_TRUE(WritePeopleDatabase(path, shape));
    }
};

// Lists every screen page of People; the ids in listing order.
std::vector<int> ListAll(Headless& h) {
    h.Select(h.Table("People"));
    std::vector<int> ids = h.Ids();
    while (h.frame.Browser().HasNextPage()) {
        h.Next();
        const std::vector<int> more = h.Ids();
        ids.insert(ids.end(), more.begin(), more.end());
    }
    return ids;
}

TEST(BrowserSources, HeapWithFirstIamPageOutsideTheFileFallsBackToThePageChain) {
    TableSpec shape;
    shape.descendingChain = true;  // the chain starts at the unit's first page
    shape.firstIamPage = 600000;   // beyond the file's 128 pages
    Database db(shape);
    Headless h;
    ASSERT_EQ(h.Scan(db.path), 1);
    EXPECT_EQ(ListAll(h), Range(1, 2500));
    EXPECT_EQ(h.frame.Browser().Source(), pw::BrowseSource::kPageChain);
    EXPECT_EQ(h.frame.Browser().BrowsePages().size(), 25u);
    // The chain of a later layout reports the grid's row count after page 1.
    h.Select(h.Table("People"));
    EXPECT_EQ(h.sink.logLines[h.sink.logLines.size() - 3], "1000");
    EXPECT_EQ(h.view.pageLabel, "Page1 - [1000](1-1000) Records");
}

TEST(BrowserSources, HeapWithIamPageListsFromTheIamChainAndAdvancedModeFromTheScanPages) {
    Database db(TableSpec{});
    for (const bool advanced : {false, true}) {
        Headless h;
        ASSERT_EQ(h.Scan(db.path, advanced), 1);
        EXPECT_EQ(ListAll(h), Range(1, 2500));
        EXPECT_EQ(h.frame.Browser().Source(), advanced ? pw::BrowseSource::kScanPages : pw::BrowseSource::kIamChain);
    }
}

TEST(BrowserSources, LoopingPageChainEndsWhereItComesBack) {
    TableSpec shape;
    shape.indexId = 1;  // clustered: the chain from the first leaf page
    shape.descendingChain = true;
    shape.loopChain = true;
    Database db(shape);
    Headless h;
    ASSERT_EQ(h.Scan(db.path), 1);
    EXPECT_EQ(ListAll(h), Range(1, 2500));
    EXPECT_EQ(h.frame.Browser().Source(), pw::BrowseSource::kPageChain);
    // Each page once, in chain order.
    std::vector<pw::PageId> expected;
    for (const std::uint32_t p : ChainPositions(shape)) expected.push_back(pw::PageId{1, p});
    EXPECT_EQ(h.frame.Browser().BrowsePages(), expected);
    // Entered in the middle, the loop brings the walk round to where it started.
    std::vector<pw::PageId> fromMiddle =
        pw::CollectPageChain(*h.frame.Context().fileSet, pw::PageId{1, ChainPositions(shape)[5]});
    EXPECT_EQ(fromMiddle.size(), 25u);
    std::sort(fromMiddle.begin(), fromMiddle.end());
    EXPECT_EQ(std::adjacent_find(fromMiddle.begin(), fromMiddle.end()), fromMiddle.end());
}

TEST(BrowserSources, ClusteredTableWhoseFirstPageIsNoFirstLeafUsesTheIamChain) {
    TableSpec shape;
    shape.indexId = 1;  // the unit's first page (the last one filed) has a previous page
    Database db(shape);
    Headless h;
    ASSERT_EQ(h.Scan(db.path), 1);
    EXPECT_EQ(ListAll(h), Range(1, 2500));
    EXPECT_EQ(h.frame.Browser().Source(), pw::BrowseSource::kIamChain);
}

struct EdgeCase {
    int rows;
    std::vector<int> firstPage, secondPage;
    const char* firstLabel;
    const char* secondLabel;  // after Next; empty: Next shows nothing new
};

TEST(ScreenPages, ExactlyOneThousandAndOneThousandAndOneRecords) {
    const EdgeCase cases[] = {
        {1000, Range(1, 1000), {}, "Page1 - [1000](1-1000) Records", ""},
        {1001, Range(1, 1000), {1001}, "Page1 - [1000](1-1000) Records", "Page2 - [1](1001-1001) Records"},
        {999, Range(1, 999), {}, "Page1 - [999](1-999) Records", ""},
    };
    for (const EdgeCase& c : cases) {
        SCOPED_TRACE(c.rows);
        TableSpec shape;
        shape.rows = c.rows;
        Database db(shape);
        Headless h;
        ASSERT_EQ(h.Scan(db.path), 1);
        h.Select(h.Table("People"));
        EXPECT_EQ(h.Ids(), c.firstPage);
        EXPECT_EQ(h.view.pageLabel, c.firstLabel);
        const bool more = !c.secondPage.empty();
        EXPECT_EQ(h.frame.Browser().PageMarks().size(), more ? 2u : 1u);
        EXPECT_EQ(h.view.nextEnabled, more);
        h.Next();
        if (more) {
            EXPECT_EQ(h.Ids(), c.secondPage);
            EXPECT_EQ(h.view.pageLabel, c.secondLabel);
            EXPECT_FALSE(h.view.nextEnabled);
            EXPECT_EQ(h.frame.Browser().ScreenPage(), 2);
        } else {
            // Next finds no further mark: it disables itself and lists nothing.
            EXPECT_EQ(h.Ids(), c.firstPage);
            EXPECT_FALSE(h.view.nextEnabled);
            EXPECT_EQ(h.frame.Browser().ScreenPage(), 1);
        }
        EXPECT_EQ(h.state.m_bBusy.load(), 0);
    }
}

TEST(ScreenPages, PreviousOnPageOneListsItAgainAndDisablesItself) {
    TableSpec shape;
    shape.rows = 1500;
    Database db(shape);
    Headless h;
    ASSERT_EQ(h.Scan(db.path), 1);
    h.Select(h.Table("People"));
    h.Next();
    EXPECT_EQ(h.view.pageLabel, "Page2 - [500](1001-1500) Records");
    h.Previous();
    EXPECT_EQ(h.view.pageLabel, "Page1 - [1000](1-1000) Records");
    EXPECT_TRUE(h.view.previousEnabled);
    h.Previous();
    EXPECT_EQ(h.Ids(), Range(1, 1000));
    EXPECT_EQ(h.view.pageLabel, "Page1 - [1000](1-1000) Records");
    EXPECT_FALSE(h.view.previousEnabled);
    h.Next();
    EXPECT_EQ(h.Ids(), Range(1001, 1500));
}

TEST(NoContentRule, RecordWithAllCellsEmptyIsHiddenWhereNullCountsAsEmpty) {
    TableSpec shape;
    shape.rows = 1001;
    shape.indexId = 1;
    shape.descendingChain = true;  // the chain of a later layout: NULL counts as empty
    shape.emptyRows = {5};
    Database db(shape);
    for (const bool advanced : {false, true}) {
        SCOPED_TRACE(advanced ? "advanced" : "standard");
        Headless h;
        ASSERT_EQ(h.Scan(db.path, advanced), 1);
        h.Select(h.Table("People"));
        if (!advanced) {
            // Record 5 is listed but not shown: record 6 lands in the fifth row.
            std::vector<int> ids = Range(1, 1000);
            ids.erase(ids.begin() + 4);
            EXPECT_EQ(h.Ids(), ids);
            EXPECT_EQ(h.view.rows[4], (GridRow{"6", "60", "n6"}));
            EXPECT_EQ(h.frame.Browser().HiddenRows(), 1);
            EXPECT_EQ(h.view.pageLabel, "Page1 - [999](1-999) Records");
            // The screen page still held 1000 records: record 1001 is on page 2.
            h.Next();
            EXPECT_EQ(h.Ids(), std::vector<int>{1001});
        } else {
            // The scan's pages (in file order): a later "NULL" cell is content.
            EXPECT_EQ(h.view.rows.size(), 1000u);
            EXPECT_EQ(std::count(h.view.rows.begin(), h.view.rows.end(), GridRow{"NULL", "NULL", ""}), 1);
            EXPECT_EQ(h.frame.Browser().HiddenRows(), 0);
        }
    }
}

// Stop requested while the primary file is mapped: the scan ends in one of
// its three outcomes, computed from the pages mapped before the stop.
TEST(StopRequest, StopDuringMappingEndsInOneOfTheThreeOutcomes) {
    Database db(TableSpec{});
    const std::vector<std::string> outcomes = {
        "Scanning process aborted.",
        "Either it is not valid mdf file or highly corrupted, select another file to recover.",
        "Scanning completed for selected mdf file.",
    };
    for (const std::int64_t stopAt : {0, 10, 20, 40, 70, 100}) {
        SCOPED_TRACE(stopAt);
        Headless h;
        bool mapping = false;
        h.sink.onStatus = [&](const std::string& text) { mapping = text == "Mapping Database Objects..........."; };
        h.sink.onProgress = [&](std::int64_t position) {
            if (mapping && position >= stopAt) h.state.m_bStopRequested = true;
        };
        const int result = h.Scan(db.path);
        EXPECT_EQ(h.state.m_bBusy.load(), 0);
        int found = 0;
        for (const std::string& line : h.sink.logLines)
            for (const std::string& outcome : outcomes) found += line == outcome ? 1 : 0;
        EXPECT_EQ(found, 1);
        EXPECT_EQ(result == 1, h.sink.logLines.back() == outcomes[2]);
        if (result == 0) {
            EXPECT_EQ(h.tree.ItemCount(), 0u);
        }
    }
}

// The Stop command clears the busy flag at once, but no new work starts
// before the stopped worker has ended.
TEST(StopRequest, NoNewWorkerBeforeTheStoppedOneHasEnded) {
    Database db(TableSpec{});
    Headless h;
    std::promise<void> entered, release;
    std::shared_future<void> released = release.get_future().share();
    h.sink.onStatus = [&](const std::string& text) {
        if (text == "Mapping Database Objects...........") {
            entered.set_value();
            released.wait();
        }
    };
    ASSERT_TRUE(h.frame.OpenCommand(db.path));
    entered.get_future().wait();
    h.frame.StopCommand();
    EXPECT_EQ(h.state.m_bBusy.load(), 0);
    EXPECT_TRUE(h.state.StopRequested());
    EXPECT_TRUE(h.frame.Gate().Running());
    EXPECT_FALSE(h.frame.NextCommand());
    EXPECT_FALSE(h.frame.OpenCommand(db.path));
    EXPECT_EQ(h.view.messages, (std::vector<std::string>{pw::kWaitMessage, pw::kWaitMessage}));
    release.set_value();
    h.frame.WaitForWorker();
    EXPECT_FALSE(h.frame.Gate().Running());
    // The scan stopped at once: nothing was mapped.
    EXPECT_EQ(h.sink.logLines.back(), "Scanning process aborted.");
    h.sink.onStatus = nullptr;
    ASSERT_TRUE(h.frame.OpenCommand(db.path));
    h.frame.WaitForWorker();
    EXPECT_EQ(h.sink.logLines.back(), "Scanning completed for selected mdf file.");
}

TEST(StopRequest, StopDuringAListingKeepsWhatWasListedAndClearsTheRequest) {
    Database db(TableSpec{});
    Headless h;
    ASSERT_EQ(h.Scan(db.path), 1);
    // Stop once 200 rows are shown.
    int shown = 0;
    h.sink.onProgress = [&](std::int64_t) {
        shown = static_cast<int>(h.view.rows.size());
        if (shown >= 200) h.state.m_bStopRequested = true;
    };
    h.Select(h.Table("People"));
    // The IAM route advances the progress per page (100 rows each).
    EXPECT_EQ(h.Ids(), Range(1, 200));
    EXPECT_FALSE(h.state.StopRequested());
    EXPECT_EQ(h.view.pageLabel, "Page1 - [200](1-200) Records");
    EXPECT_FALSE(h.view.nextEnabled);
}

}  // namespace
