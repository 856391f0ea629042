#pragma once
// The writer of each export format (made through MakeExportWriter).

#include <memory>
#include <string>

#include "export/ExportWriter.h"

namespace pw {

std::unique_ptr<ExportWriter> MakeTableFilesWriter(const std::string& folder, bool jsonLines, std::string& error);
std::unique_ptr<ExportWriter> MakeSqlScriptWriter(const ExportSettings& settings, std::string& error);
std::unique_ptr<ExportWriter> MakeSqliteWriter(const std::string& path, std::string& error);

}  // namespace pw
