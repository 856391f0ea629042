#include <gtest/gtest.h>

#include "FileSetTestSupport.h"
#include "pages/DataPage.h"

namespace {

using forge::Bytes;
using forge::DataFileBuilder;
using forge::PageBuilder;

// A plain record: status A 0x10 (null bitmap), fixed part "ABCD", one column.
const Bytes kPlainRecord = {0x10, 0x00, 0x08, 0x00, 'A', 'B', 'C', 'D', 0x01, 0x00, 0x00};

// A forwarding stub (record type 2) pointing at (file, page, slot).
Bytes Stub(std::uint16_t file, std::uint32_t page, std::uint16_t slot) {
    Bytes stub(9, 0);
    stub[0] = 0x04;
    forge::PutLE(stub, 1, page, 4);
    forge::PutLE(stub, 5, file, 2);
    forge::PutLE(stub, 7, slot, 2);
    return stub;
}

pw::PageImage DataPageImage(std::uint32_t number, const std::vector<Bytes>& records) {
    PageBuilder page;
    page.Type(pw::kDataPage).ObjectId(500).ThisPage(1, number);
    for (const Bytes& record : records) page.AddRecord(record);
    return page.Build();
}

TEST(ReadDataPage, ParsesRecordsAndFollowsStubsThroughTheFileSet) {
    DataFileBuilder builder(20);
    builder.SetPage(10, DataPageImage(10, {kPlainRecord, Stub(1, 11, 0), Stub(1, 40, 0), Stub(3, 11, 0)}))
        .SetPage(11, DataPageImage(11, {kPlainRecord}));
    pagestest::ScanFixture scan;
    pw::CDatabaseFileSet& files = scan.Open(builder);
    ASSERT_TRUE(files.IsOpened());

    const std::unique_ptr<pw::CDataPage> page = files.ReadDataPage(1, 10);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->FileSet(), &files);
    ASSERT_EQ(page->records.size(), 4u);
    const pw::CPrimaryRecord* plain = page->Record(0);
    ASSERT_NE(plain, nullptr);
    EXPECT_FALSE(plain->isInvalid);
    EXPECT_EQ(plain->fixedData, (Bytes{'A', 'B', 'C', 'D'}));

    const pw::CPrimaryRecord* followed = page->Record(1);
    ASSERT_NE(followed, nullptr);
    EXPECT_EQ(followed->fixedLength, 4);
    EXPECT_EQ(followed->fixedData, (Bytes{'A', 'B', 'C', 'D'}));

    // Stubs to a page past the end of the file and to an unknown file stay unfollowed.
    for (const std::size_t slot : {std::size_t{2}, std::size_t{3}}) {
        const pw::CPrimaryRecord* missing = page->Record(slot);
        ASSERT_NE(missing, nullptr);
        EXPECT_EQ(missing->fixedLength, -5) << slot;
    }

    EXPECT_EQ(files.ReadDataPage(1, 0), nullptr);
    EXPECT_EQ(files.ReadDataPage(1, 21), nullptr);
    EXPECT_EQ(files.ReadDataPage(2, 3), nullptr);
}

}  // namespace
