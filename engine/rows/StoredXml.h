#pragma once
// Stored xml values as document text.
//
// SQL Server keeps an xml column value in its binary xml form, not as text.
// These are the two entry points through which the value renderer and the
// row decoder turn such a value into the document text:
//   - ConvertXmlValue for a value held in the row (the caller shows an empty
//     result as " ");
//   - ConvertXmlFragments for a value the large-object reader collected as
//     fragments: they are joined in list order and decoded as one value (an
//     empty result stays empty).
// Both return UTF-8 text, empty when the bytes are not a complete, valid
// binary xml stream (see rows/BinaryXmlDecoder.h).

#include <cstdint>
#include <string>
#include <vector>

#include "support/ByteView.h"

namespace pw {

// One collected piece of a value: its 32-bit length and its bytes.
struct XmlFragment {
    std::int32_t length = 0;
    std::vector<std::uint8_t> bytes;
};

// A joined value larger than this is not decoded (no value is assembled
// beyond 2 GiB).
constexpr std::uint64_t kMaxJoinedXmlBytes = std::uint64_t{2} * 1024 * 1024 * 1024;

std::string ConvertXmlValue(ByteView bytes);

// Joins the fragments in list order and converts the result. Each entry's
// bytes are released and the entry emptied (length 0) as it is taken, so the
// list holds nothing afterwards; the entries themselves stay in the list.
std::string ConvertXmlFragments(std::vector<XmlFragment>& fragments);
std::string ConvertXmlFragments(std::vector<std::vector<std::uint8_t>>& fragments);

namespace detail {

// The part of a fragment that counts: its stated length, within its bytes.
inline std::size_t UsedFragmentBytes(std::int64_t length, std::size_t available) {
    if (length <= 0) return 0;
    return static_cast<std::uint64_t>(length) < available ? static_cast<std::size_t>(length) : available;
}

}  // namespace detail

// The same for any other fragment list whose entries carry `length` and
// `bytes` (such as the large-object reader's own fragment list).
template <typename Fragment>
    requires requires(Fragment& fragment) {
        fragment.length;
        fragment.bytes.data();
        fragment.bytes.clear();
    }
std::string ConvertXmlFragments(std::vector<Fragment>& fragments) {
    std::uint64_t total = 0;
    for (const Fragment& fragment : fragments)
        total += detail::UsedFragmentBytes(static_cast<std::int64_t>(fragment.length), fragment.bytes.size());
    const bool tooLarge = total > kMaxJoinedXmlBytes;
    std::vector<std::uint8_t> joined;
    if (!tooLarge) joined.reserve(static_cast<std::size_t>(total));
    for (Fragment& fragment : fragments) {
        const std::size_t used =
            detail::UsedFragmentBytes(static_cast<std::int64_t>(fragment.length), fragment.bytes.size());
        if (!tooLarge) {
            const auto* begin = reinterpret_cast<const std::uint8_t*>(fragment.bytes.data());
            joined.insert(joined.end(), begin, begin + used);
        }
        fragment.bytes.clear();
        fragment.bytes.shrink_to_fit();
        fragment.length = 0;
    }
    if (tooLarge || joined.empty()) return {};
    return ConvertXmlValue(ByteView(joined.data(), joined.size()));
}

}  // namespace pw
