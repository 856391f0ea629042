#pragma once
// The record browser's page reader over the row decoder: each listing builds
// the working table from a copy of the table's descriptors and names it in
// the application state while the listing runs.

#include <memory>

#include "rows/RowDecoder.h"
#include "support/CodePage.h"
#include "workflow/PageRowReader.h"

namespace pw {

class DecoderRowReader final : public PageRowReader {
public:
    explicit DecoderRowReader(AppState& state) : state_(state) {}
    ~DecoderRowReader() override { EndListing(); }

    void BeginListing(CDatabaseFileSet& files, const CCatalog& catalog,
                      const std::vector<ColumnDescriptor>& columns) override;
    DecodedRows ReadPageRows(PageId page) override;
    std::size_t VisitPageRows(PageId page, const RowVisitor& visit) override;
    void EndListing() override;

private:
    AppState& state_;
    CodePageConverter codePages_;
    CDatabaseFileSet* files_ = nullptr;
    std::unique_ptr<WorkingTable> table_;
};

}  // namespace pw
