#pragma once
// Internal to the record parser: the pieces of CPrimaryRecord's parse that
// live in separate files. Not for use outside engine/pages.

#include "pages/PrimaryRecord.h"

namespace pw::record_format {

// Sets the flags of status byte A; the record type only when `setType` is set.
void DecodeStatusA(CPrimaryRecord& record, std::uint8_t statusA, bool setType);

// The compressed-format parse of the record at the start of `bytes`, which
// hold at least `limit` bytes (limit = room the page leaves for the record).
void ParseCompressedFormat(CPrimaryRecord& record, ByteView bytes, int limit, const AppState& state);

}  // namespace pw::record_format
