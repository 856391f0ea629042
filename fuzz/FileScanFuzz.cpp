// A whole-file scan of a small file: the fuzzed bytes written to a temporary
// file, opened as a primary data file, its catalog loaded and every object of
// the catalog opened, then every table listed through the record browser and
// the row decoder, in standard mode and in advanced mode.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzInput.h"
#include "catalog/Catalog.h"
#include "catalog/TableListing.h"
#include "forge/TempFolder.h"
#include "pages/DatabaseFileSet.h"
#include "rows/RowDecoder.h"
#include "support/CodePage.h"
#include "workflow/FrameView.h"
#include "workflow/PageRowReader.h"
#include "workflow/RecordBrowser.h"

namespace {

// Objects and pages visited per input; a fuzzed catalog can name thousands.
constexpr std::size_t kMaxObjects = 256;
constexpr std::size_t kMaxPages = 512;

// The row decoder behind the record browser, counting the pages it reads.
class CountingRows final : public pw::PageRowReader {
public:
    explicit CountingRows(pw::RenderContext& context) : context_(context) {}
    void BeginListing(pw::CDatabaseFileSet& files, const pw::CCatalog& catalog,
                      const std::vector<pw::ColumnDescriptor>& columns) override {
        files_ = &files;
        table_ = pw::MakeWorkingTable(catalog, columns);
    }
    pw::DecodedRows ReadPageRows(pw::PageId page) override {
        if (!files_ || ++pagesRead > kMaxPages) return {};
        return pw::DecodePageRows(*files_, page.pageNumber, page.fileId, table_, context_);
    }
    void EndListing() override { files_ = nullptr; }
    std::size_t pagesRead = 0;

private:
    pw::RenderContext& context_;
    pw::CDatabaseFileSet* files_ = nullptr;
    pw::WorkingTable table_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static forge::TempFolder folder;
    const std::string path = folder.File("scan.mdf");
    if (!forge::WriteFile(path, std::string(reinterpret_cast<const char*>(data), size))) return 0;

    pw::AppState state;
    pw::NullEventSink sink;
    std::size_t seen = 0;
    {
        auto files = pw::CDatabaseFileSet::OpenFileSet(path, state, sink);
        if (files->IsOpened()) {
            pw::CCatalog catalog(state);
            catalog.LoadCatalog(*files);
            const std::vector<pw::ObjectRow> objects = catalog.objects;
            pw::CodePageConverter codePages;
            pw::RenderContext context{state, codePages};
            CountingRows rows(context);
            pw::FrameView view;
            for (const bool advanced : {false, true}) {
                pw::RecordBrowser browser(state, sink, view, rows);
                browser.SetAdvancedMode(advanced);
                for (std::size_t i = 0; i < objects.size() && i < kMaxObjects; ++i) {
                    const auto columns = catalog.OpenObject(objects[i].name, objects[i].typeCode);
                    seen += columns.size();
                    if (!catalog.isTableOpen || rows.pagesRead > kMaxPages) continue;
                    browser.ClearForSelection();
                    browser.ColumnSetup(catalog);
                    browser.ListTable(*files, catalog);
                    browser.FinishSelection(objects[i].name);
                    for (int step = 0; step < 4 && browser.HasNextPage(); ++step) browser.NextRecords(*files, catalog);
                }
            }
            seen += rows.pagesRead;
        }
    }
    fuzz::Keep(seen);
    return 0;
}
