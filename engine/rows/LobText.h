#pragma once
// The small text conversions used when large-object fragments are shown as
// cell text: hexadecimal, 8-bit text through the "system ANSI code page",
// UTF-16LE text, and the compaction of UTF-16 text that holds only
// single-byte characters.
//
// Every function takes a bounded view and never reads past it.

#include <cstdint>
#include <optional>
#include <string>

#include "support/ByteView.h"

namespace pw {

// Every byte as two upper-case hexadecimal digits, in storage order.
std::string HexText(ByteView bytes);

// The bytes up to the first zero byte, converted from Windows code page
// `codePage` to UTF-8. Bytes the code page does not define become U+FFFD.
std::string AnsiText(ByteView bytes, std::int32_t codePage);

// The bytes as UTF-16LE text up to the first zero code unit (an odd
// trailing byte is dropped).
std::string Utf16Text(ByteView bytes);

// Number of zero bytes in the view.
std::size_t CountZeroBytes(ByteView bytes);

// Compaction of UTF-16LE text to single-byte text: bytes 0, 2, 4, ... are
// kept and a zero byte ends them. Done only when it loses nothing: every
// character before the end is below U+0080 (so its low byte is the
// character in any ANSI code page). An odd trailing byte is kept as the last
// character. Nothing when a character would be lost.
std::optional<std::string> CompactUtf16(ByteView bytes);

}  // namespace pw
