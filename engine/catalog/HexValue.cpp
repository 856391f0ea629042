#include "catalog/HexValue.h"

#include <iconv.h>

#include "catalog/CatalogNaming.h"
#include "support/Utf.h"

namespace pw {

namespace {

std::uint8_t Nibble(char c) {
    if (c >= 'A' && c <= 'F') return static_cast<std::uint8_t>(c - 'A' + 10);
    return static_cast<std::uint8_t>(static_cast<unsigned char>(c) & 0x0F);
}

// Bytes of a Windows code page as UTF-8; bytes that do not convert become U+FFFD.
std::string CodePageToUtf8(const std::vector<std::uint8_t>& bytes, int codePage) {
    std::string out;
    const std::string name = "CP" + std::to_string(codePage);
    iconv_t cd = iconv_open("UTF-8", name.c_str());
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        for (std::uint8_t b : bytes) AppendUtf8(out, b < 0x80 ? b : 0xFFFDu);
        return out;
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char in[1] = {static_cast<char>(bytes[i])};
        char buffer[8];
        char* inPtr = in;
        std::size_t inLeft = 1;
        char* outPtr = buffer;
        std::size_t outLeft = sizeof buffer;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) {
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            AppendUtf8(out, 0xFFFDu);
        } else {
            out.append(buffer, static_cast<std::size_t>(outPtr - buffer));
        }
    }
    iconv_close(cd);
    return out;
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
    return CodePageToUtf8(value.bytes, ansiCodePage);
}

}  // namespace pw
