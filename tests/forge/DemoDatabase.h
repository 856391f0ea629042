#pragma once
// The bundled demo database: a small shop written as SQL Server 2008 R2
// (version 661) would store it. Customers (clustered, identity key, Unicode
// names, dates of every kind), Products (heap, decimal/money/float/real,
// guid, binary, a photo in varbinary(max) stored out of row), Orders
// (clustered, foreign keys to both, a few deleted rows), Notes (nvarchar(max)
// values, one stored out of row), and a view, a procedure, a function, a
// trigger, a check constraint and a default.

#include <cstdint>
#include <string>
#include <vector>

#include "forge/DatabaseForge.h"

namespace forge {

// The database's tables and definitions, ready to write.
DatabaseForge DemoDatabase();

// Writes the demo database to `path`; false with a reason.
bool WriteDemoDatabase(const std::string& path, std::string& error);

// What the demo holds, for tests: user tables and their live row counts.
struct DemoTableFacts {
    std::string name;
    std::int64_t rows;         // rows without the deleted ones
    std::int64_t deletedRows;  // ghost records
};
std::vector<DemoTableFacts> DemoFacts();

// A table with a column of every type the forge writes ("AllTypes", heap,
// `rows` rows; row i has i in its int column, every fourth row NULLs).
TableSpec AllTypesTable(int rows);

// A table of `rows` generated rows for benchmarks ("Events": bigint id,
// int, datetime, decimal(12,2), varchar(40), nvarchar(60); clustered).
TableSpec LargeTable(const std::string& name, std::int64_t rows);

}  // namespace forge
