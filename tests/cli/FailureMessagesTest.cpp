// Failures after the file opened: a secondary file the database lists is
// missing, or the catalog is unreadable. Each is named on stderr; the second
// is a failing exit status, never an empty success.

#include <gtest/gtest.h>

#include <algorithm>

#include "CliRunner.h"
#include "catalog/SystemRowBuilders.h"
#include "forge/SampleDatabase.h"

namespace {

using clitest::RunCli;

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST(FailureMessages, MissingSecondaryFileIsNamedAndTheRestIsListed) {
    forge::TempFolder folder;
    forge::SampleDatabase sample = forge::BuildSampleDatabase();
    const std::string path = folder.File("sample.mdf");
    ASSERT_TRUE(forge::WriteFile(path, sample.Bytes()));

    for (const char* command : {"tables", "info", "tree"}) {
        SCOPED_TRACE(command);
        const clitest::CliResult alone = RunCli({command, path});
        EXPECT_EQ(alone.exitCode, 0) << alone.err;
        EXPECT_TRUE(Contains(alone.err, "Secondary data file 3 was not found")) << alone.err;
    }
    EXPECT_TRUE(Contains(RunCli({"tables", path}).out, "Customers"));

    ASSERT_TRUE(forge::WriteFile(folder.File("sample_2.ndf"), forge::SampleDatabase::SecondaryFile()));
    const clitest::CliResult complete = RunCli({"tables", path});
    EXPECT_EQ(complete.exitCode, 0) << complete.err;
    EXPECT_FALSE(Contains(complete.err, "Secondary data file")) << complete.err;
}

TEST(FailureMessages, UnreadableCatalogFailsWithAReason) {
    forge::TempFolder folder;
    forge::SampleDatabase sample = forge::BuildSampleDatabase();
    std::string bytes = sample.Bytes();
    const auto objects = std::find_if(sample.systemPages.begin(), sample.systemPages.end(),
                                      [](const auto& entry) { return entry.first == pw::kSysSchObjs; });
    ASSERT_NE(objects, sample.systemPages.end());
    for (const std::uint32_t position : objects->second)
        std::fill_n(bytes.begin() + static_cast<std::ptrdiff_t>(position) * 8192, 8192, '\0');
    const std::string path = folder.File("sample.mdf");
    ASSERT_TRUE(forge::WriteFile(path, bytes));

    for (const char* command : {"tables", "tree"}) {
        SCOPED_TRACE(command);
        const clitest::CliResult result = RunCli({command, path});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_TRUE(Contains(result.err, "catalog could not be read")) << result.err;
    }
}

}  // namespace
