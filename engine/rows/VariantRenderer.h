#pragma once
// sql_variant values: a value of one of many base types behind a header.
//
// Stored layout: byte 0 the base type (a system type id), byte 1 a version
// byte, then the base type's properties and the value:
//   decimal, numeric         precision, scale, then the decimal bytes
//   time, datetime2,
//   datetimeoffset           scale, then the value
//   binary, varbinary        2-byte maximum length, then the bytes
//   char, varchar, nchar,
//   nvarchar                 2-byte maximum length, 4-byte collation, then the text
//   other types              the value right after the version byte

#include <string>

#include "catalog/ColumnDescriptor.h"
#include "rows/RenderContext.h"
#include "rows/ValueDescriptor.h"
#include "support/ByteView.h"

namespace pw {

// Renders a variant of `length` bytes (header included). Only bytes inside
// `bytes` are read; a length or base type that does not fit gives empty text.
std::string RenderVariant(std::int32_t length, ValueDescriptor& vd, ByteView bytes, const ColumnDescriptor& column,
                          RenderContext& context);

}  // namespace pw
