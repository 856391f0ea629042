#pragma once
// The code by which a column's values are decoded and rendered.
//
// The catalog stores one of these in every column descriptor; the row decoder
// and the value renderer switch on it. The numbers are part of the column
// descriptor's contract and never change.

#include <cstdint>

namespace pw {

enum ValueKind : std::int32_t {
    kKindBigInt = 0,
    kKindBinary = 1,
    kKindBit = 2,
    kKindChar = 3,             // char, and every system type not listed below
    kKindDateTime = 4,
    kKindDate = 5,
    kKindTime = 6,
    kKindDateTime2 = 7,
    kKindDateTimeOffset = 8,
    kKindInt = 9,
    kKindNChar = 10,
    kKindNVarChar = 11,
    kKindRowLocator = 12,      // page, file and slot of a heap row
    kKindSmallInt = 13,
    kKindTinyInt = 14,
    kKindUniqueIdentifier = 15,
    kKindVarBinary = 16,
    kKindVarChar = 17,
    kKindEmpty = 18,           // no SQL Server type; renders nothing
    kKindNText = 19,
    kKindSqlVariant = 20,
    kKindMoney = 21,
    kKindFloat = 22,
    kKindNumeric = 23,
    kKindDecimal = 24,
    kKindImage = 25,
    kKindText = 26,
    kKindSmallDateTime = 27,
    kKindReal = 28,
    kKindSmallMoney = 29,
    kKindTimestamp = 30,
    kKindHierarchyId = 31,     // CLR type with user type id 128
    kKindGeometry = 32,        // CLR type with user type id 129
    kKindClr = 33,             // every other CLR type (geography, user CLR types)
    kKindXml = 34,
};

constexpr std::int32_t kValueKindCount = 35;

// The kind of a SQL Server system type id. Both 34 (image) and 35 (text) give
// text; the catalog turns image into kKindImage and picks the CLR kind of a
// 240 column by its user type id. Unknown ids are rendered as char.
ValueKind KindFromSystemType(std::int32_t systemTypeId);

}  // namespace pw
