// pagewright-cli rows FILE TABLE: every row of a table, streamed page by page.

#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"
#include "OpenDatabase.h"
#include "RowWriter.h"
#include "Session.h"
#include "catalog/Catalog.h"
#include "pages/DatabaseFileSet.h"
#include "rows/RenderContext.h"
#include "rows/RowDecoder.h"
#include "support/CodePage.h"

namespace cli {

namespace {

// The columns a listing shows: those stored in the row.
std::vector<std::size_t> ShownColumns(const std::vector<pw::ColumnDescriptor>& columns) {
    std::vector<std::size_t> shown;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].ordinal != pw::kNotStoredOrdinal) shown.push_back(i);
    return shown;
}

}  // namespace

int Rows(const Options& options) {
    const std::string& path = options.positional.at(0);
    const std::string& tableName = options.positional.at(1);
    // The browser's log lines (one per row) would drown stderr: they go to the log file only.
    Options settings = options;
    settings.quiet = true;

    Session session(settings);
    // A bar on a terminal only: rows go to stdout, and stderr of a script stays clean.
    ProgressMeter meter(TerminalBarFor(options.quiet, stderr));
    if (const int code = session.Scan(path, meter)) return code;
    pw::CCatalog& catalog = *session.frame->Context().catalog;
    const std::string typeCode = TableTypeCode(catalog, tableName);
    const pw::TreeFolders& folders = session.frame->Builder().Folders();
    const pw::TreeItem item =
        typeCode.empty()
            ? pw::kNoItem
            : session.tree.FindChild(typeCode == "U " ? folders.userTables : folders.systemTables, tableName);
    if (item == pw::kNoItem) {
        std::fprintf(stderr, "No table named %s.\n", tableName.c_str());
        return kExitNoSuchObject;
    }
    RowWriter writer(stdout, ToRowFormat(options.format), ShownColumns(catalog.OpenObject(tableName, typeCode)));
    writer.WriteHeader(catalog.descriptors);
    std::int64_t written = 0;
    const auto full = [&] { return options.limit >= 0 && written >= options.limit; };
    session.view.onRow = [&](const std::vector<pw::ColumnDescriptor>& row) {
        if (full()) return;
        writer.WriteRow(row);
        ++written;
        meter.Update(0, written);
    };

    // The record browser's listing, every screen page in order: its page
    // source, every record (none hidden by the grid's no-content rule) and
    // every value read in full (no placeholders).
    pw::RecordBrowser& browser = session.frame->Browser();
    browser.SetHideEmptyRows(false);
    browser.SetFirstPagePlaceholders(false);
    meter.Start(tableName, 0, "rows");
    session.state.m_bBusy = 1;
    session.frame->SelectItem(item);
    while (browser.HasNextPage() && !full()) {
        session.state.m_bBusy = 1;
        session.frame->NextRecords();
    }
    writer.Flush();
    meter.Finish(std::string());
    return kExitDone;
}

}  // namespace cli
