#include "rows/DecimalText.h"

#include <array>
#include <charconv>
#include <cstring>

namespace pw {

namespace {

constexpr int kMaxDecimalDigits = 38;

// Decimal digits of a 128-bit little-endian magnitude (at most 39), most
// significant first, without leading zeros ("0" for zero).
std::string MagnitudeDigits(const std::array<std::uint32_t, 4>& limbsIn) {
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

    char buffer[64];
    char* p = buffer;
    p = std::to_chars(p, buffer + sizeof buffer, chunks[static_cast<std::size_t>(chunkCount - 1)]).ptr;
    for (int i = chunkCount - 2; i >= 0; --i) {
        char part[16];
        char* end = std::to_chars(part, part + sizeof part, chunks[static_cast<std::size_t>(i)]).ptr;
        auto len = static_cast<std::size_t>(end - part);
        std::memset(p, '0', 9 - len);
        std::memcpy(p + (9 - len), part, len);
        p += 9;
    }
    return std::string(buffer, p);
}

}  // namespace

std::string DecimalText(ByteView bytes, int precision, int scale) {
    if (bytes.size() < 2) return {};
    const bool negative = bytes.U8(0) == 0;

    std::uint8_t raw[16] = {};
    bytes.CopyTo(1, 16, raw);
    std::array<std::uint32_t, 4> limbs{};
    ByteView magnitude(raw, sizeof raw);
    for (std::size_t i = 0; i < 4; ++i) limbs[i] = magnitude.U32(4 * i);
    std::string digits = MagnitudeDigits(limbs);

    if (scale < 0) scale = 0;
    if (scale > kMaxDecimalDigits) scale = kMaxDecimalDigits;
    const std::size_t fraction = static_cast<std::size_t>(scale);
    // At least one digit before the point: 5 with scale 2 is 0.05.
    if (digits.size() < fraction + 1) digits.insert(0, fraction + 1 - digits.size(), '0');
    std::string integerPart = digits.substr(0, digits.size() - fraction);
    std::string fractionPart = digits.substr(digits.size() - fraction);

    // Digits that count against the precision: a lone 0 before the point
    // is only spelling (decimal(5,5) holds 0.12345).
    const int limit = (precision >= 1 && precision <= kMaxDecimalDigits) ? precision : kMaxDecimalDigits;
    const std::size_t integerDigits = integerPart == "0" ? 0 : integerPart.size();
    if (integerDigits > static_cast<std::size_t>(limit)) return {};
    if (integerDigits + fractionPart.size() > static_cast<std::size_t>(limit))
        fractionPart.resize(static_cast<std::size_t>(limit) - integerDigits);

    std::string text;
    text.reserve(integerPart.size() + fractionPart.size() + 2);
    if (negative) text.push_back('-');
    text += integerPart;
    if (!fractionPart.empty()) {
        text.push_back('.');
        text += fractionPart;
    }
    return text;
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
