// The record parse: plain and compressed formats, record types and the
// deleted mark, complex columns and sparse vectors.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forge/RecordBuilder.h"
#include "pages/PrimaryRecord.h"
#include "pages/PrimaryRecordPage.h"
#include "support/AppState.h"

namespace {

using forge::Bytes;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

// Parses `record` as slot 0 of a data page, the way the page walk does.
struct ParsedOnPage {
    explicit ParsedOnPage(const Bytes& record, bool showDeleted) {
        state.m_bShowDeleted = showDeleted;
        forge::PageBuilder builder;
        builder.Type(1).ObjectId(1234);
        builder.AddRecord(record);
        page = std::make_unique<pw::PrimaryRecordPage>(builder.Build(), nullptr, nullptr, state);
    }
    const pw::CPrimaryRecord* Record() const { return page->Record(0); }
    pw::AppState state;
    std::unique_ptr<pw::PrimaryRecordPage> page;
};

struct RecordCase;
void PrintTo(const RecordCase& c, std::ostream* os);

struct RecordCase {
    const char* name;
    Bytes bytes;
    bool showDeleted;
    bool invalid;
    bool deleted;
    int type;
    int fixedLength;
    int columnCount;
    std::size_t nullBitmapBytes;
    std::vector<Bytes> varValues;
    int recordLength;
};

void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }

std::vector<RecordCase> PlainCases() {
    using forge::RecordBuilder;
    return {
        {"status 0x30, fixed end 8, 3 columns, one variable value",
         RecordBuilder().Fixed({1, 2, 3, 4}).Columns(3).Var(Text("ABCDE")).Build(), false, false, false, 0, 4, 3,
         1, {Text("ABCDE")}, 20},
        {"fixed part only",
         RecordBuilder().Fixed({1, 2, 3, 4, 5, 6, 7, 8}).Columns(2).Build(), false, false, false, 0, 8, 2, 1, {}, 15},
        {"no fixed part and no null bitmap: the column count is the variable count",
         {0x20, 0x00, 0x04, 0x00, 0x02, 0x00, 0x0C, 0x00, 0x0F, 0x00, 'a', 'b', 'c', 'd', 'e'}, false, false, false,
         0, 0, 2, 0, {Text("ab"), Text("cde")}, 15},
        {"ghost data record, deleted rows hidden",
         RecordBuilder().Type(6).Fixed({1, 2, 3, 4}).Columns(3).Var(Text("x")).Build(), false, true, true, 6, 0, 0,
         0, {}, 0},
        {"ghost data record, deleted rows shown",
         RecordBuilder().Type(6).Fixed({1, 2, 3, 4}).Columns(3).Var(Text("x")).Build(), true, false, false, 6, 4, 3,
         1, {Text("x")}, 16},
        {"ghost index record, deleted rows hidden", RecordBuilder().Type(5).Fixed({1}).Build(), false, true, true, 5,
         0, 0, 0, {}, 0},
        {"ghost index record, deleted rows shown", RecordBuilder().Type(5).Fixed({1}).Build(), true, true, false, 5,
         0, 0, 0, {}, 0},
        {"version ghost record, deleted rows hidden", RecordBuilder().Type(7).Fixed({1}).Build(), false, true, true,
         7, 0, 0, 0, {}, 0},
        {"index record", RecordBuilder().Type(3).Fixed({1}).Build(), true, true, false, 3, 0, 0, 0, {}, 0},
        {"blob fragment", RecordBuilder().Type(4).Fixed({1}).Build(), false, true, false, 4, 0, 0, 0, {}, 0},
        {"forwarded record", RecordBuilder().Type(1).Fixed({9, 9}).Columns(2).Var(Text("fw")).Build(), false, false,
         false, 1, 2, 2, 1, {Text("fw")}, 15},
        {"variable count above the column count: no values, no record image",
         RecordBuilder().Fixed({1, 2}).Columns(1).VarCount(2).Var(Text("a")).Var(Text("b")).Build(), false, false,
         false, 0, 2, 1, 1, {}, 0},
        {"column count 0: nothing after the fixed part",
         RecordBuilder().Fixed({1, 2}).Columns(0).NoNullBitmap().Build(), false, false, false, 0, 2, 0, 0, {}, 0},
        {"column count 1024: nothing after the fixed part", RecordBuilder().Fixed({1, 2}).Columns(1024).Build(), false,
         false, false, 0, 2, 1024, 0, {}, 0},
        {"fixed-part end below 4: the column count is read at 4",
         {0x10, 0x00, 0x02, 0x00, 0x01, 0x00, 0x00}, false, false, false, 0, 0, 1, 1, {}, 7},
        // Second offset lower than the first: that value is empty and the third starts where the first ended.
        {"an end offset that goes backwards gives an empty value",
         {0x30, 0x00, 0x04, 0x00, 0x03, 0x00, 0x00, 0x03, 0x00, 0x11, 0x00, 0x05, 0x00, 0x13, 0x00, 'a', 'b', 'c',
          'd'},
         false, false, false, 0, 0, 3, 1, {Text("ab"), Bytes{}, Text("cd")}, 19},
    };
}

