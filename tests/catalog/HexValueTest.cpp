#include <gtest/gtest.h>

#include "catalog/HexValue.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(HexValue, DecodesRenderedBinaryText) {
    struct Case {
        const char* text;
        bool decoded;
        Bytes bytes;
        bool utf16;
    };
    const Case cases[] = {
        {"0x41424300", true, {0x41, 0x42, 0x43, 0x00}, true},  // a zero after the first byte: UTF-16
        {"0x414243", true, {0x41, 0x42, 0x43}, false},
        {"0x00", true, {0x00}, false},  // only the first byte is zero
        {"0x4", true, {0x40}, false},  // a missing second digit counts as 0
        {"0x", true, {}, false},
        {"x", false, {}, false},
        {"", false, {}, false},
        {"0xab", true, {0x12}, false},  // only "A" to "F" count as 10 to 15; others give their low four bits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = pw::DecodeHexValue(c.text);
        ASSERT_EQ(value.has_value(), c.decoded);
        if (!value) continue;
        EXPECT_EQ(value->bytes, c.bytes);
        EXPECT_EQ(value->utf16, c.utf16);
    }
}

TEST(HexValue, TextOfUtf16AndCodePageValues) {
    EXPECT_EQ(pw::HexValueText(*pw::DecodeHexValue("0x2800610029000000780079"), 1252), "(a)");  // up to the NUL
    EXPECT_EQ(pw::HexValueText(*pw::DecodeHexValue("0x28E929"), 1252), "(\xC3\xA9)");
}

}  // namespace
