#pragma once
// The record browser's view of the row decoder: the decoded rows of one page.

#include <cstddef>
#include <functional>
#include <vector>

#include "catalog/ColumnDescriptor.h"
#include "pages/PageId.h"

namespace pw {

class CCatalog;
class CDatabaseFileSet;

// One row per accepted record, each a copy of the table's column list whose
// `value` texts are the cells.
using DecodedRows = std::vector<std::vector<ColumnDescriptor>>;  // the row decoder's RowSet

class PageRowReader {
public:
    virtual ~PageRowReader() = default;
    // A listing starts: the working table is built from `columns` (a copy of
    // the opened table's descriptors) and stays until EndListing.
    virtual void BeginListing(CDatabaseFileSet& files, const CCatalog& catalog,
                              const std::vector<ColumnDescriptor>& columns) = 0;
    // The decoded rows of `page`; none for a page that cannot be read or is no data page.
    virtual DecodedRows ReadPageRows(PageId page) = 0;
    // The same rows shown to `visit` one at a time, in the same order, without
    // copying them (a row is valid only during its call); returns how many.
    using RowVisitor = std::function<void(const std::vector<ColumnDescriptor>& row)>;
    virtual std::size_t VisitPageRows(PageId page, const RowVisitor& visit) {
        const DecodedRows rows = ReadPageRows(page);
        for (const std::vector<ColumnDescriptor>& row : rows) visit(row);
        return rows.size();
    }
    virtual void EndListing() = 0;
};

}  // namespace pw
