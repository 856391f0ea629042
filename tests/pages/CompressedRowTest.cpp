#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "forge/CompressedPageBuilder.h"
#include "pages/CompressedRow.h"

namespace {

using forge::Bytes;
using forge::CdValue;
using forge::Column;

constexpr int kBigint = 0, kChar = 3, kInt = 9, kNchar = 10, kNvarchar = 11, kSmallint = 13, kTinyint = 14,
              kVarchar = 17;

pw::ByteView View(const Bytes& b) { return pw::ByteView(b.data(), b.size()); }

pw::ExpandedRow Expand(const std::vector<CdValue>& values, const std::vector<pw::ColumnDescriptor>& columns,
                       const std::vector<pw::AnchorValue>& anchors = {},
                       const std::vector<pw::DictionaryEntry>& dictionary = {}) {
    const forge::CompressedRowStorage storage = forge::SplitCompressedRecord(values);
    return pw::ExpandCompressedRow(storage.View(), anchors, dictionary, columns);
}

pw::AnchorValue Anchor(const Bytes& b) { return {b, static_cast<int>(b.size())}; }
pw::DictionaryEntry Entry(const Bytes& b) { return {b, static_cast<int>(b.size())}; }

std::vector<Bytes> EntryBytes(const std::vector<pw::DictionaryEntry>& entries) {
    std::vector<Bytes> out;
    for (const auto& e : entries) out.push_back(Bytes(e.bytes.begin(), e.bytes.begin() + std::max(e.length, 0)));
    return out;
}

TEST(CompressedInteger, TopBitInvertedAndSignExtended) {
    struct Case {
        Bytes stored;
        std::int64_t value;
    };
    const std::vector<Case> cases = {
        {{0x85}, 5},
        {{0x7F}, -1},
        {{0x80}, 0},
        {{0x00}, -128},
        {{0xFF}, 127},
        {{0x81, 0x2C}, 300},
        {{0x7F, 0x38}, -200},
        {{0x00, 0x00, 0x00, 0x00}, INT32_MIN},
        {{0xFF, 0xFF, 0xFF, 0xFF}, INT32_MAX},
        {{0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, INT64_MIN},
        {{}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(pw::DecodeCompressedInteger(View(c.stored)), c.value);
    }
}

TEST(ExpandCompressedRow, IntegersBecomeLittleEndianOfTheColumnWidth) {
    const std::vector<pw::ColumnDescriptor> columns = {Column(kInt, "int(4)"), Column(kInt, "int(4)"),
                                                       Column(kSmallint, "smallint(2)"),
                                                       Column(kInt, "int(4)"), Column(kBigint, "bigint(8)")};
    const pw::ExpandedRow row = Expand({{2, {0x85}}, {2, {0x7F}}, {3, {0x7F, 0x38}},
                                        {5, {0x00, 0x00, 0x00, 0x00}}, {3, {0x81, 0x2C}}},
                                       columns);
    const Bytes expected = {0x05, 0x00, 0x00, 0x00,  0xFF, 0xFF, 0xFF, 0xFF,  0x38, 0xFF,
                            0x00, 0x00, 0x00, 0x80,  0x2C, 0x01, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(row.image, expected);
    ASSERT_EQ(row.marks.size(), 5u);
    EXPECT_EQ(row.marks[0].length, 4);
    EXPECT_EQ(row.marks[2].length, 2);
    EXPECT_EQ(row.marks[4].length, 8);
}

TEST(ExpandCompressedRow, AnchorPrefixOfAnInteger) {
    // Anchor 80 00 01 and stored 02 07: two anchor bytes, then the own byte: 80 00 07 = 7.
    const std::vector<pw::AnchorValue> anchors = {Anchor({0x80, 0x00, 0x01})};
    const pw::ExpandedRow row = Expand({{3, {0x02, 0x07}}}, {Column(kInt, "int(4)")}, anchors);
    EXPECT_EQ(row.image, (Bytes{0x07, 0x00, 0x00, 0x00}));
    // Code 1 with an anchor value stands for the anchor value itself.
    const pw::ExpandedRow same = Expand({{1, {}}}, {Column(kInt, "int(4)")}, anchors);
    EXPECT_EQ(same.image, (Bytes{0x01, 0x00, 0x00, 0x00}));
}

TEST(ExpandCompressedRow, CharacterValuesWithAndWithoutPrefix) {
    const std::vector<pw::ColumnDescriptor> columns = {Column(kVarchar, "varchar(10)"),
                                                       Column(kVarchar, "varchar(10)"),
                                                       Column(kChar, "char(3)")};
    // Column 0: "Antoni" + "a"; column 1 has no anchor: its bytes as stored;
    // column 2: longer than the column: cut to its width.
    const std::vector<pw::AnchorValue> anchors = {Anchor({'A', 'n', 't', 'o', 'n', 'i'})};
    const pw::ExpandedRow row =
        Expand({{4, {6, 'a', 'b'}}, {4, {'x', 'y', 'z'}}, {6, {'l', 'o', 'n', 'g', 'e'}}}, columns, anchors);
    Bytes expected(23, 0);
    const std::string first = "Antoniab";
    std::copy(first.begin(), first.end(), expected.begin());
    expected[10] = 'x', expected[11] = 'y', expected[12] = 'z';
    expected[20] = 'l', expected[21] = 'o', expected[22] = 'n';
    EXPECT_EQ(row.image, expected);
    EXPECT_EQ(row.marks[0].length, 8);
    EXPECT_EQ(row.marks[1].length, 3);
    EXPECT_EQ(row.marks[2].length, 3);
}

TEST(ExpandCompressedRow, NullAndEmptyTakeNoSpace) {
    const std::vector<pw::ColumnDescriptor> columns = {Column(kInt, "int(4)"), Column(kVarchar, "varchar(5)"),
                                                       Column(kTinyint, "tinyint(1)")};
    const pw::ExpandedRow row = Expand({{0, {}}, {1, {}}, {2, {0x2A}}}, columns);
    EXPECT_EQ(row.image, (Bytes{0x2A}));
    ASSERT_EQ(row.marks.size(), 3u);
    EXPECT_TRUE(row.marks[0].isNull);
    EXPECT_FALSE(row.marks[1].isNull);
    EXPECT_EQ(row.marks[1].length, 0);
    EXPECT_EQ(row.marks[2].length, 1);
}

TEST(ExpandCompressedRow, UnicodeColumnsAreScsuDecodedToUtf16) {
    // nchar(6) (12 bytes) holding "Москва" in 7 compressed bytes; nvarchar(4) holding "Ab";
    // an nvarchar(max) value is never compressed and stays as stored.
    const std::vector<pw::ColumnDescriptor> columns = {Column(kNchar, "nchar(12)"),
                                                       Column(kNvarchar, "nvarchar(8)"),
                                                       Column(kNvarchar, "nvarchar(-1)")};
    const pw::ExpandedRow row = Expand(
        {{8, {0x12, 0x9C, 0xBE, 0xC1, 0xBA, 0xB2, 0xB0}}, {3, {'A', 'b'}}, {3, {'A', 0x00}}}, columns);
    const Bytes moskva = {0x1C, 0x04, 0x3E, 0x04, 0x41, 0x04, 0x3A, 0x04, 0x32, 0x04, 0x30, 0x04};
    ASSERT_GE(row.image.size(), 22u);
    EXPECT_EQ(Bytes(row.image.begin(), row.image.begin() + 12), moskva);
    EXPECT_EQ(Bytes(row.image.begin() + 12, row.image.begin() + 16), (Bytes{'A', 0, 'b', 0}));
    EXPECT_EQ(row.marks[0].length, 12);
    EXPECT_EQ(row.marks[1].length, 4);
    EXPECT_EQ(Bytes(row.image.begin() + 20, row.image.begin() + 22), (Bytes{'A', 0}));
}

TEST(ExpandCompressedRow, EachValueDecodesFromTheInitialScsuState) {
    // The first value switches to the Cyrillic window; the second must still
    // read 0xDF through the Latin-1 window.
    const std::vector<pw::ColumnDescriptor> columns = {Column(kNchar, "nchar(4)"), Column(kNchar, "nchar(2)")};
    const pw::ExpandedRow row = Expand({{3, {0x12, 0x81}}, {2, {0xDF}}}, columns);
    EXPECT_EQ(row.image, (Bytes{0x01, 0x04, 0, 0, 0xDF, 0x00}));
}

TEST(ExpandCompressedRow, LongValuesTakeTheAnchorPrefixAndUnicodeDecoding) {
    const std::vector<pw::ColumnDescriptor> columns = {Column(kVarchar, "varchar(30)"),
                                                       Column(kNvarchar, "nvarchar(40)")};
    const std::vector<pw::AnchorValue> anchors = {Anchor({'W', 'a', 's', 'h', 'i', 'n', 'g'})};
    const pw::ExpandedRow row =
        Expand({{10, {7, 't', 'o', 'n', ' ', 'S', 't', 'a', 't', 'e'}}, {10, {'G', 'r', 0xFC, 0xDF, 'e', ' ', 'a', 'u', 's'}}},
               columns, anchors);
    EXPECT_TRUE(row.image.empty());
    ASSERT_EQ(row.longValues.size(), 2u);
    EXPECT_EQ(row.longValues[0].first, 0u);
    const std::string washington = "Washington State";
    EXPECT_EQ(row.longValues[0].second, Bytes(washington.begin(), washington.end()));
    EXPECT_EQ(row.longValues[1].first, 1u);
    const Bytes gruesse = {'G', 0, 'r', 0, 0xFC, 0, 0xDF, 0, 'e', 0, ' ', 0, 'a', 0, 'u', 0, 's', 0};
    EXPECT_EQ(row.longValues[1].second, gruesse);
}

TEST(ExpandCompressedRow, DictionarySymbols) {
    const std::vector<pw::DictionaryEntry> dictionary = {Entry({'S', 'm', 'i', 't', 'h'}), Entry({0x85}), Entry({})};
    const std::vector<pw::ColumnDescriptor> columns = {Column(kVarchar, "varchar(10)"), Column(kInt, "int(4)"),
                                                       Column(kVarchar, "varchar(10)"), Column(kVarchar, "varchar(10)"),
                                                       Column(kInt, "int(4)")};
    // Symbol 0 and 1 exist; symbol 3 equals the entry count: nothing written;
    // symbol 2 is an empty entry: nothing written. The slot advances only for written values.
    const pw::ExpandedRow row = Expand({{12, {0}}, {12, {1}}, {12, {3}}, {12, {2}}, {2, {0x86}}}, columns, {}, dictionary);
    Bytes expected(18, 0);
    const std::string smith = "Smith";
    std::copy(smith.begin(), smith.end(), expected.begin());
    expected[10] = 0x05;
    expected[14] = 0x06;
    EXPECT_EQ(row.image, expected);
    EXPECT_EQ(row.marks[2].length, 0);
    EXPECT_EQ(row.marks[3].length, 0);
}

TEST(ExpandCompressedRow, ColumnListBoundsTheLoop) {
    const pw::ExpandedRow row = Expand({{2, {0x81}}, {2, {0x82}}}, {Column(kInt, "int(4)")});
    EXPECT_EQ(row.image, (Bytes{1, 0, 0, 0}));
    EXPECT_EQ(row.marks.size(), 1u);
    EXPECT_TRUE(Expand({{2, {0x81}}}, {}).image.empty());
}

TEST(ExpandCompressedRow, WidthRule) {
    EXPECT_EQ(pw::ExpandedColumnWidth(Column(kVarchar, "varchar(50)")), 50u);
    EXPECT_EQ(pw::ExpandedColumnWidth(Column(kVarchar, "varchar(-1)")), 8000u);
    EXPECT_EQ(pw::ExpandedColumnWidth(Column(kNchar, "nchar(20)")), 20u);
    EXPECT_EQ(pw::ExpandedColumnWidth(Column(kInt, "int(4)")), 4u);
    EXPECT_EQ(pw::ExpandedColumnWidth(Column(kSmallint, "smallint(9)")), 2u);  // integers keep the type's width
    EXPECT_EQ(pw::ExpandedColumnWidth(Column(kChar, "char")), 8000u);
}

TEST(AnchorValues, OnePerColumnInColumnOrder) {
    const forge::CompressedRowStorage anchor = forge::SplitCompressedRecord(
        {{0, {}}, {1, {}}, {3, {0xAA, 0xBB}}, {11, {}}, {12, {0x05}}, {10, {'l', 'o', 'n', 'g'}}, {2, {0xCC}}});
    const std::vector<pw::AnchorValue> values = pw::BuildAnchorValues(anchor.View(), 100);
    ASSERT_EQ(values.size(), 7u);
    EXPECT_EQ(values[0].length, pw::kAnchorNull);
    EXPECT_EQ(values[1].length, pw::kAnchorEmpty);
    EXPECT_EQ(values[2].bytes, (Bytes{0xAA, 0xBB}));
    EXPECT_EQ(values[3].length, pw::kAnchorNull);
    EXPECT_EQ(values[4].length, pw::kAnchorNull);
    EXPECT_EQ(values[5].bytes, (Bytes{'l', 'o', 'n', 'g'}));
    // The symbol byte of column 4 is skipped: column 6 still finds its own byte.
    EXPECT_EQ(values[6].bytes, (Bytes{0xCC}));
    EXPECT_EQ(pw::BuildAnchorValues(anchor.View(), 2).size(), 2u);
}

TEST(CompressionInfo, HeaderForEachCombinationOfParts) {
    forge::CompressionInfoParts both;
    both.withAnchor = both.withDictionary = true;
    both.anchor = {{2, {0x81}}};
    both.dictionary = {{'a', 'b'}};
    const Bytes info = forge::BuildCompressionInfo(both);
    pw::PageImage page = forge::BuildCompressedPage(info, {});
    pw::CompressionInfoHeader h = pw::ReadCompressionInfoHeader(View(page));
    EXPECT_TRUE(h.present);
    EXPECT_EQ(h.anchorOffset, 103u);
    EXPECT_EQ(h.infoLength, info.size());
    EXPECT_EQ(h.dictionaryOffset, 7u + forge::BuildCompressedRecord(both.anchor).size());
    const std::vector<pw::DictionaryEntry> dictionary = pw::ReadPageDictionary(View(page), h);
    ASSERT_EQ(dictionary.size(), 1u);
    EXPECT_EQ(dictionary[0].bytes, (Bytes{'a', 'b'}));

    forge::CompressionInfoParts anchorOnly;
    anchorOnly.withAnchor = true;
    anchorOnly.anchor = {{2, {0x81}}};
    page = forge::BuildCompressedPage(forge::BuildCompressionInfo(anchorOnly), {});
    h = pw::ReadCompressionInfoHeader(View(page));
    EXPECT_TRUE(h.present);
    EXPECT_EQ(h.anchorOffset, 101u);
    EXPECT_EQ(page[h.anchorOffset], 0x01);  // the anchor's status byte: compressed format
    EXPECT_TRUE(pw::ReadPageDictionary(View(page), h).empty());

    forge::CompressionInfoParts dictionaryOnly;
    dictionaryOnly.withDictionary = true;
    dictionaryOnly.dictionary = {{'x'}, {'y', 'z'}};
    page = forge::BuildCompressedPage(forge::BuildCompressionInfo(dictionaryOnly), {});
    h = pw::ReadCompressionInfoHeader(View(page));
    EXPECT_EQ(h.anchorOffset, 0u);
    EXPECT_EQ(EntryBytes(pw::ReadPageDictionary(View(page), h)), (std::vector<Bytes>{{'x'}, {'y', 'z'}}));
}

TEST(CompressionInfo, CompressedFlagWithZeroLengthIsUncompressed) {
    pw::PageImage page = forge::BuildCompressedPage(Bytes{0x06, 0, 0, 0, 0, 0, 0}, {});
    EXPECT_FALSE(pw::ReadCompressionInfoHeader(View(page)).present);
    page[2] = 0;  // not marked compressed at all
    page[96] = 0x06, page[99] = 10, page[101] = 20;
    EXPECT_FALSE(pw::ReadCompressionInfoHeader(View(page)).present);
}

TEST(CompressionInfo, DamagedDictionaryStaysInsideThePage) {
    forge::CompressionInfoParts parts;
    parts.withAnchor = parts.withDictionary = true;
    parts.anchor = {{2, {0x81}}, {10, {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i'}}};
    parts.dictionary = {{'o', 'n', 'e'}, {'t', 'w', 'o'}, {'t', 'h', 'r', 'e', 'e'}};
    const Bytes info = forge::BuildCompressionInfo(parts);
    std::mt19937 rng(11);
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = info;
        const int flips = 1 + static_cast<int>(rng() % 6);
        for (int f = 0; f < flips; ++f) damaged[rng() % damaged.size()] = static_cast<std::uint8_t>(rng());
        // Truncated copies: a page image that ends inside the information record.
        pw::PageImage page = forge::BuildCompressedPage(damaged, {});
        if (round % 3 == 0) page.resize(96 + rng() % (damaged.size() + 1));
        const pw::CompressionInfoHeader h = pw::ReadCompressionInfoHeader(View(page));
        const std::vector<pw::DictionaryEntry> dictionary = pw::ReadPageDictionary(View(page), h);
        for (const pw::DictionaryEntry& e : dictionary) {
            EXPECT_LT(e.bytes.size(), 4096u);
            EXPECT_EQ(static_cast<std::size_t>(e.length), e.bytes.size());
        }
        EXPECT_LE(h.anchorMaxLength + h.anchorOffset, std::max<std::size_t>(page.size(), h.anchorOffset));
    }
}

TEST(ExpandCompressedRow, DamagedPiecesNeverReadOutside) {
    // Random codes against short data and long items that are too short.
    std::mt19937 rng(5);
    const std::vector<pw::ColumnDescriptor> columns = {
        Column(kInt, "int(4)"), Column(kVarchar, "varchar(10)"), Column(kNchar, "nchar(8)"),
        Column(kBigint, "bigint(8)"), Column(kNvarchar, "nvarchar(20)"), Column(kChar, "char(2)")};
    for (int round = 0; round < 3000; ++round) {
        std::vector<std::uint8_t> codes(rng() % 8);
        for (auto& c : codes) c = static_cast<std::uint8_t>(rng() % 16);
        Bytes shortData(rng() % 12);
        for (auto& b : shortData) b = static_cast<std::uint8_t>(rng());
        std::vector<Bytes> items(rng() % 3);
        for (auto& item : items) {
            item.resize(rng() % 12);
            for (auto& b : item) b = static_cast<std::uint8_t>(rng());
        }
        std::vector<pw::AnchorValue> anchors(rng() % 7);
        for (auto& a : anchors) {
            a.bytes.resize(rng() % 6);
            for (auto& b : a.bytes) b = static_cast<std::uint8_t>(rng());
            a.length = static_cast<int>(rng() % 12) - 2;  // lengths that may disagree with the bytes
        }
        std::vector<pw::DictionaryEntry> dictionary(rng() % 4);
        for (auto& e : dictionary) {
            e.bytes.resize(rng() % 12);
            for (auto& b : e.bytes) b = static_cast<std::uint8_t>(rng());
            e.length = static_cast<int>(rng() % 14);  // may claim more than it holds
        }
        pw::CompressedRowView view;
        view.codes = codes;
        view.shortData = View(shortData);
        for (const Bytes& item : items) view.longItems.emplace_back(item.data(), item.size());
        const pw::ExpandedRow row = pw::ExpandCompressedRow(view, anchors, dictionary, columns);
        EXPECT_LE(row.marks.size(), codes.size());
        for (const auto& mark : row.marks) EXPECT_LE(mark.length, 20);
    }
}

}  // namespace
