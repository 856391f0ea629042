#pragma once
// The working table of a listing, made from the object the catalog opened last.

#include <vector>

#include "catalog/ColumnDescriptor.h"
#include "rows/RowDecoder.h"

namespace pw {

class CCatalog;

// A working table for the table last opened by `catalog` (OpenObject) with
// `columns` (a copy of its descriptors): whether its rowset columns are
// known (the row decoder's member choice) and the in-row allocation units of
// its heap or clustered index, every partition included.
WorkingTable MakeWorkingTable(const CCatalog& catalog, std::vector<ColumnDescriptor> columns);

}  // namespace pw
