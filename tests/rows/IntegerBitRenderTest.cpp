#include <gtest/gtest.h>

#include "RenderSupport.h"

namespace {

using namespace pw;
using rowtest::Bytes;
using rowtest::LE;

TEST(RenderValue, Integers) {
    struct Case { int kind; const char* typeText; Bytes bytes; const char* text; };
    const Case cases[] = {
        {kKindBigInt, "bigint(8)", LE(0, 8), "0"},
        {kKindBigInt, "bigint(8)", LE(0xFFFFFFFFFFFFFFFFull, 8), "-1"},
        {kKindBigInt, "bigint(8)", LE(0x7FFFFFFFFFFFFFFFull, 8), "9223372036854775807"},
        {kKindBigInt, "bigint(8)", LE(0x8000000000000000ull, 8), "-9223372036854775808"},
        {kKindInt, "int(4)", LE(123456, 4), "123456"},
        {kKindInt, "int(4)", LE(0x80000000u, 4), "-2147483648"},
        {kKindInt, "int(4)", LE(0xFFFFFFFFu, 4), "-1"},
        {kKindSmallInt, "smallint(2)", LE(0xFFFF, 2), "-1"},
        {kKindSmallInt, "smallint(2)", LE(0x7FFF, 2), "32767"},
        {kKindTinyInt, "tinyint(1)", LE(255, 1), "255"},
        {kKindTinyInt, "tinyint(1)", LE(0, 1), "0"},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        const ColumnDescriptor column = rowtest::Column(c.kind, c.typeText, 0);
        EXPECT_EQ(r.Fixed(column, c.bytes), c.text) << c.typeText;
        EXPECT_EQ(r.last.storageLength, static_cast<std::int32_t>(c.bytes.size())) << c.typeText;
    }
}

TEST(RenderValue, IntegerReadStopsAtTheFixedData) {
    // Fixed data beyond the value is ignored; fixed data shorter than the value gives nothing.
    rowtest::Renderer r;
    const ColumnDescriptor column = rowtest::Column(kKindInt, "int(4)", 0);
    EXPECT_EQ(r.Fixed(column, {1, 0, 0, 0, 9, 9}), "1");
    EXPECT_EQ(r.Fixed(column, {1, 0, 0}), "");
    EXPECT_EQ(r.Fixed(rowtest::Column(kKindBigInt, "bigint(8)", 0), LE(5, 7)), "");
}

TEST(RenderValue, AnIntegerWithoutLengthInItsTypeTextStillAdvancesByItsSize) {
    rowtest::Renderer r;
    EXPECT_EQ(r.Fixed(rowtest::Column(kKindSmallInt, "smallint", 0), LE(7, 2)), "7");
    EXPECT_EQ(r.last.storageLength, 2);
}

TEST(RenderValue, NineBitColumnsTakeTwoBytes) {
    // Bits are read least significant first; the ninth column reads bit 0 of the next byte.
    rowtest::Renderer r;
    const ColumnDescriptor column = rowtest::Column(kKindBit, "bit(1)", 1);
    const Bytes fixedData = {0xA5, 0x01};  // 1010 0101, 0000 0001
    const char* expected[9] = {"True", "False", "True", "False", "False", "True", "False", "True", "True"};
    const int storage[9] = {1, 0, 0, 0, 0, 0, 0, 0, 1};
    std::size_t cursorInFixedData = 0;
    for (int i = 0; i < 9; ++i) {
        const Bytes here(fixedData.begin() + static_cast<long>(cursorInFixedData), fixedData.end());
        EXPECT_EQ(r.Fixed(column, here), expected[i]) << "bit column " << i;
        EXPECT_EQ(r.last.storageLength, storage[i]) << "bit column " << i;
        EXPECT_EQ(r.last.fixedLength, storage[i]) << "bit column " << i;
        EXPECT_EQ(r.cursor.byteTaken, storage[i]) << "bit column " << i;
        cursorInFixedData += static_cast<std::size_t>(r.last.storageLength);
    }
    EXPECT_EQ(cursorInFixedData, 2u);
}

TEST(RenderValue, BitEdgeCases) {
    const ColumnDescriptor column = rowtest::Column(kKindBit, "bit(1)", 1);
    {
        rowtest::Renderer r;  // length 0 reads nothing and shows False
        r.last = BuildValueDescriptor(column, kKindBit, &r.cursor);
        r.last.length = 0;
        const std::uint8_t byte = 1;
        EXPECT_EQ(RenderValue(r.last, ByteView(&byte, 1), column, r.context), "False");
        EXPECT_EQ(r.cursor.bitPosition, BitCursor::kNoByte);
    }
    {
        rowtest::Renderer r;  // without a cursor nothing can be read
        ValueDescriptor vd = BuildValueDescriptor(column, kKindBit, nullptr);
        vd.available = 1;
        const std::uint8_t byte = 1;
        EXPECT_EQ(RenderValue(vd, ByteView(&byte, 1), column, r.context), "");
    }
    {
        rowtest::Renderer r;  // no byte left in the fixed data
        EXPECT_EQ(r.Fixed(column, {}), "");
    }
    {
        rowtest::Renderer r;  // no bytes at all
        ValueDescriptor vd = BuildValueDescriptor(column, kKindBit, &r.cursor);
        EXPECT_EQ(RenderValue(vd, ByteView(), column, r.context), "");
    }
}

}  // namespace
