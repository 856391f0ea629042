#pragma once
// Reads consecutive 8192-byte pages of a file from a starting offset.
//
// The page passes over a whole file look at every page once, in order. Rather
// than one system call per page, the reader fetches large blocks and hands out
// one page at a time from them. What each page looks like is exactly what a
// single 8192-byte read at its offset would give: the file's bytes, and zeros
// where the file ends (a trailing partial page, or nothing at all).

#include <cstddef>
#include <cstdint>
#include <memory>

#include "pages/ReadOnlyFile.h"
#include "support/ByteView.h"

namespace pw {

class SequentialPageReader {
public:
    static constexpr std::size_t kDefaultBlockBytes = std::size_t{1} << 20;

    // `blockBytes` is rounded down to whole pages (at least one page). The
    // first blocks are smaller and grow up to it, so a pass that stops after
    // a few pages does not read a whole block for nothing.
    SequentialPageReader(const ReadOnlyFile& file, std::uint64_t startOffset,
                         std::size_t blockBytes = kDefaultBlockBytes);

    // False when the block buffer could not be allocated.
    bool Ready() const { return buffer_ != nullptr; }

    // The next page (always kPageSize bytes while Ready()).
    ByteView Next();

private:
    void Fill();

    const ReadOnlyFile& file_;
    std::uint64_t nextBlockOffset_;
    std::size_t blockBytes_;
    std::size_t nextFillBytes_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t pagesInBlock_ = 0;
    std::size_t pageIndex_ = 0;
};

}  // namespace pw
