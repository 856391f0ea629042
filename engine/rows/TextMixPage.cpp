#include "rows/TextMixPage.h"

#include <memory>

#include "support/AppState.h"

namespace pw {

TextMixPage::TextMixPage(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages, const AppState& state)
    : RecordPage(std::move(image), fileSet, pages, state) {
    CopySlotArray();
    if (!slotArray) return;
    // Records end where the page ends; a hand-built image may be shorter.
    const ByteView page = Bytes().Sub(0, kPageSize);
    records.reserve(slotArray->size());
    for (const std::uint16_t offset : *slotArray) {
        if (state.StopRequested()) break;
        if (offset > kPageSize || offset >= page.size()) {
            records.push_back(nullptr);
            continue;
        }
        auto record = std::make_unique<TextRecord>(TextRecord::Parse(page.Sub(offset, page.size() - offset)));
        record->ownerPage = this;
        records.push_back(std::move(record));
    }
    slotArray.reset();
}

TextRecord* TextMixPage::Record(std::size_t slot) const {
    if (slot >= records.size()) return nullptr;
    // Every entry of a text page is a TextRecord or empty.
    return static_cast<TextRecord*>(records[slot].get());
}

void TextMixPage::ReleaseRecord(std::size_t slot) {
    if (slot < records.size()) records[slot].reset();
}

}  // namespace pw
