#include <gtest/gtest.h>
#include <algorithm>

#include <limits>

#include "RenderSupport.h"

namespace {

using namespace pw;
using rowtest::Bytes;
using rowtest::LE;

// A stored decimal: the sign byte and the magnitude written in decimal digits,
// as `width` little-endian bytes.
Bytes StoredDecimal(bool negative, const std::string& digits, std::size_t width) {
    Bytes magnitude(width, 0);
    for (char ch : digits) {
        unsigned carry = static_cast<unsigned>(ch - '0');
        for (std::size_t i = 0; i < width; ++i) {
            const unsigned v = magnitude[i] * 10u + carry;
            magnitude[i] = static_cast<std::uint8_t>(v & 0xFF);
            carry = v >> 8;
        }
    }
    Bytes out(width + 1, 0);
    out[0] = static_cast<std::uint8_t>(negative ? 0 : 1);
    std::copy(magnitude.begin(), magnitude.end(), out.begin() + 1);
    return out;
}

TEST(RenderValue, Decimal) {
    struct Case { int precision; int scale; bool negative; std::string magnitude; std::string text; };
    const Case cases[] = {
        {5, 2, true, "150", "-1.50"},
        {5, 2, false, "5", "0.05"},
        {5, 0, false, "7", "7"},
        {5, 2, false, "0", "0.00"},
        {9, 4, false, "123456789", "12345.6789"},
        {2, 2, false, "5", "0.05"},           // the 0 before the point is no digit of the value
        {5, 5, false, "12345", "0.12345"},
        {19, 4, true, "9223372036854775807", "-922337203685477.5807"},
        {28, 0, false, "9999999999999999999999999999", "9999999999999999999999999999"},
        {38, 0, false, std::string(38, '9'), std::string(38, '9')},
        {38, 10, false, "12345678901234567890123456789012345678", "1234567890123456789012345678.9012345678"},
        {38, 38, false, "1", "0." + std::string(37, '0') + "1"},
        // Damaged values with more digits than the precision lose fraction
        // digits from the right, or everything when the integer part is too long.
        {3, 2, false, "12345", "123"},
        {4, 2, false, "12345", "123.4"},
        {3, 2, false, "123456", ""},
    };
    for (const Case& c : cases) {
        const std::size_t width = c.precision <= 9 ? 4 : c.precision <= 19 ? 8 : c.precision <= 28 ? 12 : 16;
        const Bytes stored = StoredDecimal(c.negative, c.magnitude, width);
        for (int kind : {kKindDecimal, kKindNumeric}) {
            rowtest::Renderer r;
            ColumnDescriptor column =
                rowtest::Column(kind, "decimal(" + std::to_string(stored.size()) + ")", static_cast<std::int16_t>(stored.size()));
            column.precision = static_cast<std::uint8_t>(c.precision);
            column.scale = static_cast<std::uint8_t>(c.scale);
            EXPECT_EQ(r.Fixed(column, stored), c.text) << c.precision << "," << c.scale << " " << c.magnitude;
            EXPECT_EQ(r.last.storageLength, static_cast<std::int32_t>(stored.size()));
            EXPECT_EQ(r.last.length, static_cast<std::int16_t>(stored.size()));
        }
    }
}

TEST(RenderValue, DecimalNeedsItsWholeStorage) {
    rowtest::Renderer r;
    ColumnDescriptor column = rowtest::Column(kKindDecimal, "decimal(9)", 9);
    column.precision = 18;
    column.scale = 2;
    EXPECT_EQ(r.Fixed(column, StoredDecimal(false, "100", 8)), "1.00");
    Bytes shortValue = StoredDecimal(false, "100", 8);
    shortValue.resize(8);
    EXPECT_EQ(r.Fixed(column, shortValue), "");
    // Without a length in the type text the precision tells the size.
    column.typeText = "decimal";
    EXPECT_EQ(r.Fixed(column, StoredDecimal(true, "100", 8)), "-1.00");
    EXPECT_EQ(r.last.storageLength, 9);
}

TEST(RenderValue, MoneyAndSmallMoney) {
    struct Case { int kind; std::uint64_t raw; const char* text; };
    const Case cases[] = {
        {kKindMoney, 0, "0.0000"},
        {kKindMoney, 5, "0.0005"},
        {kKindMoney, static_cast<std::uint64_t>(-123LL), "-0.0123"},
        {kKindMoney, 12345, "1.2345"},
        {kKindMoney, 0x7FFFFFFFFFFFFFFFull, "922337203685477.5807"},
        {kKindMoney, 0x8000000000000000ull, "-922337203685477.5808"},
        {kKindSmallMoney, 0x7FFFFFFF, "214748.3647"},
        {kKindSmallMoney, 0x80000000u, "-214748.3648"},
        {kKindSmallMoney, 10000, "1.0000"},
        {kKindSmallMoney, 0xFFFFFFFFu, "-0.0001"},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        const std::size_t width = c.kind == kKindMoney ? 8 : 4;
        const ColumnDescriptor column = rowtest::Column(c.kind, "money(" + std::to_string(width) + ")", 0);
        EXPECT_EQ(r.Fixed(column, LE(c.raw, width)), c.text);
    }
}

TEST(RenderValue, Float) {
    struct Case { double value; const char* text; };
    const Case cases[] = {
        {0.0, "0"},
        {100.0, "100"},
        {500000000000000.0, "500000000000000"},
        {1e20, "100000000000000000000"},
        {-1.5, "-1.5"},
        {0.1, "0.1"},
        {123.456, "123.456"},
        {3.14159265358979, "3.14159265358979"},
        {1e-7, "0.0000001"},
        // Negative values keep as many digits as positive ones.
        {-1e-7, "-0.0000001"},
        {-123.456789012345, "-123.456789012345"},
        {std::numeric_limits<double>::infinity(), "0"},
        {-std::numeric_limits<double>::infinity(), "0"},
        {std::numeric_limits<double>::quiet_NaN(), "0"},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        EXPECT_EQ(r.Fixed(rowtest::Column(kKindFloat, "float(8)", 8), rowtest::DoubleBytes(c.value)), c.text)
            << c.value;
    }
    // The extremes print without overflowing anything.
    rowtest::Renderer r;
    const std::string largest =
        r.Fixed(rowtest::Column(kKindFloat, "float(8)", 8), rowtest::DoubleBytes(std::numeric_limits<double>::max()));
    EXPECT_EQ(largest.size(), 309u);
    const std::string smallest = r.Fixed(rowtest::Column(kKindFloat, "float(8)", 8),
                                         rowtest::DoubleBytes(std::numeric_limits<double>::denorm_min()));
    EXPECT_EQ(smallest.rfind("0.000", 0), 0u);
    EXPECT_EQ(smallest.size(), 2u + 338u);  // 15 significant digits after 323 zeros
    EXPECT_EQ(smallest.substr(smallest.size() - 15), "494065645841247");
}

TEST(RenderValue, Real) {
    struct Case { float value; const char* text; };
    const Case cases[] = {
        {0.00001f, "0"},
        {3.14159274f, "3.14159"},
        {0.0f, "0"},
        {0.0001f, "0.0001"},
        {-2.5f, "-2.5"},
        {100000.0f, "100000"},
        {1234567.0f, "1.23457e+06"},
        {-1e-5f, "0"},
        {std::numeric_limits<float>::infinity(), "0"},
        {std::numeric_limits<float>::quiet_NaN(), "0"},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        EXPECT_EQ(r.Fixed(rowtest::Column(kKindReal, "real(4)", 4), rowtest::FloatBytes(c.value)), c.text) << c.value;
    }
}

}  // namespace
