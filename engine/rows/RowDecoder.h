#pragma once
// The row decoder: the records of one data page as rows of text cells.
//
// A row is a copy of the table's column list in which every descriptor's
// `value` holds the rendered cell and `isNull` says whether the cell is SQL
// NULL (its text then reads "NULL"). The column list of the working table is
// the working area: each record's cells are written into it, then the list is
// handed to the caller (copied into a RowSet, or shown to a row visitor that
// copies nothing).
//
// Four members share one per-column procedure and differ in a few rules:
//   DecodeRowsetRows        table rows when the catalog knows the rowset's
//                           physical columns (leaf offsets, null bits)
//   DecodeLegacyRows        table rows of the SQL Server 2000 layout, or when
//                           no physical columns are known
//   DecodeModuleRows        rows of the definition tables (sysobjvalues)
//   DecodeLegacyModuleRows  the same in the SQL Server 2000 layout (syscomments)
// The rowset members are chosen when the database is not in the SQL Server
// 2000 layout and the physical columns are known (UsesRowsetMembers).
//
// Nothing here keeps state between calls and nothing reads a global: the
// caller hands in the working table and the render context (application
// state, code-page converter).

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "catalog/ColumnDescriptor.h"
#include "pages/DataPage.h"
#include "rows/RenderContext.h"

namespace pw {

class CDatabaseFileSet;

// The decoded rows of one page, in slot order.
using RowSet = std::vector<DecodedRow>;

// Shown to a row visitor: the working row, valid until the visitor returns.
using RowVisitor = std::function<void(const DecodedRow& row)>;

inline constexpr char kNullCellText[] = "NULL";
// Large values that a first screen page of the GUI does not read.
inline constexpr char kBigBinaryDataText[] = "<BIG BINARY DATA>";
inline constexpr char kBinaryDataText[] = "<BINARY DATA>";

// The column description of the listing in progress. The record browser
// builds one per listing from a copy of the table's descriptors; the
// definition reader builds one per definition table.
struct WorkingTable {
    WorkingTable() = default;
    WorkingTable(std::vector<ColumnDescriptor> tableColumns, bool physicalColumnsKnown);

    // The table's column list in table order; the working row.
    std::vector<ColumnDescriptor> columns;
    // The catalog holds rowset column rows (leaf offsets, null bits) for the table's rowset.
    bool rowsetColumnsKnown = false;
    // The stored columns in record order (by physical column number), handed
    // to the page walk so that compressed records can be expanded.
    std::vector<ColumnDescriptor> recordColumns;
    // The in-row allocation units whose pages hold the table's rows (empty:
    // not known). A page header names its unit as (index id << 48) |
    // (object id << 16); units made by SQL Server 2005 and later have an
    // index part of 256 or more, and every page of theirs carries the unit's
    // id. When all units here are of that kind, a page that names another
    // unit (the page maps file pages by object id alone) yields no rows.
    std::vector<std::int64_t> inRowAllocUnits;
};

// The allocation unit a page header names.
std::int64_t PageAllocUnitId(const CPage_Header& header);

// Whether the page's rows belong to the table (see WorkingTable::inRowAllocUnits).
bool PageBelongsToTable(const CPage_Header& header, const WorkingTable& table);

// True when the rowset members decode this table (else the legacy members).
bool UsesRowsetMembers(const AppState& app, const WorkingTable& table);

// ---- the four members -------------------------------------------------------
// Each empties the page's result list, appends one row per accepted record
// and hands the list to `result` (replacing its content).
void DecodeRowsetRows(CDataPage& page, RowSet& result, WorkingTable& table, RenderContext& context);
void DecodeLegacyRows(CDataPage& page, RowSet& result, WorkingTable& table, RenderContext& context);
void DecodeModuleRows(CDataPage& page, RowSet& result, WorkingTable& table, RenderContext& context);
void DecodeLegacyModuleRows(CDataPage& page, RowSet& result, WorkingTable& table, RenderContext& context);

// The table members without copies: `visit` sees the working row once per
// accepted record. Returns the number of rows shown.
std::size_t VisitTableRows(CDataPage& page, WorkingTable& table, RenderContext& context, const RowVisitor& visit);
// The same for the module members.
std::size_t VisitModuleRows(CDataPage& page, WorkingTable& table, RenderContext& context, const RowVisitor& visit);

// ---- one page of a table ----------------------------------------------------
// Reads the page (with the table's stored columns, so compressed records are
// expanded) and decodes its rows with the member the choice rule names. No
// page, or a page that is not a data page, gives no rows.
RowSet DecodePageRows(CDatabaseFileSet& files, std::int64_t pageNumber, std::int32_t fileId, WorkingTable& table,
                      RenderContext& context);
// The same, each row shown to `visit` instead of being copied.
std::size_t VisitPageRows(CDatabaseFileSet& files, std::int64_t pageNumber, std::int32_t fileId,
                          WorkingTable& table, RenderContext& context, const RowVisitor& visit);

}  // namespace pw
