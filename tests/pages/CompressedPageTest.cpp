#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "forge/CompressedPageBuilder.h"
#include "pages/CompressedRecord.h"
#include "pages/DataPage.h"
#include "support/AppState.h"

namespace {

using forge::Bytes;
using forge::CdValue;
using forge::Column;

constexpr int kInt = 9, kNvarchar = 11, kVarchar = 17;

Bytes FixedData(const pw::PrimaryRecordPage& page, std::size_t slot) {
    const pw::CPrimaryRecord* record = page.Record(slot);
    if (record == nullptr) return {};
    return record->fixedData;
}

class CompressedPage : public ::testing::Test {
protected:
    pw::AppState state;
    std::vector<pw::ColumnDescriptor> intColumn = {Column(kInt, "int(4)")};
};

TEST_F(CompressedPage, RowCompressedIntegerExpandsToLittleEndian) {
    // Row compression only: no information record; 0x85 is the int 5.
    pw::PageImage image = forge::BuildCompressedPage({}, {forge::BuildCompressedRecord({{2, {0x85}}})});
    image[2] = 0;  // a row-compressed page carries no compressed-page flag
    const pw::CDataPage page(image, nullptr, nullptr, state, intColumn);
    ASSERT_NE(page.Record(0), nullptr);
    EXPECT_EQ(FixedData(page, 0), (Bytes{0x05, 0x00, 0x00, 0x00}));
    EXPECT_EQ(page.Record(0)->fixedLength, 4);
    ASSERT_EQ(page.Record(0)->columnNullMarks.size(), 1u);
    EXPECT_FALSE(page.Record(0)->columnNullMarks[0].isNull);
}

TEST_F(CompressedPage, AnchorPrefixWithAndWithoutDictionary) {
    // The anchor of the int column is 80 00 01; the record stores 02 07:
    // two bytes from the anchor and its own 07, so the value is 7.
    for (const bool withDictionary : {true, false}) {
        SCOPED_TRACE(withDictionary ? "anchor and dictionary" : "anchor only");
        forge::CompressionInfoParts parts;
        parts.withAnchor = true;
        parts.withDictionary = withDictionary;
        parts.anchor = {{4, {0x80, 0x00, 0x01}}};
        if (withDictionary) parts.dictionary = {{0x86}};
        const pw::PageImage image = forge::BuildCompressedPage(
            forge::BuildCompressionInfo(parts), {forge::BuildCompressedRecord({{3, {0x02, 0x07}}})});
        const pw::PrimaryRecordPage page(image, nullptr, nullptr, state, intColumn);
        EXPECT_TRUE(page.hasCompressionInfo);
        ASSERT_NE(page.anchorRecord, nullptr);
        EXPECT_FALSE(page.anchorRecord->isInvalid);
        ASSERT_EQ(page.anchorValues.size(), 1u);
        EXPECT_EQ(page.anchorValues[0].bytes, (Bytes{0x80, 0x00, 0x01}));
        EXPECT_EQ(page.pageDictionary.size(), withDictionary ? 1u : 0u);
        EXPECT_EQ(FixedData(page, 0), (Bytes{0x07, 0x00, 0x00, 0x00}));
    }
}

TEST_F(CompressedPage, DictionarySymbolsAndASymbolEqualToTheEntryCount) {
    forge::CompressionInfoParts parts;
    parts.withAnchor = parts.withDictionary = true;
    parts.anchor = {{0, {}}, {0, {}}};
    parts.dictionary = {{'N', 'o', 'r', 't', 'h'}, {'S', 'o', 'u', 't', 'h'}};
    const std::vector<pw::ColumnDescriptor> columns = {Column(kVarchar, "varchar(8)"), Column(kVarchar, "varchar(8)")};
    const pw::PageImage image = forge::BuildCompressedPage(
        forge::BuildCompressionInfo(parts),
        {forge::BuildCompressedRecord({{12, {1}}, {12, {0}}}), forge::BuildCompressedRecord({{12, {2}}, {12, {0}}})});
    const pw::PrimaryRecordPage page(image, nullptr, nullptr, state, columns);
    ASSERT_EQ(page.pageDictionary.size(), 2u);
    const Bytes south = {'S', 'o', 'u', 't', 'h', 0, 0, 0, 'N', 'o', 'r', 't', 'h', 0, 0, 0};
    EXPECT_EQ(FixedData(page, 0), south);
    // Symbol 2 equals the entry count: the first column gets nothing and takes no room.
    EXPECT_EQ(FixedData(page, 1), (Bytes{'N', 'o', 'r', 't', 'h', 0, 0, 0}));
    ASSERT_EQ(page.Record(1)->columnNullMarks.size(), 2u);
    EXPECT_EQ(page.Record(1)->columnNullMarks[0].length, 0);
    EXPECT_EQ(page.Record(1)->columnNullMarks[1].length, 5);
}

TEST_F(CompressedPage, CompressedFlagWithZeroLengthInformationIsAnOrdinaryPage) {
    // Flags claim anchor and dictionary, but the length is 0: nothing is read
    // and the first record starts right after the header.
    const pw::PageImage image =
        forge::BuildCompressedPage({}, {forge::BuildCompressedRecord({{2, {0x85}}, {0, {}}}, 0)});
    const std::vector<pw::ColumnDescriptor> columns = {Column(kInt, "int(4)"), Column(kInt, "int(4)")};
    const pw::PrimaryRecordPage page(image, nullptr, nullptr, state, columns);
    EXPECT_FALSE(page.hasCompressionInfo);
    EXPECT_EQ(page.anchorRecord, nullptr);
    EXPECT_TRUE(page.anchorValues.empty());
    EXPECT_TRUE(page.pageDictionary.empty());
    EXPECT_EQ(FixedData(page, 0), (Bytes{0x05, 0x00, 0x00, 0x00}));
    ASSERT_EQ(page.Record(0)->columnNullMarks.size(), 2u);
    EXPECT_TRUE(page.Record(0)->columnNullMarks[1].isNull);
}

TEST_F(CompressedPage, PreconditionsOfExpansion) {
    const Bytes record = forge::BuildCompressedRecord({{2, {0x85}}, {3, {0x81, 0x00}}});
    const pw::PageImage image = forge::BuildCompressedPage({}, {record});
    // No listing: nothing to expand with; the short data stays as read.
    const pw::PrimaryRecordPage unlisted(image, nullptr, nullptr, state);
    ASSERT_NE(unlisted.Record(0), nullptr);
    EXPECT_EQ(FixedData(unlisted, 0), (Bytes{0x85, 0x81, 0x00}));
    EXPECT_EQ(unlisted.Record(0)->fixedLength, 3);
    EXPECT_TRUE(unlisted.Record(0)->columnNullMarks.empty());
    // A listing whose column count differs leaves the short data as read.
    const pw::PrimaryRecordPage other(image, nullptr, nullptr, state, intColumn);
    EXPECT_EQ(FixedData(other, 0), (Bytes{0x85, 0x81, 0x00}));
    // The SQL Server 2000 layout never expands.
    state.m_bIsSql2000 = true;
    const std::vector<pw::ColumnDescriptor> two = {Column(kInt, "int(4)"), Column(kInt, "int(4)")};
    const pw::PrimaryRecordPage legacy(image, nullptr, nullptr, state, two);
    EXPECT_EQ(FixedData(legacy, 0), (Bytes{0x85, 0x81, 0x00}));
}

TEST_F(CompressedPage, LongUnicodeValueIsDecodedInPlace) {
    const std::vector<pw::ColumnDescriptor> columns = {Column(kInt, "int(4)"), Column(kNvarchar, "nvarchar(40)")};
    const Bytes moskva = {0x12, 0x9C, 0xBE, 0xC1, 0xBA, 0xB2, 0xB0, 0x20, 0x10, 0x41, 0x42};
    const pw::PageImage image =
        forge::BuildCompressedPage({}, {forge::BuildCompressedRecord({{2, {0x81}}, {10, moskva}})});
    const pw::PrimaryRecordPage page(image, nullptr, nullptr, state, columns);
    const pw::CPrimaryRecord* record = page.Record(0);
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->varValues.size(), 1u);
    const Bytes expected = {0x1C, 0x04, 0x3E, 0x04, 0x41, 0x04, 0x3A, 0x04, 0x32, 0x04, 0x30, 0x04,
                            0x20, 0x00, 0x41, 0x00, 0x42, 0x00};
    EXPECT_EQ(record->varValues[0].data, expected);
    EXPECT_EQ(record->varValues[0].length, static_cast<int>(expected.size()));
}

