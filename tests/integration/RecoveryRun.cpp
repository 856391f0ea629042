#include "RecoveryRun.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <future>
#include <memory>
#include <set>
#include <sstream>

#include "catalog/Catalog.h"
#include "forge/RecordingEventSink.h"
#include "pages/DataPage.h"
#include "pages/DatabaseFileSet.h"
#include "rows/RowDecoder.h"
#include "rows/ValueKind.h"
#include "support/AppState.h"
#include "support/CodePage.h"
#include "workflow/FrameView.h"
#include "workflow/DecoderRowReader.h"
#include "catalog/TableListing.h"
#include "workflow/RecordBrowser.h"

namespace integration {

namespace {

// A value that may be stored on pages of its own (large-object and max
// types): damage to those pages changes the cell, not whether the row is there.
bool MayLiveOutOfRow(const pw::ColumnDescriptor& cell) {
    switch (cell.valueKind) {
        case pw::kKindText:
        case pw::kKindNText:
        case pw::kKindImage:
        case pw::kKindXml:
        case pw::kKindClr:
        case pw::kKindGeometry:
            return true;
        case pw::kKindVarChar:
        case pw::kKindNVarChar:
        case pw::kKindVarBinary:
        case pw::kKindSqlVariant:
            return cell.typeText.find("(-1)") != std::string::npos || cell.typeText.find("max") != std::string::npos;
        default:
            return false;
    }
}

std::string RowKey(const std::vector<pw::ColumnDescriptor>& row) {
    std::string key;
    for (const pw::ColumnDescriptor& cell : row) key += (MayLiveOutOfRow(cell) ? std::string("*") : cell.value) + '\t';
    return key;
}

// Keeps the rows the browser puts in its grid.
class GridRows final : public pw::FrameView {
public:
    void InsertRow(std::int32_t, const std::vector<pw::ColumnDescriptor>& row, std::span<const std::size_t>) override {
        rows.push_back(RowKey(row));
    }
    std::vector<std::string> rows;
};

void Collect(const std::string& path, ListingMode mode, pw::AppState& state, RecoveryResult& result) {
    forge::RecordingEventSink sink;
    auto files = pw::CDatabaseFileSet::OpenFileSet(path, state, sink);
    result.opened = files->IsOpened();
    if (result.opened) {
        pw::CCatalog catalog(state);
        catalog.LoadCatalog(*files);
        result.objects = catalog.objects.size();
        pw::CodePageConverter codePages;
        pw::RenderContext context{state, codePages};
        pw::DecoderRowReader decoder(state);
        GridRows grid;
        pw::RecordBrowser browser(state, sink, grid, decoder);
        browser.SetAdvancedMode(mode == ListingMode::kAdvanced);
        browser.SetHideEmptyRows(false);
        const std::vector<pw::ObjectRow> objects = catalog.objects;
        for (const pw::ObjectRow& object : objects) {
            if (state.StopRequested()) break;
            catalog.OpenObject(object.name, object.typeCode);
            if (object.typeCode != "U ") continue;
            TableRows& table = result.tables[object.name];
            table.name = object.name;
            table.opened = catalog.isTableOpen;
            if (!catalog.isTableOpen) continue;
            // The listing as the user sees it: every screen page in turn.
            grid.rows.clear();
            browser.ClearForSelection();
            browser.ColumnSetup(catalog);
            browser.ListTable(*files, catalog);
            browser.FinishSelection(object.name);
            while (browser.HasNextPage() && !state.StopRequested()) browser.NextRecords(*files, catalog);
            table.listed.insert(grid.rows.begin(), grid.rows.end());
            table.listedCount = grid.rows.size();
            // Advanced mode also keeps the rows of each page the scan filed under the table.
            if (mode != ListingMode::kAdvanced) continue;
            // Decoded as the listing decodes them (large values as placeholders).
            pw::WorkingTable working = pw::MakeWorkingTable(catalog, catalog.descriptors);
            state.m_bListing.store(true);
            for (const pw::DataPageAddress& a : catalog.dataPages) {
                if (state.StopRequested()) break;
                PageRows rows{{a.fileId, a.pageNumber}, {}};
                for (const pw::DecodedRow& row : pw::DecodePageRows(*files, a.pageNumber, a.fileId, working, context))
                    rows.rows.push_back(RowKey(row));
                table.pages.push_back(std::move(rows));
            }
            state.m_bListing.store(false);
        }
    }
    result.fatalErrors = sink.fatalErrors;
    result.logLines = sink.logLines;
}

}  // namespace

const char* ModeName(ListingMode mode) { return mode == ListingMode::kAdvanced ? "advanced" : "standard"; }

std::size_t TableRows::RowCount() const { return listedCount; }

bool TableRows::Has(const std::string& row) const { return listed.count(row) != 0; }

std::size_t RecoveryResult::RowCount() const {
    std::size_t n = 0;
    for (const auto& [name, table] : tables) n += table.RowCount();
    return n;
}

RecoveryResult RunRecovery(const std::string& primaryPath, ListingMode mode) {
    pw::AppState state;
    state.m_nRecoveryMode = mode == ListingMode::kAdvanced ? pw::kRecoveryModeAdvanced : pw::kRecoveryModeStandard;
    RecoveryResult result;
    Collect(primaryPath, mode, state, result);
    result.finished = true;
    return result;
}

RecoveryResult RunRecovery(const std::string& primaryPath, ListingMode mode, std::chrono::seconds deadline) {
    auto state = std::make_shared<pw::AppState>();
    state->m_nRecoveryMode = mode == ListingMode::kAdvanced ? pw::kRecoveryModeAdvanced : pw::kRecoveryModeStandard;
    auto result = std::make_shared<RecoveryResult>();
    std::future<void> done = std::async(std::launch::async, [state, result, primaryPath, mode] {
        Collect(primaryPath, mode, *state, *result);
    });
    if (done.wait_for(deadline) == std::future_status::ready) {
        done.get();
        result->finished = true;
        return *result;
    }
    // Past the deadline: ask the run to stop, and give it a little time to do so.
    state->m_bStopRequested.store(true);
    if (done.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        std::fprintf(stderr, "recovery of %s does not end even after the stop request\n", primaryPath.c_str());
        std::abort();  // a hung worker cannot be joined; end the test binary loudly
    }
    done.get();
    RecoveryResult late = *result;
    late.finished = false;
    return late;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::string FileDigest(const std::string& path) {
    const std::string bytes = ReadWholeFile(path);
    std::uint64_t hash = 1469598103934665603ULL;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%016llx/%zu", static_cast<unsigned long long>(hash), bytes.size());
    return text;
}

const std::string& CorpusFolder() {
    static const std::string folder = std::string(PAGEWRIGHT_CORPUS_DIR) + "/";
    return folder;
}

std::vector<std::string> CorpusDataFiles() {
    std::vector<std::string> primaries, others;
    DIR* dir = ::opendir(CorpusFolder().c_str());
    if (!dir) return {};
    while (const dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        std::string lower = name;
        std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (lower.ends_with(".mdf")) primaries.push_back(name);
        else if (lower.ends_with(".ndf")) others.push_back(name);
    }
    ::closedir(dir);
    std::sort(primaries.begin(), primaries.end());
    std::sort(others.begin(), others.end());
    primaries.insert(primaries.end(), others.begin(), others.end());
    return primaries;
}

}  // namespace integration
