#include "catalog/CatalogNaming.h"

#include <cstdio>

#include "support/Utf.h"

namespace pw {

std::string Utf16Name(ByteView bytes) {
    std::size_t length = 0;
    while (length + 1 < bytes.size() && bytes.U16(length) != 0) length += 2;
    return Utf16LeToUtf8(bytes.Sub(0, length));
}

std::string NameOrRepair(const SystemRecord& record, const char* prefix, std::uint64_t& counter) {
    std::string name;
    if (!record.vars.empty() && !record.Var(0).empty()) name = Utf16Name(record.Var(0));
    if (name.empty()) {
        name = std::string(prefix) + std::to_string(counter);
        ++counter;
    }
    return name;
}

// The identity value of a column is stored in var 1 as seed and increment.
// Its width follows the column's type, so the length decides how it is read:
//   L >= 24, first bigint with high dword 0 and low dword not 0:
//                         seed = bigint at 16, increment = bigint at 8
//   L >= 24 otherwise, or 12 <= L < 24:
//                         seed = uint32 at 8,  increment = uint32 at 4
//   6 <= L < 12:          seed = uint16 at 4,  increment = uint16 at 2
//   L < 6:                seed = 1,            increment = 1
// A seed of 0 is shown as 1.
std::string IdentityText(ByteView d) {
    const std::size_t length = d.size();
    std::uint64_t seed = 1;
    std::uint64_t increment = 1;
    if (length >= 24 && d.U32(4) == 0 && d.U32(0) != 0) {
        seed = d.U64(16);
        increment = d.U64(8);
    } else if (length >= 12) {
        seed = d.U32(8);
        increment = d.U32(4);
    } else if (length >= 6) {
        seed = d.U16(4);
        increment = d.U16(2);
    }
    if (seed == 0) seed = 1;
    char text[64];
    std::snprintf(text, sizeof text, "identity(%lld,%lld)", static_cast<long long>(seed),
                  static_cast<long long>(increment));
    return text;
}

}  // namespace pw
