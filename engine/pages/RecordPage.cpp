#include "pages/RecordPage.h"

#include "support/AppState.h"

namespace pw {

RecordPage::RecordPage(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages, const AppState& state)
    : CPage(std::move(image), fileSet), pages_(pages), state_(state) {}

bool RecordPage::HeaderIsSane() const {
    const CPage_Header& header = Header();
    if (header.slotCount > static_cast<std::int16_t>(kPageSize)) return false;
    if (header.ghostRecordCount < 0 || header.freeCount < 0) return false;
    // Page numbers and file ids are stored unsigned; a set top bit means damage.
    const auto negative = [](std::uint32_t page, std::uint16_t file) {
        return static_cast<std::int32_t>(page) < 0 || static_cast<std::int16_t>(file) < 0;
    };
    if (negative(header.nextPage.page, header.nextPage.file)) return false;
    if (negative(header.prevPage.page, header.prevPage.file)) return false;
    if (header.thisPage.page < 0 || static_cast<std::int16_t>(header.thisPage.file) < 0) return false;
    return true;
}

void RecordPage::CopySlotArray() {
    slotArray.reset();
    if (state_.StopRequested()) return;
    const int count = Header().slotCount;
    if (count <= 0 || count >= kMaxSlotArrayCount) return;
    std::vector<std::uint16_t> slots;
    slots.reserve(static_cast<std::size_t>(count));
    const ByteView bytes = Bytes();
    for (int j = 0; j < count; ++j) slots.push_back(bytes.U16(kPageSize - 2 - 2 * static_cast<std::size_t>(j)));
    slotArray = std::move(slots);
}

}  // namespace pw
