#include <gtest/gtest.h>

#include "FileSetTestSupport.h"

namespace {

using forge::DataFileBuilder;
using pw::PageRef;
using Refs = std::vector<PageRef>;

const Refs* Find(const pw::PageMap& map, std::int32_t objectId) {
    const auto found = map.find(objectId);
    return found == map.end() ? nullptr : &found->second;
}

TEST(PageMaps, DataAndIamPagesOfAnObject) {
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(DataFileBuilder(310).DataPage(300, 1977).IamPage(299, 1977));
    ASSERT_TRUE(files.IsOpened());
    EXPECT_EQ(files.DataPageMap().at(1977), (Refs{{300, 1, 1}}));
    EXPECT_EQ(files.IamPageMap().at(1977), (Refs{{299, 1, 10}}));
    // Pages of user objects are no system pages.
    EXPECT_EQ(Find(files.SystemPageMap(), 1977), nullptr);
}

TEST(PageMaps, SystemPagesOfThePrimaryFile) {
    DataFileBuilder builder(30);
    builder.ObjectPage(12, 99, pw::kPfsPage)
        .DataPage(13, 34)
        .DataPage(14, 34)
        .ObjectPage(15, -5, pw::kIndexPage)
        .ObjectPage(16, 100, pw::kIndexPage)
        .ObjectPage(17, 101, pw::kIndexPage)
        .IamPage(18, 60);
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(builder);
    ASSERT_TRUE(files.IsOpened());
    const pw::PageMap& system = files.SystemPageMap();

    // Object ids up to 100 are system pages, zero and negative ids included.
    ASSERT_NE(Find(system, 99), nullptr);
    EXPECT_EQ(system.at(99).front(), (PageRef{0, 1, pw::kFileHeaderPage}));  // page 0 of the builder
    EXPECT_EQ(system.at(99).back(), (PageRef{12, 1, pw::kPfsPage}));
    EXPECT_EQ(system.at(34), (Refs{{13, 1, 1}, {14, 1, 1}}));
    EXPECT_EQ(system.at(-5), (Refs{{15, 1, 2}}));
    EXPECT_EQ(system.at(100), (Refs{{16, 1, 2}}));
    EXPECT_EQ(Find(system, 101), nullptr);
    // A page can be in the system map and in the data or IAM map at once.
    EXPECT_EQ(files.DataPageMap().at(34), (Refs{{13, 1, 1}, {14, 1, 1}}));
    EXPECT_EQ(files.IamPageMap().at(60), (Refs{{18, 1, 10}}));
    EXPECT_EQ(system.at(60), (Refs{{18, 1, 10}}));
    // Index pages are in no data map.
    EXPECT_EQ(Find(files.DataPageMap(), 101), nullptr);
}

TEST(PageMaps, ReadingPastTheLastWholePageAddsAZeroPageEntry) {
    // Positions 0 to wholePageCount are read; for a file of whole pages the
    // last read finds nothing and files an empty page under object 0.
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(DataFileBuilder(12));
    ASSERT_TRUE(files.IsOpened());
    const Refs& unused = files.SystemPageMap().at(0);
    EXPECT_EQ(unused.back(), (PageRef{12, 0, 0}));
    EXPECT_EQ(unused.size(), 11u);  // positions 1-8, 10, 11 (formatted, type 0) and 12
}

TEST(PageMaps, ProgressAndStatusTexts) {
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(DataFileBuilder(250));
    ASSERT_TRUE(files.IsOpened());
    EXPECT_EQ(scan.sink.statusTexts,
              (std::vector<std::string>{"Checking for file corruption ...........",
                                        "Checking for file corruption is done...........",
                                        "Mapping Database Objects...........",
                                        "Mapping of Database Objects has been done ......................"}));
    EXPECT_EQ(scan.sink.rangeHigh, 250);
    EXPECT_EQ(scan.sink.position, 250);
}

}  // namespace
