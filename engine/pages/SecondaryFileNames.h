#pragma once
// Names of secondary data files.
//
// The database's own file list stores Windows paths of the machine that last
// ran it (for example D:\old\sales_2.ndf). Only the file name is of use here:
// the files are looked for beside the primary file. Windows file names are
// case-insensitive, so extensions and names are matched without case.

#include <string>
#include <string_view>
#include <vector>

namespace pw {

// The text after the last '\' or '/' (the whole text when there is none).
std::string FileNameOfPath(std::string_view path);

// The name a listed file is looked for under: its file name without the
// extension (cut at the last period) followed by ".ndf".
std::string ListedSecondaryFileName(std::string_view listedPath);

// True when `name` ends with ".ndf" in any case.
bool HasNdfExtension(std::string_view name);

// ASCII case-insensitive equality.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// The path of `name` in `folder` (which ends with a separator or is empty for
// the current folder): the exact name when such a file exists, otherwise the
// first entry of the folder whose name matches it without case, otherwise the
// exact name (which then fails to open).
std::string ResolveInFolder(const std::string& folder, const std::string& name);

// The regular files of `folder` whose names end with ".ndf" in any case,
// sorted by name; directories and other entries are skipped.
std::vector<std::string> FindNdfFiles(const std::string& folder);

}  // namespace pw