class PlainRecordCases : public ::testing::TestWithParam<RecordCase> {};

TEST_P(PlainRecordCases, ParsesToTheExpectedPieces) {
    const RecordCase& c = GetParam();
    const ParsedOnPage parsed(c.bytes, c.showDeleted);
    const pw::CPrimaryRecord* record = parsed.Record();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->isInvalid, c.invalid);
    EXPECT_EQ(record->isDeleted, c.deleted);
    EXPECT_EQ(record->recordType, c.type);
    EXPECT_EQ(record->fixedLength, c.fixedLength);
    EXPECT_EQ(record->fixedData.size(), static_cast<std::size_t>(c.fixedLength));
    if (c.fixedLength > 0) {
        EXPECT_EQ(record->fixedData, Bytes(c.bytes.begin() + 4, c.bytes.begin() + 4 + c.fixedLength));
    }
    EXPECT_EQ(record->columnCount, c.columnCount);
    EXPECT_EQ(record->nullBitmap.size(), c.nullBitmapBytes);
    ASSERT_EQ(record->varValues.size(), c.varValues.size());
    for (std::size_t i = 0; i < c.varValues.size(); ++i) {
        EXPECT_EQ(record->varValues[i].data, c.varValues[i]) << "value " << i;
        EXPECT_EQ(record->varValues[i].length, static_cast<int>(c.varValues[i].size())) << "value " << i;
    }
    EXPECT_EQ(record->recordLength, c.recordLength);
    if (c.recordLength > 0) {
        EXPECT_EQ(record->recordImage, Bytes(c.bytes.begin(), c.bytes.begin() + c.recordLength));
    } else {
        EXPECT_TRUE(record->recordImage.empty());
    }
    EXPECT_EQ(pw::IsListableRecord(record, parsed.state), !c.invalid && !c.deleted);
}

INSTANTIATE_TEST_SUITE_P(Records, PlainRecordCases, ::testing::ValuesIn(PlainCases()),
                         [](const ::testing::TestParamInfo<RecordCase>& param) { return "case" + std::to_string(param.index); });

TEST(RecordParse, NullBitmapAndStatusBytes) {
    const Bytes bytes = forge::RecordBuilder().StatusB(1).Fixed({1, 2}).Columns(10).Nulls({0, 9}).Build();
    const ParsedOnPage parsed(bytes, false);
    const pw::CPrimaryRecord* record = parsed.Record();
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->nullBitmap.size(), 2u);
    EXPECT_TRUE(record->NullBit(0));
    EXPECT_FALSE(record->NullBit(1));
    EXPECT_TRUE(record->NullBit(9));
    EXPECT_FALSE(record->NullBit(16));
    EXPECT_TRUE(record->statusByteBIsOne);
    EXPECT_TRUE(record->hasNullBitmap);
    EXPECT_FALSE(record->hasVarColumns);
    EXPECT_EQ(record->ownerPage, parsed.page.get());
}

