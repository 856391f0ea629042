#pragma once
// The dispatcher over large-object fragments: renders one fragment payload as
// cell text, or collects its raw bytes, following internal nodes and large
// roots down to their data fragments.
//
// Render mode, by fragment type:
// - Small root (0): sql_variant values show their base type's value, taken
//   from byte 8 of the stored bytes (hex for binary and varbinary, text
//   otherwise); binary values show hex of the stored bytes; text
//   whose every second byte is zero (exactly half of the bytes) is UTF-16 of
//   single-byte characters and is compacted to them; unicode values
//   otherwise show UTF-16 text; anything else is 8-bit text through the
//   ANSI code page, up to the first zero byte.
// - Data fragment (3): the same, except that unicode values are compacted
//   when more than L/2 - 20 of the bytes after the first are zero.
//   Compaction is done only where it loses no character; otherwise the
//   UTF-16 text is shown as it is.
// - Large root (4, 5, 6) and internal node (2): the linked records in order,
//   each rendered by this dispatcher, their texts joined.
// - Other types show nothing.
// Collect mode appends the data of small roots and data fragments below
// 8192 bytes to the fragment list and renders nothing.

#include <cstdint>
#include <string>

#include "rows/LobWalk.h"
#include "support/ByteView.h"

namespace pw {

// Renders (or collects) the fragment whose payload is `payload` and whose
// type-specific part is `typeLength` bytes long. An empty payload or L below
// 10 gives empty text.
std::string RenderLobFragment(LobWalk& walk, ByteView payload, int typeLength, bool variantValue, bool binaryValue);

// The same for a single fragment outside any value walk.
std::string RenderLobFragment(ByteView payload, PageSource& pages, RenderContext& context, CDatabaseFileSet* fileSet,
                              bool variantValue, bool binaryValue, int typeLength, LobFragmentList* fragments,
                              bool collect, bool unicodeValue);

// Reads the fragment record at (file id, page number, slot) through a text
// page and renders it with the dispatcher (the same `walk`), then releases
// the record and the page. A missing page, slot or payload gives empty text;
// a record already read on this value ends the walk.
std::string RenderLinkedFragment(LobWalk& walk, std::uint16_t fileId, std::int64_t pageNumber, std::size_t slot,
                                 bool variantValue, bool binaryValue);

}  // namespace pw
