#pragma once
// The mapping pass: every page header of a file read once, in order, and the
// page filed under the object id it carries.

#include <cstdint>
#include <map>

#include "pages/PageRef.h"
#include "pages/ReadOnlyFile.h"
#include "support/AppState.h"
#include "support/EventSink.h"

namespace pw {

// The three page maps of a database.
//   SystemPageMap: pages of the system objects, found by object id alone
//   DataPageMap:   data pages (type 1) of every object
//   IamPageMap:    IAM pages (type 10) of every object, primary file only
struct PageMaps {
    PageMap SystemPageMap;
    PageMap DataPageMap;
    PageMap IamPageMap;

    // Appends every list of `other` behind the lists of this map set.
    void Append(const PageMaps& other);
};

struct PrimaryMapResult {
    // Entries made in SystemPageMap; none means the file holds no database.
    std::uint64_t systemEntries = 0;
    // How many pages carry each header file id (0 for pages never written);
    // tells a primary file (id 1) from a secondary file opened alone.
    std::map<std::uint16_t, std::uint64_t> headerFileIds;
    // Header of the page at position 0 (a file header page is type 15).
    std::int32_t firstPageType = 0;
    std::uint16_t firstPageFileId = 0;
};

// Maps positions 0 to wholePageCount (inclusive: the last one is the trailing
// partial page, or a zero page at the end of the file) of the primary file.
// SystemPageMap and DataPageMap are emptied first.
PrimaryMapResult MapPrimaryFilePages(const ReadOnlyFile& file, std::uint64_t dataStartOffset,
                                     std::uint64_t wholePageCount, PageMaps& maps, AppState& state,
                                     EventSink& sink);

// Maps the pages of one secondary file into `maps`. For a listed file
// (`listedFileId` above 0) its entries carry the listed id; otherwise they
// carry the header's file id. Returns the first header file id above 1 found
// on a data page (the file's own id when it was found by the folder search),
// or 0 when there is none.
std::uint16_t MapSecondaryFilePages(const ReadOnlyFile& file, std::uint64_t dataStartOffset,
                                    std::uint64_t wholePageCount, std::uint16_t listedFileId,
                                    PageMaps& maps, AppState& state, EventSink& sink);

}  // namespace pw
