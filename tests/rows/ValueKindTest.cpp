#include <gtest/gtest.h>

#include "RenderSupport.h"
#include "rows/ValueKind.h"

namespace {

using namespace pw;

TEST(KindFromSystemType, MapsEverySystemTypeOfTheTable) {
    struct Case { int systemType; ValueKind kind; };
    const Case cases[] = {
        {127, kKindBigInt}, {173, kKindBinary}, {104, kKindBit}, {175, kKindChar}, {61, kKindDateTime},
        {40, kKindDate}, {41, kKindTime}, {42, kKindDateTime2}, {43, kKindDateTimeOffset}, {56, kKindInt},
        {239, kKindNChar}, {231, kKindNVarChar}, {52, kKindSmallInt}, {48, kKindTinyInt},
        {36, kKindUniqueIdentifier}, {165, kKindVarBinary}, {167, kKindVarChar}, {232, kKindEmpty},
        {99, kKindNText}, {98, kKindSqlVariant}, {60, kKindMoney}, {62, kKindFloat}, {108, kKindNumeric},
        {106, kKindDecimal}, {34, kKindText}, {35, kKindText}, {58, kKindSmallDateTime}, {59, kKindReal},
        {122, kKindSmallMoney}, {189, kKindTimestamp}, {240, kKindClr}, {241, kKindXml},
        // Ids of no listed type are read as char.
        {0, kKindChar}, {1, kKindChar}, {256, kKindChar}, {-5, kKindChar},
    };
    for (const Case& c : cases) EXPECT_EQ(KindFromSystemType(c.systemType), c.kind) << "system type " << c.systemType;
}

TEST(BuildValueDescriptor, LengthsAndVariableFlagFollowTheKind) {
    // declared and fixed length for a column of maxLength 50, variable flag
    // for a column marked fixed (0) and one marked variable (1).
    struct Case { int kind; int declared; int fixed; int variableWhenFixed; int variableWhenVariable; };
    const Case cases[] = {
        {kKindBigInt, 8, 8, 0, 0},        {kKindBinary, 50, 50, 0, 0},     {kKindChar, 50, 50, 0, 0},
        {kKindDateTime, 8, 8, 0, 0},      {kKindDate, 3, 3, 0, 0},         {kKindTime, 5, 5, 0, 0},
        {kKindDateTime2, 8, 8, 0, 0},     {kKindDateTimeOffset, 10, 10, 0, 0},
        {kKindInt, 4, 4, 0, 0},           {kKindNChar, 50, 50, 0, 1},      {kKindNVarChar, 50, 50, 0, 1},
        {kKindRowLocator, 8, 8, 0, 1},    {kKindSmallInt, 2, 2, 0, 0},     {kKindTinyInt, 1, 1, 0, 0},
        {kKindUniqueIdentifier, 16, 16, 0, 0}, {kKindVarBinary, 50, 0, 1, 1}, {kKindVarChar, 50, 0, 0, 1},
        {kKindEmpty, 0, 0, 0, 0},         {kKindNText, 50, 50, 0, 1},      {kKindSqlVariant, 50, 50, 0, 1},
        {kKindMoney, 8, 8, 0, 0},         {kKindFloat, 8, 8, 0, 0},        {kKindNumeric, 19, 19, 0, 0},
        {kKindDecimal, 50, 50, 0, 0},     {kKindImage, 50, 0, 1, 1},       {kKindText, 50, 50, 0, 1},
        {kKindSmallDateTime, 4, 4, 0, 0}, {kKindReal, 4, 4, 0, 0},         {kKindSmallMoney, 4, 4, 0, 0},
        {kKindTimestamp, 8, 8, 0, 0},     {kKindHierarchyId, 50, 50, 0, 1}, {kKindGeometry, 50, 50, 0, 1},
        {kKindClr, 50, 50, 0, 1},         {kKindXml, 50, 0, 1, 1},
    };
    for (const Case& c : cases) {
        for (int isVariable = 0; isVariable <= 1; ++isVariable) {
            ColumnDescriptor column = rowtest::Column(c.kind, "t(50)", 50);
            column.isVariable = static_cast<std::uint8_t>(isVariable);
            const ValueDescriptor vd = BuildValueDescriptor(column, c.kind, nullptr);
            EXPECT_EQ(vd.kind, c.kind);
            EXPECT_EQ(vd.length, c.declared) << "kind " << c.kind;
            EXPECT_EQ(vd.fixedLength, c.fixed) << "kind " << c.kind;
            EXPECT_EQ(vd.variable, isVariable ? c.variableWhenVariable : c.variableWhenFixed) << "kind " << c.kind;
            EXPECT_EQ(vd.available, 0);
            EXPECT_EQ(vd.storageLength, 0);
        }
    }
}

TEST(BuildValueDescriptor, BitTakesAFixedByteOnlyWhenTheCursorHasNone) {
    ColumnDescriptor column = rowtest::Column(kKindBit, "bit(1)", 1);
    BitCursor cursor;
    ValueDescriptor first = BuildValueDescriptor(column, kKindBit, &cursor);
    EXPECT_EQ(first.fixedLength, 1);
    EXPECT_EQ(cursor.byteTaken, 1);

    cursor.bitPosition = 3;
    ValueDescriptor middle = BuildValueDescriptor(column, kKindBit, &cursor);
    EXPECT_EQ(middle.fixedLength, 0);
    EXPECT_EQ(cursor.byteTaken, 0);
    EXPECT_EQ(middle.bitCursor, &cursor);
}

TEST(StorageLengthOfTypeText, ReadsTheNumberInParentheses) {
    EXPECT_EQ(StorageLengthOfTypeText("decimal(9)"), 9);
    EXPECT_EQ(StorageLengthOfTypeText("datetime2(8)"), 8);
    EXPECT_EQ(StorageLengthOfTypeText("(12)"), 12);
    EXPECT_EQ(StorageLengthOfTypeText("varchar(-1)"), 0);
    EXPECT_EQ(StorageLengthOfTypeText("varchar(max)"), 0);
    EXPECT_EQ(StorageLengthOfTypeText("int"), 0);
    EXPECT_EQ(StorageLengthOfTypeText("int(4"), 0);
    EXPECT_EQ(StorageLengthOfTypeText(")4("), 0);
}

}  // namespace
