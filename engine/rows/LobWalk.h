#pragma once
// The state of reading one out-of-row value: where pages come from, whether
// the value is rendered or collected, and the guards that keep a damaged
// large-object tree from running away.
//
// Guards:
// - Every fragment record (file id, page number, slot) is read at most once
//   per value. A link or internal node that leads back to a record already
//   read means the tree loops: the whole walk ends there, keeping what was
//   assembled so far.
// - A value is assembled up to `byteLimit` bytes (2 GiB, the largest value
//   SQL Server stores); the fragment that would pass the limit ends the walk.
// - Internal nodes nest at most kMaxLobDepth levels deep.
// - The stop request ends the walk at the next link.

#include <cstdint>
#include <set>
#include <string>
#include <tuple>

#include "pages/PageSource.h"
#include "rows/LobFragmentList.h"
#include "rows/RenderContext.h"
#include "support/ByteView.h"

namespace pw {

class CDatabaseFileSet;

constexpr std::uint64_t kMaxLobValueBytes = std::uint64_t{1} << 31;
// Far deeper than any real large-object tree (a handful of levels).
constexpr int kMaxLobDepth = 32;

// The three per-value flags the row decoder sets before each variable column.
struct LobValueFlags {
    bool binaryValue = false;
    bool variantValue = false;
    bool unicodeValue = false;
};

class LobWalk {
public:
    LobWalk(PageSource& pages, RenderContext& context, CDatabaseFileSet* fileSet, LobFragmentList* fragments,
            bool collect, bool unicodeValue, std::uint64_t byteLimit = kMaxLobValueBytes)
        : pages_(pages), context_(context), fileSet_(fileSet), fragments_(fragments), collect_(collect),
          unicodeValue_(unicodeValue), byteLimit_(byteLimit) {}

    PageSource& Pages() const { return pages_; }
    const AppState& State() const { return context_.app; }
    RenderContext& Context() const { return context_; }
    CDatabaseFileSet* FileSet() const { return fileSet_; }
    bool Collecting() const { return collect_; }
    bool UnicodeValue() const { return unicodeValue_; }

    // True once the walk has ended (loop, limit, stop request).
    bool Ended() const;
    // Why the walk ended early, for tests and diagnostics.
    bool LoopFound() const { return loopFound_; }
    bool LimitReached() const { return limitReached_; }

    // Marks a fragment record as read. False, and the walk ends, when it was
    // read before on this value.
    bool Visit(std::uint16_t fileId, std::int64_t pageNumber, std::size_t slot);

    // Counts `bytes` of rendered text of one data fragment towards the
    // value; false (the walk ends, the text is dropped) when they would pass
    // the byte limit.
    bool Admit(std::size_t bytes);
    // Appends a collected fragment to the list (when there is one); false
    // when it would pass the byte limit.
    bool Collect(ByteView bytes);

    // Nesting of internal nodes and roots below the value's first fragment.
    int depth = 0;
    std::uint64_t AssembledBytes() const { return assembled_; }

private:
    PageSource& pages_;
    RenderContext& context_;
    CDatabaseFileSet* fileSet_;
    LobFragmentList* fragments_;
    bool collect_;
    bool unicodeValue_;
    std::uint64_t byteLimit_;
    std::uint64_t assembled_ = 0;
    bool loopFound_ = false;
    bool limitReached_ = false;
    std::set<std::tuple<std::uint16_t, std::int64_t, std::size_t>> visited_;
};

}  // namespace pw
