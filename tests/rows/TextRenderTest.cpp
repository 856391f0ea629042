#include <gtest/gtest.h>

#include "RenderSupport.h"
#include "rows/CharacterValue.h"

namespace {

using namespace pw;
using rowtest::Bytes;

constexpr std::int64_t kCyrillicGeneral = 53269;  // code page 1251
constexpr std::int64_t kJapanese = 53264;         // 932
constexpr std::int64_t kChinesePrc = 53284;       // 936
constexpr std::int64_t kKoreanWansung = 53265;    // 949
constexpr std::int64_t kChineseTaiwan = 53251;    // 950
constexpr std::int64_t kThai = 53273;             // 874

class CharacterText : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(rowtest::LoadShippedCollations(r.app)) << "collation.txt beside the test binary";
        r.app.m_bListing = true;
    }
    std::string Char(std::int64_t collationId, const Bytes& bytes, int kind = kKindVarChar) {
        ColumnDescriptor column = rowtest::Column(kind, "varchar(" + std::to_string(bytes.size()) + ")",
                                                  static_cast<std::int16_t>(bytes.size()));
        column.isVariable = kind == kKindChar ? 0 : 1;
        column.collationId = static_cast<int>(collationId);
        return kind == kKindChar ? r.Fixed(column, bytes) : r.Variable(column, bytes);
    }
    rowtest::Renderer r;
};

TEST_F(CharacterText, CollationCodePagesGiveTheRightCharacters) {
    struct Case { std::int64_t collation; Bytes bytes; const char* text; };
    const Case cases[] = {
        {kCyrillicGeneral, {0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}, "Привет"},
        {kJapanese, {0x93, 0xFA, 0x96, 0x7B, 0x8C, 0xEA}, "日本語"},
        {kChinesePrc, {0xD6, 0xD0, 0xCE, 0xC4}, "中文"},
        {kKoreanWansung, {0xC7, 0xD1, 0xB1, 0xB9}, "한국"},
        {kChineseTaiwan, {0xA4, 0xA4, 0xA4, 0xE5}, "中文"},
        {kThai, {0xE4, 0xB7, 0xC2}, "ไทย"},
    };
    for (const Case& c : cases) {
        for (int kind : {kKindChar, kKindVarChar, kKindText})
            EXPECT_EQ(Char(c.collation, c.bytes, kind), c.text) << "collation " << c.collation << " kind " << kind;
    }
}

TEST_F(CharacterText, TextEndsAtTheFirstZeroByteAndKeepsTrailingSpaces) {
    EXPECT_EQ(Char(kCyrillicGeneral, {'a', 'b', ' ', ' '}, kKindChar), "ab  ");
    EXPECT_EQ(Char(kCyrillicGeneral, {'a', 0, 'b'}), "a");
    EXPECT_EQ(Char(kCyrillicGeneral, {0, 'b'}), "");
}

TEST_F(CharacterText, CodePageChoice) {
    const Bytes privet = {0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2};
    const char* asAnsi1252 = "Ïðèâåò";
    // Rows listed by paging are read in the system ANSI code page.
    r.app.m_bListing = false;
    EXPECT_EQ(Char(kCyrillicGeneral, privet), asAnsi1252);
    r.app.m_bListing = true;
    // A collation missing from the table, and no collation at all, use the ANSI code page.
    EXPECT_EQ(Char(987654321, privet), asAnsi1252);
    EXPECT_EQ(Char(0, privet), asAnsi1252);
    EXPECT_EQ(Char(-1, privet), asAnsi1252);
    r.app.m_nAnsiCodePage = 1251;
    EXPECT_EQ(Char(987654321, privet), "Привет");
    r.app.m_nAnsiCodePage = 1252;
    // The open database's own collation uses its resolved code page.
    r.app.m_bCollationResolved = true;
    r.app.m_nCollationId = 987654321;
    r.app.m_nCodePage = 1251;
    EXPECT_EQ(Char(987654321, privet), "Привет");
}

TEST_F(CharacterText, BytesThatCannotBeConvertedAreWidened) {
    // A code page iconv does not know widens every byte.
    r.app.m_nAnsiCodePage = 4242;
    r.app.m_bListing = false;
    EXPECT_EQ(Char(0, {0xC0, 'A', 0xE9}), "ÀAé");
    // Bytes a code page does not define widen one by one; the rest converts.
    r.app.m_nAnsiCodePage = 1252;
    EXPECT_EQ(Char(0, {0x80, 0x81, 'x'}), "€\u0081x");
    r.app.m_bListing = true;
    EXPECT_EQ(Char(kJapanese, {0x93, 0xFA, 0x93}), "日\u0093");
}

