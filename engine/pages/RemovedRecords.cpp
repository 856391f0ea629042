// Recovery of deleted records whose slots are gone.
//
// Deleting a row and compacting the page can remove its slot while its bytes
// stay in the page body. The scan walks the body from the end of the header:
// where a plain record parses, it takes its length and jumps over it; where
// none does, it moves byte by byte until four bytes look like the start of a
// record of this page (status bytes and the end of the fixed part).

#include <algorithm>

#include "pages/PrimaryRecordPage.h"
#include "support/AppState.h"

namespace pw {

namespace {

// The last offset at which four pattern bytes still fit before the final slot.
constexpr std::size_t kLastPatternOffset = 8189;
// A fixed part ending at 0x84 (132) is always tried, whatever the page's own
// rows look like; it only finds rows of tables with exactly that fixed part.
constexpr std::uint16_t kWellKnownFixedEnd = 0x84;

bool IsRowStatusA(std::uint8_t statusA) {
    return statusA == 0x10 || statusA == 0x30 || statusA == 0x1C || statusA == 0x3C;
}

}  // namespace

bool IsRecordStartPattern(ByteView page, std::size_t offset, std::uint16_t pageFixedEnd) {
    if (!page.Has(offset, 4)) return false;
    const std::uint8_t statusA = page.U8(offset);
    if (page.U8(offset + 1) != 0) return false;
    const std::uint16_t fixedEnd = page.U16(offset + 2);
    if (fixedEnd == kWellKnownFixedEnd && (statusA == 0x30 || statusA == 0x3C)) return true;
    return pageFixedEnd >= 4 && fixedEnd == pageFixedEnd && IsRowStatusA(statusA);
}

void PrimaryRecordPage::RecoverRemovedRecords() {
    if (!slotArray || !HeaderIsSane()) return;
    const std::size_t slotCount = slotArray->size();
    recordStarts = std::move(*slotArray);
    slotArray.reset();

    const ByteView page = Bytes();
    // The header's minimum record length is the fixed-part end of the page's rows.
    const std::uint16_t pageFixedEnd = Header().minRecordLength;
    const auto accept = [&](std::size_t at) {
        const auto slotsEnd = recordStarts.begin() + static_cast<std::ptrdiff_t>(slotCount);
        if (std::find(recordStarts.begin(), slotsEnd, at) == slotsEnd)
            recordStarts.push_back(static_cast<std::uint16_t>(at));
    };

    std::size_t p = kPageHeaderSize;
    std::size_t lastPattern = 0;
    // Moves p to the next record-start pattern; false when none is left.
    const auto searchPattern = [&]() {
        if (p == lastPattern) ++p;
        for (; p <= kLastPatternOffset; ++p) {
            if (IsRecordStartPattern(page, p, pageFixedEnd)) {
                lastPattern = p;
                return true;
            }
        }
        return false;
    };

    while (p < kPageSize - 2 && !State().StopRequested()) {
        const int length = CPrimaryRecord::ProbeLength(page.Sub(p, kPageSize - p), this, State());
        if (length > 0) {
            const std::size_t next = p + static_cast<std::size_t>(length);
            accept(p);
            p = next;
            if (next > kPageSize - 1 || IsRecordStartPattern(page, next, pageFixedEnd)) continue;
        }
        if (!searchPattern()) break;
    }

    if (recordStarts.size() >= slotCount) {
        const std::size_t count = std::min<std::size_t>(recordStarts.size(), 0x7FFF);
        MutableHeader().slotCount = static_cast<std::int16_t>(count);
        slotArray = std::vector<std::uint16_t>(recordStarts.begin(), recordStarts.begin() + static_cast<std::ptrdiff_t>(count));
    }
}

}  // namespace pw
