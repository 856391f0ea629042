#include "RowReaderFactory.h"

namespace app {

namespace {

// Until the row decoder is part of the engine the browser lists no rows:
// every page reads as a page without records.
class PendingDecoderRowReader final : public pw::PageRowReader {
public:
    void BeginListing(pw::CDatabaseFileSet&, const pw::CCatalog&, const std::vector<pw::ColumnDescriptor>&) override {}
    pw::DecodedRows ReadPageRows(pw::PageId) override { return {}; }
    void EndListing() override {}
};

}  // namespace

std::unique_ptr<pw::PageRowReader> MakePageRowReader(pw::AppState&) {
    return std::make_unique<PendingDecoderRowReader>();
}

void ConfigureWorkflow(pw::RecoveryFrame&, pw::AppState&) {}

}  // namespace app
