#include "rows/VariantRenderer.h"

#include <charconv>
#include <cstring>

#include "rows/BinaryText.h"
#include "rows/CharacterValue.h"
#include "rows/DateTimeText.h"
#include "rows/DecimalText.h"
#include "rows/FloatText.h"

namespace pw {

namespace {

constexpr std::size_t kStringHeader = 8;  // type, version, max length (2), collation (4)

template <typename T>
std::string IntegerText(T value) {
    char buffer[24];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace

std::string RenderVariant(std::int32_t length, ValueDescriptor& vd, ByteView bytes, const ColumnDescriptor& column,
                          RenderContext& context) {
    (void)column;
    if (!bytes.data() || length <= 0) return {};
    // The variant's bytes: never more than the caller has.
    const ByteView v = bytes.Sub(0, static_cast<std::size_t>(length));
    const std::size_t n = v.size();
    if (n < 2) return {};
    vd.length = static_cast<std::int16_t>(n);

    switch (v.U8(0)) {
        case 127: return n == 10 ? IntegerText(v.I64(2)) : std::string();
        case 56: return n == 6 ? IntegerText(v.I32(2)) : std::string();
        case 52: return n == 4 ? IntegerText(v.I16(2)) : std::string();
        case 48: return n == 3 ? IntegerText(v.U8(2)) : std::string();
        case 104: return n == 3 ? std::string(v.U8(2) ? "True" : "False") : std::string();
        case 60: return n == 10 ? MoneyText(v.I64(2)) : std::string();
        case 122: return n == 6 ? MoneyText(v.I32(2)) : std::string();
        case 62: {
            if (n != 10) return {};
            double d;
            const std::uint64_t raw = v.U64(2);
            std::memcpy(&d, &raw, sizeof d);
            return FloatText(d);
        }
        case 59: {
            if (n != 6) return {};
            float f;
            const std::uint32_t raw = v.U32(2);
            std::memcpy(&f, &raw, sizeof f);
            return RealText(f);
        }
        case 106:
        case 108:
            return n > 4 ? DecimalText(v.Sub(4, n - 4), v.U8(2), v.U8(3)) : std::string();
        case 61: return n == 10 ? RenderDateTime(v.Sub(2, 8)) : std::string();
        case 58: return n == 6 ? RenderSmallDateTime(v.Sub(2, 4)) : std::string();
        case 40: return n == 5 ? RenderDate(v.Sub(2, 3)) : std::string();
        case 41:
            return n > 3 ? RenderTime(v.Sub(3, n - 3), v.U8(2), static_cast<int>(n - 3)) : std::string();
        case 42:
            return n > 3 ? RenderDateTime2(v.Sub(3, n - 3), v.U8(2), static_cast<int>(n - 3)) : std::string();
        case 43:
            return n > 3 ? RenderDateTimeOffset(v.Sub(3, n - 3), v.U8(2), static_cast<int>(n - 3)) : std::string();
        case 36: return n == 18 ? GuidText(v.Sub(2, 16)) : std::string();
        case 165:
        case 173:
            // Binary data is shown as the binary columns show it.
            return n > 4 ? HexText(v.Sub(4, n - 4), "0x") : std::string();
        case 240: return n > 2 ? HexText(v.Sub(2, n - 2), "0x") : std::string();
        case 167:
        case 175: {
            if (n <= kStringHeader) return {};
            // The text is in the code page of the collation the variant carries.
            const std::int64_t collationId = v.I32(4);  // the collation id as the catalog stores it
            return EightBitText(context, CodePageOfCollation(context.app, collationId), v.Sub(kStringHeader, n));
        }
        case 231:
        case 239:
            return n > kStringHeader ? Utf16Text(v.Sub(kStringHeader, n)) : std::string();
        default: return {};
    }
}

}  // namespace pw
