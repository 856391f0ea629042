#include "export/ExportWriter.h"

#include <filesystem>

#include "export/ExportWriters.h"

namespace pw {

std::vector<std::size_t> StoredColumns(const std::vector<ColumnDescriptor>& columns) {
    std::vector<std::size_t> stored;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].ordinal != kNotStoredOrdinal) stored.push_back(i);
    return stored;
}

std::unique_ptr<ExportWriter> MakeExportWriter(const ExportSettings& settings, std::string& error) {
    if (settings.format == ExportFormat::kSql || settings.format == ExportFormat::kSqlite) {
        // The folder the file goes in is made when missing.
        const std::filesystem::path parent = std::filesystem::path(settings.out).parent_path();
        std::error_code ec;
        if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    }
    switch (settings.format) {
        case ExportFormat::kCsv: return MakeTableFilesWriter(settings.out, false, error);
        case ExportFormat::kJsonLines: return MakeTableFilesWriter(settings.out, true, error);
        case ExportFormat::kSql: return MakeSqlScriptWriter(settings, error);
        case ExportFormat::kSqlite: return MakeSqliteWriter(settings.out, error);
    }
    error = "Unknown export format.";
    return nullptr;
}

}  // namespace pw
