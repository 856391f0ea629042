#include <gtest/gtest.h>

#include <limits>

#include "RenderSupport.h"
#include "rows/VariantRenderer.h"

namespace {

using namespace pw;
using rowtest::Bytes;
using rowtest::Cat;
using rowtest::LE;

// A stored variant: base type, version 1, then the rest.
Bytes Variant(std::uint8_t baseType, const Bytes& rest) { return Cat({{baseType, 1}, rest}); }

std::string Render(rowtest::Renderer& r, const Bytes& variant, std::int32_t length = -1) {
    ColumnDescriptor column = rowtest::Column(kKindSqlVariant, "sql_variant(8016)", 8016);
    column.isVariable = 1;
    ValueDescriptor vd = BuildValueDescriptor(column, kKindSqlVariant, &r.cursor);
    const Bytes exact(variant);
    const std::uint8_t* data = exact.empty() ? reinterpret_cast<const std::uint8_t*>("") : exact.data();
    return RenderVariant(length < 0 ? static_cast<std::int32_t>(exact.size()) : length, vd,
                         ByteView(data, exact.size()), column, r.context);
}

TEST(RenderVariant, EveryBaseType) {
    const long long day = rowtest::DayNumber(2021, 6, 15);
    struct Case { const char* name; Bytes variant; const char* text; };
    const Case cases[] = {
        {"bigint", Variant(127, LE(static_cast<std::uint64_t>(-5LL), 8)), "-5"},
        {"int", Variant(56, LE(123456, 4)), "123456"},
        {"smallint", Variant(52, LE(0xFFFF, 2)), "-1"},
        {"tinyint", Variant(48, LE(255, 1)), "255"},
        {"bit 1", Variant(104, {1}), "True"},
        {"bit 2", Variant(104, {2}), "True"},
        {"bit 0", Variant(104, {0}), "False"},
        {"money", Variant(60, LE(static_cast<std::uint64_t>(-123LL), 8)), "-0.0123"},
        {"smallmoney", Variant(122, LE(0x7FFFFFFF, 4)), "214748.3647"},
        {"float", Variant(62, rowtest::DoubleBytes(-1.5)), "-1.5"},
        {"real", Variant(59, rowtest::FloatBytes(3.14159274f)), "3.14159"},
        {"decimal", Variant(106, {5, 2, 0, 150, 0, 0, 0}), "-1.50"},
        {"numeric", Variant(108, {5, 0, 1, 7, 0, 0, 0}), "7"},
        {"datetime", Variant(61, Cat({LE(300, 4), LE(0, 4)})), "1900-01-01 00:00:01"},
        {"smalldatetime", Variant(58, Cat({LE(1439, 2), LE(0, 2)})), "1900-01-01 23:59:00"},
        {"date", Variant(40, LE(3652058, 3)), "9999-12-31"},
        {"time", Variant(41, Cat({{7}, LE(1, 5)})), "00:00:00.0000001"},
        {"datetime2", Variant(42, Cat({{3}, LE(5, 4), LE(static_cast<std::uint64_t>(day), 3)})),
         "2021-06-15 00:00:00.005"},
        {"datetimeoffset", Variant(43, Cat({{0}, LE(6 * 3600, 3), LE(static_cast<std::uint64_t>(day), 3), LE(330, 2)})),
         "2021-06-15 11:30:00 +5:30"},
        {"uniqueidentifier", Variant(36, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}),
         "03020100-0504-0706-0809-0A0B0C0D0E0F"},
        {"varbinary", Variant(165, Cat({LE(8000, 2), {0x00, 0xAB, 0x10}})), "0x00AB10"},
        {"binary", Variant(173, Cat({LE(3, 2), {0xFF, 0x00, 0x01}})), "0xFF0001"},
        {"clr", Variant(240, {0x58, 0x00}), "0x5800"},
        {"varchar", Variant(167, Cat({LE(10, 2), LE(53256, 4), rowtest::Str("abc  ")})), "abc  "},
        {"char", Variant(175, Cat({LE(3, 2), LE(53256, 4), rowtest::Str("xyz")})), "xyz"},
        {"varchar cyrillic", Variant(167, Cat({LE(10, 2), LE(53269, 4), {0xCF, 0xF0, 0xE8}})), "При"},
        {"nvarchar", Variant(231, Cat({LE(20, 2), LE(53256, 4), {'A', 0, 0x1F, 0x04}})), "AП"},
        {"nchar", Variant(239, Cat({LE(4, 2), LE(53256, 4), {'h', 0, 'i', 0}})), "hi"},
        {"unknown", Variant(99, {1, 2, 3}), ""},
        {"xml is no variant type", Variant(241, {1, 2, 3}), ""},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        ASSERT_TRUE(rowtest::LoadShippedCollations(r.app));
        EXPECT_EQ(Render(r, c.variant), c.text) << c.name;
    }
}

TEST(RenderVariant, WrongLengthsGiveNothing) {
    rowtest::Renderer r;
    struct Case { const char* name; Bytes variant; };
    const Case cases[] = {
        {"bigint short", Variant(127, LE(1, 7))},
        {"int long", Variant(56, LE(1, 5))},
        {"smallint", Variant(52, LE(1, 1))},
        {"tinyint", Variant(48, {})},
        {"bit", Variant(104, {1, 1})},
        {"money", Variant(60, LE(1, 4))},
        {"smallmoney", Variant(122, LE(1, 8))},
        {"float", Variant(62, LE(1, 4))},
        {"real", Variant(59, LE(1, 8))},
        {"decimal", Variant(106, {5, 2})},
        {"datetime", Variant(61, LE(1, 4))},
        {"smalldatetime", Variant(58, LE(1, 8))},
        {"date", Variant(40, LE(1, 2))},
        {"time", Variant(41, {7})},
        {"guid", Variant(36, Bytes(15, 1))},
        {"varbinary", Variant(165, LE(1, 2))},
        {"clr", Variant(240, {})},
        {"varchar", Variant(167, Bytes(6, 0))},
        {"nvarchar", Variant(231, Bytes(6, 0))},
        {"type only", Bytes{127}},
        {"nothing", Bytes{}},
    };
    for (const Case& c : cases) EXPECT_EQ(Render(r, c.variant), "") << c.name;
}

TEST(RenderVariant, NeverReadsPastTheBytesItIsGiven) {
    // The claimed length is larger than the bytes: the variant is cut to what is there.
    rowtest::Renderer r;
    const Bytes bigint = Variant(127, LE(42, 8));
    EXPECT_EQ(Render(r, bigint, 10), "42");
    EXPECT_EQ(Render(r, Bytes(bigint.begin(), bigint.begin() + 6), 10), "");
    EXPECT_EQ(Render(r, bigint, std::numeric_limits<std::int32_t>::max()), "42");
    EXPECT_EQ(Render(r, bigint, 0), "");
}

}  // namespace
