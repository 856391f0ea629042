#pragma once
// The record browser's view of the row decoder: the decoded rows of one page.

#include <vector>

#include "catalog/ColumnDescriptor.h"
#include "pages/PageId.h"

namespace pw {

class CCatalog;
class CDatabaseFileSet;

// One row per accepted record, each a copy of the table's column list whose
// `value` texts are the cells.
using DecodedRows = std::vector<std::vector<ColumnDescriptor>>;

class PageRowReader {
public:
    virtual ~PageRowReader() = default;
    // A listing starts: the working table is built from `columns` (a copy of
    // the opened table's descriptors) and stays until EndListing.
    virtual void BeginListing(CDatabaseFileSet& files, const CCatalog& catalog,
                              const std::vector<ColumnDescriptor>& columns) = 0;
    // The decoded rows of `page`; none for a page that cannot be read or is no data page.
    virtual DecodedRows ReadPageRows(PageId page) = 0;
    virtual void EndListing() = 0;
};

}  // namespace pw
