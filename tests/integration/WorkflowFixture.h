#pragma once
// A forge-built database with one user table "People" (id int, amount int,
// note varchar(20)) for the workflow tests, and a headless frame around it:
// recording view, event sink forwarding log lines to a Logger, in-memory
// tree and the real row decoder.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "catalog/ObjectTree.h"
#include "catalog/SystemRowBuilders.h"
#include "forge/IamPageBuilder.h"
#include "forge/RecordBuilder.h"
#include "forge/SystemTableForge.h"
#include "forge/TempFolder.h"
#include "support/AppState.h"
#include "support/CollationTable.h"
#include "support/EventSink.h"
#include "support/Logger.h"
#include "workflow/DecoderRowReader.h"
#include "workflow/FrameView.h"
#include "workflow/RecoveryFrame.h"

namespace workflowtest {

constexpr std::int32_t kTableId = 1000;
constexpr std::int64_t kRowsetId = 900;
constexpr std::int32_t kUnitKey = 5000;  // the object id the table's page headers carry
constexpr std::uint32_t kFirstDataPage = 64;
constexpr std::uint32_t kIamPagePosition = 40;

struct TableSpec {
    int rows = 2500;
    int rowsPerPage = 100;
    int indexId = 0;  // 0 heap, 1 clustered
    // The pages' next-page pointers run from the highest position down
    // (the chain then starts at the page the catalog names first page).
    bool descendingChain = false;
    // The unit's first IAM page: the IAM page built at kIamPagePosition, or another number.
    std::optional<std::uint32_t> firstIamPage;
    bool buildIamPage = true;
    // The last page of the chain points back to the chain's first page.
    bool loopChain = false;
    // Rows (by id, from 1) whose cells are all NULL or empty.
    std::vector<int> emptyRows;
    std::uint32_t pageCount = 128;
};

// The page positions in chain order.
inline std::vector<std::uint32_t> ChainPositions(const TableSpec& shape) {
    const int pages = (shape.rows + shape.rowsPerPage - 1) / shape.rowsPerPage;
    std::vector<std::uint32_t> positions;
    for (int k = 0; k < pages; ++k)
        positions.push_back(shape.descendingChain ? kFirstDataPage + static_cast<std::uint32_t>(pages - 1 - k)
                                                 : kFirstDataPage + static_cast<std::uint32_t>(k));
    return positions;
}

inline forge::Bytes Le32(std::int32_t v) {
    forge::Bytes b(4);
    forge::PutLE(b, 0, static_cast<std::uint32_t>(v), 4);
    return b;
}

inline forge::Bytes PersonRecord(int id, bool empty) {
    forge::RecordBuilder r;
    forge::Bytes fixed = Le32(id);
    const forge::Bytes amount = Le32(id * 10);
    fixed.insert(fixed.end(), amount.begin(), amount.end());
    r.Fixed(fixed).Columns(3);
    if (empty) {
        r.Nulls({0, 1}).Var(forge::Bytes{});
    } else {
        const std::string note = "n" + std::to_string(id);
        r.Var(forge::Bytes(note.begin(), note.end()));
    }
    return r.Build();
}

// Writes the database to `path`.
inline bool WritePeopleDatabase(const std::string& path, const TableSpec& shape) {
    forge::CatalogFileBuilder b(shape.pageCount);
    const std::uint32_t iamPage = shape.firstIamPage.value_or(kIamPagePosition);
    b.Table(pw::kSysSchObjs, {forge::SchObjRecord(kTableId, "People", "U "), forge::SchObjRecord(1001, "Empty", "U "),
                              forge::SchObjRecord(34, "sysschobjs", "S "), forge::SchObjRecord(1002, "v1", "V ")});
    b.Table(pw::kSysColPars,
            {forge::ColParRecord(kTableId, 1, "id"), forge::ColParRecord(kTableId, 2, "amount"),
             forge::ColParRecord(kTableId, 3, "note", 167, 167, 20), forge::ColParRecord(1001, 1, "x"),
             forge::ColParRecord(34, 1, "id")});
    b.Table(pw::kSysScalarTypes,
            {forge::ScalarTypeRecord(56, 56, 4, "int"), forge::ScalarTypeRecord(167, 167, 8000, "varchar")});
    b.Table(pw::kSysRowsets, {forge::RowsetRecord(kRowsetId, kTableId, shape.indexId)});
    forge::Bytes unit = forge::AllocUnitRecord(std::int64_t{kUnitKey} << 16, 1, kRowsetId, kFirstDataPage, 1);
    // The first IAM page pointer lies at fixed-part offset 35 (record offset 39).
    forge::PutLE(unit, 4 + 35, iamPage, 4);
    forge::PutLE(unit, 4 + 39, 1, 2);
    b.Table(pw::kSysAllocUnits, {unit});
    b.Table(pw::kSysRsCols, {forge::RsColRecord(kRowsetId, 1, 1, 4, 1), forge::RsColRecord(kRowsetId, 2, 2, 8, 2),
                             forge::RsColRecord(kRowsetId, 3, 3, 0xFFFF, 3)});

    const std::vector<std::uint32_t> chain = ChainPositions(shape);
    int id = 1;
    for (std::size_t k = 0; k < chain.size(); ++k) {
        forge::PageBuilder page;
        page.Type(pw::kDataPage).ObjectId(kUnitKey).IndexId(static_cast<std::uint16_t>(shape.indexId)).ThisPage(1, chain[k]);
        if (k > 0) page.PrevPage(1, chain[k - 1]);
        else page.PrevPage(0, 0);
        if (k + 1 < chain.size()) page.NextPage(1, chain[k + 1]);
        else if (shape.loopChain) page.NextPage(1, chain[0]);
        else page.NextPage(0, 0);
        for (int r = 0; r < shape.rowsPerPage && id <= shape.rows; ++r, ++id) {
            const bool empty = std::find(shape.emptyRows.begin(), shape.emptyRows.end(), id) != shape.emptyRows.end();
            page.AddRecord(PersonRecord(id, empty));
        }
        b.File().SetPage(chain[k], page.Build());
    }
    if (shape.buildIamPage) {
        forge::IamPageBuilder iam;
        iam.At(1, kIamPagePosition).ObjectId(kUnitKey);
        // The data pages from kFirstDataPage on, extent by extent.
        const std::size_t firstExtent = kFirstDataPage / 8;
        const std::size_t lastExtent = (kFirstDataPage + chain.size() - 1) / 8;
        for (std::size_t e = firstExtent; e <= lastExtent; ++e) iam.Extent(e);
        b.File().SetPage(kIamPagePosition, iam.Build());
    }
    return b.File().WriteTo(path);
}

// A row of the grid: its cell texts.
using GridRow = std::vector<std::string>;

class RecordingView : public pw::FrameView {
public:
    explicit RecordingView(pw::Logger* logger = nullptr) : logger_(logger) {}
    void DeleteAllRows() override { rows.clear(); }
    void DeleteColumns(std::int32_t count) override {
        columns.erase(columns.begin(), columns.begin() + std::min<std::size_t>(columns.size(), static_cast<std::size_t>(count)));
    }
    void InsertColumn(std::int32_t position, const std::string& title) override {
        columns.insert(columns.begin() + std::min<std::size_t>(columns.size(), static_cast<std::size_t>(position)), title);
    }
    void InsertRow(std::int32_t index, const std::vector<pw::ColumnDescriptor>& row,
                   std::span<const std::size_t> cells) override {
        GridRow grid;
        for (const std::size_t c : cells) grid.push_back(row[c].value);
        rows.insert(rows.begin() + std::min<std::size_t>(rows.size(), static_cast<std::size_t>(index)), grid);
    }
    void ShowGrid(bool show) override { gridShown = show; }
    void SetText(const std::string& t) override { text = t; }
    void SetPageLabel(const std::string& t) override { pageLabel = t; }
    void EnablePrevious(bool e) override { previousEnabled = e; }
    void EnableNext(bool e) override { nextEnabled = e; }
    void SetCaption(const std::string& t) override { caption = t; }
    void ShowProgress(bool show) override { progressShown = show; }
    void MessageBox(const std::string& t) override { messages.push_back(t); }
    void ReplaceLastLogLine(const std::string& t) override {
        lastReplaced = t;
        if (logger_) logger_->ReplaceLastLine(t);
    }
    void WriteLogFileLine(const std::string& t) override {
        ++fileOnlyLines;
        if (logger_) logger_->WriteFileLine(t);
    }

