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
#include "pages/IamChain.h"
#include "support/AppState.h"

namespace integration {

namespace {

// Pages of one table for the standard listing: the IAM chain of its in-row
// allocation unit when its first IAM page lies inside the file, else the
// page chain from the unit's first page (each page once: a looping chain ends
// where it comes back).
std::vector<pw::PageId> StandardPages(pw::CDatabaseFileSet& files, const pw::CCatalog& catalog,
                                      const pw::AppState& state) {
    const pw::AllocUnitRow& unit = catalog.inRowAllocUnit;
    const pw::PageId iam{unit.firstIamPage.file, unit.firstIamPage.page};
    if (!iam.IsNull() && files.IsInsideFile(iam.fileId, iam.pageNumber)) return pw::CollectIamChainPages(files, iam);
    std::vector<pw::PageId> pages;
    std::set<std::pair<std::uint16_t, std::uint32_t>> seen;
    pw::PagePointer current = unit.firstPage;
    while (current.page != 0 && !state.StopRequested() && seen.insert({current.file, current.page}).second) {
        const auto header = files.ReadPageHeaderOnly(current.file, current.page);
        if (!header) break;
        pages.push_back({current.file, current.page});
        if (header->pageType != pw::kDataPage) break;
        current = header->nextPage;
    }
    return pages;
}

std::string RowKey(const pw::CPrimaryRecord& record) {
    const auto& bytes = record.recordImage.empty() ? record.fixedData : record.recordImage;
    return std::string(bytes.begin(), bytes.end());
}

void Collect(const std::string& path, ListingMode mode, pw::AppState& state, RecoveryResult& result) {
    forge::RecordingEventSink sink;
    auto files = pw::CDatabaseFileSet::OpenFileSet(path, state, sink);
    result.opened = files->IsOpened();
    if (result.opened) {
        pw::CCatalog catalog(state);
        catalog.LoadCatalog(*files);
        result.objects = catalog.objects.size();
        const std::vector<pw::ObjectRow> objects = catalog.objects;
        for (const pw::ObjectRow& object : objects) {
            if (state.StopRequested()) break;
            catalog.OpenObject(object.name, object.typeCode);
            if (object.typeCode != "U ") continue;
            TableRows& table = result.tables[object.name];
            table.name = object.name;
            table.opened = catalog.isTableOpen;
            if (!catalog.isTableOpen) continue;
            std::vector<pw::PageId> pages;
            if (mode == ListingMode::kAdvanced) {
                for (const pw::DataPageAddress& a : catalog.dataPages) pages.push_back({a.fileId, a.pageNumber});
            } else {
                pages = StandardPages(*files, catalog, state);
            }
            for (const pw::PageId& id : pages) {
                if (state.StopRequested()) break;
                const auto page = files->ReadDataPage(id.fileId, id.pageNumber);
                if (!page || page->Header().pageType != pw::kDataPage) continue;
                PageRows rows{id, {}};
                for (std::size_t slot = 0; slot < page->records.size(); ++slot) {
                    const pw::CPrimaryRecord* record = page->Record(slot);
                    if (record && pw::IsListableRecord(record, state)) rows.rows.push_back(RowKey(*record));
                }
                table.pages.push_back(std::move(rows));
            }
        }
    }
    result.fatalErrors = sink.fatalErrors;
    result.logLines = sink.logLines;
}

}  // namespace

const char* ModeName(ListingMode mode) { return mode == ListingMode::kAdvanced ? "advanced" : "standard"; }

std::size_t TableRows::RowCount() const {
    std::size_t n = 0;
    for (const PageRows& p : pages) n += p.rows.size();
    return n;
}

bool TableRows::Has(const std::string& row) const {
    for (const PageRows& p : pages)
        if (std::find(p.rows.begin(), p.rows.end(), row) != p.rows.end()) return true;
    return false;
}

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
