#pragma once
// ValueKind: the code by which a column's values are decoded and rendered,
// chosen from the column's SQL Server system type id.

#include <cstdint>

namespace pw {

enum ValueKind : std::int32_t {
    kKindBigint = 0,
    kKindBinary = 1,
    kKindBit = 2,
    kKindChar = 3,
    kKindDatetime = 4,
    kKindDate = 5,
    kKindTime = 6,
    kKindDatetime2 = 7,
    kKindDatetimeOffset = 8,
    kKindInt = 9,
    kKindNchar = 10,
    kKindNvarchar = 11,
    kKindRowLocator = 12,
    kKindSmallint = 13,
    kKindTinyint = 14,
    kKindUniqueidentifier = 15,
    kKindVarbinary = 16,
    kKindVarchar = 17,
    kKindEmpty = 18,
    kKindNtext = 19,
    kKindSqlVariant = 20,
    kKindMoney = 21,
    kKindFloat = 22,
    kKindNumeric = 23,
    kKindDecimal = 24,
    kKindImage = 25,
    kKindText = 26,
    kKindSmalldatetime = 27,
    kKindReal = 28,
    kKindSmallmoney = 29,
    kKindTimestamp = 30,
    kKindHierarchyId = 31,
    kKindGeometry = 32,
    kKindClrType = 33,
    kKindXml = 34,
};

// The kind of a system type id. Image (34) and text (35) both give the text
// kind; the catalog chooses image and the CLR kinds itself. Ids not listed
// give the char kind.
constexpr ValueKind KindFromSystemType(int systemTypeId) {
    switch (systemTypeId) {
        case 127: return kKindBigint;
        case 173: return kKindBinary;
        case 104: return kKindBit;
        case 175: return kKindChar;
        case 61: return kKindDatetime;
        case 40: return kKindDate;
        case 41: return kKindTime;
        case 42: return kKindDatetime2;
        case 43: return kKindDatetimeOffset;
        case 56: return kKindInt;
        case 239: return kKindNchar;
        case 231: return kKindNvarchar;
        case 52: return kKindSmallint;
        case 48: return kKindTinyint;
        case 36: return kKindUniqueidentifier;
        case 165: return kKindVarbinary;
        case 167: return kKindVarchar;
        case 232: return kKindEmpty;
        case 99: return kKindNtext;
        case 98: return kKindSqlVariant;
        case 60: return kKindMoney;
        case 62: return kKindFloat;
        case 108: return kKindNumeric;
        case 106: return kKindDecimal;
        case 34: return kKindText;
        case 35: return kKindText;
        case 58: return kKindSmalldatetime;
        case 59: return kKindReal;
        case 122: return kKindSmallmoney;
        case 189: return kKindTimestamp;
        case 240: return kKindClrType;
        case 241: return kKindXml;
        default: return kKindChar;
    }
}

}  // namespace pw
