// IAM pages: the extent bitmap, the GAM interval of the page, the single-page
// slots, reading through the file set and the bounds the file puts on extents.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FileSetTestSupport.h"
#include "forge/IamPageBuilder.h"
#include "pages/IamPage.h"
#include "support/AppState.h"

namespace {

using forge::IamPageBuilder;
using pw::Extent;

std::vector<Extent> ExtentsOf(const pw::PageImage& image) {
    const pw::AppState state;
    const pw::IamPage page(image, nullptr, nullptr, state);
    return page.AllocatedExtents();
}

TEST(ExtentAllocationMap, BitmapBitsBecomeExtentsOfThePagesInterval) {
    struct Case {
        std::string name;
        std::uint16_t file;
        std::uint32_t pageNumber;
        std::vector<std::pair<std::size_t, std::uint8_t>> bytes;
        std::vector<Extent> expected;
    };
    const std::vector<Case> cases = {
        {"first byte 0x05: extents 0 and 2", 1, 100, {{0, 0x05}}, {{1, 0, 7}, {1, 16, 23}}},
        {"page 600000 lies in the second interval", 1, 600000, {{0, 0x01}}, {{1, 511232, 511239}}},
        {"page 511232 starts the second interval", 1, 511232, {{0, 0x80}}, {{1, 511288, 511295}}},
        {"page 511231 is the last of the first", 1, 511231, {{0, 0x80}}, {{1, 56, 63}}},
        {"bits of later bytes, least significant first", 1, 2, {{1, 0x09}}, {{1, 64, 71}, {1, 88, 95}}},
        {"the last bit of the bitmap is extent 63903", 1, 2, {{7987, 0x80}}, {{1, 511224, 511231}}},
        {"the page's own file id", 3, 1200000, {{2, 0x02}}, {{3, 1022464 + 136, 1022464 + 143}}},
        {"no flag set lists nothing", 1, 2, {}, {}},
    };
    for (const Case& c : cases) {
        IamPageBuilder builder;
        builder.At(c.file, c.pageNumber);
        for (const auto& [index, value] : c.bytes) builder.BitmapByte(index, value);
        EXPECT_EQ(ExtentsOf(builder.Build()), c.expected) << c.name;
    }
}

TEST(ExtentAllocationMap, FlagsFollowTheBitmapBytes) {
    const pw::AppState state;
    const pw::IamPage full(IamPageBuilder().BitmapByte(0, 0x05).BitmapByte(7987, 0xFF).Build(), nullptr, nullptr,
                           state);
    EXPECT_EQ(full.flagCount, pw::kExtentsPerGamInterval);
    EXPECT_EQ(std::vector<int>(full.extentFlags.begin(), full.extentFlags.begin() + 4), (std::vector<int>{1, 0, 1, 0}));
    EXPECT_EQ(full.extentFlags[63903], 1);
    EXPECT_EQ(full.extentFlags[63895], 0);

    // A short bitmap fills only the flags it holds; the rest stay clear.
    const pw::IamPage shortMap(IamPageBuilder().BitmapFixedLength(2).BitmapByte(1, 0x80).BitmapByte(2, 0xFF).Build(),
                               nullptr, nullptr, state);
    EXPECT_EQ(shortMap.flagCount, 16u);
    EXPECT_EQ(shortMap.AllocatedExtents(), (std::vector<Extent>{{1, 120, 127}}));
    EXPECT_EQ(shortMap.extentFlags[16], 0);
}

TEST(ExtentAllocationMap, ExtentPagesRunFromFirstToLast) {
    const std::array<pw::PageId, 8> pages = pw::ExtentPages(Extent{2, 511232, 511239});
    for (std::uint32_t i = 0; i < 8; ++i) EXPECT_EQ(pages[i], (pw::PageId{2, 511232 + i})) << i;
}

TEST(IamPage, SinglePageSlots) {
    const pw::AppState state;
    const pw::IamPage page(IamPageBuilder().At(1, 12).Slot(0, 1, 32).Slot(3, 4, 70000).Slot(7, 1, 0x12345678).Build(),
                           nullptr, nullptr, state);
    const std::array<pw::PagePointer, 8> expected = {pw::PagePointer{32, 1}, {0, 0}, {0, 0}, {70000, 4},
                                                     {0, 0},                 {0, 0}, {0, 0}, {0x12345678, 1}};
    EXPECT_EQ(page.singlePages, expected);
    // All zero slots contribute nothing but the page still has its extents.
    const pw::IamPage empty(IamPageBuilder().At(1, 12).Extent(1).Build(), nullptr, nullptr, state);
    for (const pw::PagePointer& slot : empty.singlePages) EXPECT_EQ(slot, (pw::PagePointer{0, 0}));
    EXPECT_EQ(empty.AllocatedExtents(), (std::vector<Extent>{{1, 8, 15}}));
}

TEST(IamPage, MissingOrShortRecords) {
    const pw::AppState state;
    const pw::PagePointer preset{};  // page 0 of file 1

    // No header record: the slots keep their preset; the bitmap is still read.
    const pw::IamPage noHeader(IamPageBuilder().Slot(0, 1, 32).Extent(2).Next(1, 77).WithoutHeaderRecord().Build(),
                               nullptr, nullptr, state);
    for (const pw::PagePointer& slot : noHeader.singlePages) EXPECT_EQ(slot, preset);
    EXPECT_EQ(noHeader.AllocatedExtents(), (std::vector<Extent>{{1, 16, 23}}));

    // No bitmap record: no extents, but the slots and the next page pointer remain.
    const pw::IamPage noBitmap(IamPageBuilder().Slot(0, 1, 32).Extent(2).Next(1, 77).WithoutBitmapRecord().Build(),
                               nullptr, nullptr, state);
    EXPECT_EQ(noBitmap.flagCount, 0u);
    EXPECT_TRUE(noBitmap.AllocatedExtents().empty());
    EXPECT_EQ(noBitmap.singlePages[0], (pw::PagePointer{32, 1}));
    EXPECT_EQ(noBitmap.NextIamPage(), (pw::PagePointer{77, 1}));

    // A header fixed part of 50 bytes holds slot 0 (bytes 42-47) but not slot 1 (48-53).
    const pw::IamPage shortHeader(IamPageBuilder().HeaderFixedLength(50).Slot(0, 1, 32).Slot(1, 1, 33).Build(),
                                  nullptr, nullptr, state);
    EXPECT_EQ(shortHeader.singlePages[0], (pw::PagePointer{32, 1}));
    EXPECT_EQ(shortHeader.singlePages[1], preset);

    // A page whose own number is negative holds no records at all.
    pw::PageImage negative = IamPageBuilder().Slot(0, 1, 32).Extent(0).Build();
    forge::PutLE(negative, 32, 0xFFFFFFF0u, 4);
    const pw::IamPage damaged(std::move(negative), nullptr, nullptr, state);
    EXPECT_TRUE(damaged.AllocatedExtents().empty());
    EXPECT_EQ(damaged.singlePages[0], preset);
}

TEST(IamPage, ReadThroughTheFileSetAndBoundedByTheFile) {
    // A primary file of 40 pages has 5 extents: flags of extents 5 and above are not listed.
    forge::DataFileBuilder builder(40);
    builder.SetPage(12, IamPageBuilder().At(1, 12).ObjectId(300).Slot(0, 1, 33).BitmapByte(0, 0xFF).Build());
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(builder);
    ASSERT_TRUE(files.IsOpened());
    ASSERT_EQ(files.extentCount, 5u);

    const std::unique_ptr<pw::IamPage> iam = files.ReadIamPage(1, 12);
    ASSERT_NE(iam, nullptr);
    EXPECT_EQ(iam->FileSet(), &files);
    EXPECT_EQ(iam->Header().objectId, 300);
    EXPECT_EQ(iam->singlePages[0], (pw::PagePointer{33, 1}));
    EXPECT_EQ(iam->flagCount, pw::kExtentsPerGamInterval);
    EXPECT_EQ(iam->AllocatedExtents(),
              (std::vector<Extent>{{1, 0, 7}, {1, 8, 15}, {1, 16, 23}, {1, 24, 31}, {1, 32, 39}}));

    // Pages outside the file and unknown files yield nothing.
    EXPECT_EQ(files.ReadIamPage(1, 41), nullptr);
    EXPECT_EQ(files.ReadIamPage(1, -1), nullptr);
    EXPECT_EQ(files.ReadIamPage(7, 12), nullptr);
    EXPECT_EQ(files.ReadIamPage(0, 12), nullptr);
}

TEST(IamPage, FilePageCounts) {
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(forge::DataFileBuilder(40));
    ASSERT_TRUE(files.IsOpened());
    EXPECT_EQ(files.FilePageCount(0), 40u);
    EXPECT_EQ(files.FilePageCount(1), 40u);
    EXPECT_EQ(files.FilePageCount(2), 0u);
    EXPECT_EQ(files.FilePageCount(-1), 0u);
    EXPECT_FALSE(files.IsInsideFile(1, 0));
    EXPECT_TRUE(files.IsInsideFile(1, 1));
    EXPECT_TRUE(files.IsInsideFile(0, 39));
    EXPECT_FALSE(files.IsInsideFile(1, 40));
    EXPECT_FALSE(files.IsInsideFile(2, 1));
}

}  // namespace
