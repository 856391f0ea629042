#pragma once
// Definition texts as the row decoder renders them: "0x" and hex digits.
// The catalog turns such a text back into bytes to show a computed column's
// definition.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pw {

struct HexValue {
    std::vector<std::uint8_t> bytes;
    bool utf16 = false;  // a byte after the first is 0: the bytes are UTF-16 text
};

// Skips the first two characters ("0x"); byte i is made from the characters
// at 2i+2 and 2i+3 (a missing second one counts as 0). "A" to "F" count 10
// to 15, every other character its low four bits. Nothing when the text is
// shorter than two characters.
std::optional<HexValue> DecodeHexValue(std::string_view text);

// The text of a decoded value: UTF-16 up to the first NUL, or the bytes read
// in the Windows code page `ansiCodePage`.
std::string HexValueText(const HexValue& value, int ansiCodePage);

}  // namespace pw
