#include "workflow/RecordBrowser.h"

#include <charconv>
#include <optional>

#include "catalog/Catalog.h"
#include "pages/DatabaseFileSet.h"
#include "pages/IamChain.h"
#include "pages/PageHeader.h"
#include "support/AppState.h"
#include "support/EventSink.h"
#include "workflow/FrameView.h"
#include "workflow/PageChain.h"
#include "workflow/PageRowReader.h"

namespace pw {

namespace {

std::string RowsToText(std::int64_t from, std::int64_t to) {
    return std::to_string(from) + " rows to " + std::to_string(to);
}

std::string PageLabel(std::int32_t screenPage, std::int64_t count, std::int64_t first, std::int64_t last) {
    return "Page" + std::to_string(screenPage) + " - [" + std::to_string(count) + "](" + std::to_string(first) + "-" +
           std::to_string(last) + ") Records";
}

PageId ToPageId(const PagePointer& pointer) { return PageId{pointer.file, pointer.page}; }

bool IsEmptyCell(const std::string& value, bool nullCountsEmpty) {
    return value.empty() || (nullCountsEmpty && value == "NULL");
}

}  // namespace

void RecordBrowser::ClearForSelection() {
    view_.DeleteAllRows();
    view_.DeleteColumns(gridColumns_);
    view_.SetText("");
    view_.SetPageLabel("");
    gridColumns_ = 0;
    gridRow_ = 0;
    screenPage_ = 0;
    rowsFrom_ = rowsTo_ = 0;
    hiddenRows_ = 0;
    // Paging works on the table listed last; once another item is selected
    // there is none, so Next and Previous find no marks.
    browsePages_.clear();
    pageMarks_.clear();
    source_ = BrowseSource::kNone;
}

void RecordBrowser::ColumnSetup(const CCatalog& catalog) {
    view_.DeleteAllRows();
    gridColumns_ = static_cast<std::int32_t>(catalog.descriptors.size());
    std::int32_t position = 0;
    for (const ColumnDescriptor& d : catalog.descriptors) {
        // The SQL Server 2000 layout shows computed columns too (without cells).
        if (!state_.m_bIsSql2000 && d.ordinal == kNotStoredOrdinal) continue;
        view_.InsertColumn(position++, d.name);
    }
}

bool RecordBrowser::ListTable(CDatabaseFileSet& files, const CCatalog& catalog) {
    view_.ShowGrid(true);
    view_.EnablePrevious(false);
    view_.EnableNext(false);
    state_.m_bListing = firstPagePlaceholders_;

    columns_ = catalog.descriptors;
    firstRowColumn_ = catalog.firstRowColumn;
    shownCells_.clear();
    if (firstRowColumn_ < columns_.size()) {
        shownCells_.push_back(firstRowColumn_);
        for (std::size_t i = firstRowColumn_ + 1; i < columns_.size(); ++i)
            if (columns_[i].ordinal != kNotStoredOrdinal) shownCells_.push_back(i);
    }
    browsePages_.clear();
    pageMarks_.clear();
    rowsFrom_ = rowsTo_ = 0;
    source_ = BrowseSource::kNone;

    progressHigh_ = static_cast<std::int64_t>(catalog.dataPages.size());
    sink_.ProgressPosition(0);
    sink_.ProgressRange(0, progressHigh_);
    bool listed = false;
    if (advancedMode_)
        listed = ListScanPages(files, catalog);
    else if (!state_.m_bIsSql2000)
        listed = ListByAllocationUnit(files, catalog);
    else
        listed = ListSql2000(files, catalog);

    state_.m_bStopRequested = false;
    state_.m_bListing = false;
    return listed;
}

// Standard mode, SQL Server 2005 and later: the table's in-row allocation
// unit names its first page F and its first IAM page I. A clustered table's
// rows lie in the leaf level of its index, whose pages are chained in key
// order: the chain from F is preferred when F is the first leaf page (a data
// page without a previous page). A heap has no chain worth following, so its
// IAM pages come first. Each source that lists nothing hands over to the
// other one.
bool RecordBrowser::ListByAllocationUnit(CDatabaseFileSet& files, const CCatalog& catalog) {
    const PageId first = ToPageId(catalog.inRowAllocUnit.firstPage);
    const PageId firstIam = ToPageId(catalog.inRowAllocUnit.firstIamPage);
    if (static_cast<std::int32_t>(firstIam.pageNumber) <= 0) return ListScanPages(files, catalog);
    const auto inside = [&files](PageId page) { return files.IsInsideFile(page.fileId, page.pageNumber); };

    if (catalog.chosenRowset.minorId != 0) {
        if (inside(first)) {
            const std::optional<CPage_Header> header = files.ReadPageHeaderOnly(first.fileId, first.pageNumber);
            if (header && header->pageType == kDataPage && header->prevPage.page == 0 &&
                ListPageChain(files, catalog, first))
                return true;
        }
        if (state_.StopRequested() || !inside(firstIam)) return false;
        return ListIamPages(files, catalog, CollectIamChainPages(files, firstIam));
    }
    if (inside(firstIam)) {
        if (ListIamPages(files, catalog, CollectIamChainPages(files, firstIam))) return true;
        if (state_.StopRequested() || !inside(first)) return false;
        return ListPageChain(files, catalog, first);
    }
    return ListPageChain(files, catalog, first);
}

// Standard mode, SQL Server 2000 layout: the first page sysindexes gives for
// the table, else the IAM pages the scan filed under the table's object id.
bool RecordBrowser::ListSql2000(CDatabaseFileSet& files, const CCatalog& catalog) {
    const std::int32_t objectId = catalog.currentObject.id;
    const auto index = catalog.indexes2000.find(objectId);
    if (index != catalog.indexes2000.end() && index->second.firstPage > 0) {
        const std::uint16_t file = index->second.fileId != 0 ? index->second.fileId : std::uint16_t{1};
        return ListPageChain(files, catalog, PageId{file, static_cast<std::uint32_t>(index->second.firstPage)});
    }
    const auto iam = files.IamPageMap().find(objectId);
    if (iam == files.IamPageMap().end() || iam->second.empty()) return false;
    const PageRef& head = iam->second.front();
    if (!files.IsInsideFile(head.fileId, head.position)) return false;
    return ListIamPages(files, catalog, CollectIamListPages(files, iam->second));
}

bool RecordBrowser::ListPageChain(CDatabaseFileSet& files, const CCatalog& catalog, PageId start) {
    source_ = BrowseSource::kPageChain;
    browsePages_ = CollectPageChain(files, start);
    const bool sql2000 = state_.m_bIsSql2000;
    if (!sql2000) {
        // A stop during this walk ends the walk only: the pages found are listed.
        state_.m_bStopRequested = false;
        return ListFirstScreenPage(files, catalog, Rules{true, true, false}, /*countGridRows=*/true);
    }
    return ListFirstScreenPage(files, catalog, Rules{false, false, false}, /*countGridRows=*/false);
}

bool RecordBrowser::ListIamPages(CDatabaseFileSet& files, const CCatalog& catalog, std::vector<PageId> pages) {
    source_ = BrowseSource::kIamChain;
    browsePages_ = std::move(pages);
    return ListFirstScreenPage(files, catalog, Rules{false, false, true}, /*countGridRows=*/false);
}

bool RecordBrowser::ListScanPages(CDatabaseFileSet& files, const CCatalog& catalog) {
    source_ = BrowseSource::kScanPages;
    browsePages_.clear();
    for (const DataPageAddress& page : catalog.dataPages) {
        const PageId id{page.fileId, page.pageNumber};
        if (!id.IsNull()) browsePages_.push_back(id);
    }
    progressHigh_ = static_cast<std::int64_t>(browsePages_.size());
    sink_.ProgressPosition(0);
    sink_.ProgressRange(0, progressHigh_);
    return ListFirstScreenPage(files, catalog, Rules{false, true, true}, /*countGridRows=*/false);
}

bool RecordBrowser::ListFirstScreenPage(CDatabaseFileSet& files, const CCatalog& catalog, const Rules& rules,
                                        bool countGridRows) {
    pageMarks_.assign(1, BrowsePosition{});
    const Result result = ListScreenPage(files, catalog, BrowsePosition{}, rules);
    if (result.filled) pageMarks_.push_back(result.next);
    if (countGridRows) {
        // The chain of an indexed table reports the rows shown.
        const std::string text = std::to_string(gridRow_);
        view_.SetCaption(text);
        sink_.LogLine(text);
        rowsFrom_ = 0;
        rowsTo_ = gridRow_;
    } else {
        if (result.listed > 0) {
            const std::string text = RowsToText(0, result.listed);
            view_.SetCaption(text);
            sink_.LogLine(text);
        }
        rowsFrom_ = 0;
        rowsTo_ = result.listed;
    }
    sink_.ProgressPosition(progressHigh_);
    return result.listed > 0;
}

bool RecordBrowser::HasNoContent(const std::vector<ColumnDescriptor>& row, bool nullCountsEmpty) const {
    if (firstRowColumn_ >= row.size()) return false;
    std::size_t count = IsEmptyCell(row[firstRowColumn_].value, /*nullCountsEmpty=*/true) ? 1 : 0;
    for (std::size_t i = firstRowColumn_ + 1; i < row.size(); ++i)
        if (row[i].ordinal != kNotStoredOrdinal && IsEmptyCell(row[i].value, nullCountsEmpty)) ++count;
    // Cells before the first shown column and cells not stored in the row
    // never count, so a table with such columns shows every row.
    return count == row.size();
}

RecordBrowser::Result RecordBrowser::ListScreenPage(CDatabaseFileSet& files, const CCatalog& catalog,
                                                    BrowsePosition start, const Rules& rules) {
    Result result;
    view_.DeleteAllRows();
    gridRow_ = 0;
    hiddenRows_ = 0;
    rows_.BeginListing(files, catalog, columns_);
    const auto pageCount = static_cast<std::int64_t>(browsePages_.size());
    bool ended = false;
    for (std::int64_t p = start.page < 0 ? 0 : start.page; p < pageCount && !ended; ++p) {
        if (state_.StopRequested()) break;
        const std::int64_t first = p == start.page && start.record > 0 ? start.record : 0;
        // The page's rows are seen one by one as the decoder builds them (no
        // copies); rows before `first` and after the screen page is full are
        // passed over.
        std::int64_t r = -1;
        rows_.VisitPageRows(browsePages_[static_cast<std::size_t>(p)], [&](const std::vector<ColumnDescriptor>& row) {
            ++r;
            if (ended || r < first) return;
            if (state_.StopRequested()) {
                ended = true;
                return;
            }
            if (result.listed >= kScreenPageRecords) {
                result.filled = true;
                result.next = BrowsePosition{p, r};
                ended = true;
                return;
            }
            if (row.empty()) return;
            ++result.listed;
            if (hideEmptyRows_ && HasNoContent(row, rules.nullCountsEmpty)) {
                ++hiddenRows_;
            } else {
                view_.InsertRow(gridRow_, row, shownCells_);
                ++gridRow_;
            }
            SetRowCounter(gridRow_);
            view_.SetCaption(counter_);
            view_.ReplaceLastLogLine(counter_);
            if (rules.counterToFile) view_.WriteLogFileLine(counter_);
        });
        if (rules.progressByPage) sink_.ProgressPosition(p + 1);
    }
    rows_.EndListing();
    return result;
}

void RecordBrowser::SetRowCounter(std::int32_t row) {
    // " row N inserted", built in one reused buffer: it is written once per row.
    char digits[16];
    const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, row);
    counter_.assign(" row ");
    counter_.append(digits, end.ptr);
    counter_.append(" inserted");
}

