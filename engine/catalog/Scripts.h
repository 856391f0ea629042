#pragma once
// The "ALTER TABLE" scripts shown for a primary key, a unique constraint or a
// check constraint.

#include <cstdint>
#include <string>
#include <vector>

namespace pw {

class CCatalog;

inline constexpr char kPrimaryKeyScriptFormat[] = "ALTER TABLE %s ADD PRIMARY KEY (%s)";
inline constexpr char kUniqueScriptFormat[] =
    "ALTER TABLE[dbo].[%s] WITH NOCHECK ADD CONSTRAINT[%s] UNIQUE CLUSTERED \r\n(\r\n[%s] DSC\r\n)";
inline constexpr char kCheckScriptFormat[] = "ALTER TABLE  [dbo].[%s] WITH NOCHECK ADD CONSTRAINT[%s] CHECK %s";

// The script of a primary key item. In the SQL Server 2000 layout `itemData`
// is the table id and the columns are the table's columns whose key flag has
// bit 0 set. In later layouts the key is the primary key object named
// `itemText` (of the table opened last when it has one of that name) and the
// columns are those of its index, in key order.
std::string PrimaryKeyScript(const CCatalog& catalog, std::int64_t itemData, const std::string& itemText);

// The script of a unique constraint item; as the primary key script, except
// that in the SQL Server 2000 layout a column is listed when its key flag is
// 0 or has bit 0 set.
std::string UniqueScript(const CCatalog& catalog, std::int64_t itemData, const std::string& itemText);

// The script of a check constraint: the table item's text, the constraint's
// item text and its definition text.
std::string CheckScript(const std::string& tableText, const std::string& itemText, const std::string& definition);

// The column list of the scripts: " " then each name followed by " , ", with
// trailing white space stripped and the last character dropped.
std::string ScriptColumnList(const std::vector<std::string>& names);

}  // namespace pw