TEST(CodePageConverter, NamesAndUnknownPages) {
    EXPECT_EQ(IconvNamesOfCodePage(1251).front(), "CP1251");
    EXPECT_EQ(IconvNamesOfCodePage(65001).front(), "UTF-8");
    EXPECT_EQ(IconvNamesOfCodePage(28595).front(), "ISO-8859-5");
    CodePageConverter converter;
    for (int page : {874, 932, 936, 949, 950, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258, 65001, 437, 866,
                     37, 20273, 10000, 20866, 28591})
        EXPECT_TRUE(converter.Supports(page)) << page;
    EXPECT_FALSE(converter.Supports(4242));
    EXPECT_FALSE(converter.Supports(0));
    const Bytes utf8 = {0xE4, 0xB8, 0xAD};
    EXPECT_EQ(converter.ToUtf8(65001, ByteView(utf8.data(), utf8.size())), "中");
    const Bytes ebcdic = {0xC1, 0xC2};  // "AB" in code page 37, which is not ASCII-based
    EXPECT_EQ(converter.ToUtf8(37, ByteView(ebcdic.data(), ebcdic.size())), "AB");
    // Vietnamese: iconv holds a base letter back to combine it with a tone
    // mark; a letter at the very end must still come out.
    const Bytes viet = {'a', 0xEC, 0xC3};
    EXPECT_EQ(converter.ToUtf8(1258, ByteView(viet.data(), viet.size())), "\u00E1\u0102");
}

TEST(RenderValue, Utf16Kinds) {
    struct Case { int kind; Bytes bytes; const char* text; };
    const Case cases[] = {
        {kKindNChar, {'A', 0, 'B', 0, ' ', 0, ' ', 0}, "AB  "},
        {kKindNVarChar, {'A', 0, 0, 0, 'B', 0}, "A"},
        {kKindNVarChar, {0x1F, 0x04, 0x40, 0x04}, "Пр"},
        {kKindNVarChar, {0x3D, 0xD8, 0x00, 0xDE}, "😀"},
        {kKindNVarChar, {'A', 0, 'B'}, "A"},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        ColumnDescriptor column = rowtest::Column(c.kind, "nvarchar(8)", 8);
        column.isVariable = 1;
        EXPECT_EQ(r.Variable(column, c.bytes), c.text);
    }
    // A fixed nchar reads its declared length.
    rowtest::Renderer r;
    EXPECT_EQ(r.Fixed(rowtest::Column(kKindNChar, "nchar(4)", 4), {'x', 0, 'y', 0, 'z', 0}), "xy");
    EXPECT_EQ(r.Fixed(rowtest::Column(kKindNChar, "nchar(8)", 8), {'x', 0, 'y', 0, 'z', 0}), "");
}

TEST(RenderValue, NTextZeroByteTest) {
    struct Case { Bytes bytes; int ansi; const char* text; };
    const Case cases[] = {
        {{0x41, 0x00, 0x42, 0x00}, 1252, "AB"},               // half zero bytes: UTF-16
        {{0x41, 0x42}, 1252, "AB"},                           // no zero byte: ANSI
        {{0xCF, 0xF0, 0xE8}, 1251, "При"},                    // ANSI code page setting
        {{0x41, 0x00, 0x42}, 1252, "A"},                      // 1 zero of 3: UTF-16 ("A")
        {{0x41, 0x00, 0x00, 0x00}, 1252, "A"},                // 3 zeros of 4: ANSI up to the zero
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        r.app.m_nAnsiCodePage = c.ansi;
        ColumnDescriptor column = rowtest::Column(kKindNText, "ntext(16)", 16);
        column.isVariable = 1;
        EXPECT_EQ(r.Variable(column, c.bytes), c.text);
    }
}

TEST(RenderValue, SqlVariantHandedToTheValueRendererLeavesOutItsLastEightBytes) {
    rowtest::Renderer r;
    ColumnDescriptor column = rowtest::Column(kKindSqlVariant, "sql_variant(8016)", 8016);
    column.isVariable = 1;
    const Bytes bytes = rowtest::Cat({{'A', 0, 'B', 0}, Bytes(8, 0x33)});
    EXPECT_EQ(r.Variable(column, bytes), "AB");
    EXPECT_EQ(r.Variable(column, Bytes(8, 0x33)), "");
}

}  // namespace
