#include <gtest/gtest.h>

#include "forge/PageBuilder.h"
#include "pages/Page.h"

namespace {

using forge::PageBuilder;

TEST(PageHeader, ReadsEveryField) {
    pw::PageImage image = PageBuilder()
                              .Type(1)
                              .TypeFlags(0x80)
                              .Level(2)
                              .IndexId(3)
                              .PrevPage(1, 77)
                              .NextPage(2, 99)
                              .ObjectId(-1234)
                              .ThisPage(3, 4711)
                              .GhostRecords(-2)
                              .Put(14, 12, 2)
                              .Put(38, 5, 2)
                              .Put(50, 6, 2)
                              .Build();
    pw::CPage page(std::move(image), nullptr);
    const pw::CPage_Header& h = page.Header();
    EXPECT_EQ(h.headerVersion, 1);
    EXPECT_EQ(h.pageType, pw::kDataPage);
    EXPECT_TRUE(h.IsCompressed());
    EXPECT_EQ(h.level, 2);
    EXPECT_EQ(h.indexId, 3);
    EXPECT_EQ(h.prevPage, (pw::PagePointer{77, 1}));
    EXPECT_EQ(h.nextPage, (pw::PagePointer{99, 2}));
    EXPECT_EQ(h.minRecordLength, 12);
    EXPECT_EQ(h.objectId, -1234);
    EXPECT_EQ(h.thisPage.page, 4711);
    EXPECT_EQ(h.thisPage.file, 3);
    EXPECT_EQ(h.reservedCount, 5);
    EXPECT_EQ(h.xactReserved, 6);
    EXPECT_EQ(h.ghostRecordCount, -2);
    EXPECT_EQ(h.slotCount, 0);
    EXPECT_EQ(h.freeData, pw::kPageHeaderSize);
}

TEST(PageHeader, FormatsLsnAndTransactionTexts) {
    pw::PageImage image = PageBuilder().Lsn(5, 300, 1).Xdes(0, 1234).Build();
    EXPECT_EQ(pw::CPage_Header(image).lsnText, "( 5 : 300 : 1 )");
    EXPECT_EQ(pw::CPage_Header(image).xdesText, "( 0 : 1234 )");
    image = PageBuilder().Lsn(5, 300, -1).Xdes(-7, 8).Build();
    EXPECT_EQ(pw::CPage_Header(image).lsnText, "( 5 : 300 : -1 )");
    EXPECT_EQ(pw::CPage_Header(image).xdesText, "( -7 : 8 )");
}

pw::PageImage PageFullOfOnes(std::uint16_t flags, std::uint32_t tornBits) {
    pw::PageImage image = PageBuilder().Flags(flags).TornBits(tornBits).Build();
    std::fill(image.begin() + pw::kPageHeaderSize, image.end(), 0xFF);
    return image;
}

TEST(PageHeader, WithoutTornFlagTheImageIsUntouched) {
    pw::PageImage image = PageFullOfOnes(0x0000, 0);
    const pw::PageImage before = image;
    pw::CPage_Header header(image);
    EXPECT_EQ(image, before);
}

TEST(PageHeader, TornBitsZeroClearTheLowBitsOfEachSectorEnd) {
    pw::PageImage image = PageFullOfOnes(pw::kTornBitsPresent, 0);
    const pw::PageImage before = image;
    pw::CPage_Header header(image);
    for (std::size_t i = 0; i < image.size(); ++i) {
        const bool sectorEnd = (i + 1) % 512 == 0 && i >= 1023;
        EXPECT_EQ(image[i], sectorEnd ? (before[i] & 0xFC) : before[i]) << "byte " << i;
    }
}

TEST(PageHeader, TornBitsRestorePerSectorValues) {
    // Sector k gets bits 2k and 2k+1: here sector 1 gets 01, sector 15 gets 10.
    const std::uint32_t bits = (1u << 2) | (2u << 30);
    pw::PageImage image = PageFullOfOnes(pw::kTornBitsPresent, bits);
    image[511] = 0x00;  // sector 0 holds the header and is never touched
    pw::CPage_Header header(image);
    EXPECT_EQ(image[1023], 0xFD);
    EXPECT_EQ(image[1535], 0xFC);
    EXPECT_EQ(image[8191], 0xFE);
    EXPECT_EQ(image[511], 0x00);
}

TEST(PageHeader, ShortImagesNeverReadOutside) {
    for (std::size_t size : {0u, 1u, 40u, 95u, 1000u}) {
        pw::PageImage image(size, 0xFF);
        if (size > 5) image[5] = 0x01;  // torn bits flagged
        pw::CPage_Header header(image);
        EXPECT_EQ(image.size(), size);
        if (size < 25) {
            EXPECT_EQ(header.objectId, 0);
        }
    }
}

}  // namespace
