#pragma once
// The text of one stored column value.

#include <string>

#include "catalog/ColumnDescriptor.h"
#include "rows/RenderContext.h"
#include "rows/ValueDescriptor.h"
#include "support/ByteView.h"

namespace pw {

// Renders the value whose bytes start at `bytes` (the view ends where the
// bytes available to the value end; a view without data means no value).
// Sets the descriptor's storageLength (bytes the value occupies, which the
// caller's fixed-data cursor advances by) and may change its length; a bit
// value advances the record's BitCursor. Never fails: a short value, an
// unknown kind or bad bytes give empty text.
std::string RenderValue(ValueDescriptor& vd, ByteView bytes, const ColumnDescriptor& column, RenderContext& context);

// The storage length a type text names: the number between its first "("
// and the following ")", 0 when there is none (or it is negative, as for max
// types).
std::int32_t StorageLengthOfTypeText(const std::string& typeText);

}  // namespace pw
