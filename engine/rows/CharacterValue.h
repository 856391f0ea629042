#pragma once
// Character values: 8-bit text in a collation's code page and UTF-16LE text,
// both converted to UTF-8 and both ending at the first zero (byte or code
// unit). Trailing spaces of fixed-length values are kept.

#include <cstdint>
#include <string>

#include "catalog/ColumnDescriptor.h"
#include "rows/RenderContext.h"
#include "support/ByteView.h"

namespace pw {

// The code page of a collation id: the open database's own code page when the
// id is its collation, else the collation table's entry, else the system ANSI
// code page.
std::int32_t CodePageOfCollation(const AppState& app, std::int64_t collationId);

// The code page a char, varchar or text value of `column` is read in. Only
// while a listing runs is the column's collation honoured; otherwise (paging,
// or a column without collation) the system ANSI code page applies.
std::int32_t CodePageOfColumn(const AppState& app, const ColumnDescriptor& column);

// Bytes up to the first zero byte, converted from `codePage`.
std::string EightBitText(RenderContext& context, std::int32_t codePage, ByteView bytes);

// UTF-16LE bytes up to the first zero code unit (an odd last byte is dropped).
std::string Utf16Text(ByteView bytes);

// The text of a char, varchar or text value of `column`.
std::string ConvertCharacterValue(RenderContext& context, ByteView bytes, const ColumnDescriptor& column);

// ntext and sql_variant bytes whose encoding is not known: UTF-16LE when
// exactly half of the bytes (rounded down) are zero, else 8-bit text in the
// system ANSI code page.
std::string ZeroByteTestText(RenderContext& context, ByteView bytes);

}  // namespace pw
