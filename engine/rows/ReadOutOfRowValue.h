#pragma once
// Reads a value stored outside its row through the pointer the row keeps in
// a complex variable column: a row-overflow pointer (complex type 2, 24
// bytes) or an in-row large-object root (complex type 4).
//
// Pointer layout: a 12-byte header (not used here), then links of 12 bytes
// up to the column's length:
//
//   0   4   size (signed; links of size 0 or less are skipped)
//   4   4   page number
//   8   2   file id (above 1000 is read as file 1)
//   10  2   slot
//
// Each link leads to a fragment record on a text page, rendered (or
// collected) by RenderLobFragment; the texts are joined in link order.
//
// Stored xml values are collected rather than rendered: the caller passes a
// fragment list with `collect` set and hands the list to the stored-xml
// decoder (ConvertXmlFragments) afterwards.

#include <string>

#include "pages/Record.h"
#include "rows/LobWalk.h"
#include "support/ByteView.h"

namespace pw {

// Follows the links of `column` (the complex column's bytes; its size is the
// column's length). `record` is the row's record: its `variantValue` and
// `binaryValue` flags apply to the linked fragments. Returns the joined text
// (empty in collect mode).
std::string ReadOutOfRowValue(const CRecord& record, ByteView column, PageSource& pages, RenderContext& context,
                              LobFragmentList* fragments, bool collect, bool unicodeValue);

// The same within a walk the caller keeps (to learn how it ended).
std::string ReadOutOfRowValue(LobWalk& walk, const CRecord& record, ByteView column);

}  // namespace pw
