#pragma once
// Row builders: one per system base table, each turning one record into a
// catalog row. Each returns nothing when the record is not taken (an empty
// slot, a blob fragment, an index record where the table skips them, or a row
// that the table drops when its fixed part is too short); otherwise the row,
// with its fields filled when the fixed part is long enough and defaults
// otherwise. A field that reaches past the end of the fixed part keeps its
// default: bytes beyond the fixed part belong to other parts of the record.

#include <cstdint>
#include <optional>

#include "catalog/CatalogRows.h"
#include "catalog/SystemRecord.h"

namespace pw {

// Object ids of the system base tables read by the catalog.
enum SystemObjectId : std::int32_t {
    kSysObjects2000 = 1,       // sysobjects (SQL Server 2000)
    kSysIndexes2000 = 2,       // sysindexes (SQL Server 2000)
    kSysRsCols = 3,            // sysrscols; syscolumns in the SQL Server 2000 layout
    kSysRowsetColumns2005 = 4, // rowset columns (SQL Server 2005)
    kSysRowsets = 5,
    kSysComments2000 = 6,      // syscomments (SQL Server 2000)
    kSysAllocUnits = 7,
    kSysFiles1 = 8,
    kSysHobtColumns2005 = 13,  // heap/B-tree columns (SQL Server 2005)
    kSysSchObjs = 34,
    kSysColPars = 41,
    kSysScalarTypes = 50,
    kSysIdxStats = 54,
    kSysIsCols = 55,
    kSysObjValues = 60,
    kSysSingleObjRefs = 74,
};

enum class ObjectLayout { kSql2005, kSql2000 };

std::optional<FileRow> MakeFileRow(const SystemRecord& record);
std::optional<ObjectRow> MakeObjectRow(const SystemRecord& record, ObjectLayout layout, std::uint64_t& nameCounter);
std::optional<AllocUnitRow> MakeAllocUnitRow(const SystemRecord& record);
std::optional<RowsetRow> MakeRowsetRow(const SystemRecord& record);
std::optional<ColumnRow> MakeColumnRow(const SystemRecord& record, std::uint64_t& nameCounter);
std::optional<TypeRow> MakeTypeRow(const SystemRecord& record);
std::optional<RowsetColumnRow> MakeRowsetColumnRow(const SystemRecord& record);
std::optional<ObjectRefRow> MakeObjectRefRow(const SystemRecord& record);
std::optional<IndexRow> MakeIndexRow(const SystemRecord& record);
std::optional<IndexColumnRow> MakeIndexColumnRow(const SystemRecord& record);
std::optional<HobtColumnRow> MakeHobtColumnRow(const SystemRecord& record);
std::optional<RowsetColumn2005Row> MakeRowsetColumn2005Row(const SystemRecord& record);
std::optional<Column2000Row> MakeColumn2000Row(const SystemRecord& record, std::uint64_t& nameCounter);
// A sysindexes row; `fileId` is the file of the page it was read from.
std::optional<Index2000Entry> MakeIndex2000Entry(const SystemRecord& record, std::uint16_t fileId);

}  // namespace pw
