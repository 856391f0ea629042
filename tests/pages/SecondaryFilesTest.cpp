#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>

#include "FileSetTestSupport.h"
#include "pages/SecondaryFileNames.h"

namespace {

using forge::DataFileBuilder;
using pw::PageRef;
using Refs = std::vector<PageRef>;

// A secondary file whose data pages at 10 and 11 belong to `objectId`.
DataFileBuilder Secondary(std::uint16_t fileId, std::int32_t objectId, std::uint32_t pages = 16) {
    DataFileBuilder builder(pages, fileId);
    builder.DataPage(10, objectId).DataPage(11, objectId).ObjectPage(12, 7, pw::kDataPage).ObjectPage(13, 99, 1);
    return builder;
}

bool Contains(const Refs& refs, const PageRef& ref) { return std::find(refs.begin(), refs.end(), ref) != refs.end(); }

TEST(SecondaryFileNames, WindowsPathsAndExtensions) {
    EXPECT_EQ(pw::FileNameOfPath("D:\\old\\sales_2.ndf"), "sales_2.ndf");
    EXPECT_EQ(pw::FileNameOfPath("/srv/data/x.ndf"), "x.ndf");
    EXPECT_EQ(pw::FileNameOfPath("plain.ndf"), "plain.ndf");
    EXPECT_EQ(pw::ListedSecondaryFileName("D:\\old\\sales_2.ndf"), "sales_2.ndf");
    EXPECT_EQ(pw::ListedSecondaryFileName("D:\\old.dir\\Sales.Archive.NDF"), "Sales.Archive.ndf");
    EXPECT_EQ(pw::ListedSecondaryFileName("E:/data/noext"), "noext.ndf");
    EXPECT_TRUE(pw::HasNdfExtension("a.ndf"));
    EXPECT_TRUE(pw::HasNdfExtension("A.NdF"));
    EXPECT_FALSE(pw::HasNdfExtension("a.mdf"));
    EXPECT_FALSE(pw::HasNdfExtension("ndf"));
}

TEST(SecondaryFiles, FoundBySearchingTheFolder) {
    pagestest::ScanFixture scan;
    ASSERT_TRUE(Secondary(3, 500).WriteTo(scan.folder.File("db_1.ndf")));
    ASSERT_TRUE(Secondary(4, 600).LeadingBytes(200).WriteTo(scan.folder.File("DB_2.NDF")));
    ASSERT_TRUE(DataFileBuilder(16, 6).WriteTo(scan.folder.File("no_data.ndf")));  // no data page: ignored
    ASSERT_TRUE(forge::WriteFile(scan.folder.File("short.ndf"), std::string(8191, 'x')));
    ASSERT_TRUE(Secondary(8, 800).WriteTo(scan.folder.File("not_a_secondary.txt")));
    ASSERT_EQ(::mkdir(scan.folder.File("folder.ndf").c_str(), 0700), 0);
    pw::CDatabaseFileSet& files = scan.Open(DataFileBuilder(12).DataPage(10, 500));
    ASSERT_TRUE(files.IsOpened());

    pw::DataFileList list;
    files.LocateSecondaryFiles(scan.folder.File("db.mdf"), list);

    ASSERT_EQ(files.SecondaryFiles().size(), 2u);
    const pw::DataFileEntry& three = files.SecondaryFiles().at(3);
    const pw::DataFileEntry& four = files.SecondaryFiles().at(4);
    EXPECT_EQ(three.path, scan.folder.File("db_1.ndf"));
    EXPECT_EQ(four.path, scan.folder.File("DB_2.NDF"));
    EXPECT_EQ(three.wholePageCount, 16u);
    EXPECT_EQ(four.dataStartOffset, 200);  // the data start check ran on it
    EXPECT_TRUE(three.name.empty());
    // Found files join the caller's file list, in the order they were found.
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].fileId, 4);  // "DB_2.NDF" sorts before "db_1.ndf"
    EXPECT_EQ(list[1].fileId, 3);

    // Primary pages first, then the secondary files' pages, under their own ids.
    EXPECT_EQ(files.DataPageMap().at(500), (Refs{{10, 1, 1}, {10, 3, 1}, {11, 3, 1}}));
    EXPECT_EQ(files.DataPageMap().at(600), (Refs{{10, 4, 1}, {11, 4, 1}}));
    // Object 7 is a system base table: listed from secondaries; object 99 is not.
    EXPECT_TRUE(Contains(files.SystemPageMap().at(7), PageRef{12, 3, 1}));
    EXPECT_FALSE(Contains(files.SystemPageMap().at(99), PageRef{13, 3, 1}));
    // Nothing of the ignored file (id 6) or of the .txt file entered the maps.
    for (const auto& [objectId, refs] : files.SystemPageMap())
        for (const PageRef& ref : refs) EXPECT_TRUE(ref.fileId != 6 && ref.fileId != 8) << objectId;
    EXPECT_EQ(files.DataPageMap().count(800), 0u);

    // The short file was skipped with a log line.
    ASSERT_EQ(scan.sink.logLines.size(), 2u);
    EXPECT_NE(scan.sink.logLines[0].find("no_data.ndf"), std::string::npos);
    EXPECT_NE(scan.sink.logLines[1].find("short.ndf"), std::string::npos);
    EXPECT_NE(scan.sink.logLines[1].find("shorter than one page"), std::string::npos);

    // Pages are read from the secondary files by file id.
    const auto page = files.ReadPageHeaderOnly(4, 11);
    ASSERT_TRUE(page.has_value());
    EXPECT_EQ(page->objectId, 600);
    EXPECT_EQ(page->thisPage.file, 4);
    EXPECT_FALSE(files.ReadPage(7, 1).has_value());
    EXPECT_FALSE(files.ReadPage(3, 17).has_value());
    EXPECT_FALSE(files.ReadPage(3, 0).has_value());
    EXPECT_TRUE(files.ReadPage(3, 0, pw::PageZero::kAccept).has_value());
}

