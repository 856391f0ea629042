#pragma once
// UTF-8 (engine text) and UTF-16LE (what the files and the log file store).

#include <cstdint>
#include <string>
#include <string_view>

#include "support/ByteView.h"

namespace pw {

// Appends one code point as UTF-8; values that are not scalar values become U+FFFD.
void AppendUtf8(std::string& out, std::uint32_t codePoint);

// Decodes UTF-16LE bytes (an odd trailing byte is dropped). Unpaired
// surrogates become U+FFFD so the result is always valid UTF-8.
std::string Utf16LeToUtf8(ByteView bytes);

// Encodes UTF-8 text as UTF-16LE; malformed UTF-8 bytes become U+FFFD.
std::string Utf8ToUtf16Le(std::string_view text);

}  // namespace pw
