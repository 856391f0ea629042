#pragma once
// The raw fragments of one out-of-row value, gathered in reading order when a
// value is collected instead of rendered (stored xml is decoded from the
// joined bytes, not from text).

#include <cstdint>
#include <vector>

namespace pw {

struct LobFragment {
    std::int32_t length = 0;
    std::vector<std::uint8_t> bytes;
};

using LobFragmentList = std::vector<LobFragment>;

// The fragments one after another, in list order.
inline std::vector<std::uint8_t> JoinLobFragments(const LobFragmentList& fragments) {
    std::vector<std::uint8_t> joined;
    std::size_t total = 0;
    for (const LobFragment& fragment : fragments) total += fragment.bytes.size();
    joined.reserve(total);
    for (const LobFragment& fragment : fragments) joined.insert(joined.end(), fragment.bytes.begin(), fragment.bytes.end());
    return joined;
}

}  // namespace pw
