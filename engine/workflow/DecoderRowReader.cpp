#include "workflow/DecoderRowReader.h"

#include "catalog/Catalog.h"
#include "catalog/TableListing.h"
#include "rows/RenderContext.h"

namespace pw {

void DecoderRowReader::BeginListing(CDatabaseFileSet& files, const CCatalog& catalog,
                                    const std::vector<ColumnDescriptor>& columns) {
    EndListing();
    files_ = &files;
    // The member choice and the table's own allocation units come from the
    // object the catalog opened last: the table listed.
    table_ = std::make_unique<WorkingTable>(MakeWorkingTable(catalog, columns));
    state_.m_pRowReader.store(table_.get());
}

DecodedRows DecoderRowReader::ReadPageRows(PageId page) {
    if (files_ == nullptr || !table_) return {};
    RenderContext context{state_, codePages_};
    return DecodePageRows(*files_, page.pageNumber, page.fileId, *table_, context);
}

std::size_t DecoderRowReader::VisitPageRows(PageId page, const RowVisitor& visit) {
    if (files_ == nullptr || !table_) return 0;
    RenderContext context{state_, codePages_};
    return pw::VisitPageRows(*files_, page.pageNumber, page.fileId, *table_, context, visit);
}

void DecoderRowReader::EndListing() {
    if (table_) state_.m_pRowReader.store(nullptr);
    table_.reset();
    files_ = nullptr;
}

}  // namespace pw
