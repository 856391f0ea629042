#pragma once
// Texts of values shown as bytes: hexadecimal, GUIDs and row locators.

#include <string>

#include "support/ByteView.h"

namespace pw {

// Every byte as two upper-case hex digits in storage order, after `prefix`.
std::string HexText(ByteView bytes, const char* prefix);

// A uniqueidentifier's 16 bytes as the usual 36-character GUID text: the
// first three groups are little-endian, the last two in storage order.
// Fewer than 16 bytes give empty text.
std::string GuidText(ByteView bytes);

// A row locator's 8 bytes: page number (32-bit), file id, slot (16-bit each)
// as "page/file/slot". Fewer than 8 bytes give empty text.
std::string RowLocatorText(ByteView bytes);

}  // namespace pw
