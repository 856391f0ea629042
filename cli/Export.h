#pragma once
// The export of a scanned database: every chosen user table listed through
// the record browser (its page source, screen page by screen page, every
// record, large values in full) and handed row by row to an export writer;
// then the definitions of views, procedures, functions, triggers and
// constraints.

#include <cstdint>
#include <string>
#include <vector>

#include "Options.h"
#include "Progress.h"
#include "export/ExportWriter.h"

namespace cli {

class Session;

struct TableOutcome {
    std::string name;
    std::int64_t rows = 0;
    bool failed = false;
    std::string error;  // why the table stopped early
};

struct ExportSummary {
    std::vector<TableOutcome> tables;
    std::int64_t definitions = 0;
    std::vector<std::string> errors;  // failures outside a table's rows
    std::uint64_t cellBytes = 0;
    double seconds = 0;

    std::int64_t Rows() const;
    std::int64_t FailedTables() const;
    // "tables: 3, rows: 1234, failed tables: 1, definitions: 5" and one line per table.
    std::string Text() const;
};

// The user tables of the scanned catalog, in catalog order, or the names of
// `wanted` (any order kept); a wanted name that is no user table goes to `missing`.
std::vector<std::string> ExportTableNames(Session& session, const std::vector<std::string>& wanted,
                                          std::vector<std::string>& missing);

// Exports `tables` of the session's scanned database through `writer`.
// A table whose writing fails keeps the rows written before the failure
// (the writer ends it) and the export goes on with the next table.
// Returns false when the writer could not be finished.
bool ExportDatabase(Session& session, const std::vector<std::string>& tables, pw::ExportWriter& writer,
                    const Options& options, ProgressMeter& meter, ExportSummary& summary);

}  // namespace cli
