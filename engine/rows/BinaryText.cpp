#include "rows/BinaryText.h"

#include <cstring>

namespace pw {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void PutHex(char*& p, std::uint8_t byte) {
    *p++ = kHexDigits[byte >> 4];
    *p++ = kHexDigits[byte & 0x0F];
}

}  // namespace

std::string HexText(ByteView bytes, const char* prefix) {
    const std::size_t prefixLength = std::strlen(prefix);
    std::string text(prefixLength + 2 * bytes.size(), '\0');
    char* p = text.data();
    std::memcpy(p, prefix, prefixLength);
    p += prefixLength;
    for (std::size_t i = 0; i < bytes.size(); ++i) PutHex(p, bytes.data()[i]);
    return text;
}

std::string GuidText(ByteView bytes) {
    if (!bytes.Has(0, 16)) return {};
    static constexpr int kOrder[16] = {3, 2, 1, 0, 5, 4, 7, 6, 8, 9, 10, 11, 12, 13, 14, 15};
    std::string text(36, '-');
    char* p = text.data();
    for (int i = 0; i < 16; ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) ++p;  // skip the '-' already there
        PutHex(p, bytes.data()[kOrder[i]]);
    }
    return text;
}

std::string RowLocatorText(ByteView bytes) {
    if (!bytes.Has(0, 8)) return {};
    return std::to_string(bytes.U32(0)) + "/" + std::to_string(bytes.U16(4)) + "/" + std::to_string(bytes.U16(6));
}

}  // namespace pw
