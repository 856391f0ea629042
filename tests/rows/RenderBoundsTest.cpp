#include <gtest/gtest.h>

#include <random>

#include "RenderSupport.h"
#include "rows/ValueKind.h"
#include "rows/VariantRenderer.h"

namespace {

using namespace pw;
using rowtest::Bytes;

// Every kind, every value size from 0 to 40 bytes, with a caller that claims
// far more bytes than there are: nothing is read past the value (the
// sanitizer build checks), and a value shorter than its kind reads gives
// empty text.
TEST(RenderValue, ShortAndOverclaimedValuesStayInsideTheirBytes) {
    std::mt19937 random(20240611);
    for (int kind = -1; kind <= kValueKindCount; ++kind) {
        for (std::size_t size = 0; size <= 40; ++size) {
            for (int variable = 0; variable <= 1; ++variable) {
                Bytes bytes(size);
                for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
                rowtest::Renderer r;
                r.app.m_bListing = true;
                ColumnDescriptor column = rowtest::Column(kind, "t(17)", 17);
                column.isVariable = static_cast<std::uint8_t>(variable);
                column.precision = 38;
                column.scale = static_cast<std::uint8_t>(random() % 12);
                column.collationId = 53264;
                ValueDescriptor vd = BuildValueDescriptor(column, kind, &r.cursor);
                vd.available = 100000;
                const bool readsItsLength = vd.variable && kind != kKindRowLocator;
                if (variable) vd.length = 30000;
                const std::uint8_t* data = bytes.empty() ? reinterpret_cast<const std::uint8_t*>("") : bytes.data();
                const std::string text = RenderValue(vd, ByteView(data, bytes.size()), column, r.context);
                if (variable && readsItsLength) {
                    EXPECT_EQ(text, "") << "kind " << kind << " size " << size;
                }
            }
        }
    }
}

TEST(RenderValue, FixedKindsShorterThanTheirSizeGiveNothing) {
    struct Case { int kind; std::size_t size; };
    const Case cases[] = {
        {kKindBigInt, 8}, {kKindInt, 4}, {kKindSmallInt, 2}, {kKindTinyInt, 1}, {kKindDateTime, 8},
        {kKindSmallDateTime, 4}, {kKindDate, 3}, {kKindUniqueIdentifier, 16}, {kKindMoney, 8},
        {kKindSmallMoney, 4}, {kKindFloat, 8}, {kKindReal, 4}, {kKindTimestamp, 8}, {kKindRowLocator, 8},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        const ColumnDescriptor column = rowtest::Column(c.kind, "t(" + std::to_string(c.size) + ")", 0);
        EXPECT_EQ(r.Fixed(column, Bytes(c.size - 1, 0x11)), "") << "kind " << c.kind;
        EXPECT_NE(r.Fixed(column, Bytes(c.size, 0x01)), "") << "kind " << c.kind;
    }
}

TEST(RenderVariant, RandomBytesStayInsideTheirBytes) {
    std::mt19937 random(77);
    static constexpr std::uint8_t kTypes[] = {127, 56, 52, 48, 104, 60, 122, 62, 59, 106, 108, 61, 58, 40,
                                              41, 42, 43, 36, 165, 173, 240, 167, 175, 231, 239, 0, 255};
    rowtest::Renderer r;
    for (std::uint8_t type : kTypes) {
        for (std::size_t size = 0; size <= 40; ++size) {
            Bytes bytes(size);
            for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
            if (size > 0) bytes[0] = type;
            ColumnDescriptor column = rowtest::Column(kKindSqlVariant, "sql_variant(8016)", 8016);
            ValueDescriptor vd = BuildValueDescriptor(column, kKindSqlVariant, nullptr);
            const std::uint8_t* data = bytes.empty() ? reinterpret_cast<const std::uint8_t*>("") : bytes.data();
            (void)RenderVariant(static_cast<std::int32_t>(size) + 5, vd, ByteView(data, bytes.size()), column,
                                r.context);
            (void)RenderVariant(static_cast<std::int32_t>(size), vd, ByteView(data, bytes.size()), column,
                                r.context);
        }
    }
    SUCCEED();
}

}  // namespace
