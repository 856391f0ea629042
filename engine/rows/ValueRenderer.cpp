#include "rows/ValueRenderer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "rows/BinaryText.h"
#include "rows/CharacterValue.h"
#include "rows/DateTimeText.h"
#include "rows/DecimalText.h"
#include "rows/FloatText.h"
#include "rows/StoredXml.h"

namespace pw {

namespace {

template <typename T>
std::string IntegerText(T value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

// Bytes of a time part of the given fractional-second scale.
std::int32_t TimeBytesOfScale(int scale) { return scale <= 2 ? 3 : scale <= 4 ? 4 : 5; }

// Bytes of a decimal of the given precision: the sign byte and the magnitude.
std::int32_t DecimalBytesOfPrecision(int precision) {
    if (precision <= 9) return 5;
    if (precision <= 19) return 9;
    if (precision <= 28) return 13;
    return 17;
}

// A value's storage length when its type text names none.
std::int32_t DefaultStorageLength(std::int32_t kind, const ColumnDescriptor& column) {
    switch (kind) {
        case kKindTime: return TimeBytesOfScale(column.scale);
        case kKindDateTime2: return TimeBytesOfScale(column.scale) + 3;
        case kKindDateTimeOffset: return TimeBytesOfScale(column.scale) + 5;
        case kKindNumeric:
        case kKindDecimal: return DecimalBytesOfPrecision(column.precision);
        default: return 0;
    }
}

// Bytes the kind reads from the value; -1 for a kind that renders nothing.
std::int64_t BytesRead(const ValueDescriptor& vd) {
    switch (vd.kind) {
        case kKindBigInt: return 8;
        case kKindInt: return 4;
        case kKindSmallInt: return 2;
        case kKindTinyInt: return 1;
        case kKindBit: return 1;
        case kKindDateTime: return 8;
        case kKindSmallDateTime: return 4;
        case kKindDate: return 3;
        case kKindTimestamp: return 8;
        case kKindRowLocator: return 8;
        case kKindUniqueIdentifier: return 16;
        case kKindMoney: return 8;
        case kKindSmallMoney: return 4;
        case kKindFloat: return 8;
        case kKindReal: return 4;
        case kKindTime:
        case kKindDateTime2:
        case kKindDateTimeOffset:
        case kKindNumeric:
        case kKindDecimal: return vd.storageLength;
        case kKindBinary:
        case kKindVarBinary:
        case kKindHierarchyId:
        case kKindGeometry:
        case kKindClr:
        case kKindChar:
        case kKindVarChar:
        case kKindText:
        case kKindNChar:
        case kKindNVarChar:
        case kKindNText:
        case kKindSqlVariant:
        case kKindXml: return vd.length;
        default: return -1;  // empty kind, image (read as varbinary by the decoder), unknown codes
    }
}

bool IsFixedSize(std::int32_t kind) {
    switch (kind) {
        case kKindBigInt: case kKindInt: case kKindSmallInt: case kKindTinyInt:
        case kKindDateTime: case kKindSmallDateTime: case kKindDate: case kKindTimestamp:
        case kKindRowLocator: case kKindUniqueIdentifier: case kKindMoney: case kKindSmallMoney:
        case kKindFloat: case kKindReal:
            return true;
        default:
            return false;
    }
}

// Kinds whose length becomes their storage length once rendered.
bool LengthFollowsStorage(std::int32_t kind) {
    switch (kind) {
        case kKindDateTime: case kKindDate: case kKindTime: case kKindDateTime2:
        case kKindDateTimeOffset: case kKindUniqueIdentifier: case kKindMoney: case kKindNumeric:
        case kKindDecimal: case kKindSmallDateTime: case kKindSmallMoney: case kKindTimestamp:
            return true;
        default:
            return false;
    }
}

std::string RenderBit(ValueDescriptor& vd, ByteView bytes) {
    BitCursor* cursor = vd.bitCursor;
    if (vd.length != 1 || !cursor) return {};
    if (cursor->bitPosition == BitCursor::kNoByte) cursor->loaded = 0;
    if (!cursor->loaded) {
        cursor->currentByte = bytes.U8(0);
        cursor->bitPosition = 0;
        cursor->loaded = 1;
        cursor->byteTaken = 1;
        vd.fixedLength = 1;
        vd.storageLength = 1;
    } else {
        cursor->byteTaken = 0;
        vd.fixedLength = 0;
        vd.storageLength = 0;
    }
    // A position outside 0..7 (a cursor left in a bad state) reads as bit 0
    // of a fresh byte rather than shifting out of range.
    if (cursor->bitPosition < 0 || cursor->bitPosition > 7) cursor->bitPosition = 0;
    const int bit = (cursor->currentByte >> cursor->bitPosition) & 1;
    ++cursor->bitPosition;
    return bit ? "True" : "False";
}

}  // namespace

std::int32_t StorageLengthOfTypeText(const std::string& typeText) {
    const std::size_t open = typeText.find('(');
    if (open == std::string::npos) return 0;
    const std::size_t close = typeText.find(')', open + 1);
    if (close == std::string::npos) return 0;
    std::int32_t value = 0;
    const char* first = typeText.data() + open + 1;
    const char* last = typeText.data() + close;
    while (first < last && (*first == ' ' || *first == '\t')) ++first;
    auto result = std::from_chars(first, last, value);
    if (result.ec != std::errc{} || value < 0) return 0;
    return value;
}

std::string RenderValue(ValueDescriptor& vd, ByteView bytes, const ColumnDescriptor& column, RenderContext& context) {
    if (!bytes.data()) return {};

    if (vd.storageLength == 0) vd.storageLength = StorageLengthOfTypeText(column.typeText);
    if (vd.storageLength <= 0) vd.storageLength = DefaultStorageLength(vd.kind, column);
    if (vd.variable) vd.available = vd.length;
    if (vd.kind == kKindSqlVariant) {
        // The last 8 bytes of a variant handed here are not text.
        vd.length = static_cast<std::int16_t>(vd.length - 8);
        if (vd.length <= 0) return {};
    }

    // Whatever the caller claims, no byte past the view is read.
    const std::int64_t available = std::clamp<std::int64_t>(vd.available, 0, static_cast<std::int64_t>(bytes.size()));
    if (vd.length <= 0) return vd.kind == kKindBit ? "False" : "";
    const std::int64_t needed = BytesRead(vd);
    if (needed < 0) return {};
    if (available < needed) return {};
    if (IsFixedSize(vd.kind) && vd.storageLength <= 0) vd.storageLength = static_cast<std::int32_t>(needed);

    const ByteView value = bytes.Sub(0, static_cast<std::size_t>(needed));
    std::string text;
    switch (vd.kind) {
        case kKindBigInt: text = IntegerText(value.I64(0)); break;
        case kKindInt: text = IntegerText(value.I32(0)); break;
        case kKindSmallInt: text = IntegerText(value.I16(0)); break;
        case kKindTinyInt: text = IntegerText(value.U8(0)); break;
        case kKindBit: return RenderBit(vd, value);
        case kKindBinary:
        case kKindHierarchyId:
        case kKindTimestamp: text = HexText(value, "0x"); break;
        case kKindVarBinary:
        case kKindGeometry:
        case kKindClr: text = HexText(value, ""); break;
        case kKindRowLocator: text = RowLocatorText(value); break;
        case kKindUniqueIdentifier: text = GuidText(value); break;
        case kKindNChar:
        case kKindNVarChar: text = Utf16Text(value); break;
        case kKindNText:
        case kKindSqlVariant: text = ZeroByteTestText(context, value); break;
        case kKindChar:
        case kKindVarChar:
        case kKindText: text = ConvertCharacterValue(context, value, column); break;
        case kKindDecimal:
        case kKindNumeric: text = DecimalText(value, column.precision, column.scale); break;
        case kKindMoney: text = MoneyText(value.I64(0)); break;
        case kKindSmallMoney: text = MoneyText(value.I32(0)); break;
        case kKindFloat: {
            double d;
            const std::uint64_t raw = value.U64(0);
            std::memcpy(&d, &raw, sizeof d);
            text = FloatText(d);
            break;
        }
        case kKindReal: {
            float f;
            const std::uint32_t raw = value.U32(0);
            std::memcpy(&f, &raw, sizeof f);
            text = RealText(f);
            break;
        }
        case kKindDateTime: text = RenderDateTime(value); break;
        case kKindSmallDateTime: text = RenderSmallDateTime(value); break;
        case kKindDate: text = RenderDate(value); break;
        case kKindTime: text = RenderTime(value, column.scale, vd.storageLength); break;
        case kKindDateTime2: text = RenderDateTime2(value, column.scale, vd.storageLength); break;
        case kKindDateTimeOffset: text = RenderDateTimeOffset(value, column.scale, vd.storageLength); break;
        case kKindXml:
            text = ConvertXmlValue(value);
            if (text.empty()) text.push_back(' ');  // a blank cell: the value exists but could not be read
            break;
        default: break;
    }
    if (LengthFollowsStorage(vd.kind)) vd.length = static_cast<std::int16_t>(std::clamp<std::int32_t>(vd.storageLength, 0, std::numeric_limits<std::int16_t>::max()));
    return text;
}

}  // namespace pw