    std::vector<std::string> columns;
    std::vector<GridRow> rows;
    bool gridShown = false, previousEnabled = false, nextEnabled = false, progressShown = false;
    std::string text, pageLabel, caption, lastReplaced;
    std::vector<std::string> messages;
    int fileOnlyLines = 0;

private:
    pw::Logger* logger_;
};

// Log lines to the Logger (pane and file) and to a list; a hook sees every report.
class LoggingSink : public pw::EventSink {
public:
    explicit LoggingSink(pw::Logger* logger = nullptr) : logger_(logger) {}
    void ProgressRange(std::int64_t low, std::int64_t high) override {
        if (onProgress) onProgress(-1);
        (void)low;
        (void)high;
    }
    void ProgressPosition(std::int64_t position) override {
        if (onProgress) onProgress(position);
    }
    void StatusText(const std::string& t) override {
        statusTexts.push_back(t);
        if (onStatus) onStatus(t);
    }
    void LogLine(const std::string& t) override {
        logLines.push_back(t);
        if (logger_) logger_->AddLine(t);
    }
    void FatalError(const std::string& t) override { fatalErrors.push_back(t); }

    std::vector<std::string> statusTexts, logLines, fatalErrors;
    std::function<void(const std::string&)> onStatus;
    std::function<void(std::int64_t)> onProgress;

private:
    pw::Logger* logger_;
};

// A headless frame over one database.
struct Headless {
    explicit Headless(bool withLogger = false)
        : logger(state), sink(withLogger ? &logger : nullptr), view(withLogger ? &logger : nullptr), rows(state),
          frame(state, sink, view, tree, rows) {
        pw::LoadCollationTable(std::string(PAGEWRIGHT_BIN_DIR) + "/pagewright-cli", state.m_mapCollations);
        state.m_nRecoveryMode = pw::kRecoveryModeStandard;
    }
    // Scans on the calling thread; 1 on success.
    int Scan(const std::string& path, bool advanced = false) {
        state.m_nRecoveryMode = advanced ? pw::kRecoveryModeAdvanced : pw::kRecoveryModeStandard;
        state.m_bBusy = 1;
        return frame.Scan(path);
    }
    pw::TreeItem Table(const std::string& name, bool system = false) const {
        const pw::TreeFolders& f = const_cast<pw::RecoveryFrame&>(frame).Builder().Folders();
        return tree.FindChild(system ? f.systemTables : f.userTables, name);
    }
    void Select(pw::TreeItem item) {
        state.m_bBusy = 1;
        frame.SelectItem(item);
    }
    void Next() {
        state.m_bBusy = 1;
        frame.NextRecords();
    }
    void Previous() {
        state.m_bBusy = 1;
        frame.PreviousRecords();
    }
    // The first cell (id) of every grid row.
    std::vector<int> Ids() const {
        std::vector<int> ids;
        for (const GridRow& r : view.rows) ids.push_back(r.empty() || r[0].empty() || r[0] == "NULL" ? 0 : std::stoi(r[0]));
        return ids;
    }

    pw::AppState state;
    pw::Logger logger;
    LoggingSink sink;
    RecordingView view;
    pw::InMemoryObjectTree tree;
    pw::DecoderRowReader rows;
    pw::RecoveryFrame frame;
};

// Ids from..to inclusive.
inline std::vector<int> Range(int from, int to) {
    std::vector<int> ids;
    for (int i = from; i <= to; ++i) ids.push_back(i);
    return ids;
}

}  // namespace workflowtest
