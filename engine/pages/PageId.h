#pragma once
// PageId: the address of one page, (file id, page number), as lists of pages
// to visit hold it.

#include <cstdint>

namespace pw {

struct PageId {
    std::uint16_t fileId = 0;
    std::uint32_t pageNumber = 0;

    // A page id with either part 0 names no page: file id 0 is no file, and
    // page 0 of every file is its file header page, never a table's page.
    bool IsNull() const { return fileId == 0 || pageNumber == 0; }

    friend bool operator==(const PageId&, const PageId&) = default;
    friend auto operator<=>(const PageId&, const PageId&) = default;
};

}  // namespace pw
