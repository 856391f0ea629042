#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>

#include "CliRunner.h"
#include "catalog/SystemRowBuilders.h"
#include "forge/SystemTableForge.h"

namespace {

using clitest::RunCli;

std::string WriteDatabase(const forge::TempFolder& folder) {
    forge::CatalogFileBuilder b;
    b.Table(pw::kSysSchObjs, {forge::SchObjRecord(1000, "Orders", "U "), forge::SchObjRecord(1002, "v", "V "),
                              forge::SchObjRecord(1100, "PK_Orders", "PK", 1000, 0, 1)});
    b.Table(pw::kSysColPars, {forge::ColParRecord(1000, 1, "id"), forge::ColParRecord(1000, 2, "qty")});
    b.Table(pw::kSysScalarTypes, {forge::ScalarTypeRecord(56, 56, 4, "int")});
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(900, 1000, 1)});
    b.Table(pw::kSysIdxStats, {forge::IdxStatRecord(1000, 1, 0x21, "PK_Orders")});
    b.Table(pw::kSysIsCols, {forge::IsColRecord(1000, 1, 1, 1, 1)});
    const std::string path = folder.File("shop.mdf");
    EXPECT_TRUE(b.File().WriteTo(path));
    return path;
}

TEST(TreeCommand, OutlineWithExpandedTablesAndLogFile) {
    forge::TempFolder folder;
    const std::string path = WriteDatabase(folder);
    const std::string logs = folder.File("logs");
    ASSERT_EQ(::mkdir(logs.c_str(), 0700), 0);
    const clitest::CliResult result = RunCli({"tree", path, "--log-dir", logs, "--quiet"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, path +
                              "\n"
                              "  Views\n"
                              "    v\n"
                              "  Programmability\n"
                              "    Triggers\n"
                              "    Default\n"
                              "    Store Procedure\n"
                              "    Function\n"
                              "  Tables\n"
                              "    System Tables\n"
                              "    User Tables\n"
                              "      Orders\n"
                              "        ForeignKey\n"
                              "        Unique\n"
                              "        Constraint\n"
                              "        PrimaryKey\n"
                              "          PK_Orders\n"
                              "        Columns\n"
                              "          id  int(4)[Primary Key]\n"
                              "          qty  int(4)\n");
    EXPECT_TRUE(result.err.empty()) << result.err;
    // The log file holds the scan's lines in UTF-16LE.
    const std::string pathLine = "Browse File Path:\t" + path + "\r\n";
    std::string utf16;
    for (const char c : pathLine) utf16 += std::string{c, '\0'};
    FILE* pipe = ::popen(("cat " + clitest::ShellQuote(logs) + "/*.txt").c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string bytes;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) bytes.append(buffer, n);
    ::pclose(pipe);
    EXPECT_NE(bytes.find(utf16), std::string::npos);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
}

TEST(TreeCommand, UnreadableFileAndBadOptions) {
    forge::TempFolder folder;
    EXPECT_EQ(RunCli({"tree", folder.File("missing.mdf")}).exitCode, 2);
    EXPECT_EQ(RunCli({"tree", folder.File("x.mdf"), "--mode", "fast"}).exitCode, 1);
    EXPECT_EQ(RunCli({"tree", folder.File("x.mdf"), "--log-dir"}).exitCode, 1);
}

}  // namespace
