#include "pages/DataStartCheck.h"

#include <cmath>

#include "pages/PageHeader.h"
#include "pages/SequentialPageReader.h"

namespace pw {

namespace {

constexpr std::size_t kThisPageOffset = 32;  // the page's own number, signed 32-bit
constexpr std::size_t kThisFileOffset = 36;  // the page's own file id, 1 or above in a written page
constexpr std::uint64_t kFirstCheckedPage = 8;

// Scans positions first..last (inclusive) with pages read from `startOffset`.
// Returns true at the first page whose own number equals its position.
bool FindPageInLine(const ReadOnlyFile& file, std::uint64_t startOffset, std::uint64_t first,
                    std::uint64_t last, std::uint64_t step, AppState& state, EventSink& sink) {
    SequentialPageReader reader(file, startOffset);
    if (!reader.Ready()) return false;
    for (std::uint64_t i = first; i <= last && !state.StopRequested(); ++i) {
        const ByteView page = reader.Next();
        // A run of zeros is no page, though its number 0 would match position 0.
        const std::int64_t ownNumber = page.I32(kThisPageOffset);
        if (ownNumber >= 0 && static_cast<std::uint64_t>(ownNumber) == i && page.U16(kThisFileOffset) != 0)
            return true;
        if (i % step == 0) sink.ProgressPosition(static_cast<std::int64_t>(i));
    }
    return false;
}

}  // namespace

std::uint64_t ProgressStep(std::uint64_t pageCount) {
    const auto step = static_cast<std::uint64_t>(std::ceil(static_cast<double>(pageCount) / 100.0));
    return step == 0 ? 1 : step;
}

bool CheckDataStart(const ReadOnlyFile& file, std::uint64_t wholePageCount, std::uint64_t remainder,
                    AppState& state, EventSink& sink, DataStartMatch* match) {
    if (match) *match = DataStartMatch::kNone;
    // Pages 0 to 7 are file header and allocation pages that a damaged file
    // may lack; the check starts past them when the file is large enough.
    const std::uint64_t first = wholePageCount > kFirstCheckedPage ? kFirstCheckedPage : wholePageCount / 4;
    const std::uint64_t step = ProgressStep(wholePageCount);

    sink.StatusText("Checking for file corruption ...........");
    sink.ProgressRange(0, static_cast<std::int64_t>(wholePageCount));
    sink.ProgressPosition(0);

    bool keepRemainder = true;
    if (FindPageInLine(file, first * kPageSize + remainder, first, wholePageCount, step, state, sink)) {
        // The pages are in line behind the remainder: it is the data start.
        if (match) *match = DataStartMatch::kRemainderAligned;
    } else if (remainder != 0 &&
               FindPageInLine(file, first * kPageSize, first, wholePageCount, step, state, sink)) {
        // The pages are in line from byte 0: the remainder trails them.
        if (match) *match = DataStartMatch::kZeroAligned;
        keepRemainder = false;
    }

    sink.ProgressPosition(static_cast<std::int64_t>(wholePageCount));
    sink.StatusText("Checking for file corruption is done...........");
    return keepRemainder;
}

}  // namespace pw
