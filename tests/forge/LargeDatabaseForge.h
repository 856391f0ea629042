#pragma once
// Writes large primary data files for benchmarks and scale tests, page by
// page straight to disk, so memory stays flat whatever the file size.
//
// The database holds
//   Orders      a clustered table (index 1, primary key PK_Orders on OrderId)
//               of OrderId int, CustomerName nvarchar(50) NULL,
//               OrderDate datetime, Amount decimal(18,2), IsShipped bit;
//               its leaf pages form one page chain in key order
//   Documents   a heap of DocId int, Title nvarchar(100), Body varchar(max):
//               odd rows keep the body in the row, even rows on a text page
//               of the table's large-object allocation unit
//   Table_NNNNN the catalog tables asked for: 20 columns each, one row on a
//               single page that the table's IAM page names in a single-page slot
//   Filler_NNN  heaps of Id int, Payload varchar(300) that bring the file
//               up to the size asked for
// and the system base tables that describe them, written last. Every table
// has an IAM chain that lists exactly its pages (uniform extents for the
// large tables, one IAM page per GAM interval they reach), so that the
// catalog, the page chain, the IAM chain and the scan's page map all agree.
//
// Cell values follow from the row number alone (see the *Cells functions),
// so tests can check any row without keeping the data.

#include <cstdint>
#include <string>
#include <vector>

namespace forge {

struct LargeDatabaseSpec {
    // Approximate size of the file; filler tables make up what the other
    // tables leave. A file never gets smaller than those tables need.
    std::uint64_t targetBytes = 0;
    std::int64_t orderRows = 1'000'000;
    std::int64_t documentRows = 2'000;
    std::int32_t catalogTables = 0;
    std::string databaseName = "LargeForge";
};

// Where the generator put things, for benchmarks that read a table's pages raw.
struct LargeDatabaseLayout {
    std::uint64_t pages = 0;
    std::uint32_t ordersFirstPage = 0;  // first leaf page (the chain runs upwards from it)
    std::uint32_t ordersPageCount = 0;  // leaf pages (contiguous but for IAM pages at GAM interval starts)
    std::uint32_t ordersLastPage = 0;
    std::uint32_t ordersFirstIamPage = 0;
    std::uint32_t documentsPageCount = 0;
    std::uint32_t documentTextPageCount = 0;
    std::int32_t fillerTables = 0;
    std::uint64_t fillerRows = 0;
    std::uint32_t catalogFirstPage = 0;  // the system tables lie from here to the end
};

// Writes the database to `path`. False (with `error` set) when the file
// cannot be written.
bool WriteLargeDatabase(const std::string& path, const LargeDatabaseSpec& wanted, LargeDatabaseLayout& layout,
                        std::string& error);

// The cells of row `n` (from 1) as the row listing renders them.
std::vector<std::string> OrderCells(std::int64_t n);
std::vector<std::string> DocumentCells(std::int64_t n);
// The name of catalog table `k` (from 1) and the cells of its one row.
std::string CatalogTableName(std::int32_t k);
std::vector<std::string> CatalogTableCells(std::int32_t k);
// Rows of each filler table (the last one may hold fewer).
std::int64_t FillerRowsPerPage();

}  // namespace forge
