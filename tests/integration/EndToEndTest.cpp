// The whole workflow without a window on a forge-built database of 2,500
// rows: scan, tree, selection, screen pages, paging and the log file.

#include <gtest/gtest.h>

#include <dirent.h>

#include <fstream>
#include <sstream>

#include "WorkflowFixture.h"
#include "catalog/ObjectTreeBuilder.h"

namespace {

using namespace workflowtest;

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The only file in `folder`.
std::string OnlyFile(const std::string& folder) {
    std::string found;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != ".." && name.find(".txt") != std::string::npos) found = folder + name;
        }
        closedir(dir);
    }
    return found;
}

std::string Utf16File(const std::vector<std::string>& lines, const std::string& prefix) {
    std::string text = prefix;
    for (const std::string& line : lines) text += line + "\r\n";
    std::string bytes = "\xFF\xFE";
    for (const char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::vector<std::string> Counter(int from, int to) {
    std::vector<std::string> lines;
    for (int i = from; i <= to; ++i) lines.push_back(" row " + std::to_string(i) + " inserted");
    return lines;
}

TEST(EndToEnd, ScanTreeListPageAndLogOf2500Rows) {
    forge::TempFolder folder;
    const std::string path = folder.File("people.mdf");
    ASSERT_TRUE(WritePeopleDatabase(path, TableSpec{}));
    const std::string logDir = folder.File("logs/");
    ASSERT_EQ(::mkdir(logDir.c_str(), 0700), 0);

    Headless h(/*withLogger=*/true);
    h.state.m_strLogFolder = logDir;

    // Open: log file, then the scan worker.
    ASSERT_TRUE(h.frame.OpenCommand(path, &h.logger));
    h.frame.WaitForWorker();
    EXPECT_EQ(h.state.m_bBusy.load(), 0);
    EXPECT_EQ(h.view.messages, std::vector<std::string>{"Scanning process completed."});
    EXPECT_EQ(h.view.caption, "Scanning completed for selected mdf file");

    // Tree: the folder skeleton, objects, "Columns" under each table, bold tables with pages.
    const pw::TreeFolders& f = h.frame.Builder().Folders();
    EXPECT_EQ(pw::TreeOutline(h.tree), path +
                                           "\n"
                                           "  Views\n"
                                           "    v1\n"
                                           "  Programmability\n"
                                           "    Triggers\n"
                                           "    Default\n"
                                           "    Store Procedure\n"
                                           "    Function\n"
                                           "  Tables\n"
                                           "    System Tables\n"
                                           "      sysschobjs\n"
                                           "        Columns\n"
                                           "    User Tables\n"
                                           "      Empty\n"
                                           "        Columns\n"
                                           "      People\n"
                                           "        Columns\n");
    const pw::TreeItem people = h.Table("People");
    ASSERT_NE(people, pw::kNoItem);
    EXPECT_TRUE(h.tree.IsBold(people));
    EXPECT_FALSE(h.tree.IsBold(h.Table("Empty")));
    EXPECT_FALSE(h.tree.IsBold(f.userTables));
    EXPECT_EQ(h.tree.ItemData(people), 1);
    EXPECT_EQ(h.tree.ItemData(f.userTables), 0);

    // Select: page 1.
    ASSERT_TRUE(h.frame.SelectCommand(people));
    h.frame.WaitForWorker();
    EXPECT_EQ(h.view.columns, (std::vector<std::string>{"id", "amount", "note"}));
    EXPECT_EQ(h.Ids(), Range(1, 1000));
    EXPECT_EQ(h.view.rows[0], (GridRow{"1", "10", "n1"}));
    EXPECT_EQ(h.view.pageLabel, "Page1 - [1000](1-1000) Records");
    EXPECT_TRUE(h.view.nextEnabled);
    EXPECT_FALSE(h.view.previousEnabled);
    EXPECT_EQ(h.frame.Browser().Source(), pw::BrowseSource::kIamChain);
    // The table node was expanded by its first selection.
    EXPECT_EQ(h.tree.ItemText(h.tree.FirstChild(people)), "ForeignKey");

    ASSERT_TRUE(h.frame.NextCommand());
    h.frame.WaitForWorker();
    EXPECT_EQ(h.Ids(), Range(1001, 2000));
    EXPECT_EQ(h.view.pageLabel, "Page2 - [1000](1001-2000) Records");
    EXPECT_TRUE(h.view.nextEnabled);
    EXPECT_TRUE(h.view.previousEnabled);

    ASSERT_TRUE(h.frame.NextCommand());
    h.frame.WaitForWorker();
    EXPECT_EQ(h.Ids(), Range(2001, 2500));
    EXPECT_EQ(h.view.pageLabel, "Page3 - [500](2001-2500) Records");
    EXPECT_FALSE(h.view.nextEnabled);

    ASSERT_TRUE(h.frame.PreviousCommand());
    h.frame.WaitForWorker();
    EXPECT_EQ(h.Ids(), Range(1001, 2000));
    EXPECT_EQ(h.view.pageLabel, "Page2 - [1000](1001-2000) Records");
    ASSERT_TRUE(h.frame.PreviousCommand());
    h.frame.WaitForWorker();
    EXPECT_EQ(h.Ids(), Range(1, 1000));
    EXPECT_EQ(h.view.pageLabel, "Page1 - [1000](1-1000) Records");
    EXPECT_TRUE(h.view.nextEnabled);

    // The log file: mark, separator, path line, scan lines, listing lines.
    std::vector<std::string> lines = {
        path + " File is selected for recovery....",
        "Browse File Path:\t" + path,
        "Standard mode is selected for file recovery.",
        "Scanning of file starts...",
        "Database version:  SQL Server 2008 R2",
        "Collation Type: SQL_Latin1_General_CP1_CI_AS",
        "Creating Tree.........",
        "Process done.........",
        "Retrieving Objects of Sysobjvalues System Tables...........",
        "Retrieving  Objects of Sysobjvalues System Tables has been done...........",
        "Scanning completed for selected mdf file.",
        "Please wait while People folder is scanning.",
        // The IAM route keeps its row counter in the pane only.
        "0 rows to 1000",
        "People[1000]",
        "Scanning process completed.",
    };
    for (const auto& [from, to, end] : {std::tuple{1, 1000, "1000 rows to 2000"}, {1, 500, "2000 rows to 2500"},
                                        {1, 1000, "1000 rows to 2000"}, {1, 1000, "0 rows to 1000"}}) {
        for (const std::string& line : Counter(from, to)) lines.push_back(line);
        lines.push_back(end);
    }
    const std::string logPath = OnlyFile(logDir);
    ASSERT_FALSE(logPath.empty());
    EXPECT_EQ(logPath, h.state.m_strLogFilePath);
    const std::string bytes = ReadWhole(logPath);
    const std::string expected = Utf16File(lines, "\r\n" + std::string(80, '*') + "\r\n");
    EXPECT_EQ(bytes.size(), expected.size());
    EXPECT_TRUE(bytes == expected) << "log file differs";
    // The pane's last line is the last listing line (the counter replaced the one before it).
    EXPECT_EQ(h.sink.logLines.back(), "0 rows to 1000");
}

}  // namespace
