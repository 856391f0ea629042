#pragma once
// Compaction of UTF-16LE text that holds only single-byte characters.
//
// Large-object fragments of unicode columns are often plain ASCII stored as
// UTF-16, every second byte zero. Such a fragment is shown as its low bytes.
// The compaction is done only where it loses nothing; other text is shown as
// UTF-16.

#include <cstddef>
#include <optional>
#include <string>

#include "support/ByteView.h"

namespace pw {

// Number of zero bytes in the view.
std::size_t CountZeroBytes(ByteView bytes);

// Bytes 0, 2, 4, ... of `bytes`, ended by a zero character. Done only when
// every character before the end is below U+0080 (its low byte is then the
// same character in any ANSI code page); an odd trailing byte is kept as the
// last character. Nothing when a character would be lost.
std::optional<std::string> CompactUtf16(ByteView bytes);

}  // namespace pw