TEST(SecondaryFiles, FoundThroughTheDatabasesFileList) {
    pagestest::ScanFixture scan;
    // The header carries id 9 but the database lists the file as id 3: the list wins.
    ASSERT_TRUE(Secondary(9, 500).TrailingBytes(100).WriteTo(scan.folder.File("sales_2.ndf")));
    ASSERT_TRUE(Secondary(4, 600).LeadingBytes(300).WriteTo(scan.folder.File("other.ndf")));
    ASSERT_TRUE(Secondary(5, 700).WriteTo(scan.folder.File("unlisted.ndf")));
    pw::CDatabaseFileSet& files = scan.Open(DataFileBuilder(12));
    ASSERT_TRUE(files.IsOpened());

    pw::DataFileList list = {
        {1, "D:\\data\\db.mdf", "", 0, 0, 0},
        {2, "D:\\data\\db_log.ldf", "", 0, 0, 0},
        {3, "D:\\old\\sales_2.ndf", "", 0, 0, 0},
        {4, "E:/x/Other.NDF", "", 0, 0, 0},  // found whatever the case of its name
        {7, "D:\\old\\gone.ndf", "", 0, 0, 0},
    };
    files.LocateSecondaryFiles(scan.folder.File("db.mdf"), list);

    ASSERT_EQ(list.size(), 5u);  // nothing appended
    EXPECT_EQ(list[2].path, scan.folder.File("sales_2.ndf"));
    EXPECT_EQ(list[2].wholePageCount, 16u);
    // Listed files get the data start check too: the 100 bytes trail the pages.
    EXPECT_EQ(list[2].dataStartOffset, 0);
    EXPECT_EQ(list[3].path, scan.folder.File("other.ndf"));
    EXPECT_EQ(list[3].dataStartOffset, 300);
    EXPECT_EQ(list[4].path, scan.folder.File("gone.ndf"));

    ASSERT_EQ(files.SecondaryFiles().size(), 2u);
    EXPECT_EQ(files.SecondaryFiles().at(3).name, "D:\\old\\sales_2.ndf");
    EXPECT_EQ(files.DataPageMap().at(500), (Refs{{10, 3, 1}, {11, 3, 1}}));
    EXPECT_EQ(files.DataPageMap().at(600), (Refs{{10, 4, 1}, {11, 4, 1}}));
    EXPECT_EQ(files.DataPageMap().count(700), 0u);
    EXPECT_TRUE(Contains(files.SystemPageMap().at(7), PageRef{12, 3, 1}));
    EXPECT_FALSE(files.ReadPage(7, 1).has_value());
    EXPECT_FALSE(files.ReadPage(2, 1).has_value());
}

TEST(SecondaryFiles, StopEndsTheSearch) {
    pagestest::ScanFixture scan;
    ASSERT_TRUE(Secondary(3, 500).WriteTo(scan.folder.File("db_1.ndf")));
    pw::CDatabaseFileSet& files = scan.Open(DataFileBuilder(12));
    ASSERT_TRUE(files.IsOpened());
    scan.state.m_bStopRequested = true;
    pw::DataFileList list;
    files.LocateSecondaryFiles(scan.folder.File("db.mdf"), list);
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(files.SecondaryFiles().empty());
}

}  // namespace
