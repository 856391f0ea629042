#pragma once
// Where record pages fetch other pages from.
//
// A forwarding stub points at the page that now holds its row; following it
// needs a page reader. The data file set implements this interface; tests
// hand in a small in-memory one. A null source means "no other page can be
// read" and every stub stays unfollowed.

#include <cstdint>
#include <optional>

#include "pages/Page.h"

namespace pw {

class PageSource {
public:
    virtual ~PageSource() = default;
    // The image of page `pageNumber` of file `fileId`, or nothing when that
    // page lies outside the files or cannot be read.
    virtual std::optional<PageImage> FetchPage(std::uint16_t fileId, std::int64_t pageNumber) = 0;
};

}  // namespace pw
