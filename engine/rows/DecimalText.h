#pragma once
// Exact decimal texts: decimal/numeric and money/smallmoney.

#include <cstdint>
#include <string>

#include "support/ByteView.h"

namespace pw {

// decimal and numeric: one sign byte (1 positive, 0 negative) and a
// little-endian magnitude of up to 16 bytes (4, 8, 12 or 16 by precision).
// The text has exactly `scale` fraction digits. A magnitude with more digits
// than the precision allows (damaged data) loses fraction digits from the
// right until it fits, or gives empty text when even its integer part does
// not fit. `bytes` is the whole stored value (sign byte first).
std::string DecimalText(ByteView bytes, int precision, int scale);

// money and smallmoney: a signed count of ten-thousandths, four fraction digits.
std::string MoneyText(std::int64_t tenThousandths);

}  // namespace pw