TEST(RecordParse, StatusBit6IsKept) {
    const Bytes bytes = forge::RecordBuilder().StatusA(0x50).Fixed({1}).Columns(1).Build();
    const ParsedOnPage parsed(bytes, false);
    ASSERT_NE(parsed.Record(), nullptr);
    EXPECT_TRUE(parsed.Record()->statusBit6);
    EXPECT_FALSE(parsed.Record()->isInvalid);
}

TEST(RecordParse, ComplexEndOffsetLosesItsFlag) {
    // No fixed part, no null bitmap, one column: the end offset 0x8010 follows the column count.
    Bytes bytes{0x20, 0x00, 0x04, 0x00, 0x01, 0x00, 0x10, 0x80};
    for (std::uint8_t i = 0; i < 8; ++i) bytes.push_back(i);
    const ParsedOnPage parsed(bytes, false);
    const pw::CPrimaryRecord* record = parsed.Record();
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->varOffsets.size(), 1u);
    EXPECT_EQ(record->varOffsets[0], 16);
    ASSERT_EQ(record->varValues.size(), 1u);
    EXPECT_TRUE(record->varValues[0].isComplex);
    EXPECT_EQ(record->varValues[0].length, 8);
    EXPECT_EQ(record->recordLength, 16);
}

TEST(RecordParse, SparseVectorOnlyFromComplexValuesOfKind5) {
    const Bytes sparse = forge::SparseVector({{7, Text("seven")}, {12, Text("")}, {40, Text("forty!")}});
    Bytes kind2(24, 0xAA);
    kind2[0] = 2;
    Bytes pointer16(16, 0);
    pointer16[0] = 5;  // a 16-byte value is a pointer, whatever its first byte
    const Bytes bytes = forge::RecordBuilder()
                            .Fixed({1, 2, 3, 4})
                            .Columns(5)
                            .Var(kind2, true)
                            .Var(pointer16, true)
                            .Var(Text("plain"))
                            .Var(sparse, true)
                            .Build();
    const ParsedOnPage parsed(bytes, false);
    const pw::CPrimaryRecord* record = parsed.Record();
    ASSERT_NE(record, nullptr);
    ASSERT_EQ(record->varValues.size(), 4u);
    EXPECT_EQ(record->varValues[3].data, sparse);
    ASSERT_EQ(record->sparseVector.size(), 3u);
    EXPECT_EQ(record->sparseVector[0].columnId, 7);
    EXPECT_EQ(record->sparseVector[0].data, Text("seven"));
    EXPECT_EQ(record->sparseVector[1].columnId, 12);
    EXPECT_EQ(record->sparseVector[1].length, 0);
    EXPECT_TRUE(record->sparseVector[1].data.empty());
    EXPECT_EQ(record->sparseVector[2].columnId, 40);
    EXPECT_EQ(record->sparseVector[2].data, Text("forty!"));
}

TEST(RecordParse, SparseVectorWithKindInTheSecondByte) {
    Bytes sparse = forge::SparseVector({{3, Text("abc")}});
    sparse[0] = 0;
    sparse[1] = 5;  // first byte 0: the kind is the 16-bit value, here 0x0500, not a sparse vector
    const Bytes bytes = forge::RecordBuilder().Fixed({1}).Columns(1).Var(sparse, true).Build();
    const ParsedOnPage parsed(bytes, false);
    ASSERT_NE(parsed.Record(), nullptr);
    EXPECT_TRUE(parsed.Record()->sparseVector.empty());
}

TEST(RecordParse, DamagedSparseEntriesHaveNoBytes) {
    Bytes sparse = forge::SparseVector({{1, Text("abc")}, {2, Text("cd")}});  // 17 bytes: not a pointer
    // Second end offset points past the value.
    sparse[4 + 2 * 2 + 2] = 0xF0;
    const Bytes bytes = forge::RecordBuilder().Fixed({1}).Columns(1).Var(sparse, true).Build();
    const ParsedOnPage parsed(bytes, false);
    ASSERT_NE(parsed.Record(), nullptr);
    ASSERT_EQ(parsed.Record()->sparseVector.size(), 2u);
    EXPECT_EQ(parsed.Record()->sparseVector[0].data, Text("abc"));
    EXPECT_TRUE(parsed.Record()->sparseVector[1].data.empty());
}

