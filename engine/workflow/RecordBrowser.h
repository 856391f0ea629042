#pragma once
// The record browser's listing logic, without any window.
//
// A table's data pages are found in one of three ways:
//   page chain   the first data page and the next-page pointers of the pages
//   IAM chain    the pages the table's IAM pages allocate (single pages, then
//                extents); SQL Server 2000: the scan's IAM pages of the object
//   scan pages   the pages the scan filed under the table (Advanced mode)
// and listed in screen pages of at most 1000 decoded records. A screen page
// starts at a position (page index, record index within the page's decoded
// records); the positions where screen pages 1, 2, ... start are kept as
// marks, so paging re-reads pages from a remembered position instead of
// keeping decoded rows. A row whose cells are all empty (or NULL, as each
// listing counts them) is not shown.
//
// The front end drives it (GUI panel, command-line tool, tests) and sees the
// results through FrameView and EventSink; the row decoder is reached through
// PageRowReader. One listing runs at a time.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "catalog/ColumnDescriptor.h"
#include "pages/PageId.h"

namespace pw {

struct AppState;
class CCatalog;
class CDatabaseFileSet;
class EventSink;
class FrameView;
class PageRowReader;

inline constexpr std::int64_t kScreenPageRecords = 1000;

struct BrowsePosition {
    std::int64_t page = 0;    // index into the page list
    std::int64_t record = 0;  // index into that page's decoded records
    friend bool operator==(const BrowsePosition&, const BrowsePosition&) = default;
};

enum class BrowseSource { kNone, kPageChain, kIamChain, kScanPages };

class RecordBrowser {
public:
    RecordBrowser(AppState& state, EventSink& sink, FrameView& view, PageRowReader& rows)
        : state_(state), sink_(sink), view_(view), rows_(rows) {}

    // Set by the scan: list every table from the scan's pages.
    void SetAdvancedMode(bool advanced) { advancedMode_ = advanced; }
    bool AdvancedMode() const { return advancedMode_; }
    // Off for exports: every decoded record becomes a row, even one without content.
    void SetHideEmptyRows(bool hide) { hideEmptyRows_ = hide; }
    // Off for exports: the first screen page, too, reads large values in
    // full instead of showing placeholders.
    void SetFirstPagePlaceholders(bool on) { firstPagePlaceholders_ = on; }

    // ---- clearing ---------------------------------------------------------------
    // Before another object is loaded: the grid's rows and the columns of the
    // table shown before, the text box; screen page 0; the page list and marks.
    void ClearForSelection();
    // Before a new scan: as above.
    void ClearForScan() { ClearForSelection(); }

    // ---- a table ------------------------------------------------------------------
    // The grid's columns for the catalog's opened table.
    void ColumnSetup(const CCatalog& catalog);
    // Lists the first screen page of the catalog's opened table; true when a
    // record was listed.
    bool ListTable(CDatabaseFileSet& files, const CCatalog& catalog);
    // After every selection of a named item: buttons, page label, caption and
    // log lines; screen page becomes 1.
    void FinishSelection(const std::string& itemText);
    // The screen page after / before the one shown.
    void NextRecords(CDatabaseFileSet& files, const CCatalog& catalog);
    void PreviousRecords(CDatabaseFileSet& files, const CCatalog& catalog);

    // ---- state ----------------------------------------------------------------------
    const std::vector<PageId>& BrowsePages() const { return browsePages_; }
    const std::vector<BrowsePosition>& PageMarks() const { return pageMarks_; }
    std::int32_t ScreenPage() const { return screenPage_; }
    std::int64_t RowsFrom() const { return rowsFrom_; }
    std::int64_t RowsTo() const { return rowsTo_; }
    std::int32_t GridRows() const { return gridRow_; }
    std::int32_t GridColumns() const { return gridColumns_; }
    // The source the first screen page was finally listed from.
    BrowseSource Source() const { return source_; }
    // Records decoded but not shown on the screen page last listed (no content).
    std::int64_t HiddenRows() const { return hiddenRows_; }
    // Whether a further screen page is known.
    bool HasNextPage() const { return pageMarks_.size() > static_cast<std::size_t>(screenPage_); }

private:
    struct Rules {
        bool nullCountsEmpty = false;  // a later cell reading "NULL" counts as empty
        bool counterToFile = false;    // " row %d inserted" also goes to the log file
        bool progressByPage = false;   // the progress position follows the pages
    };
    struct Result {
        std::int64_t listed = 0;
        bool filled = false;
        BrowsePosition next;
    };

    bool ListByAllocationUnit(CDatabaseFileSet& files, const CCatalog& catalog);
    bool ListSql2000(CDatabaseFileSet& files, const CCatalog& catalog);
    bool ListPageChain(CDatabaseFileSet& files, const CCatalog& catalog, PageId start);
    bool ListIamPages(CDatabaseFileSet& files, const CCatalog& catalog, std::vector<PageId> pages);
    bool ListScanPages(CDatabaseFileSet& files, const CCatalog& catalog);
    // Lists the first screen page from the page list, keeps the marks and
    // writes the closing text of the listing.
    bool ListFirstScreenPage(CDatabaseFileSet& files, const CCatalog& catalog, const Rules& rules,
                             bool countGridRows);
    Result ListScreenPage(CDatabaseFileSet& files, const CCatalog& catalog, BrowsePosition start,
                          const Rules& rules);
    bool HasNoContent(const std::vector<ColumnDescriptor>& row, bool nullCountsEmpty) const;
    void ShowPagingTexts(std::int64_t listed);
    void SetRowCounter(std::int32_t row);
    void EndPagingStep();

    AppState& state_;
    EventSink& sink_;
    FrameView& view_;
    PageRowReader& rows_;
    bool advancedMode_ = false;
    bool hideEmptyRows_ = true;
    bool firstPagePlaceholders_ = true;

    std::vector<PageId> browsePages_;
    std::vector<BrowsePosition> pageMarks_;
    std::int32_t screenPage_ = 0;
    std::int64_t rowsFrom_ = 0, rowsTo_ = 0;
    std::int32_t gridRow_ = 0;
    std::int32_t gridColumns_ = 0;
    BrowseSource source_ = BrowseSource::kNone;
    std::int64_t hiddenRows_ = 0;
    std::int64_t progressHigh_ = 0;
    // The shown cells of a row: the first shown column, then every later one
    // stored in the row.
    std::vector<ColumnDescriptor> columns_;
    std::size_t firstRowColumn_ = 0;
    std::vector<std::size_t> shownCells_;
    std::string counter_;  // the row counter text, reused for every row
};

}  // namespace pw
