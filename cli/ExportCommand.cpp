// pagewright-cli export FILE --format csv|jsonl|sql|sqlite --out PATH

#include <chrono>
#include <cstdio>
#include <map>
#include <set>

#include "Commands.h"
#include "Export.h"
#include "Session.h"
#include "catalog/Catalog.h"
#include "catalog/Keys.h"
#include "catalog/ModuleDefinitions.h"
#include "catalog/Scripts.h"
#include "export/ExportTypes.h"
#include "rows/RenderContext.h"

namespace cli {

namespace {

std::string TrimmedType(const std::string& typeCode) {
    std::string code = typeCode;
    while (!code.empty() && code.back() == ' ') code.pop_back();
    return code;
}

bool IsModule(const std::string& typeCode) {
    return typeCode == "V " || typeCode == "P " || typeCode == "FN" || typeCode == "IF" || typeCode == "TF" ||
           typeCode == "TR";
}

// The primary key of the table last opened: its name and columns in key order.
void FindPrimaryKey(const pw::CCatalog& catalog, pw::ExportTable& table) {
    if (!catalog.IsSql2000()) {
        for (const pw::KeyEntry& key : catalog.keyEntries) {
            if (!key.isPrimaryKey) continue;
            const pw::ObjectRow* row = catalog.LastObjectWithId(key.id);
            if (row == nullptr || row->typeCode != "PK") continue;
            table.primaryKey = pw::KeyColumnNames(catalog, *row);
            if (!table.primaryKey.empty()) {
                table.primaryKeyName = row->name;
                return;
            }
        }
    }
    // Otherwise the columns marked as key columns, in column order.
    for (const pw::ColumnDescriptor& d : table.columns)
        if (d.isPrimaryKey && !d.name.empty()) table.primaryKey.push_back(d.name);
}

// ALTER TABLE ... FOREIGN KEY scripts of a table: its key columns grouped by
// the table they refer to, for referred tables that are exported too.
std::vector<std::string> ForeignKeyScripts(const pw::ExportTable& table, const std::set<std::string>& exported) {
    std::map<std::string, std::pair<std::vector<std::string>, std::vector<std::string>>> byTarget;
    for (const pw::ColumnDescriptor& d : table.columns)
        if (d.isForeignKey && !d.refTable.empty() && !d.refColumn.empty() && exported.count(d.refTable) != 0) {
            byTarget[d.refTable].first.push_back(pw::SqlServerName(d.name));
            byTarget[d.refTable].second.push_back(pw::SqlServerName(d.refColumn));
        }
    std::vector<std::string> scripts;
    for (const auto& [target, columns] : byTarget) {
        const auto join = [](const std::vector<std::string>& names) {
            std::string text;
            for (std::size_t k = 0; k < names.size(); ++k) text += (k ? ", " : "") + names[k];
            return text;
        };
        // WITH NOCHECK: recovered rows may miss the rows they refer to.
        scripts.push_back("ALTER TABLE " + pw::SqlServerName(table.name) + " WITH NOCHECK ADD FOREIGN KEY (" +
                          join(columns.first) + ") REFERENCES " + pw::SqlServerName(target) + " (" +
                          join(columns.second) + ");");
    }
    return scripts;
}

pw::ExportFormat ToExportFormat(OutputFormat format) {
    switch (format) {
        case OutputFormat::kJsonLines: return pw::ExportFormat::kJsonLines;
        case OutputFormat::kSql: return pw::ExportFormat::kSql;
        case OutputFormat::kSqlite: return pw::ExportFormat::kSqlite;
        default: return pw::ExportFormat::kCsv;
    }
}

}  // namespace

std::int64_t ExportSummary::Rows() const {
    std::int64_t rows = 0;
    for (const TableOutcome& t : tables) rows += t.rows;
    return rows;
}

std::int64_t ExportSummary::FailedTables() const {
    std::int64_t failed = 0;
    for (const TableOutcome& t : tables) failed += t.failed ? 1 : 0;
    return failed;
}

std::string ExportSummary::Text() const {
    std::string text = "Exported tables: " + std::to_string(tables.size()) + ", rows: " + std::to_string(Rows()) +
                       ", failed tables: " + std::to_string(FailedTables()) +
                       ", definitions: " + std::to_string(definitions) + "\n";
    for (const TableOutcome& t : tables) {
        text += "  " + t.name + "\t" + std::to_string(t.rows) + " rows";
        if (t.failed) text += "\tFAILED: " + t.error + " (the rows before the failure are kept)";
        text += "\n";
    }
    for (const std::string& e : errors) text += "  error: " + e + "\n";
    return text;
}

std::vector<std::string> ExportTableNames(Session& session, const std::vector<std::string>& wanted,
                                          std::vector<std::string>& missing) {
    const pw::CCatalog& catalog = *session.frame->Context().catalog;
    const pw::TreeFolders& folders = session.frame->Builder().Folders();
    std::vector<std::string> names;
    std::set<std::string> seen;
    for (const pw::ObjectRow& row : catalog.objects) {
        if (row.typeCode != "U " || row.name.empty() || seen.count(row.name) != 0) continue;
        if (session.tree.FindChild(folders.userTables, row.name) == pw::kNoItem) continue;
        seen.insert(row.name);
        names.push_back(row.name);
    }
    if (wanted.empty()) return names;
    std::vector<std::string> chosen;
    for (const std::string& name : wanted) {
        if (seen.count(name) != 0) chosen.push_back(name);
        else missing.push_back(name);
    }
    return chosen;
}

bool ExportDatabase(Session& session, const std::vector<std::string>& tables, pw::ExportWriter& writer,
                    const Options& options, ProgressMeter& meter, ExportSummary& summary) {
    const auto started = std::chrono::steady_clock::now();
    pw::CCatalog& catalog = *session.frame->Context().catalog;
    const pw::TreeFolders& folders = session.frame->Builder().Folders();
    pw::RecordBrowser& browser = session.frame->Browser();
    // Every record becomes a row, and every large value is read in full.
    browser.SetHideEmptyRows(false);
    browser.SetFirstPagePlaceholders(false);
    const std::set<std::string> exported(tables.begin(), tables.end());
    std::vector<std::string> foreignKeys;

    std::size_t index = 0;
    for (const std::string& name : tables) {
        ++index;
        TableOutcome outcome;
        outcome.name = name;
        const pw::TreeItem item = session.tree.FindChild(folders.userTables, name);
        pw::ExportTable table;
        table.name = name;
        table.columns = catalog.OpenObject(name, "U ");
        FindPrimaryKey(catalog, table);
        if (options.format == OutputFormat::kSql)
            for (std::string& script : ForeignKeyScripts(table, exported)) foreignKeys.push_back(std::move(script));

        const std::string label = "[" + std::to_string(index) + "/" + std::to_string(tables.size()) + "] " + name;
        meter.Start(label, 0, "rows");
        std::string error;
        if (!writer.BeginTable(table, error)) {
            outcome.failed = true;
            outcome.error = error;
            meter.Message(name + ": " + error);
            summary.tables.push_back(outcome);
            continue;
        }
        std::int64_t pagesDone = 0, pagesTotal = 0;
        const auto full = [&] { return options.limit >= 0 && outcome.rows >= options.limit; };
        session.view.onRow = [&](const std::vector<pw::ColumnDescriptor>& row) {
            if (outcome.failed || full()) return;
            if (!writer.WriteRow(row, outcome.error)) {
                outcome.failed = true;
                // The listing stops at its next check.
                session.state.m_bStopRequested = true;
                return;
            }
            ++outcome.rows;
            if ((outcome.rows & 0xFF) == 0) meter.Update(pagesDone, outcome.rows);
        };
        session.state.m_bBusy = 1;
        session.frame->SelectItem(item);
        while (!outcome.failed && !full() && browser.HasNextPage()) {
            pagesTotal = static_cast<std::int64_t>(browser.BrowsePages().size());
            pagesDone = browser.PageMarks().empty() ? 0 : browser.PageMarks().back().page;
            meter.SetTotal(pagesTotal);
            meter.Update(pagesDone, outcome.rows);
            session.state.m_bBusy = 1;
            session.frame->NextRecords();
        }
        session.view.onRow = nullptr;
        session.state.m_bStopRequested = false;
        std::string endError;
        if (!writer.EndTable(!outcome.failed, endError) && !outcome.failed) {
            outcome.failed = true;
            outcome.error = endError;
        }
        if (outcome.failed)
            meter.Message(name + ": export stopped after " + std::to_string(outcome.rows) + " rows: " + outcome.error +
                          " (the rows before the failure are kept)");
        meter.Finish(meter.Style() == ProgressStyle::kPlain ? label + ": " + std::to_string(outcome.rows) + " rows"
                                                            : std::string());
        summary.tables.push_back(outcome);
    }

    // The definitions, once the rows are in (triggers must not fire on them).
    pw::CodePageConverter codePages;
    pw::RenderContext render{session.state, codePages};
    pw::DefinitionSource source{catalog, *session.frame->Context().fileSet, render, session.sink};
    const std::vector<pw::ObjectRow> objects = catalog.objects;
    for (const pw::ObjectRow& object : objects) {
        const bool module = IsModule(object.typeCode);
        const bool constraint = (object.typeCode == "C " || object.typeCode == "D ") && object.parentId > 0;
        if (!module && !constraint) continue;
        std::string text = pw::ModuleText(source, std::to_string(object.id));
        if (text.empty()) continue;
        if (constraint) {
            const pw::ObjectRow* parent = catalog.FirstObjectWithId(object.parentId);
            if (parent == nullptr || exported.count(parent->name) == 0) continue;
            // A default needs its column, which its row does not name here: kept as text in SQLite only.
            if (object.typeCode == "D " && options.format == OutputFormat::kSql) continue;
            if (object.typeCode == "C ") text = pw::CheckScript(parent->name, object.name, text);
        }
        std::string error;
        if (!writer.WriteDefinition({object.name, TrimmedType(object.typeCode), text}, error))
            summary.errors.push_back(object.name + ": " + error);
        else
            ++summary.definitions;
    }
    for (const std::string& script : foreignKeys) {
        std::string error;
        if (!writer.WriteDefinition({"foreign key", "F", script}, error)) summary.errors.push_back(error);
    }

    std::string error;
    const bool finished = writer.Finish(error);
    if (!finished) summary.errors.push_back(error);
    summary.cellBytes = writer.CellBytes();
    summary.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return finished;
}

int Export(const Options& options) {
    const std::string& path = options.positional.at(0);
    // The browser's log lines go to the log file only; stderr shows the progress.
    Options settings = options;
    settings.quiet = true;
    Session session(settings);
    ProgressMeter meter(ProgressStyleFor(options.quiet, stderr));
    session.sink.SetMeter(&meter);
    meter.Start("Scanning " + path, 1000, "pages");
    const int scanned = session.Scan(path);
    session.sink.SetMeter(nullptr);
    if (scanned != kExitDone) {
        meter.Finish(std::string());
        return scanned;
    }

    std::vector<std::string> missing;
    const std::vector<std::string> tables = ExportTableNames(session, options.tables, missing);
    meter.Finish("Scanned " + path + ": " + std::to_string(tables.size() + missing.size()) + " tables to export");
    for (const std::string& name : missing) std::fprintf(stderr, "No user table named %s.\n", name.c_str());
    if (!missing.empty()) return kExitNoSuchObject;

    pw::ExportSettings exportSettings;
    exportSettings.format = ToExportFormat(options.format);
    exportSettings.out = options.out;
    exportSettings.batchRows = options.batchRows;
    exportSettings.sourceName = path;
    exportSettings.withDeletedRows = options.showDeleted;
    std::string error;
    const std::unique_ptr<pw::ExportWriter> writer = pw::MakeExportWriter(exportSettings, error);
    if (!writer) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitUsage;  // the output cannot be written where --out says
    }
    ExportSummary summary;
    const bool finished = ExportDatabase(session, tables, *writer, options, meter, summary);
    // The summary is the export's result; with --quiet only when something failed.
    if (!options.quiet || summary.FailedTables() > 0 || !summary.errors.empty()) std::fputs(summary.Text().c_str(), stderr);
    if (!options.quiet && summary.seconds > 0)
        std::fprintf(stderr, "%.1f s, %.0f rows/s, %.1f MB/s of cell text\n", summary.seconds,
                     static_cast<double>(summary.Rows()) / summary.seconds,
                     static_cast<double>(summary.cellBytes) / 1e6 / summary.seconds);
    return finished ? kExitDone : kExitUsage;
}

}  // namespace cli
