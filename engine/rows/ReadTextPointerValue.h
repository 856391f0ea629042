#pragma once
// Reads the value of a text, ntext or image column (and of other columns
// stored the same way) through the 16-byte text pointer kept in the row:
//
//   0   8   timestamp (kept, not used)
//   8   4   page number
//   12  2   file id
//   14  2   slot
//
// The pointed-to record on the text page is a large-object fragment (most
// often a small root or a large root) rendered by RenderLobFragment.

#include <cstdint>
#include <optional>
#include <string>

#include "rows/LobWalk.h"
#include "support/ByteView.h"

namespace pw {

constexpr std::size_t kTextPointerSize = 16;

struct TextPointer {
    std::uint64_t timestamp = 0;
    std::uint32_t page = 0;
    std::uint16_t file = 0;
    std::uint16_t slot = 0;
};

// The pointer in `bytes`; nothing when fewer than 16 bytes are given.
std::optional<TextPointer> ParseTextPointer(ByteView bytes);

// The value's text: empty when the page, the slot or the record's payload is
// missing; " " when the record was rendered and gave nothing (always so in
// collect mode, where the raw fragments go to `fragments`).
std::string ReadTextPointerValue(const TextPointer& pointer, PageSource& pages, RenderContext& context,
                                 CDatabaseFileSet* fileSet, LobValueFlags flags, LobFragmentList* fragments,
                                 bool collect);

// The same within a walk the caller keeps.
std::string ReadTextPointerValue(LobWalk& walk, const TextPointer& pointer, LobValueFlags flags);

}  // namespace pw
