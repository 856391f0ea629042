#include "rows/ValueDescriptor.h"

namespace pw {

namespace {

std::uint16_t FixedFromDeclared(std::int16_t declared) {
    return declared > 0 ? static_cast<std::uint16_t>(declared) : std::uint16_t{0};
}

}  // namespace

ValueDescriptor BuildValueDescriptor(const ColumnDescriptor& column, std::int32_t kind, BitCursor* bitCursor) {
    ValueDescriptor vd;
    vd.bitCursor = bitCursor;
    vd.kind = kind;
    const std::uint8_t declaredVariable = column.isVariable ? 1 : 0;

    // Declared length, variable flag and the fixed length taken from a record
    // without fixed data.
    std::int16_t declared = column.maxLength;
    std::uint8_t variable = declaredVariable;
    bool fixedFromDeclared = true;
    switch (kind) {
        case kKindBigInt: declared = 8; variable = 0; break;
        case kKindBinary: variable = 0; break;
        case kKindBit: declared = 1; variable = 0; break;
        case kKindChar: variable = 0; break;
        case kKindDateTime: declared = 8; variable = 0; break;
        case kKindDate: declared = 3; variable = 0; break;
        case kKindTime: declared = 5; variable = 0; break;
        case kKindDateTime2: declared = 8; variable = 0; break;
        case kKindDateTimeOffset: declared = 10; variable = 0; break;
        case kKindInt: declared = 4; variable = 0; break;
        case kKindNChar: case kKindNVarChar: break;
        case kKindRowLocator: declared = 8; break;
        case kKindSmallInt: declared = 2; variable = 0; break;
        case kKindTinyInt: declared = 1; variable = 0; break;
        case kKindUniqueIdentifier: declared = 16; variable = 0; break;
        case kKindVarBinary: variable = 1; fixedFromDeclared = false; break;
        case kKindVarChar: fixedFromDeclared = false; break;
        case kKindEmpty: declared = 0; variable = 0; break;
        case kKindNText: case kKindSqlVariant: break;
        case kKindMoney: declared = 8; variable = 0; break;
        case kKindFloat: declared = 8; variable = 0; break;
        case kKindNumeric: declared = 19; variable = 0; break;
        case kKindDecimal: variable = 0; break;
        case kKindImage: variable = 1; fixedFromDeclared = false; break;
        case kKindText: break;
        case kKindSmallDateTime: declared = 4; variable = 0; break;
        case kKindReal: declared = 4; variable = 0; break;
        case kKindSmallMoney: declared = 4; variable = 0; break;
        case kKindTimestamp: declared = 8; variable = 0; break;
        case kKindHierarchyId: case kKindGeometry: case kKindClr: break;
        case kKindXml: variable = 1; fixedFromDeclared = false; break;
        default: break;
    }
    vd.length = declared;
    vd.variable = variable;
    vd.fixedLength = fixedFromDeclared ? FixedFromDeclared(declared) : std::uint16_t{0};

    if (kind == kKindBit) {
        // A bit takes a byte of the fixed data only when the record's cursor
        // has used up (or never loaded) its current byte.
        if (bitCursor && bitCursor->bitPosition == BitCursor::kNoByte) {
            bitCursor->byteTaken = 1;
            vd.fixedLength = 1;
        } else {
            if (bitCursor) bitCursor->byteTaken = 0;
            vd.fixedLength = 0;
        }
    }
    return vd;
}

}  // namespace pw
