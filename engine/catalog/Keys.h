#pragma once
// Keys and constraints of a table: its key entries, the columns of its
// indexes, the key and foreign key flags of its column descriptors, and the
// columns of one primary key or unique constraint.

#include <cstdint>
#include <string>
#include <vector>

#include "catalog/CatalogRows.h"
#include "catalog/ColumnDescriptor.h"

namespace pw {

class CCatalog;

// Index status bits of sysidxstats.
constexpr std::int32_t kIndexIsIndex = 0x01;
constexpr std::int32_t kIndexIsUnique = 0x08;
constexpr std::int32_t kIndexIsPrimaryKey = 0x20;
constexpr std::int32_t kIndexIsUniqueConstraint = 0x40;

// One entry per object whose parent is `tableId`, in catalog order. In the
// SQL Server 2000 layout an entry carries the table id instead of its own.
std::vector<KeyEntry> BuildKeyEntries(const CCatalog& catalog, std::int32_t tableId);

// The indexes of `tableId` (index rows with status bit 0x01 and an index id
// above 0) and, index by index, copies of their column rows with the index
// status attached.
void CollectIndexColumns(const CCatalog& catalog, std::int32_t tableId, std::vector<IndexRow>& tableIndexes,
                         std::vector<IndexColumnRow>& result);

// Sets isPrimaryKey, isUnique, isUniqueConstraint and keyOrder from the
// index columns, then the foreign key flags from the catalog's foreign key
// column pairs of `tableId`.
void SetColumnFlags(std::vector<ColumnDescriptor>& descriptors, const std::vector<IndexColumnRow>& indexColumns,
                    const CCatalog& catalog, std::int32_t tableId);

// The names of the columns of a primary key or unique constraint (SQL Server
// 2005 layout), in key order, read from the index that enforces it.
std::vector<std::string> KeyColumnNames(const CCatalog& catalog, const ObjectRow& constraint);

}  // namespace pw
