#pragma once
// A small but complete primary data file for whole-file tests: a boot page,
// the system tables a catalog needs, and three user tables whose rows lie on
// data pages of their own, with a page chain per table.
//
//   Customers (id int, city char(10), name varchar(40))   2 pages
//   Orders    (id int, customer int, note nvarchar(60))    3 pages
//   Empty     (id int)                                     no page
//
// Its file list also names a secondary file "sample_2.ndf" (file id 3),
// which SecondaryFile() builds; it holds no table pages.
//
// Every row's text says which table, page and slot it is on.

#include <cstdint>
#include <string>
#include <vector>

#include "forge/SystemTableForge.h"

namespace forge {

struct SampleTable {
    std::string name;
    std::int32_t objectId = 0;
    std::int32_t pageKey = 0;               // object id field of its data pages
    std::vector<std::uint32_t> dataPages;   // positions of its data pages
    std::vector<int> rowsPerPage;           // rows on each of them
    int RowCount() const {
        int total = 0;
        for (int n : rowsPerPage) total += n;
        return total;
    }
};

struct SampleDatabase {
    CatalogFileBuilder builder{32};
    std::vector<SampleTable> tables;
    // Positions of the pages of each system table (object id, positions).
    std::vector<std::pair<std::int32_t, std::vector<std::uint32_t>>> systemPages;
    // The IAM page position of each user table with pages (same order as `tables`).
    std::vector<std::uint32_t> iamPages;

    std::string Bytes() { return builder.File().Bytes(); }
    // The secondary file the file list names (8 formatted pages of file 3).
    static std::string SecondaryFile() { return DataFileBuilder(8, 3).Bytes(); }
};

// The file described above; `rowsPerPage` rows on each user data page.
SampleDatabase BuildSampleDatabase(int rowsPerPage = 12);

}  // namespace forge
