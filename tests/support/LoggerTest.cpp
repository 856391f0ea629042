// The log: file names, the bytes of a log file, separator blocks of repeated
// starts, replacing the last pane line, and a log folder that cannot be written.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "forge/TempFolder.h"
#include "support/AppState.h"
#include "support/LogFileName.h"
#include "support/Logger.h"
#include "support/Utf.h"

namespace {

std::tm At(int day, int month, int year, int hour, int minute, int second) {
    std::tm t{};
    t.tm_mday = day;
    t.tm_mon = month - 1;
    t.tm_year = year - 1900;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// What the file holds for `text`: UTF-16LE.
std::string U16(const std::string& text) { return pw::Utf8ToUtf16Le(text); }
std::string Line(const std::string& text) { return U16(text + "\r\n"); }

const std::string kBom("\xFF\xFE", 2);
const std::string kSeparator = U16("\r\n" + std::string(80, '*') + "\r\n");

// A pane that keeps its lines as a list control would.
struct RecordingPane final : pw::LogObserver {
    void LineAdded(std::int32_t index, const std::string& text) override {
        ASSERT_EQ(index, static_cast<std::int32_t>(lines.size()));
        lines.push_back(text);
    }
    void LineReplaced(std::int32_t index, const std::string& text) override {
        ASSERT_GE(index, 0);
        ASSERT_LT(static_cast<std::size_t>(index), lines.size());
        lines[static_cast<std::size_t>(index)] = text;
        ++replacements;
    }
    std::vector<std::string> lines;
    int replacements = 0;
};

struct LogFixture {
    forge::TempFolder folder;
    pw::AppState state;
    RecordingPane pane;
    pw::Logger logger{state, &pane};

    LogFixture() {
        state.m_strLogFolder = folder.Path();
        state.m_strMdfPath = "/data/sales.mdf";
    }
};

TEST(LogFileName, DayMonthYearHourMinuteSecondWithoutLeadingZeros) {
    struct Case {
        std::tm time;
        std::string name;
    };
    const std::vector<Case> cases = {
        {At(9, 12, 2024, 17, 5, 3), "KestrelSQLDatabaseRec_log_9-12-2024-17-5-3.txt"},
        {At(1, 1, 2000, 0, 0, 0), "KestrelSQLDatabaseRec_log_1-1-2000-0-0-0.txt"},
        {At(31, 10, 1999, 23, 59, 59), "KestrelSQLDatabaseRec_log_31-10-1999-23-59-59.txt"},
    };
    for (const Case& c : cases) EXPECT_EQ(pw::LogFileName(c.time), c.name);
}

TEST(Logger, NewFileHoldsMarkSeparatorAndLines) {
    LogFixture log;
    ASSERT_TRUE(log.logger.StartLogFile(At(9, 12, 2024, 17, 5, 3)));
    EXPECT_EQ(log.state.m_strLogFilePath, log.folder.Path() + "KestrelSQLDatabaseRec_log_9-12-2024-17-5-3.txt");
    EXPECT_TRUE(log.state.m_fileLog.IsOpen());
    log.logger.AddLine("Checking for file corruption ...........");

    EXPECT_EQ(ReadAll(log.state.m_strLogFilePath), kBom + kSeparator + Line("/data/sales.mdf File is selected for recovery....") +
                                                       Line("Checking for file corruption ..........."));
    // The separator goes to the file only.
    EXPECT_EQ(log.pane.lines, (std::vector<std::string>{"/data/sales.mdf File is selected for recovery....",
                                                        "Checking for file corruption ..........."}));
    EXPECT_EQ(log.state.m_nLogLines, 2);
}

TEST(Logger, SecondStartInTheSameSecondAddsToTheFile) {
    LogFixture log;
    const std::tm when = At(9, 12, 2024, 17, 5, 3);
    ASSERT_TRUE(log.logger.StartLogFile(when));
    log.logger.AddLine("first");
    log.state.m_strMdfPath = "/data/other.mdf";
    ASSERT_TRUE(log.logger.StartLogFile(when));
    log.logger.AddLine("second");

    // One byte-order mark, a separator at the start of each part.
    EXPECT_EQ(ReadAll(log.state.m_strLogFilePath),
              kBom + kSeparator + Line("/data/sales.mdf File is selected for recovery....") + Line("first") +
                  kSeparator + Line("/data/other.mdf File is selected for recovery....") + Line("second"));
    EXPECT_EQ(log.pane.lines.size(), 4u);
    EXPECT_EQ(log.state.m_nLogLines, 4);

    // A start at another second begins a new file; the pane keeps every line.
    ASSERT_TRUE(log.logger.StartLogFile(At(9, 12, 2024, 17, 5, 4)));
    EXPECT_EQ(ReadAll(log.state.m_strLogFilePath),
              kBom + kSeparator + Line("/data/other.mdf File is selected for recovery...."));
    EXPECT_EQ(log.pane.lines.size(), 5u);
}

TEST(Logger, ReplaceLastLineChangesThePaneOnly) {
    LogFixture log;
    // Nothing to replace in an empty pane.
    log.logger.ReplaceLastLine(" row 1 inserted");
    EXPECT_EQ(log.pane.replacements, 0);
    EXPECT_EQ(log.state.m_nLogLines, 0);

    ASSERT_TRUE(log.logger.StartLogFile(At(2, 3, 2025, 4, 5, 6)));
    log.logger.AddLine("Listing table dbo.Orders");
    const std::string before = ReadAll(log.state.m_strLogFilePath);
    for (const char* counter : {" row 1 inserted", " row 2 inserted", " row 3 inserted"})
        log.logger.ReplaceLastLine(counter);

    EXPECT_EQ(log.state.m_nLogLines, 2);
    EXPECT_EQ(log.pane.lines, (std::vector<std::string>{"/data/sales.mdf File is selected for recovery....",
                                                        " row 3 inserted"}));
    // The file keeps the earlier line.
    EXPECT_EQ(ReadAll(log.state.m_strLogFilePath), before);

    // The next line is added after the replaced one.
    log.logger.AddLine("3");
    EXPECT_EQ(log.pane.lines.back(), "3");
    EXPECT_EQ(log.state.m_nLogLines, 3);
}

TEST(Logger, LinesAreUtf16InTheFile) {
    LogFixture log;
    ASSERT_TRUE(log.logger.StartLogFile(At(2, 3, 2025, 4, 5, 6)));
    log.logger.AddLine("Caf\xC3\xA9 \xF0\x9F\x98\x80");  // é and a character outside the BMP
    const std::string bytes = ReadAll(log.state.m_strLogFilePath);
    const std::string tail("C\0a\0f\0\xE9\0 \0\x3D\xD8\x00\xDE\r\0\n\0", 18);
    ASSERT_GE(bytes.size(), tail.size());
    EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
}

TEST(Logger, WithoutALogFileTheLogGoesOnInThePane) {
    LogFixture log;
    log.state.m_strLogFolder = log.folder.File("missing") + "/";
    EXPECT_FALSE(log.logger.StartLogFile(At(2, 3, 2025, 4, 5, 6)));
    EXPECT_FALSE(log.state.m_fileLog.IsOpen());
    log.logger.AddLine("Checking for file corruption ...........");
    ASSERT_EQ(log.pane.lines.size(), 3u);
    EXPECT_EQ(log.pane.lines[0], "Log file cannot be created: " + log.state.m_strLogFilePath);
    EXPECT_EQ(log.pane.lines[1], "/data/sales.mdf File is selected for recovery....");
    EXPECT_EQ(log.state.m_nLogLines, 3);
    EXPECT_FALSE(std::filesystem::exists(log.state.m_strLogFilePath));
}

TEST(Logger, FolderWithoutTrailingSeparatorAndStartAtTheCurrentTime) {
    LogFixture log;
    log.state.m_strLogFolder = log.folder.Path().substr(0, log.folder.Path().size() - 1);
    ASSERT_TRUE(log.logger.StartLogFile());
    const std::string& path = log.state.m_strLogFilePath;
    EXPECT_EQ(path.rfind(log.folder.Path() + "KestrelSQLDatabaseRec_log_", 0), 0u) << path;
    EXPECT_EQ(path.substr(path.size() - 4), ".txt");
    EXPECT_EQ(ReadAll(path).substr(0, 2 + kSeparator.size()), kBom + kSeparator);
}

TEST(Logger, ResetPaneClosesTheFileAndCountsFromZero) {
    LogFixture log;
    ASSERT_TRUE(log.logger.StartLogFile(At(2, 3, 2025, 4, 5, 6)));
    log.logger.AddLine("line");
    log.logger.ResetPane();
    EXPECT_EQ(log.state.m_nLogLines, 0);
    EXPECT_FALSE(log.state.m_fileLog.IsOpen());
    const std::string before = ReadAll(log.state.m_strLogFilePath);
    log.pane.lines.clear();
    log.logger.AddLine("pane only");
    EXPECT_EQ(log.pane.lines, (std::vector<std::string>{"pane only"}));
    EXPECT_EQ(ReadAll(log.state.m_strLogFilePath), before);
}

TEST(Logger, WithoutAPaneLinesAreCountedAndWritten) {
    forge::TempFolder folder;
    pw::AppState state;
    state.m_strLogFolder = folder.Path();
    pw::Logger logger(state);
    ASSERT_TRUE(logger.StartLogFile(At(2, 3, 2025, 4, 5, 6)));
    logger.AddLine("x");
    logger.ReplaceLastLine("y");
    EXPECT_EQ(state.m_nLogLines, 2);
    EXPECT_EQ(ReadAll(state.m_strLogFilePath), kBom + kSeparator + Line(" File is selected for recovery....") + Line("x"));
}

TEST(LogFile, OpenToAppendNeverReplacesWhatHoldsTheName) {
    forge::TempFolder folder;
    // Something that is there but cannot be opened for writing (here a folder) is left alone.
    const std::string path = folder.File("taken.txt");
    ASSERT_TRUE(std::filesystem::create_directory(path));
    ASSERT_TRUE(forge::WriteFile(path + "/inside", "keep"));
    pw::LogFile log;
    EXPECT_FALSE(log.OpenToAppend(path));
    EXPECT_FALSE(log.IsOpen());
    log.WriteLine("lost");  // writing to a closed file does nothing
    EXPECT_EQ(ReadAll(path + "/inside"), "keep");

    // An existing empty file gets the byte-order mark; one with text is added to.
    const std::string empty = folder.File("empty.txt");
    ASSERT_TRUE(forge::WriteFile(empty, ""));
    ASSERT_TRUE(log.OpenToAppend(empty));
    log.WriteLine("a");
    ASSERT_TRUE(log.OpenToAppend(empty));
    log.WriteText("b");
    log.Close();
    EXPECT_EQ(ReadAll(empty), kBom + Line("a") + U16("b"));
}

}  // namespace
