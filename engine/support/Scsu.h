#pragma once
// Decoder for the Standard Compression Scheme for Unicode (SCSU, Unicode
// Technical Standard #6).
//
// SQL Server stores nchar(n) and nvarchar(n) values of row- and
// page-compressed tables in this scheme. Each stored value is an independent
// SCSU stream: decoding always starts from the scheme's initial state
// (single-byte mode, dynamic window 0 active, every dynamic window at its
// default position), so nothing one value does to the windows can change how
// the next value reads.
//
// The decoder is stateless between calls and reentrant. Damaged input never
// reads past the end of the view: a tag whose argument bytes are missing ends
// the value; reserved tags and window indexes are skipped.

#include <cstdint>
#include <string>

#include "support/ByteView.h"

namespace pw {

// Decodes one SCSU stream to UTF-8 (1 to 4 bytes per code point). A high
// surrogate followed by a low surrogate becomes one supplementary code point;
// an unpaired surrogate becomes U+FFFD.
std::string ScsuToUtf8(ByteView bytes);

// The same stream decoded to UTF-16LE, the form SQL Server keeps nchar and
// nvarchar values in when they are not compressed.
std::string ScsuToUtf16Le(ByteView bytes);

}  // namespace pw
