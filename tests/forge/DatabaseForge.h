#pragma once
// Writes whole synthetic primary data files in the SQL Server 2005-and-later
// catalog layout (version 661 by default): user tables with their columns,
// identity, primary keys, heap or clustered storage, rows (deleted ones as
// ghost records), out-of-row large values on text pages, and modules, check
// constraints, defaults and foreign keys with their definition texts.
//
// File layout, page by page:
//   0            file header page
//   9            boot page
//   16 ..        system tables (sysschobjs, syscolpars, sysscalartypes,
//                sysrowsets, sysallocunits, sysrscols, sysidxstats, sysiscols,
//                syssingleobjrefs, sysobjvalues), each on pages of its own
//   then, per table, from an extent boundary:
//                its IAM page, then from the next extent its data pages
//                (chained by previous/next page) with the text pages of their
//                large values between them
//
// Rows are taken from a row source one at a time and pages go to the file as
// soon as they are full, so a table of millions of rows needs no more memory
// than a page or two.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "forge/PageBuilder.h"

namespace forge {

enum class ColumnType {
    kInt, kBigInt, kSmallInt, kTinyInt, kBit,
    kDecimal, kNumeric, kMoney, kSmallMoney, kFloat, kReal,
    kDateTime, kSmallDateTime, kDate, kTime, kDateTime2, kDateTimeOffset,
    kChar, kVarChar, kNChar, kNVarChar, kBinary, kVarBinary, kUniqueIdentifier,
};

struct TableColumn {
    std::string name;
    ColumnType type = ColumnType::kInt;
    // Stored length in bytes for char, varchar, nchar, nvarchar, binary and
    // varbinary (nvarchar(10) is 20); -1 for max.
    std::int16_t length = 0;
    std::uint8_t precision = 0;  // decimal, numeric
    std::uint8_t scale = 0;      // decimal, numeric, time, datetime2, datetimeoffset
    bool nullable = true;
    bool identity = false;       // identity(1,1), NOT NULL
};

// A cell: the value's stored bytes, or no value for NULL. Large values of
// max columns are the whole value; the forge decides where they go.
using Cell = std::optional<Bytes>;

struct TableRow {
    std::vector<Cell> cells;
    bool deleted = false;  // written as a ghost record
};

// Hands out the next row; false when there is none.
using RowSource = std::function<bool(TableRow&)>;

struct TableSpec {
    std::string name;
    std::vector<TableColumn> columns;
    bool clustered = false;            // rows in the leaf of a clustered index (else a heap)
    std::vector<int> primaryKey;       // column indexes in key order (empty: none)
    std::string primaryKeyName;
    std::vector<TableRow> rows;        // the rows, or
    RowSource source;                  // a source (used when set)
};

// A view ("V "), procedure ("P "), scalar function ("FN"), trigger ("TR"),
// check constraint ("C ") or default ("D "); triggers, checks and defaults
// name their table.
struct ModuleSpec {
    std::string name;
    std::string typeCode;
    std::string text;
    std::string table;
};

struct ForeignKeySpec {
    std::string name;
    std::string table, column;
    std::string refTable, refColumn;
};

// Large values of max columns longer than this go to text pages.
inline constexpr std::size_t kInRowLargeValueLimit = 1000;

class DatabaseForge {
public:
    explicit DatabaseForge(std::string databaseName = "Forge", std::uint16_t version = 661);

    void AddTable(TableSpec table) { tables_.push_back(std::move(table)); }
    void AddModule(ModuleSpec module) { modules_.push_back(std::move(module)); }
    void AddForeignKey(ForeignKeySpec key) { foreignKeys_.push_back(std::move(key)); }

    // Writes the file; false with a reason when a row does not fit a page,
    // a cell does not match its column, or the file cannot be written.
    bool Write(const std::string& path, std::string& error);

    // After Write: rows written per table (deleted ones included) and pages in the file.
    const std::vector<std::int64_t>& RowsWritten() const { return rowsWritten_; }
    std::uint32_t PageCount() const { return pageCount_; }

private:
    std::string databaseName_;
    std::uint16_t version_;
    std::vector<TableSpec> tables_;
    std::vector<ModuleSpec> modules_;
    std::vector<ForeignKeySpec> foreignKeys_;
    std::vector<std::int64_t> rowsWritten_;
    std::uint32_t pageCount_ = 0;
};

// ---- stored values ------------------------------------------------------------
Bytes IntBytes(std::int64_t value, std::size_t width);  // int 4, bigint 8, smallint 2, tinyint 1
Bytes BitBytes(bool value);
// decimal/numeric: `unscaled` is the value times 10^scale.
Bytes DecimalBytes(std::int64_t unscaled, std::uint8_t precision);
Bytes MoneyBytes(std::int64_t tenThousandths);       // money: 8 bytes
Bytes SmallMoneyBytes(std::int32_t tenThousandths);  // smallmoney: 4 bytes
Bytes FloatBytes(double value);
Bytes RealBytes(float value);
Bytes DateTimeBytes(int year, int month, int day, int hour, int minute, int second, int millisecond);
Bytes SmallDateTimeBytes(int year, int month, int day, int hour, int minute);
Bytes DateBytes(int year, int month, int day);
// time(scale): `fraction` in units of 10^-scale seconds.
Bytes TimeBytes(int hour, int minute, int second, std::uint64_t fraction, int scale);
Bytes DateTime2Bytes(int year, int month, int day, int hour, int minute, int second, std::uint64_t fraction, int scale);
Bytes DateTimeOffsetBytes(int year, int month, int day, int hour, int minute, int second, std::uint64_t fraction,
                          int scale, int offsetMinutes);
// char(n)/binary(n): padded with blanks/zeros to `width` bytes.
Bytes CharBytes(const std::string& text, std::size_t width);
Bytes NCharBytes(const std::string& utf8, std::size_t widthBytes);
Bytes VarCharBytes(const std::string& text);
Bytes NVarCharBytes(const std::string& utf8);
// "6F9619FF-8B86-D011-B42D-00C04FC964FF" as stored (first three groups little-endian).
Bytes GuidBytes(const std::string& text);

// The fixed storage size of a column (0 for variable-length columns).
std::size_t FixedSize(const TableColumn& column);

}  // namespace forge
