#include <gtest/gtest.h>

#include "RenderSupport.h"

namespace {

using namespace pw;
using rowtest::Bytes;

TEST(RenderValue, HexadecimalKinds) {
    // Kinds the row decoder prefixes itself (varbinary, CLR) come without "0x".
    const Bytes bytes = {0x00, 0x01, 0xAB, 0xFF};
    struct Case { int kind; bool variable; const char* text; };
    const Case cases[] = {
        {kKindBinary, false, "0x0001ABFF"},
        {kKindVarBinary, true, "0001ABFF"},
        {kKindHierarchyId, true, "0x0001ABFF"},
        {kKindGeometry, true, "0001ABFF"},
        {kKindClr, true, "0001ABFF"},
    };
    for (const Case& c : cases) {
        rowtest::Renderer r;
        const ColumnDescriptor column = rowtest::Column(c.kind, "t(4)", 4);
        EXPECT_EQ(c.variable ? r.Variable(column, bytes) : r.Fixed(column, bytes), c.text) << "kind " << c.kind;
    }
    // binary(n) reads its declared length; fewer bytes give nothing.
    rowtest::Renderer r;
    EXPECT_EQ(r.Fixed(rowtest::Column(kKindBinary, "binary(2)", 2), bytes), "0x0001");
    EXPECT_EQ(r.Fixed(rowtest::Column(kKindBinary, "binary(8)", 8), bytes), "");
}

TEST(RenderValue, TimestampReadsEightBytes) {
    rowtest::Renderer r;
    const Bytes bytes = {0, 0, 0, 0, 0, 0, 0x07, 0xD1, 0x55};
    EXPECT_EQ(r.Fixed(rowtest::Column(kKindTimestamp, "timestamp(8)", 8), bytes), "0x00000000000007D1");
    EXPECT_EQ(r.last.length, 8);
}

TEST(RenderValue, UniqueIdentifierByteOrder) {
    rowtest::Renderer r;
    Bytes bytes;
    for (int i = 0; i < 16; ++i) bytes.push_back(static_cast<std::uint8_t>(i));
    const ColumnDescriptor column = rowtest::Column(kKindUniqueIdentifier, "uniqueidentifier(16)", 16);
    EXPECT_EQ(r.Fixed(column, bytes), "03020100-0504-0706-0809-0A0B0C0D0E0F");
    EXPECT_EQ(r.last.length, 16);
    bytes.pop_back();
    EXPECT_EQ(r.Fixed(column, bytes), "");
}

TEST(RenderValue, RowLocator) {
    rowtest::Renderer r;
    ColumnDescriptor column = rowtest::Column(kKindRowLocator, "(8)", 8);
    const Bytes bytes = rowtest::Cat({rowtest::LE(1234, 4), rowtest::LE(1, 2), rowtest::LE(17, 2)});
    EXPECT_EQ(r.Fixed(column, bytes), "1234/1/17");
}

TEST(RenderValue, KindsThatRenderNothingHere) {
    rowtest::Renderer r;
    const Bytes bytes = {1, 2, 3, 4};
    EXPECT_EQ(r.Fixed(rowtest::Column(kKindEmpty, "(0)", 0), bytes), "");
    EXPECT_EQ(r.Variable(rowtest::Column(kKindImage, "image(16)", 16), bytes), "");
    EXPECT_EQ(r.Fixed(rowtest::Column(35, "(4)", 4), bytes), "");
    EXPECT_EQ(r.Fixed(rowtest::Column(-1, "(4)", 4), bytes), "");
}

TEST(RenderValue, XmlThatCannotBeConvertedShowsABlank) {
    rowtest::Renderer r;
    const Bytes stored = {0xDF, 0xFF, 0x01, 0xB0, 0x04};
    EXPECT_EQ(r.Variable(rowtest::Column(kKindXml, "xml(-1)", -1), stored), " ");
}

}  // namespace
