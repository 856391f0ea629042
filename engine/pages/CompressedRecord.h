#pragma once
// The two steps compressed pages add to the page walk.
//
// Both take the column list of the table being listed as a parameter: it is
// handed to the page by whoever builds it for a listing, and is empty when no
// listing is in progress. No shared slot is consulted, so two readers can
// never expand records with each other's table.

#include <span>

#include "catalog/ColumnDescriptor.h"
#include "pages/PrimaryRecordPage.h"

namespace pw {

// Reads the compression information record that follows the header of a
// compressed page (flags, anchor record, page dictionary) into `page`; the
// anchor values are built only for a listing (one per listed column at most).
// Called by the page walk for pages whose header carries the compressed flag.
void ReadCompressionInfo(PrimaryRecordPage& page, const AppState& state,
                         std::span<const ColumnDescriptor> columns);

// Expands a valid compressed record into a row image with one slot per
// column (replaces `fixedData`, sets `fixedLength`, fills `columnNullMarks`).
// Called by the page walk for each valid compressed record when the database
// is not in the SQL Server 2000 layout. Leaves the record unchanged when it
// cannot be expanded: record types other than 0 and 3, no listing, or a
// listing whose column count differs from the record's.
void ExpandCompressedRecord(CPrimaryRecord& record, PrimaryRecordPage& page, const AppState& state,
                            std::span<const ColumnDescriptor> columns);

}  // namespace pw
