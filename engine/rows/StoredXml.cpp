#include "rows/StoredXml.h"

#include "rows/BinaryXmlDecoder.h"

namespace pw {

std::string ConvertXmlValue(ByteView bytes) {
    std::string text;
    DecodeBinaryXml(bytes, text);  // empty on failure
    return text;
}

std::string ConvertXmlFragments(std::vector<XmlFragment>& fragments) {
    return ConvertXmlFragments<XmlFragment>(fragments);
}

std::string ConvertXmlFragments(std::vector<std::vector<std::uint8_t>>& fragments) {
    std::uint64_t total = 0;
    for (const auto& fragment : fragments) total += fragment.size();
    const bool tooLarge = total > kMaxJoinedXmlBytes;
    std::vector<std::uint8_t> joined;
    if (!tooLarge) joined.reserve(static_cast<std::size_t>(total));
    for (auto& fragment : fragments) {
        if (!tooLarge) joined.insert(joined.end(), fragment.begin(), fragment.end());
        fragment.clear();
        fragment.shrink_to_fit();
    }
    if (tooLarge || joined.empty()) return {};
    return ConvertXmlValue(ByteView(joined.data(), joined.size()));
}

}  // namespace pw