void RecordBrowser::FinishSelection(const std::string& itemText) {
    view_.EnablePrevious(false);
    view_.EnableNext(pageMarks_.size() >= 2);
    const std::int32_t n = gridRow_;
    ++screenPage_;
    view_.SetPageLabel(PageLabel(screenPage_, n, n > 0 ? 1 : 0, n));
    const std::string text = itemText + "[" + std::to_string(n) + "]";
    view_.SetCaption(text);
    sink_.LogLine(text);
    view_.RedrawGrid();
    view_.ShowProgress(false);
    state_.m_bBusy = 0;
    sink_.LogLine("Scanning process completed.");
}

void RecordBrowser::ShowPagingTexts(std::int64_t listed) {
    view_.SetPageLabel(PageLabel(screenPage_, listed, rowsFrom_ + 1, rowsTo_));
    const std::string text = RowsToText(rowsFrom_, rowsTo_);
    view_.SetCaption(text);
    sink_.LogLine(text);
}

void RecordBrowser::EndPagingStep() {
    state_.m_bStopRequested = false;
    state_.m_bBusy = 0;
    view_.ShowProgress(false);
    view_.RedrawGrid();
}

void RecordBrowser::NextRecords(CDatabaseFileSet& files, const CCatalog& catalog) {
    const std::int32_t p = screenPage_;
    view_.SetText("");
    if (p < 0 || pageMarks_.size() <= static_cast<std::size_t>(p)) {
        view_.EnableNext(false);
        state_.m_bBusy = 0;
        return;
    }
    view_.ShowProgress(true);
    view_.EnablePrevious(true);
    sink_.ProgressRange(rowsFrom_, rowsTo_);
    const Result result = ListScreenPage(files, catalog, pageMarks_[static_cast<std::size_t>(p)], Rules{false, true, false});
    sink_.ProgressPosition(result.listed);
    if (result.filled) pageMarks_.push_back(result.next);
    rowsFrom_ = rowsTo_;
    rowsTo_ = rowsFrom_ + result.listed;
    screenPage_ = p + 1;
    // Next stays available only while a further screen page is known.
    view_.EnableNext(HasNextPage());
    ShowPagingTexts(result.listed);
    EndPagingStep();
}

void RecordBrowser::PreviousRecords(CDatabaseFileSet& files, const CCatalog& catalog) {
    const std::int32_t p = screenPage_;
    view_.SetText("");
    if (pageMarks_.size() < 2) {
        view_.EnablePrevious(false);
        view_.EnableNext(true);
        state_.m_bBusy = 0;
        return;
    }
    view_.ShowProgress(true);
    view_.EnableNext(true);
    sink_.ProgressRange(rowsFrom_, rowsTo_);
    Result result;
    if (p >= 2) {
        pageMarks_.resize(static_cast<std::size_t>(p));
        result = ListScreenPage(files, catalog, pageMarks_[static_cast<std::size_t>(p - 2)], Rules{false, true, false});
        screenPage_ = p - 1;
        rowsFrom_ -= kScreenPageRecords;
        rowsTo_ = rowsFrom_ + result.listed;
    } else {
        view_.EnablePrevious(false);
        result = ListScreenPage(files, catalog, BrowsePosition{}, Rules{false, true, false});
        screenPage_ = 1;
        rowsFrom_ = 0;
        rowsTo_ = result.listed;
    }
    sink_.ProgressPosition(result.listed);
    ShowPagingTexts(result.listed);
    EndPagingStep();
}

}  // namespace pw
