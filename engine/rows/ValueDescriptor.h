#pragma once
// How one stored value is to be read: built per value from its column
// descriptor just before it is rendered.

#include <cstdint>

#include "catalog/ColumnDescriptor.h"
#include "rows/BitCursor.h"
#include "rows/ValueKind.h"

namespace pw {

struct ValueDescriptor {
    BitCursor* bitCursor = nullptr;   // the record's cursor; used by bit values only
    std::int64_t available = 0;       // bytes present at the value's position
    std::uint8_t variable = 0;        // the value is variable-length
    std::uint16_t fixedLength = 0;    // bytes a fixed column takes when the record has no fixed data
    std::int32_t storageLength = 0;   // bytes the value occupies; set while rendering
    std::int16_t length = 0;          // declared length, or the actual length of a variable value
    std::int32_t kind = kKindChar;    // ValueKind
};

// The descriptor of one value of `column` read as `kind`. A bit value looks at
// the cursor: it takes a fixed byte only when the cursor has none loaded.
ValueDescriptor BuildValueDescriptor(const ColumnDescriptor& column, std::int32_t kind, BitCursor* bitCursor);

}  // namespace pw