TEST(RecordParse, RecordOnAPageOfTheWrongKindIsInvalid) {
    struct Case {
        std::uint8_t pageType;
        std::int32_t thisPage;
        bool invalid;
    };
    for (const Case c : {Case{1, 5, false}, Case{17, 5, false}, Case{18, 5, true}, Case{1, -1, true}}) {
        pw::PageImage image = forge::PageBuilder().Type(c.pageType).Build();
        forge::PutLE(image, 32, static_cast<std::uint32_t>(c.thisPage), 4);
        const pw::CPage page(std::move(image), nullptr);
        const Bytes bytes = forge::RecordBuilder().Fixed({1, 2}).Columns(1).Build();
        const pw::AppState state;
        const pw::CPrimaryRecord record(pw::ByteView(bytes.data(), bytes.size()), &page,
                                        static_cast<int>(bytes.size()), state);
        EXPECT_EQ(record.isInvalid, c.invalid) << int(c.pageType) << " " << c.thisPage;
    }
}

TEST(RecordParse, ProbeMeasuresPlainRecordsOnly) {
    const pw::AppState hidden;
    pw::AppState shown;
    shown.m_bShowDeleted = true;
    const Bytes plain = forge::RecordBuilder().Fixed({1, 2, 3, 4}).Columns(3).Var(Text("ABCDE")).Build();
    const Bytes ghost = forge::RecordBuilder().Type(6).Fixed({1, 2}).Columns(1).Build();
    const Bytes stub = forge::ForwardingStub(1, 9, 0);
    const Bytes compressed = forge::CompressedRecordBuilder().Short({1}).Build();
    const Bytes noColumns = forge::RecordBuilder().Fixed({1}).Columns(0).Build();
    const auto probe = [](const Bytes& b, const pw::AppState& s) {
        return pw::CPrimaryRecord::ProbeLength(pw::ByteView(b.data(), b.size()), nullptr, s);
    };
    EXPECT_EQ(probe(plain, hidden), 20);
    EXPECT_EQ(probe(ghost, hidden), -1);
    EXPECT_EQ(probe(ghost, shown), 9);
    EXPECT_EQ(probe(stub, shown), -1);
    EXPECT_EQ(probe(compressed, shown), -1);
    EXPECT_EQ(probe(noColumns, shown), -1);
}

// --- compressed format ---

TEST(CompressedRecordParse, ColumnCountZeroIsInvalid) {
    const Bytes bytes{0x01, 0x00, 0x22, 0x01};
    const ParsedOnPage parsed(bytes, false);
    ASSERT_NE(parsed.Record(), nullptr);
    EXPECT_TRUE(parsed.Record()->isInvalid);
    EXPECT_TRUE(parsed.Record()->isCompressed);
}

TEST(CompressedRecordParse, ColumnCountAbove1024IsInvalid) {
    // Bit 7 of byte 1 set: the count is the 16-bit value 0x0481.
    const Bytes bytes = forge::CompressedRecordBuilder().Short({1}).CountBytes({0x81, 0x04}).Build();
    const ParsedOnPage parsed(bytes, false);
    ASSERT_NE(parsed.Record(), nullptr);
    EXPECT_TRUE(parsed.Record()->isInvalid);
    EXPECT_EQ(parsed.Record()->columnCount, 0x0481);
}

