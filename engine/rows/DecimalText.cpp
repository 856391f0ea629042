#include "rows/DecimalText.h"

#include <array>
#include <charconv>
#include <cstring>

namespace pw {

namespace {

constexpr int kMaxDecimalDigits = 38;

// Decimal digits of a 128-bit little-endian magnitude (at most 39), most
// significant first, without leading zeros ("0" for zero), written to `out`
// (room for 48 characters); returns how many.
std::size_t MagnitudeDigits(const std::array<std::uint32_t, 4>& limbsIn, char* out) {
    if (limbsIn[2] == 0 && limbsIn[3] == 0) {
        // Most stored decimals fit 64 bits: one conversion, no long division.
        const std::uint64_t value = (static_cast<std::uint64_t>(limbsIn[1]) << 32) | limbsIn[0];
        return static_cast<std::size_t>(std::to_chars(out, out + 48, value).ptr - out);
    }
    std::array<std::uint32_t, 4> limbs = limbsIn;
    // Base 10^9 chunks, least significant first.
    std::array<std::uint32_t, 5> chunks{};
    int chunkCount = 0;
    auto isZero = [&limbs] { return (limbs[0] | limbs[1] | limbs[2] | limbs[3]) == 0; };
    do {
        std::uint64_t remainder = 0;
        for (int i = 3; i >= 0; --i) {
            std::uint64_t current = (remainder << 32) | limbs[static_cast<std::size_t>(i)];
            limbs[static_cast<std::size_t>(i)] = static_cast<std::uint32_t>(current / 1000000000u);
            remainder = current % 1000000000u;
        }
        chunks[static_cast<std::size_t>(chunkCount++)] = static_cast<std::uint32_t>(remainder);
    } while (!isZero() && chunkCount < 5);

    char* p = out;
    p = std::to_chars(p, out + 48, chunks[static_cast<std::size_t>(chunkCount - 1)]).ptr;
    for (int i = chunkCount - 2; i >= 0; --i) {
        char part[16];
        char* end = std::to_chars(part, part + sizeof part, chunks[static_cast<std::size_t>(i)]).ptr;
        auto len = static_cast<std::size_t>(end - part);
        std::memset(p, '0', 9 - len);
        std::memcpy(p + (9 - len), part, len);
        p += 9;
    }
    return static_cast<std::size_t>(p - out);
}

}  // namespace

// Built in fixed buffers: a value is rendered for every decimal cell listed.
std::string DecimalText(ByteView bytes, int precision, int scale) {
    if (bytes.size() < 2) return {};
    const bool negative = bytes.U8(0) == 0;

    std::uint8_t raw[16] = {};
    bytes.CopyTo(1, 16, raw);
    std::array<std::uint32_t, 4> limbs{};
    ByteView magnitude(raw, sizeof raw);
    for (std::size_t i = 0; i < 4; ++i) limbs[i] = magnitude.U32(4 * i);
    // The digits start 48 characters in, leaving room for leading zeros.
    char buffer[96];
    char* digits = buffer + 48;
    std::size_t count = MagnitudeDigits(limbs, digits);

    if (scale < 0) scale = 0;
    if (scale > kMaxDecimalDigits) scale = kMaxDecimalDigits;
    const std::size_t fraction = static_cast<std::size_t>(scale);
    // At least one digit before the point: 5 with scale 2 is 0.05.
    if (count < fraction + 1) {
        const std::size_t pad = fraction + 1 - count;
        digits -= pad;
        std::memset(digits, '0', pad);
        count += pad;
    }
    const std::size_t integerLength = count - fraction;
    std::size_t fractionLength = fraction;

    // Digits that count against the precision: a lone 0 before the point
    // is only spelling (decimal(5,5) holds 0.12345).
    const int limit = (precision >= 1 && precision <= kMaxDecimalDigits) ? precision : kMaxDecimalDigits;
    const std::size_t integerDigits = integerLength == 1 && digits[0] == '0' ? 0 : integerLength;
    if (integerDigits > static_cast<std::size_t>(limit)) return {};
    if (integerDigits + fractionLength > static_cast<std::size_t>(limit))
        fractionLength = static_cast<std::size_t>(limit) - integerDigits;

    char text[100];
    char* p = text;
    if (negative) *p++ = '-';
    std::memcpy(p, digits, integerLength);
    p += integerLength;
    if (fractionLength > 0) {
        *p++ = '.';
        std::memcpy(p, digits + integerLength, fractionLength);
        p += fractionLength;
    }
    return std::string(text, p);
}

std::string MoneyText(std::int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    // Unsigned magnitude, so the most negative money value has one too.
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(tenThousandths)
                                             : static_cast<std::uint64_t>(tenThousandths);
    char buffer[32];
    char* p = buffer;
    if (negative) *p++ = '-';
    p = std::to_chars(p, buffer + sizeof buffer, magnitude / 10000).ptr;
    *p++ = '.';
    const auto frac = static_cast<unsigned>(magnitude % 10000);
    *p++ = static_cast<char>('0' + frac / 1000);
    *p++ = static_cast<char>('0' + frac / 100 % 10);
    *p++ = static_cast<char>('0' + frac / 10 % 10);
    *p++ = static_cast<char>('0' + frac % 10);
    return std::string(buffer, p);
}

}  // namespace pw
