#pragma once
// Plain explanations for the failures a user meets, printed under the
// engine's own short messages: what happened, and what can be tried.

#include <string>

namespace pw {

class CCatalog;
class CDatabaseFileSet;

// Why `path` could not be opened as a data file, for after the file set
// failed: missing, a folder, not readable, too short, or no system page.
std::string ExplainUnreadableFile(const std::string& path);

// One line per secondary file the database lists but that was not found or
// could not be opened: rows on its pages cannot be listed.
std::string ExplainMissingSecondaryFiles(const CDatabaseFileSet& files, const CCatalog& catalog);

// Set when the catalog holds no object at all: the system tables that
// describe the tables were not readable.
std::string ExplainEmptyCatalog(const CDatabaseFileSet& files, const CCatalog& catalog);

}  // namespace pw
