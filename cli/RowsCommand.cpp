// pagewright-cli rows FILE TABLE: every row of a table, streamed page by page.

#include <cstdio>
#include <string>
#include <vector>

#include "Commands.h"
#include "OpenDatabase.h"
#include "RowWriter.h"
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

// Decodes the pages in the order given and writes every row they hold, up
// to `limit` rows (-1: no limit). The page order is the listing's page
// source; this is the only place that walks it.
std::int64_t ListRows(pw::CDatabaseFileSet& files, pw::RenderContext& context, pw::WorkingTable& table,
                      const std::vector<pw::DataPageAddress>& pages, RowWriter& writer, std::int64_t limit) {
    std::int64_t written = 0;
    for (const pw::DataPageAddress& address : pages) {
        if (limit >= 0 && written >= limit) break;
        if (context.app.StopRequested()) break;
        pw::VisitPageRows(files, address.pageNumber, address.fileId, table, context,
                          [&](const pw::DecodedRow& row) {
                              if (limit >= 0 && written >= limit) return;
                              writer.WriteRow(row);
                              ++written;
                          });
    }
    return written;
}

}  // namespace

bool ParseRowsOptions(const std::vector<std::string>& args, std::size_t from, RowsOptions& options) {
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--deleted") {
            options.deleted = true;
        } else if (arg == "--advanced-deleted") {
            options.deleted = true;
            options.advancedDeleted = true;
        } else if (arg == "--quiet") {
        } else if (arg == "--format" && hasValue) {
            if (!ParseRowFormat(args[++i], options.format)) return false;
        } else if (arg == "--mode" && hasValue) {
            const std::string& mode = args[++i];
            if (mode == "standard") options.advancedMode = false;
            else if (mode == "advanced") options.advancedMode = true;
            else return false;
        } else if (arg == "--limit" && hasValue) {
            const std::string& text = args[++i];
            if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos || text.size() > 18)
                return false;
            options.limit = std::stoll(text);
        } else {
            return false;
        }
    }
    return true;
}

int Rows(const std::string& path, const std::string& tableName, const RowsOptions& options) {
    OpenDatabase db;
    db.state.m_bShowDeleted = options.deleted;
    db.state.m_bShowAdvancedDeleted = options.advancedDeleted;
    db.state.m_nRecoveryMode = options.advancedMode ? pw::kRecoveryModeAdvanced : pw::kRecoveryModeStandard;
    if (const int code = db.Open(path)) return code;
    pw::CCatalog& catalog = *db.catalog;
    const std::string typeCode = TableTypeCode(catalog, tableName);
    if (typeCode.empty()) {
        std::fprintf(stderr, "No table named %s.\n", tableName.c_str());
        return kExitNoSuchObject;
    }
    std::vector<pw::ColumnDescriptor> columns = catalog.OpenObject(tableName, typeCode);
    const bool physicalColumns = !catalog.objectRowsetColumns.empty();
    const std::vector<pw::DataPageAddress> pages = catalog.dataPages;

    // The working table of this listing: passed down explicitly; the state's
    // pointer names it only for readers that look there.
    pw::WorkingTable table(std::move(columns), physicalColumns);
    db.state.m_pRowReader.store(&table);
    pw::CodePageConverter codePages;
    pw::RenderContext context{db.state, codePages};

    RowWriter writer(stdout, options.format, ShownColumns(table.columns));
    writer.WriteHeader(table.columns);
    ListRows(*db.files, context, table, pages, writer, options.limit);
    writer.Flush();
    db.state.m_pRowReader.store(nullptr);
    return kExitDone;
}

}  // namespace cli
