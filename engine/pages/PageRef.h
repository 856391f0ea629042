#pragma once
// The page maps: every page of the data files filed under the object id in its header.
//
// A scan never trusts allocation pages or catalog pointers to find pages; it
// reads every page header once and remembers where each object's pages lie.
// An entry is kept as small as it can be (10 bytes) because a large file
// yields one entry per page.

#include <cstdint>
#include <map>
#include <vector>

namespace pw {

#pragma pack(push, 1)
struct PageRef {
    // Position of the page counted from the file's data start; in an
    // undamaged file this equals the page number.
    std::uint32_t position = 0;
    // The file id the entry belongs to (the header's, or the listed file's).
    std::uint16_t fileId = 0;
    // The header's page type (1 data, 10 IAM, ...).
    std::int32_t pageType = 0;

    friend bool operator==(const PageRef&, const PageRef&) = default;
};
#pragma pack(pop)
static_assert(sizeof(PageRef) == 10, "page map entries are packed to 10 bytes");

// Object id (the header's 32-bit objectId as stored) -> the pages carrying it,
// in the order they were read: primary file first, then the secondary files in
// the order they were found, each file in ascending position.
using PageMap = std::map<std::int32_t, std::vector<PageRef>>;

// Objects whose pages in a secondary file go into the system page map: the
// system base tables the catalog reads.
bool IsSecondarySystemObject(std::int32_t objectId);

}  // namespace pw
