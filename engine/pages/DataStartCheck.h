#pragma once
// Where do the pages of a data file start?
//
// A data file is normally a whole number of 8192-byte pages. When its size
// leaves a remainder, the extra bytes may sit in front of the pages (a file
// cut out of a larger image) or behind them (a file with trailing bytes). The
// check looks for pages whose stored page number (header offset 32) equals
// their position, first reading with the remainder as the data start, then
// reading from byte 0.

#include <cstdint>

#include "pages/ReadOnlyFile.h"
#include "support/AppState.h"
#include "support/EventSink.h"

namespace pw {

enum class DataStartMatch {
    kNone,             // no page found in line with either alignment
    kRemainderAligned, // pages found in line when they start after the remainder
    kZeroAligned,      // pages found in line when they start at byte 0
};

// Progress positions are sent about a hundred times per pass: whenever the
// position is a multiple of ceil(pageCount / 100). Never 0.
std::uint64_t ProgressStep(std::uint64_t pageCount);

// Runs the check over `file`. Returns true when the remainder stays the data
// start (pages found in line after it, or no page found in line at all) and
// false when the pages start at byte 0. `match` receives which search matched.
bool CheckDataStart(const ReadOnlyFile& file, std::uint64_t wholePageCount, std::uint64_t remainder,
                    AppState& state, EventSink& sink, DataStartMatch* match = nullptr);

}  // namespace pw
