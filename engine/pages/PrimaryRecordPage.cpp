#include "pages/PrimaryRecordPage.h"

#include "pages/CompressedRecord.h"
#include "support/AppState.h"

namespace pw {

namespace {

// Slot offsets above this leave no room for a record in the one-slot build.
constexpr std::uint16_t kLastOneSlotOffset = 8096;

}  // namespace

PrimaryRecordPage::PrimaryRecordPage(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages,
                                     const AppState& state)
    : RecordPage(std::move(image), fileSet, pages, state) {
    Prepare();
    if (state.m_bShowDeleted && state.m_bShowAdvancedDeleted) RecoverRemovedRecords();
    WalkRecords();
    slotArray.reset();
}

PrimaryRecordPage::PrimaryRecordPage(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages,
                                     const AppState& state, OneSlot slot)
    : RecordPage(std::move(image), fileSet, pages, state) {
    Prepare();
    if (!slotArray) {
        records.push_back(nullptr);
    } else if (slot.slot >= 0 && slot.slot < Header().slotCount &&
               static_cast<std::size_t>(slot.slot) < slotArray->size()) {
        const std::uint16_t offset = (*slotArray)[static_cast<std::size_t>(slot.slot)];
        // Offsets inside the page header hold no record either.
        if (offset >= kPageHeaderSize && offset <= kLastOneSlotOffset)
            records.push_back(ParseAt(offset, false));
        else
            records.push_back(nullptr);
    }
    slotArray.reset();
}

CPrimaryRecord* PrimaryRecordPage::Record(std::size_t slot) const {
    if (slot >= records.size()) return nullptr;
    // Every record a primary record page holds is a CPrimaryRecord.
    return static_cast<CPrimaryRecord*>(records[slot].get());
}

void PrimaryRecordPage::Prepare() {
    CopySlotArray();
    if (Header().IsCompressed()) ReadCompressionInfo(*this, State());
}

std::unique_ptr<CPrimaryRecord> PrimaryRecordPage::ParseAt(std::uint16_t offset, bool followStubs) {
    const int room = static_cast<int>(kPageSize) - offset;
    auto record = std::make_unique<CPrimaryRecord>(Bytes().Sub(offset, static_cast<std::size_t>(room)), this, room,
                                                   State(), Pages(), followStubs);
    if (record->isCompressed && !record->isInvalid && !State().m_bIsSql2000)
        ExpandCompressedRecord(*record, *this, State());
    return record;
}

void PrimaryRecordPage::WalkRecords() {
    if (!slotArray || !HeaderIsSane()) return;
    const CPage_Header& header = Header();
    const int count = header.slotCount;
    const bool nonLeafIndex = header.pageType == kIndexPage && header.level != 0;
    const bool onlyGhosts = header.ghostRecordCount >= count && !State().m_bShowDeleted;
    for (int i = 0; i < count; ++i) {
        if (State().StopRequested()) break;
        const auto index = static_cast<std::size_t>(i);
        const std::uint16_t offset = index < slotArray->size() ? (*slotArray)[index] : std::uint16_t{0};
        if (nonLeafIndex || onlyGhosts || offset == 0 || offset > kPageSize || offset < kPageHeaderSize)
            records.push_back(nullptr);
        else
            records.push_back(ParseAt(offset, true));
    }
}

}  // namespace pw
