#include "catalog/HexValue.h"

#include "catalog/CatalogNaming.h"
#include "support/CodePage.h"

namespace pw {

namespace {

std::uint8_t Nibble(char c) {
    if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
    return static_cast<std::uint8_t>(static_cast<unsigned char>(c) & 0x0F);
}

}  // namespace

std::optional<HexValue> DecodeHexValue(std::string_view text) {
    const std::size_t n = text.size();
    if (n / 2 == 0) return std::nullopt;
    HexValue value;
    for (std::size_t i = 0; 2 * i + 2 < n; ++i) {
        const char first = text[2 * i + 2];
        const char second = 2 * i + 3 < n ? text[2 * i + 3] : '\0';
        value.bytes.push_back(static_cast<std::uint8_t>((Nibble(first) << 4) | (Nibble(second) & 0x0F)));
    }
    for (std::size_t i = 1; i < value.bytes.size(); ++i) {
        if (value.bytes[i] == 0) {
            value.utf16 = true;
            break;
        }
    }
    return value;
}

std::string HexValueText(const HexValue& value, int ansiCodePage) {
    if (value.utf16) return Utf16Name(ByteView(value.bytes.data(), value.bytes.size()));
    CodePageConverter converter;
    return converter.ToUtf8(ansiCodePage, ByteView(value.bytes.data(), value.bytes.size()));
}

}  // namespace pw
