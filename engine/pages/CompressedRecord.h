#pragma once
// The two steps compressed pages add to the page walk.

#include "pages/PrimaryRecordPage.h"

namespace pw {

// Reads the compression information record that follows the header of a
// compressed page (flags, anchor record, page dictionary) into `page`.
// Called by the page walk for pages whose header carries the compressed flag.
void ReadCompressionInfo(PrimaryRecordPage& page, const AppState& state);

// Expands a valid compressed record into a row image with one slot per
// column (replaces `fixedData`, sets `fixedLength`, fills `columnNullMarks`).
// Called by the page walk for each valid compressed record when the database
// is not in the SQL Server 2000 layout. Leaves the record unchanged when it
// cannot be expanded.
void ExpandCompressedRecord(CPrimaryRecord& record, PrimaryRecordPage& page, const AppState& state);

}  // namespace pw
