#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include "CliRunner.h"
#include "forge/DataFileBuilder.h"

namespace {

using clitest::RunCli;
using forge::DataFileBuilder;

constexpr char kCannotOpen[] = "File cannot be open...........";
constexpr char kNotValid[] = "Wheteher File is not valid mdf file or file is highly corrupted...........";

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(InfoCommand, DescribesAPrimaryFile) {
    forge::TempFolder folder;
    const std::string path = folder.File("sales.mdf");
    ASSERT_TRUE(DataFileBuilder(30).Boot({661, 539, "Sales Archive", 872468488}).WriteTo(path));
    const clitest::CliResult result = RunCli({"info", path});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto keys = result.Keys();
    EXPECT_EQ(keys.at("file"), path);
    EXPECT_EQ(keys.at("pages"), "30");
    EXPECT_EQ(keys.at("data_start"), "0");
    EXPECT_EQ(keys.at("version"), "661");
    EXPECT_EQ(keys.at("version_text"), "SQL Server 2008 R2");
    EXPECT_EQ(keys.at("database"), "Sales Archive");
    EXPECT_EQ(keys.at("collation"), "SQL_Latin1_General_CP1_CI_AS");
    EXPECT_EQ(keys.at("collation_id"), "872468488");
    EXPECT_EQ(keys.at("code_page"), "1252");
    // The file holds no object 34 row, so the catalog reads the SQL Server 2000 tables.
    EXPECT_EQ(keys.at("layout"), "2000");
    EXPECT_EQ(keys.at("secondary_files"), "0");
    EXPECT_EQ(keys.at("objects"), "0");
    EXPECT_EQ(keys.at("user_tables"), "0");
}

TEST(InfoCommand, LayoutAndSecondaryFiles) {
    forge::TempFolder folder;
    const std::string path = folder.File("old.mdf");
    ASSERT_TRUE(DataFileBuilder(30).Boot({539, 539, "Old", 53256}).LeadingBytes(96).WriteTo(path));
    DataFileBuilder secondary(16, 3);
    secondary.DataPage(10, 500);
    ASSERT_TRUE(secondary.WriteTo(folder.File("old_2.NDF")));
    const clitest::CliResult result = RunCli({"info", path});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const auto keys = result.Keys();
    EXPECT_EQ(keys.at("layout"), "2000");
    EXPECT_EQ(keys.at("version_text"), "SQL Server 2000");
    EXPECT_EQ(keys.at("data_start"), "96");
    EXPECT_EQ(keys.at("collation"), "Latin1_General_CI_AS");
    EXPECT_EQ(keys.at("secondary_files"), "1");
    EXPECT_EQ(keys.at("secondary_file"), "3 " + folder.File("old_2.NDF"));
}

TEST(InfoCommand, SecondaryFileOnItsOwn) {
    forge::TempFolder folder;
    const std::string path = folder.File("lonely.ndf");
    DataFileBuilder secondary(16, 5);
    secondary.DataPage(10, 500);
    ASSERT_TRUE(secondary.WriteTo(path));
    const clitest::CliResult result = RunCli({"info", path});
    EXPECT_EQ(result.exitCode, 2);
    const auto keys = result.Keys();
    EXPECT_EQ(keys.at("file_type"), "secondary");
    EXPECT_EQ(keys.at("file_id"), "5");
    EXPECT_EQ(keys.count("version"), 0u);
    EXPECT_EQ(keys.count("database"), 0u);
    EXPECT_TRUE(Contains(result.err, "secondary data file (file id 5)")) << result.err;
    EXPECT_TRUE(Contains(result.err, "primary data file")) << result.err;
}

TEST(InfoCommand, FilesThatAreNoDataFiles) {
    forge::TempFolder folder;
    std::string random(200 * 1024, '\0');
    std::uint32_t seed = 2024;
    for (char& c : random) {
        seed = seed * 1664525u + 1013904223u;
        c = static_cast<char>(seed >> 24);
    }
    const std::string whole = DataFileBuilder(30).Bytes();
    DataFileBuilder userPagesOnly(12);
    for (std::uint32_t n = 0; n < 12; ++n) userPagesOnly.DataPage(n, 500);
    ASSERT_EQ(::mkdir(folder.File("folder.mdf").c_str(), 0700), 0);

    struct Case {
        const char* name;
        std::string bytes;  // not written for "missing" and "folder.mdf"
        const char* message;
        const char* explanation;  // the line under it that says what happened
    };
    const std::vector<Case> cases = {
        {"missing.mdf", "", kCannotOpen, "no such file"},
        {"folder.mdf", "", kCannotOpen, "is a folder"},
        {"empty.mdf", "", kNotValid, "is 0 bytes long"},
        {"8191.mdf", whole.substr(0, 8191), kNotValid, "is 8191 bytes long"},
        {"random.mdf", random, kNotValid, "No boot page was found"},
        {"cut_before_boot_page.mdf", whole.substr(0, 9 * 8192 + 100), kNotValid, "No boot page was found"},
        {"user_pages_only.mdf", userPagesOnly.TrailingBytes(100, 0x7F).Bytes(), kNotValid,
         "No page of the system tables"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.File(c.name);
        if (std::string(c.name) != "missing.mdf" && std::string(c.name) != "folder.mdf") {
            ASSERT_TRUE(forge::WriteFile(path, c.bytes));
        }
        const clitest::CliResult result = RunCli({"info", path});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(Contains(result.err, c.message)) << result.err;
        EXPECT_TRUE(Contains(result.err, c.explanation)) << result.err;
        EXPECT_EQ(result.Keys().count("version"), 0u) << result.out;
    }
}

TEST(InfoCommand, UnreadableFile) {
    forge::TempFolder folder;
    const std::string path = folder.File("locked.mdf");
    ASSERT_TRUE(DataFileBuilder(30).WriteTo(path));
    ASSERT_EQ(::chmod(path.c_str(), 0), 0);
    if (::access(path.c_str(), R_OK) == 0) GTEST_SKIP() << "running with rights that read any file";
    const clitest::CliResult result = RunCli({"info", path});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(Contains(result.err, kCannotOpen)) << result.err;
    EXPECT_TRUE(Contains(result.err, "permission denied")) << result.err;
}

TEST(InfoCommand, FifoIsRefusedWithoutWaiting) {
    forge::TempFolder folder;
    const std::string path = folder.File("pipe.mdf");
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    const clitest::CliResult result = RunCli({"info", path});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(Contains(result.err, kCannotOpen)) << result.err;
}

TEST(InfoCommand, Usage) {
    EXPECT_EQ(RunCli({}).exitCode, 1);
    EXPECT_EQ(RunCli({"info"}).exitCode, 1);
    EXPECT_EQ(RunCli({"nonsense", "x"}).exitCode, 1);
    EXPECT_EQ(RunCli({"--help"}).exitCode, 0);
}

}  // namespace