// Damaged compressed pages: random bytes in the information record and the
// records, and images cut short. Run under the sanitizers, any read outside
// the image fails the test run.
TEST_F(CompressedPage, DamagedInformationAndRecordsNeverReadOutsideThePage) {
    forge::CompressionInfoParts parts;
    parts.withAnchor = parts.withDictionary = true;
    parts.anchor = {{4, {0x80, 0x00, 0x01}}, {10, {'W', 'a', 's', 'h', 'i', 'n', 'g', 't', 'o', 'n'}}, {1, {}}};
    parts.dictionary = {{'o', 'n', 'e'}, {0x85}, {'t', 'h', 'r', 'e', 'e'}};
    const std::vector<pw::ColumnDescriptor> columns = {Column(kInt, "int(4)"), Column(kVarchar, "varchar(20)"),
                                                       Column(kNvarchar, "nvarchar(30)")};
    const Bytes info = forge::BuildCompressionInfo(parts);
    const std::vector<Bytes> records = {
        forge::BuildCompressedRecord({{3, {0x02, 0x07}}, {10, {4, 'i', 'n', 'g', ' ', 'D', 'C'}}, {12, {0}}}),
        forge::BuildCompressedRecord({{12, {1}}, {12, {2}}, {10, {0x12, 0x9C, 0xBE, 0xC1, 0xBA, 0xB2, 0xB0, 0x41, 0x41}}}),
    };
    const pw::PageImage clean = forge::BuildCompressedPage(info, records);
    const std::size_t used = 96 + info.size() + records[0].size() + records[1].size();
    std::mt19937 rng(3);
    for (int round = 0; round < 1500; ++round) {
        pw::PageImage image = clean;
        const int flips = 1 + static_cast<int>(rng() % 8);
        for (int f = 0; f < flips; ++f) image[96 + rng() % (used - 96)] = static_cast<std::uint8_t>(rng());
        if (round % 4 == 0) image.resize(96 + rng() % (used - 96));
        const pw::PrimaryRecordPage page(image, nullptr, nullptr, state, columns);
        for (const pw::CompressedValue& v : page.pageDictionary) EXPECT_LE(v.bytes.size(), 4096u);
        for (std::size_t slot = 0; slot < page.records.size(); ++slot) {
            const pw::CPrimaryRecord* record = page.Record(slot);
            if (record == nullptr || record->isInvalid || !record->isCompressed) continue;
            EXPECT_EQ(record->fixedLength, static_cast<int>(record->fixedData.size()));
            EXPECT_LE(record->fixedData.size(), pw::kMaxExpandedImage);
        }
    }
}

}  // namespace
