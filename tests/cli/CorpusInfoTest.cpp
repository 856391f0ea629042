// pagewright-cli info over the real data files beside the checkout.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "CliRunner.h"

namespace {

using clitest::RunCli;

struct ManifestRow {
    std::string file;
    std::string fileId;
    std::string version;
    std::string databaseName;
    std::string collationId;
};

bool FolderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::vector<std::string> SplitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

// The manifest's rows, by its header's column names.
std::vector<ManifestRow> ReadManifest(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    std::vector<ManifestRow> rows;
    if (!std::getline(in, line)) return rows;
    const std::vector<std::string> header = SplitTabs(line);
    const auto column = [&](const char* name) {
        for (std::size_t i = 0; i < header.size(); ++i)
            if (header[i] == name) return i;
        return header.size();
    };
    const std::size_t file = column("file"), fileId = column("file_id"), version = column("version"),
                      name = column("db_name_full"), collation = column("collation_id");
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::vector<std::string> fields = SplitTabs(line);
        const auto at = [&](std::size_t i) { return i < fields.size() ? fields[i] : std::string(); };
        if (at(file).empty()) continue;
        rows.push_back({at(file), at(fileId), at(version), at(name), at(collation)});
    }
    return rows;
}

class Corpus : public testing::Test {
protected:
    void SetUp() override {
        folder = std::string(PAGEWRIGHT_CORPUS_DIR) + "/";
        if (!FolderExists(folder)) GTEST_SKIP() << "no corpus of real data files at " << folder;
        rows = ReadManifest(folder + "MANIFEST.tsv");
        ASSERT_FALSE(rows.empty()) << "MANIFEST.tsv missing or empty in " << folder;
    }
    std::string folder;
    std::vector<ManifestRow> rows;
};

TEST_F(Corpus, InfoReadsEveryPrimaryFile) {
    int primaries = 0;
    for (const ManifestRow& row : rows) {
        if (row.fileId != "1") continue;
        ++primaries;
        SCOPED_TRACE(row.file);
        const clitest::CliResult result = RunCli({"info", folder + row.file});
        ASSERT_EQ(result.exitCode, 0) << result.err;
        const auto keys = result.Keys();
        EXPECT_EQ(keys.at("version"), row.version);
        EXPECT_EQ(keys.at("database"), row.databaseName);
        EXPECT_NE(keys.at("collation"), "Unknown Collation");
        EXPECT_FALSE(keys.at("collation").empty());
        EXPECT_EQ(keys.at("collation_id"), row.collationId);
        EXPECT_NE(keys.at("version_text"), "Unknown SQL Version");
        EXPECT_EQ(keys.at("layout"), "2005");  // every old file there was upgraded
    }
    EXPECT_GT(primaries, 0);
}

TEST_F(Corpus, InfoNamesSecondaryFilesOpenedAlone) {
    int secondaries = 0;
    for (const ManifestRow& row : rows) {
        if (row.fileId == "1" || row.fileId.empty()) continue;
        ++secondaries;
        SCOPED_TRACE(row.file);
        const clitest::CliResult result = RunCli({"info", folder + row.file});
        EXPECT_EQ(result.exitCode, 2);
        const auto keys = result.Keys();
        EXPECT_EQ(keys.at("file_type"), "secondary");
        EXPECT_EQ(keys.at("file_id"), row.fileId);
        EXPECT_EQ(keys.count("database"), 0u);
        EXPECT_NE(result.err.find("secondary data file (file id " + row.fileId + ")"), std::string::npos) << result.err;
    }
    if (secondaries == 0) GTEST_SKIP() << "the corpus holds no secondary data file";
}

TEST_F(Corpus, TruncatedRealFilesAreRefused) {
    const auto primary = std::find_if(rows.begin(), rows.end(), [](const ManifestRow& r) { return r.fileId == "1"; });
    ASSERT_NE(primary, rows.end());
    std::ifstream in(folder + primary->file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 10u * 8192u);
    forge::TempFolder temp;
    for (const std::size_t length : {std::size_t{0}, std::size_t{8000}, std::size_t{5 * 8192}, std::size_t{9 * 8192 + 4000}}) {
        SCOPED_TRACE(length);
        const std::string path = temp.File("cut.mdf");
        ASSERT_TRUE(forge::WriteFile(path, bytes.substr(0, length)));
        const clitest::CliResult result = RunCli({"info", path});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("Wheteher File is not valid mdf file or file is highly corrupted..........."),
                  std::string::npos)
            << result.err;
    }
}

}  // namespace
