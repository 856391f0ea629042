#pragma once
// The on-disk format version stored in the boot page, and what it tells.

#include <cstdint>
#include <string>

namespace pw {

// The name of the SQL Server release that writes `version`, with a leading
// blank (" SQL Server 2008 R2"), or "Unknown SQL Version".
std::string SqlVersionText(std::uint16_t version);

enum class CatalogLayout { kSql2000, kSql2005 };

// Files of SQL Server 2000 and earlier (format versions up to 539) keep their
// catalog in the old system tables; every later version uses the system base
// tables introduced by SQL Server 2005. A database upgraded in place is
// converted, so the current version decides, not the create version.
CatalogLayout CatalogLayoutOfVersion(std::uint16_t version);

}  // namespace pw
