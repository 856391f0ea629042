#include "pages/IamPage.h"

namespace pw {

IamPage::IamPage(PageImage image, CDatabaseFileSet* fileSet, PageSource* pages, const AppState& state)
    : ExtentAllocationMap(std::move(image), fileSet, pages, state) {
    ReadSinglePageSlots();
}

void IamPage::ReadSinglePageSlots() {
    const CPrimaryRecord* header = Record(kIamHeaderSlot);
    if (header == nullptr || header->fixedData.empty()) return;
    const ByteView fixed(header->fixedData.data(), header->fixedData.size());
    for (std::size_t k = 0; k < singlePages.size(); ++k) {
        const std::size_t at = kIamFirstSlotOffset + k * kIamSlotSize;
        // A short fixed part leaves the slots it does not reach as they were.
        if (!fixed.Has(at, kIamSlotSize)) break;
        singlePages[k] = PagePointer{fixed.U32(at), fixed.U16(at + 4)};
    }
}

}  // namespace pw