TEST(CompressedRecordParse, ShortDataSizeFollowsTheDescriptorCodes) {
    // Codes 2, 0, 9: one byte, null, eight bytes.
    const Bytes bytes = forge::CompressedRecordBuilder()
                            .Short({0x85})
                            .Column(0)
                            .Short({1, 2, 3, 4, 5, 6, 7, 8})
                            .Build();
    const ParsedOnPage parsed(bytes, false);
    const pw::CPrimaryRecord* record = parsed.Record();
    ASSERT_NE(record, nullptr);
    EXPECT_FALSE(record->isInvalid);
    EXPECT_TRUE(record->isCompressed);
    EXPECT_EQ(record->columnCount, 3);
    EXPECT_EQ(record->descriptorCodes, (std::vector<std::uint8_t>{2, 0, 9}));
    EXPECT_EQ(record->fixedLength, 9);
    EXPECT_EQ(record->fixedData, (Bytes{0x85, 1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(record->recordLength, static_cast<int>(bytes.size()));
}

TEST(CompressedRecordParse, LongDataItemsAndOffsets) {
    const Bytes bytes = forge::CompressedRecordBuilder()
                            .Short({7})
                            .Long(Text("hello"))
                            .Column(1)
                            .Symbol(3)
                            .Long(Text("world!"), true)
                            .Column(11)
                            .Build();
    const ParsedOnPage parsed(bytes, false);
    const pw::CPrimaryRecord* record = parsed.Record();
    ASSERT_NE(record, nullptr);
    EXPECT_FALSE(record->isInvalid);
    EXPECT_EQ(record->descriptorCodes, (std::vector<std::uint8_t>{2, 10, 1, 12, 10, 11}));
    EXPECT_EQ(record->fixedData, (Bytes{7, 3}));
    EXPECT_EQ(record->longOffsets, (std::vector<std::uint16_t>{5, 0x800B}));
    ASSERT_EQ(record->varValues.size(), 2u);
    EXPECT_EQ(record->varValues[0].data, Text("hello"));
    EXPECT_FALSE(record->varValues[0].isComplex);
    EXPECT_EQ(record->varValues[1].data, Text("world!"));
    EXPECT_TRUE(record->varValues[1].isComplex);
    EXPECT_EQ(record->recordLength, static_cast<int>(bytes.size()));
    EXPECT_EQ(record->recordImage, bytes);
}

TEST(CompressedRecordParse, ClusterBytesOfWideRecords) {
    // 31 one-byte columns: the descriptor array (16 bytes) is followed by one cluster byte.
    forge::CompressedRecordBuilder builder;
    Bytes expected;
    for (std::uint8_t i = 0; i < 31; ++i) {
        builder.Short({static_cast<std::uint8_t>(i + 100)});
        expected.push_back(static_cast<std::uint8_t>(i + 100));
    }
    builder.Long(Text("tail"));
    const Bytes bytes = builder.Build();
    const ParsedOnPage parsed(bytes, false);
    const pw::CPrimaryRecord* record = parsed.Record();
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->columnCount, 32);
    EXPECT_EQ(record->fixedData, expected);
    ASSERT_EQ(record->varValues.size(), 1u);
    EXPECT_EQ(record->varValues[0].data, Text("tail"));
    EXPECT_EQ(record->recordLength, static_cast<int>(bytes.size()));
}

TEST(CompressedRecordParse, NullBitmapBytesAfterTheShortData) {
    const Bytes bytes = forge::CompressedRecordBuilder().Short({1, 2}).Column(0).NullBitmap({0x02}).Build();
    const ParsedOnPage parsed(bytes, false);
    ASSERT_NE(parsed.Record(), nullptr);
    EXPECT_EQ(parsed.Record()->nullBitmap, (Bytes{0x02}));
    EXPECT_EQ(parsed.Record()->recordLength, static_cast<int>(bytes.size()));
}

TEST(CompressedRecordParse, AnchorIsReadWithTheCompressedRules) {
    // Status byte A without bit 0, as the anchor of a page may carry it.
    Bytes bytes = forge::CompressedRecordBuilder().Short({0x80, 0x00, 0x01}).Column(1).Build();
    bytes[0] = 0x00;
    const pw::AppState state;
    const auto anchor = pw::CPrimaryRecord::ParseAnchor(pw::ByteView(bytes.data(), bytes.size()), nullptr,
                                                        static_cast<int>(bytes.size()), state);
    ASSERT_NE(anchor, nullptr);
    EXPECT_FALSE(anchor->isInvalid);
    EXPECT_TRUE(anchor->isCompressed);
    EXPECT_EQ(anchor->descriptorCodes, (std::vector<std::uint8_t>{4, 1}));
    EXPECT_EQ(anchor->fixedData, (Bytes{0x80, 0x00, 0x01}));
}

}  // namespace
