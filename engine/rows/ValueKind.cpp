#include "rows/ValueKind.h"

namespace pw {

ValueKind KindFromSystemType(std::int32_t systemTypeId) {
    switch (systemTypeId) {
        case 127: return kKindBigInt;
        case 173: return kKindBinary;
        case 104: return kKindBit;
        case 175: return kKindChar;
        case 61: return kKindDateTime;
        case 40: return kKindDate;
        case 41: return kKindTime;
        case 42: return kKindDateTime2;
        case 43: return kKindDateTimeOffset;
        case 56: return kKindInt;
        case 239: return kKindNChar;
        case 231: return kKindNVarChar;
        case 52: return kKindSmallInt;
        case 48: return kKindTinyInt;
        case 36: return kKindUniqueIdentifier;
        case 165: return kKindVarBinary;
        case 167: return kKindVarChar;
        case 232: return kKindEmpty;
        case 99: return kKindNText;
        case 98: return kKindSqlVariant;
        case 60: return kKindMoney;
        case 62: return kKindFloat;
        case 108: return kKindNumeric;
        case 106: return kKindDecimal;
        case 34: return kKindText;  // image: the catalog replaces it by kKindImage
        case 35: return kKindText;
        case 58: return kKindSmallDateTime;
        case 59: return kKindReal;
        case 122: return kKindSmallMoney;
        case 189: return kKindTimestamp;
        case 240: return kKindClr;
        case 241: return kKindXml;
        default: return kKindChar;
    }
}

}  // namespace pw
