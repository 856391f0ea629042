#pragma once
// 8-bit character data in a Windows code page, converted to UTF-8.
//
// Single-byte column values (char, varchar, text) are stored in the code page
// of their collation, named by its Windows number (1252, 1251, 932, ...). The
// conversion goes through iconv; descriptors are opened once per code page and
// kept by the converter, so one converter should live as long as a listing.
// A converter is not shared between threads.

#include <cstdint>
#include <string>
#include <vector>

#include "support/ByteView.h"

namespace pw {

// The iconv names a Windows code page may go by, most likely first: "UTF-8"
// for 65001, the ISO and other names for the pages iconv does not call CPnnn,
// then "CP" + number (CP1250..CP1258, CP874, CP932, CP936, ...), the same
// padded to three digits (CP037) and "IBM" + number (IBM273 for 20273).
std::vector<std::string> IconvNamesOfCodePage(std::int32_t codePage);

// Appends every byte as the code point of the same value (U+0000..U+00FF):
// the fallback when bytes cannot be converted.
void AppendWidenedBytes(std::string& out, ByteView bytes);

class CodePageConverter {
public:
    CodePageConverter() = default;
    ~CodePageConverter();
    CodePageConverter(const CodePageConverter&) = delete;
    CodePageConverter& operator=(const CodePageConverter&) = delete;

    // Converts all of `bytes` (zero bytes included) from the code page to UTF-8.
    // A code page iconv does not know widens every byte; a byte sequence the
    // code page does not define widens byte by byte and the conversion goes on
    // after it (Windows shows the undefined bytes of 1252, such as 0x81, the
    // same way).
    std::string ToUtf8(std::int32_t codePage, ByteView bytes);

    // True when iconv can convert from the code page.
    bool Supports(std::int32_t codePage);

private:
    struct Entry {
        std::int32_t codePage;
        void* descriptor;  // iconv_t, or nullptr when iconv does not know the page
    };
    void* DescriptorFor(std::int32_t codePage);

    std::vector<Entry> entries_;
};

}  // namespace pw
