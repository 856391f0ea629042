#include "rows/Utf16Compaction.h"

namespace pw {

std::size_t CountZeroBytes(ByteView bytes) {
    std::size_t zeros = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (bytes.data()[i] == 0) ++zeros;
    return zeros;
}

std::optional<std::string> CompactUtf16(ByteView bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const std::uint8_t low = bytes.data()[i];
        const bool hasHigh = i + 1 < bytes.size();
        const std::uint8_t high = hasHigh ? bytes.data()[i + 1] : 0;
        if (low == 0 && high == 0) break;
        if (low >= 0x80 || high != 0) return std::nullopt;
        out.push_back(static_cast<char>(low));
    }
    return out;
}

}  // namespace pw
